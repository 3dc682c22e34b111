// SPDX-License-Identifier: GPL-3.0-or-later
#include "countdownnotices.h"

#include "frmshutdown.h"

#include <perchlet.h>

namespace {
const QString Title = QStringLiteral("The Vesperon");
const QString AppId = QStringLiteral("org.vesperon.Vesperon");
const QString CancelKey = QStringLiteral("cancel");
const QString PostponeKey = QStringLiteral("postpone");
constexpr qint64 PostponeSeconds = 600;

ShutdownPermission::Action permissionActionOf(Countdown::Action action)
{
    return action == Countdown::Action::ShutDown ? ShutdownPermission::Action::PowerOff
                                                 : ShutdownPermission::Action::Reboot;
}

// Empty where nothing is to be said.
QString reasonFor(ShutdownPermission::Answer answer)
{
    switch (answer) {
    case ShutdownPermission::Answer::Challenge:
        return QStringLiteral("authentication is required");
    case ShutdownPermission::Answer::No:
        return QStringLiteral("this user is not permitted");
    case ShutdownPermission::Answer::NotAvailable:
        return QStringLiteral("not available on this system");
    case ShutdownPermission::Answer::Yes:
    case ShutdownPermission::Answer::Unknown:
        break;
    }
    return {};
}

QString deadlineText(const QDateTime &deadline)
{
    return QStringLiteral("Deadline: ") + deadline.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}
} // namespace

CountdownNotices::CountdownNotices(frmShutdown &window, const QDBusConnection &sessionBus,
                                   const QDBusConnection &systemBus, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_notifier(sessionBus, QStringLiteral("Vesperon"), AppId, AppId,
                 QImage(QStringLiteral(":/images/vesperon-64.png")))
    , m_permission(systemBus)
{
    connect(&m_window, &frmShutdown::armed, this, &CountdownNotices::armed);
    connect(&m_window, &frmShutdown::disarmed, this, &CountdownNotices::disarmed);
    connect(&m_window, &frmShutdown::warningGiven, this, &CountdownNotices::warningGiven);
    connect(&m_window, &frmShutdown::actionStarting, this, &CountdownNotices::actionStarting);
    connect(&m_window, &frmShutdown::countdownChanged, this, &CountdownNotices::countdownChanged);
    connect(&m_permission, &ShutdownPermission::answered, this, &CountdownNotices::answered);
    connect(&m_notifier, &DesktopNotifier::actionInvoked, this, &CountdownNotices::actionInvoked);
    // A window armed before the notices began (a start with an arming option) is asked about now.
    if (m_window.isArmed())
        armed(m_window.armedAction());
}

void CountdownNotices::armed(Countdown::Action action)
{
    setToolTip(QString());
    m_permission.ask(permissionActionOf(action));
}

void CountdownNotices::disarmed()
{
    setToolTip(QString());
    close();
}

void CountdownNotices::warningGiven(Countdown::Warning warning)
{
    const bool shutDown = m_window.armedAction() == Countdown::Action::ShutDown;
    const bool threeMinutes = warning == Countdown::Warning::ThreeMinutes;
    m_warnedDeadline = m_window.deadline();
    show(Shown::Warning,
         {(shutDown ? QStringLiteral("Shut-Down") : QStringLiteral("Restart"))
              + (threeMinutes ? QStringLiteral(" in 3 minutes") : QStringLiteral(" in 1 minute")),
          deadlineText(m_warnedDeadline),
          {{CancelKey, QStringLiteral("Cancel")}, {PostponeKey, QStringLiteral("Postpone 10 minutes")}},
          threeMinutes ? DesktopNotifier::Urgency::Normal : DesktopNotifier::Urgency::Critical});
}

void CountdownNotices::actionStarting()
{
    const bool shutDown = m_window.armedAction() == Countdown::Action::ShutDown;
    show(Shown::ActionStarting,
         {shutDown ? QStringLiteral("Shutting down now") : QStringLiteral("Restarting now"),
          deadlineText(m_window.deadline()),
          {},
          DesktopNotifier::Urgency::Critical});
}

void CountdownNotices::countdownChanged()
{
    if (m_shown == Shown::Warning && m_window.deadline() != m_warnedDeadline)
        close();
}

void CountdownNotices::answered(ShutdownPermission::Action action, ShutdownPermission::Answer answer)
{
    if (!m_window.isArmed() || permissionActionOf(m_window.armedAction()) != action)
        return;
    const QString reason = reasonFor(answer);
    setToolTip(reason);
    if (reason.isEmpty()) {
        if (m_shown == Shown::EarlyWord)
            close();
        return;
    }
    if (m_shown != Shown::Nothing && m_shown != Shown::EarlyWord)
        return;
    const bool shutDown = action == ShutdownPermission::Action::PowerOff;
    show(Shown::EarlyWord,
         {shutDown ? QStringLiteral("The system may refuse to shut down")
                   : QStringLiteral("The system may refuse to restart"),
          reason.at(0).toUpper() + reason.mid(1)
              + QStringLiteral(". Vesperon will still ask the system at the deadline."),
          {},
          DesktopNotifier::Urgency::Normal});
}

void CountdownNotices::actionInvoked(const QString &key)
{
    if (key == CancelKey)
        m_window.disarm();
    else if (key == PostponeKey)
        m_window.postpone(PostponeSeconds);
}

void CountdownNotices::show(Shown kind, const DesktopNotifier::Notification &notification)
{
    m_shown = kind;
    m_notifier.show(notification);
}

void CountdownNotices::close()
{
    if (m_shown == Shown::Nothing)
        return;
    m_shown = Shown::Nothing;
    m_notifier.close();
}

void CountdownNotices::setToolTip(const QString &reason)
{
    if (reason.isEmpty()) {
        m_window.sysTray()->setToolTip(Title);
        return;
    }
    const bool shutDown = m_window.armedAction() == Countdown::Action::ShutDown;
    m_window.sysTray()->setToolTip(Title + QStringLiteral(" - the system may refuse to ")
                                   + (shutDown ? QStringLiteral("shut down: ") : QStringLiteral("restart: ")) + reason);
}
