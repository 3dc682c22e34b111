// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "soundplayer.h"

#include <QList>

#include <functional>

// A player for tests: it plays nothing, keeps every request in order and can be told to fail
// the next few calls the way a broken audio system would. A test can stand in for the time a sound
// plays: whilePlaying runs inside each call, after the request is kept.
class RecordingSoundPlayer final : public SoundPlayer
{
public:
    struct Request
    {
        QString path;
        bool wait = false;
    };

    std::optional<SoundPlayerFailure> play(const QString &path, bool wait) override;

    // The next count calls fail with failure (and are recorded all the same).
    void failNext(int count, SoundPlayerFailure failure);
    void setWhilePlaying(std::function<void(const Request &)> whilePlaying)
    {
        m_whilePlaying = std::move(whilePlaying);
    }

    const QList<Request> &requests() const { return m_requests; }
    void clear() { m_requests.clear(); }

private:
    QList<Request> m_requests;
    int m_failures = 0;
    SoundPlayerFailure m_failure;
    std::function<void(const Request &)> m_whilePlaying;
};
