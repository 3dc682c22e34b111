// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class SoundPlayer;
struct SoundPlayerFailure;

// Hands one wave file at a time to the player. When the player itself fails, a box asks whether
// to give up (Abort), try again (Retry) or go on without the sound (Ignore, the default).
class Sound final
{
public:
    explicit Sound(SoundPlayer &player, QWidget *parentWidget = nullptr);

    // Without messages a failing player is passed over as if Ignore had been chosen.
    void setMessagesShown(bool shown) { m_messagesShown = shown; }
    bool messagesShown() const { return m_messagesShown; }

    // wait true: return when the sound has ended; false: return at once.
    void Playsound(const QString &path, bool wait) const;

    static QString failureTitle();
    static QString failureText(const SoundPlayerFailure &failure);

private:
    SoundPlayer &m_player;
    QPointer<QWidget> m_parentWidget;
    bool m_messagesShown = true;
};
