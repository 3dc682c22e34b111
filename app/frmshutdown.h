// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "inihandler.h"
#include "sound.h"

#include <QWidget>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class SessionBackend;
class SoundPlayer;

// Vesperon's main window. load() runs once before the window is first shown: caption, system
// family, help text, the session-end switches of the command line, the sound setting, and the
// proposed deadline with the disarmed look. The first activation greets the user and puts the
// focus into the time entry; later activations change nothing.
//
// The six session-end actions go to the session backend handed in, which the program chooses
// once at start (the system's own, or a dry run); the window never asks for confirmation and
// never looks at the outcome.
class frmShutdown : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(qint32 glngWhichWindows32 READ glngWhichWindows32)
    Q_PROPERTY(bool blnSuppressSound READ blnSuppressSound)
    Q_PROPERTY(bool blnNoMessages READ blnNoMessages)

public:
    frmShutdown(SessionBackend &session, SoundPlayer &player, const QString &programFolder,
                QWidget *parent = nullptr);
    ~frmShutdown() override;

    // The window's load; argumentText is the command line after the program's name.
    void load(const QString &argumentText);

    // 0 on the Windows 95 family, 1 on the NT family and on every other system.
    qint32 glngWhichWindows32() const { return m_whichWindows32; }
    // True: PlayWave plays nothing.
    bool blnSuppressSound() const { return m_suppressSound; }
    // "/NOMSG" was given: informational boxes stay closed; questions are still asked.
    bool blnNoMessages() const { return m_noMessages; }

    // The folder of the program file, without a trailing separator.
    QString programFolder() const { return m_programFolder; }
    const IniHandler &iniHandler() const { return m_ini; }

    // Plays the wave file at path unless sounds are suppressed or the file is missing or empty.
    void PlayWave(const QString &path, bool wait);

    // The session-end actions. Shut down and restart enable the shutdown privilege first on
    // the NT family.
    void cmdLogoff_Click();
    void cmdForceLogoff_Click();
    void cmdShutdown_Click();
    void cmdForceShutdown_Click();
    void cmdRestart_Click();
    void cmdForceRestart_Click();
    void EnableShutdownPrivilege();

protected:
    void changeEvent(QEvent *event) override;

private:
    void activate();
    void endSession(quint32 flags, bool privilegeFirst);
    void loadSoundSetting();
    void menSound_Click();

    // Hooks for the time entry, the clock and the tray icon, which the full window layout
    // brings: the deadline proposal, the disarmed look and the focus of the first activation.
    void InitDeadline();
    void setUpDisarmedLook();
    void focusTimeEntry();

    void addSessionButton(const QString &name, const QString &caption,
                          void (frmShutdown::*handler)());

    SessionBackend &m_session;
    Sound m_sound;
    IniHandler m_ini;
    QString m_programFolder;

    qint32 m_whichWindows32 = 0;
    bool m_suppressSound = false;
    bool m_noMessages = false;
    bool m_activated = false;

    QMenuBar *m_menuBar = nullptr;
    QMenu *m_menOptions = nullptr;
    QAction *m_menSound = nullptr;
    QPlainTextEdit *m_txtHelp = nullptr;
    QLabel *m_lblStatus = nullptr;
};
