// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "countdown.h"

#include <desktopnotifier.h>
#include <shutdownpermission.h>

#include <QDBusConnection>
#include <QDateTime>
#include <QObject>

class frmShutdown;

// What the armed countdown of Vesperon's main window tells the user outside its window.
//
// Desktop notifications, one at a time, each replacing the one before: at the three-minute and
// the one-minute warnings ("Shut-Down in 3 minutes", "Restart in 1 minute") and when the armed
// action starts ("Shutting down now", "Restarting now"), each with the deadline in its body. The
// warnings offer "Cancel", which disarms as "Leave him alive" does, and "Postpone 10 minutes",
// which moves the deadline as the control interface's Postpone(600) does, where the notification
// server shows actions. Disarming takes the notification down, and so does a deadline moved past
// the one a warning names.
//
// An early word when the system may refuse: at arming, logind is asked whether it would shut down
// (or restart) for this user. Any answer but "yes" says so at once, in the tray icon's tip ("The
// Vesperon - the system may refuse to shut down: " and "authentication is required" for
// "challenge", "this user is not permitted" for "no", "not available on this system" for "na") and
// in a notification, unless a warning stands already. The tip goes back to "The Vesperon" at the
// next arming, on disarming and on a "yes". The request at the deadline is made as always.
//
// Made for a window that is already armed, it asks logind at once. Everything goes out without waiting, before the
// sound of a warning holds the window up; without a notification server or logind, the window goes on exactly as
// without them.
class CountdownNotices final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CountdownNotices)

public:
    CountdownNotices(frmShutdown &window, const QDBusConnection &sessionBus, const QDBusConnection &systemBus,
                     QObject *parent = nullptr);

private:
    enum class Shown { Nothing, EarlyWord, Warning, ActionStarting };

    void armed(Countdown::Action action);
    void disarmed();
    void warningGiven(Countdown::Warning warning);
    void actionStarting();
    void countdownChanged();
    void answered(ShutdownPermission::Action action, ShutdownPermission::Answer answer);
    void actionInvoked(const QString &key);
    void show(Shown kind, const DesktopNotifier::Notification &notification);
    void close();
    void setToolTip(const QString &reason);

    frmShutdown &m_window;
    DesktopNotifier m_notifier;
    ShutdownPermission m_permission;
    Shown m_shown = Shown::Nothing;
    // The deadline a warning names while it is shown.
    QDateTime m_warnedDeadline;
};
