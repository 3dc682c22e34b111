// SPDX-License-Identifier: GPL-3.0-or-later
#include "controlservice.h"

#include "applicationadaptor.h"
#include "frmshutdown.h"
#include "runninginstance.h"
#include "vesperon1adaptor.h"

#include <QDBusMessage>
#include <QDBusVariant>

namespace {
const QString Refused = QStringLiteral("org.vesperon.Vesperon1.Error.Refused");
const QString InvalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
constexpr uint DefaultPostpone = 600;

void takeActivationToken(const QVariantMap &platformData)
{
    // A launcher's token lets the window come forward past focus-stealing prevention.
    if (const QString id = platformData.value(QStringLiteral("desktop-startup-id")).toString(); !id.isEmpty())
        qputenv("DESKTOP_STARTUP_ID", id.toUtf8());
    if (const QString token = platformData.value(QStringLiteral("activation-token")).toString(); !token.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
}
} // namespace

ControlService::ControlService(frmShutdown &window, QObject *parent)
    : QObject(parent)
    , m_window(window)
{
    new ApplicationAdaptor(this);
    new Vesperon1Adaptor(this);
    m_announced = properties();
    connect(&m_window, &frmShutdown::countdownChanged, this, &ControlService::announceChanges);
}

bool ControlService::exportOn(const QDBusConnection &bus)
{
    m_bus = bus;
    return m_bus.registerObject(RunningInstance::ObjectPath, this, QDBusConnection::ExportAdaptors);
}

bool ControlService::armed() const
{
    return m_window.isArmed();
}

QString ControlService::action() const
{
    if (!m_window.isArmed())
        return {};
    return m_window.armedAction() == Countdown::Action::ShutDown ? QStringLiteral("shutdown")
                                                                 : QStringLiteral("restart");
}

QString ControlService::deadline() const
{
    if (!m_window.isArmed())
        return {};
    return m_window.deadline().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

qlonglong ControlService::remaining() const
{
    return m_window.remainingSeconds();
}

QVariantMap ControlService::properties() const
{
    return {{QStringLiteral("Armed"), armed()},
            {QStringLiteral("Action"), action()},
            {QStringLiteral("Deadline"), deadline()},
            {QStringLiteral("Remaining"), remaining()}};
}

void ControlService::announceChanges()
{
    const QVariantMap now = properties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (m_announced.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    }
    m_announced = now;
    if (changed.isEmpty() || !m_bus.isConnected())
        return;
    QDBusMessage signal =
        QDBusMessage::createSignal(RunningInstance::ObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << RunningInstance::ControlInterface << changed << QStringList();
    m_bus.send(signal);
}

void ControlService::failWith(const QString &errorName, const QString &text)
{
    if (calledFromDBus())
        sendErrorReply(errorName, text);
}

void ControlService::Arm(const QString &action, const QString &deadline)
{
    Countdown::Action armed = Countdown::Action::ShutDown;
    if (action == u"restart")
        armed = Countdown::Action::Restart;
    else if (action != u"shutdown")
        return failWith(InvalidArgs,
                        QStringLiteral("The action is \"shutdown\" or \"restart\", not \"%1\".").arg(action));
    const QDateTime end = QDateTime::fromString(deadline, Qt::ISODate);
    if (!end.isValid() || end.timeSpec() != Qt::LocalTime)
        return failWith(InvalidArgs,
                        QStringLiteral("The deadline \"%1\" is not an ISO 8601 local date and time.").arg(deadline));
    if (const QString refusal = m_window.armFor(armed, end); !refusal.isEmpty())
        failWith(Refused, refusal);
}

void ControlService::Disarm()
{
    m_window.disarm();
}

void ControlService::Postpone(uint seconds)
{
    if (const QString refusal = m_window.postpone(seconds); !refusal.isEmpty())
        failWith(Refused, refusal);
}

void ControlService::Activate(const QVariantMap &platformData)
{
    takeActivationToken(platformData);
    m_window.bringForward();
}

void ControlService::Open(const QStringList &, const QVariantMap &platformData)
{
    Activate(platformData);
}

void ControlService::ActivateAction(const QString &actionName, const QVariantList &parameter,
                                    const QVariantMap &platformData)
{
    takeActivationToken(platformData);
    if (actionName == u"cancel")
        return Disarm();
    if (actionName == u"postpone") {
        bool ok = true;
        QVariant given = parameter.value(0, DefaultPostpone);
        if (given.canConvert<QDBusVariant>())
            given = given.value<QDBusVariant>().variant();
        const uint seconds = given.toUInt(&ok);
        if (!ok)
            return failWith(InvalidArgs, QStringLiteral("postpone takes a number of seconds."));
        return Postpone(seconds);
    }
    failWith(InvalidArgs, QStringLiteral("There is no action \"%1\".").arg(actionName));
}
