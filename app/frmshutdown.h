// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "countdown.h"
#include "inihandler.h"
#include "sound.h"

#include <hostedcontrol.h>

#include <QImage>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>

class ImageList;
class Perchlet;
class QRadioButton;
class QTimer;
class SessionBackend;
class SoundPlayer;
class TimeSource;

namespace Ui {
class frmShutdown;
}

// Vesperon's main window. load() runs once before the window is first shown: caption, system
// family, help text, the session-end switches of the command line, the sound setting, and the
// proposed deadline with the disarmed look. The first activation greets the user and puts the
// focus into the time entry; later activations change nothing.
//
// The countdown is armed while "Shut-Down" or "Restart" is selected: the timer ticks twice a
// second and the window does what its Countdown answers: each new second shows the rest under the
// clock and blinks the tray icon, the warnings play three minutes and one minute before, and at the
// deadline ExecuteKillJob plays the final sound and asks for the forced shut down or restart. A
// deadline that lies in the past is refused with a message and disarms.
//
// The six session-end actions go to the session backend handed in, which the program chooses
// once at start (the system's own, or a dry run); the window never asks for confirmation and
// never looks at the outcome. Time comes from the time source handed in.
class frmShutdown : public QMainWindow
{
    Q_OBJECT
    Q_PROPERTY(qint32 glngWhichWindows32 READ glngWhichWindows32)
    Q_PROPERTY(bool blnSuppressSound READ blnSuppressSound)
    Q_PROPERTY(bool blnNoMessages READ blnNoMessages)

public:
    frmShutdown(SessionBackend &session, SoundPlayer &player, const QString &programFolder, TimeSource *time = nullptr,
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

    // The hosted controls and outside components, for the program's own parts and for tests.
    HostedControl *tamselClock() const { return m_clock; }
    HostedControl *timeEdit() const { return m_timeEdit; }
    HostedControl *dateEdit() const { return m_dateEdit; }
    Perchlet *sysTray() const { return m_sysTray; }
    QTimer *timTControl() const { return m_timer; }
    // The two face pictures of the clock: 0 disarmed, 1 armed.
    QImage imgSkull(int index) const;

    // Plays the wave file at path unless sounds are suppressed or the file is missing or empty.
    void PlayWave(const QString &path, bool wait);

    // The session-end actions (SessionBackend::endSession): shut down and restart enable the
    // shutdown privilege first on the NT family.
    void cmdLogoff_Click();
    void cmdForceLogoff_Click();
    void cmdShutdown_Click();
    void cmdForceShutdown_Click();
    void cmdRestart_Click();
    void cmdForceRestart_Click();

    // The state of the countdown: the warnings given and the seconds left.
    const Countdown &countdown() const { return m_countdown; }
    // The countdown tick, run by timTControl: reads the time and the entries once and shows, warns,
    // refuses or carries out as the countdown answers. A tick that comes while one is still being
    // processed (from the nested loop of a message box) is turned away.
    void timTControl_Timer();
    // The machine woke from sleep: an armed countdown catches up at once.
    void resumedFromSleep();
    // The armed action: final text and sound, then the forced shut down or restart.
    void ExecuteKillJob();
    // The options: 0 arms "Shut-Down", 1 arms "Restart", 2 disarms.
    void optShutdown_Click(int index);
    // The user acted on the tray icon: a minimised window is restored behind the other windows. On
    // Wayland, where a client can neither unminimise nor lower its window, it asks to be activated.
    void SysTray_IconEvent();
    // "&Exit": closes without a question, armed or not.
    void menExit_Click();
    void menInfo_Click();

    // The countdown as scripts and other programs see and drive it. Arming, disarming and
    // postponing go through the entries and the options exactly as the user's own choices do.
    bool isArmed() const;
    Countdown::Action armedAction() const;
    // The deadline the entries hold; invalid when the date entry holds no date.
    QDateTime deadline() const;
    // The seconds left while armed, as the countdown last counted them (worked out from the
    // deadline before the first tick); -1 while disarmed.
    qint64 remainingSeconds() const;
    // Each returns an empty text when done, else one line that says why nothing changed: a
    // deadline that has passed or lies too far ahead, or a countdown that is not running.
    QString armFor(Countdown::Action action, const QDateTime &deadline);
    QString postpone(qint64 seconds);
    void disarm();
    // Brings the window forward: restored when minimised, raised and activated.
    void bringForward();

signals:
    // Armed, the action, the deadline or the seconds left may have changed.
    void countdownChanged();
    // "Shut-Down" or "Restart" was chosen (also when switching between them), or "Leave him alive".
    void armed(Countdown::Action action);
    void disarmed();
    // A warning fell due; the signal comes before its sound, which blocks while it plays.
    void warningGiven(Countdown::Warning warning);
    // ExecuteKillJob has begun; the signal comes before the final sound and the request.
    void actionStarting();
    // The window has been drawn for the first time: what its first picture does not need (such as
    // listening for the machine waking from sleep) starts here. Sent once.
    void firstDrawn();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeControls();
    void activate();
    void loadSoundSetting();
    void menSound_Click();
    void InitDeadline();
    void setUpDisarmedLook();
    void setTimerInterval(int milliseconds);
    void imgPistol_DblClick();
    void writeDeadline(const QDateTime &deadline);
    QString soundPath(const QString &name) const;

    std::unique_ptr<Ui::frmShutdown> ui;
    SessionBackend &m_session;
    TimeSource *m_time = nullptr;
    Sound m_sound;
    IniHandler m_ini;
    QString m_programFolder;

    QPointer<HostedControl> m_clock;
    QPointer<HostedControl> m_timeEdit;
    QPointer<HostedControl> m_dateEdit;
    ImageList *m_imlTray = nullptr;
    Perchlet *m_sysTray = nullptr;
    QTimer *m_timer = nullptr;
    std::array<QRadioButton *, 3> m_optShutdown{};

    qint32 m_whichWindows32 = 0;
    bool m_suppressSound = false;
    bool m_noMessages = false;
    bool m_activated = false;
    bool m_drawn = false;

    Countdown m_countdown;
    bool m_inTimer = false;

    bool m_closeWithoutQuestion = false;
};
