// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound.h"

#include "messageboxhook.h"
#include "soundplayer.h"

Sound::Sound(SoundPlayer &player, QWidget *parentWidget)
    : m_player(player)
    , m_parentWidget(parentWidget)
{
}

void Sound::Playsound(const QString &path, bool wait) const
{
    for (;;) {
        const std::optional<SoundPlayerFailure> failure = m_player.play(path, wait);
        if (!failure || !m_messagesShown)
            return;
        MessageBoxRequest request;
        request.parent = m_parentWidget;
        request.title = failureTitle();
        request.text = failureText(*failure);
        request.icon = QMessageBox::Warning;
        request.buttons = QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        request.defaultButton = QMessageBox::Ignore;
        if (MessageBoxHook::show(request) != QMessageBox::Retry)
            return;
    }
}

QString Sound::failureTitle()
{
    return QStringLiteral("Fehler in: (Vesperon) Sub Playsound");
}

QString Sound::failureText(const SoundPlayerFailure &failure)
{
    return QStringLiteral("Fehler-Nr: ") + QString::number(failure.number) + QStringLiteral("\r\nFehler     : ")
        + failure.message;
}
