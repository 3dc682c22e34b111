// SPDX-License-Identifier: GPL-3.0-or-later
#include "freedesktopsessionbackend.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QVariant>

#include <unistd.h>

namespace {
const QString SessionBusName = QStringLiteral("vesperon-session-bus");
const QString SystemBusName = QStringLiteral("vesperon-system-bus");

const QString Login1Service = QStringLiteral("org.freedesktop.login1");
const QString Login1Path = QStringLiteral("/org/freedesktop/login1");
const QString Login1Manager = QStringLiteral("org.freedesktop.login1.Manager");

QDBusConnection openBus(QDBusConnection::BusType type, const char *addressVariable, const QString &name)
{
    const QByteArray address = qgetenv(addressVariable);
    if (!address.isEmpty())
        return QDBusConnection::connectToBus(QString::fromLocal8Bit(address), name);
    return QDBusConnection::connectToBus(type, name);
}

QDBusMessage call(QDBusConnection &bus, const QString &service, const QString &path, const QString &interface,
                  const QString &method, const QVariantList &arguments = {})
{
    if (!bus.isConnected())
        return {};
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return bus.call(message, QDBus::Block, FreedesktopSessionBackend::CallTimeoutMs);
}
} // namespace

FreedesktopSessionBackend::FreedesktopSessionBackend()
    : m_sessionBus(SessionBusName)
    , m_systemBus(SystemBusName)
{
}

FreedesktopSessionBackend::~FreedesktopSessionBackend()
{
    if (m_sessionBusOpened)
        QDBusConnection::disconnectFromBus(SessionBusName);
    if (m_systemBusOpened)
        QDBusConnection::disconnectFromBus(SystemBusName);
}

void FreedesktopSessionBackend::exitWindows(std::uint32_t flags)
{
    Action action = Action::LogOff;
    if (flags & ShutDown)
        action = Action::ShutDown;
    else if (flags & Reboot)
        action = Action::Reboot;

    if ((flags & Force) == 0 && askSessionManager(action))
        return;
    askLogind(action);
}

bool FreedesktopSessionBackend::askSessionManager(Action action)
{
    QDBusConnection &bus = sessionBus();
    if (!bus.isConnected())
        return false;

    const QString gnome = QStringLiteral("org.gnome.SessionManager");
    if (hasOwner(bus, gnome)) {
        const QString path = QStringLiteral("/org/gnome/SessionManager");
        switch (action) {
        case Action::LogOff:
            // Mode 1: no confirmation dialog, but applications may still inhibit.
            call(bus, gnome, path, gnome, QStringLiteral("Logout"), {QVariant::fromValue(1u)});
            break;
        case Action::ShutDown:
            call(bus, gnome, path, gnome, QStringLiteral("Shutdown"));
            break;
        case Action::Reboot:
            call(bus, gnome, path, gnome, QStringLiteral("Reboot"));
            break;
        }
        return true;
    }

    const QString kde = QStringLiteral("org.kde.Shutdown");
    if (hasOwner(bus, kde)) {
        const QString path = QStringLiteral("/Shutdown");
        switch (action) {
        case Action::LogOff:
            call(bus, kde, path, kde, QStringLiteral("logout"));
            break;
        case Action::ShutDown:
            call(bus, kde, path, kde, QStringLiteral("logoutAndShutdown"));
            break;
        case Action::Reboot:
            call(bus, kde, path, kde, QStringLiteral("logoutAndReboot"));
            break;
        }
        return true;
    }

    const QString xfce = QStringLiteral("org.xfce.SessionManager");
    if (hasOwner(bus, xfce)) {
        const QString path = QStringLiteral("/org/xfce/SessionManager");
        const QString interface = QStringLiteral("org.xfce.Session.Manager");
        const QVariant allowSave(true);
        switch (action) {
        case Action::LogOff:
            call(bus, xfce, path, interface, QStringLiteral("Logout"), {QVariant(false), allowSave});
            break;
        case Action::ShutDown:
            call(bus, xfce, path, interface, QStringLiteral("Shutdown"), {allowSave});
            break;
        case Action::Reboot:
            call(bus, xfce, path, interface, QStringLiteral("Restart"), {allowSave});
            break;
        }
        return true;
    }
    return false;
}

void FreedesktopSessionBackend::askLogind(Action action)
{
    QDBusConnection &bus = systemBus();
    const QVariant interactive(false);
    switch (action) {
    case Action::LogOff: {
        const QString id = ownSessionId();
        if (!id.isEmpty())
            call(bus, Login1Service, Login1Path, Login1Manager, QStringLiteral("TerminateSession"), {id});
        break;
    }
    case Action::ShutDown:
        call(bus, Login1Service, Login1Path, Login1Manager, QStringLiteral("PowerOff"), {interactive});
        break;
    case Action::Reboot:
        call(bus, Login1Service, Login1Path, Login1Manager, QStringLiteral("Reboot"), {interactive});
        break;
    }
}

QString FreedesktopSessionBackend::ownSessionId()
{
    QDBusConnection &bus = systemBus();
    const QDBusMessage byPid = call(bus, Login1Service, Login1Path, Login1Manager, QStringLiteral("GetSessionByPID"),
                                    {QVariant::fromValue(static_cast<quint32>(::getpid()))});
    if (byPid.type() == QDBusMessage::ReplyMessage && !byPid.arguments().isEmpty()) {
        const QString path = byPid.arguments().constFirst().value<QDBusObjectPath>().path();
        const QDBusMessage property =
            call(bus, Login1Service, path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                 {QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("Id")});
        if (property.type() == QDBusMessage::ReplyMessage && !property.arguments().isEmpty()) {
            const QString id = property.arguments().constFirst().value<QDBusVariant>().variant().toString();
            if (!id.isEmpty())
                return id;
        }
    }
    return QString::fromLocal8Bit(qgetenv("XDG_SESSION_ID"));
}

bool FreedesktopSessionBackend::hasOwner(QDBusConnection &bus, const QString &service)
{
    const QDBusMessage reply =
        call(bus, QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
             QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"), {service});
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
        && reply.arguments().constFirst().toBool();
}

QDBusConnection &FreedesktopSessionBackend::sessionBus()
{
    if (!m_sessionBusOpened) {
        m_sessionBus = openBus(QDBusConnection::SessionBus, "DBUS_SESSION_BUS_ADDRESS", SessionBusName);
        m_sessionBusOpened = true;
    }
    return m_sessionBus;
}

QDBusConnection &FreedesktopSessionBackend::systemBus()
{
    if (!m_systemBusOpened) {
        m_systemBus = openBus(QDBusConnection::SystemBus, "DBUS_SYSTEM_BUS_ADDRESS", SystemBusName);
        m_systemBusOpened = true;
    }
    return m_systemBus;
}
