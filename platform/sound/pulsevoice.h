// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "soundvoice.h"

#include <QByteArray>
#include <QTimer>

#include <memory>

struct pa_simple;

// A voice that plays wave files through the PulseAudio sound server (which PipeWire serves as
// well), one connection per sound. The PulseAudio client library is loaded when the first voice is
// created, so that a program that plays nothing never loads it.
//
// A sound that cannot be played (a format the server does not take, no server to connect to) ends
// at once: finished() comes before start() returns. A sound that plays is written in parts of a
// tenth of a second, so that stop() or a new start() cuts it off within that time, and finished()
// comes when the server has played the last of it.
class PulseVoice final : public SoundVoice
{
    Q_OBJECT

public:
    // A voice, or nothing when the PulseAudio client library cannot be loaded.
    static std::unique_ptr<PulseVoice> create(QObject *parent = nullptr);
    ~PulseVoice() override;

    void start(const QString &path) override;
    void stop() override;

private:
    explicit PulseVoice(QObject *parent);
    void writeSome();
    void end();

    pa_simple *m_stream = nullptr;
    QByteArray m_data;
    qsizetype m_written = 0;
    qsizetype m_partBytes = 0;
    QTimer m_feed;
    QTimer m_played;
};
