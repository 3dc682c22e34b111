// SPDX-License-Identifier: GPL-3.0-or-later
#include "runninginstance.h"

#include "countdownmath.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QTextStream>

namespace {
constexpr int CallTimeout = 5000;

QString isoText(const QDateTime &deadline)
{
    return deadline.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}
} // namespace

RunningInstance::RunningInstance(const QDBusConnection &bus)
    : m_bus(bus)
{
}

bool RunningInstance::isRunning() const
{
    if (!m_bus.isConnected() || !m_bus.interface())
        return false;
    const QDBusReply<bool> owned = m_bus.interface()->isServiceRegistered(ServiceName);
    return owned.isValid() && owned.value();
}

QString RunningInstance::call(const QString &interface, const QString &method, const QVariantList &arguments,
                              QVariantList *results)
{
    if (!isRunning())
        return QStringLiteral("No Vesperon is running in this session.");
    QDBusMessage message = QDBusMessage::createMethodCall(ServiceName, ObjectPath, interface, method);
    message.setArguments(arguments);
    message.setAutoStartService(false);
    // Events go on while waiting, so that a window in this very process can answer.
    const QDBusMessage reply = m_bus.call(message, QDBus::BlockWithGui, CallTimeout);
    if (reply.type() == QDBusMessage::ErrorMessage)
        return reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
    if (results)
        *results = reply.arguments();
    return {};
}

QString RunningInstance::activate(const QVariantMap &platformData)
{
    return call(QStringLiteral("org.freedesktop.Application"), QStringLiteral("Activate"), {platformData});
}

QString RunningInstance::arm(StartOptions::Action action, const QDateTime &deadline)
{
    const QString actionName =
        action == StartOptions::Action::ShutDown ? QStringLiteral("shutdown") : QStringLiteral("restart");
    return call(ControlInterface, QStringLiteral("Arm"), {actionName, isoText(deadline)});
}

QString RunningInstance::disarm()
{
    return call(ControlInterface, QStringLiteral("Disarm"), {});
}

QString RunningInstance::postpone(qint64 seconds)
{
    return call(ControlInterface, QStringLiteral("Postpone"), {QVariant::fromValue(uint(seconds))});
}

QString RunningInstance::status(Status *status)
{
    QVariantList results;
    const QString error =
        call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"), {ControlInterface}, &results);
    if (!error.isEmpty())
        return error;
    QVariantMap properties;
    if (!results.isEmpty())
        results.constFirst().value<QDBusArgument>() >> properties;
    status->armed = properties.value(QStringLiteral("Armed")).toBool();
    status->action = properties.value(QStringLiteral("Action")).toString();
    status->deadline = QDateTime::fromString(properties.value(QStringLiteral("Deadline")).toString(), Qt::ISODate);
    status->remaining = properties.value(QStringLiteral("Remaining"), -1).toLongLong();
    return {};
}

int RunningInstance::carryOut(const StartOptions &options, QTextStream &out, QTextStream &err)
{
    QString error;
    switch (options.request()) {
    case StartOptions::Request::Status: {
        Status current;
        if (!isRunning()) {
            out << "disarmed\n";
            return 1;
        }
        error = status(&current);
        if (!error.isEmpty())
            break;
        if (!current.armed) {
            out << "disarmed\n";
            return 1;
        }
        out << current.action << " at " << current.deadline.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (current.remaining >= 0)
            out << ", " << CountdownMath::FormatRemaining(qint32(current.remaining)) << " left";
        out << '\n';
        return 0;
    }
    case StartOptions::Request::Arm:
        error = arm(options.action(), options.deadline());
        break;
    case StartOptions::Request::Postpone:
        error = postpone(options.postponeSeconds());
        break;
    case StartOptions::Request::Cancel:
        error = disarm();
        break;
    case StartOptions::Request::Open:
        error = activate(platformDataOfThisStart());
        break;
    case StartOptions::Request::Help:
    case StartOptions::Request::Version:
        break;
    }
    if (error.isEmpty())
        return 0;
    err << "vesperon: " << error << '\n';
    return 2;
}

QVariantMap RunningInstance::platformDataOfThisStart()
{
    QVariantMap data;
    if (const QByteArray id = qgetenv("DESKTOP_STARTUP_ID"); !id.isEmpty())
        data.insert(QStringLiteral("desktop-startup-id"), QString::fromUtf8(id));
    if (const QByteArray token = qgetenv("XDG_ACTIVATION_TOKEN"); !token.isEmpty())
        data.insert(QStringLiteral("activation-token"), QString::fromUtf8(token));
    return data;
}
