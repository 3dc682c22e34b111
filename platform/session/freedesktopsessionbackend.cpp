// SPDX-License-Identifier: GPL-3.0-or-later
#include "freedesktopsessionbackend.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QVariant>

#include <algorithm>

#include <unistd.h>

namespace {
const QString SessionBusName = QStringLiteral("vesperon-session-bus");
const QString SystemBusName = QStringLiteral("vesperon-system-bus");

const QString DBusService = QStringLiteral("org.freedesktop.DBus");
const QString DBusPath = QStringLiteral("/org/freedesktop/DBus");
const QString Login1Service = QStringLiteral("org.freedesktop.login1");
const QString Login1Path = QStringLiteral("/org/freedesktop/login1");
const QString Login1Manager = QStringLiteral("org.freedesktop.login1.Manager");

struct Request
{
    QString method;
    QVariantList arguments;
};

// A desktop's session manager and the requests that end the session through it without a
// confirmation dialog, so that applications may still save their work or object.
struct SessionManager
{
    QString service;
    QString path;
    QString interface;
    Request logOff;
    Request shutDown;
    Request reboot;
    // Asked only when XDG_CURRENT_DESKTOP names this desktop ("X-Cinnamon" counts as "Cinnamon").
    QString desktop;
    // The methods are declared without a reply: the call is sent and not waited for.
    bool noReply = false;
};

// The desktops' own names come before GNOME's, which other session managers also take.
const QList<SessionManager> &sessionManagers()
{
    // Logout mode 1: no confirmation dialog, but applications may still inhibit.
    const Request logoutNoDialog{QStringLiteral("Logout"), {QVariant::fromValue(1u)}};
    const Request requestShutdown{QStringLiteral("RequestShutdown"), {}};
    const Request requestReboot{QStringLiteral("RequestReboot"), {}};
    const QVariant allowSave(true);
    static const QList<SessionManager> managers{
        {QStringLiteral("org.kde.Shutdown"),
         QStringLiteral("/Shutdown"),
         QStringLiteral("org.kde.Shutdown"),
         {QStringLiteral("logout"), {}},
         {QStringLiteral("logoutAndShutdown"), {}},
         {QStringLiteral("logoutAndReboot"), {}},
         {},
         false},
        {QStringLiteral("org.xfce.SessionManager"),
         QStringLiteral("/org/xfce/SessionManager"),
         QStringLiteral("org.xfce.Session.Manager"),
         {QStringLiteral("Logout"), {QVariant(false), allowSave}},
         {QStringLiteral("Shutdown"), {allowSave}},
         {QStringLiteral("Restart"), {allowSave}},
         {},
         false},
        // MATE's and Cinnamon's Shutdown and Reboot open a dialog; RequestShutdown and
        // RequestReboot do not.
        {QStringLiteral("org.mate.SessionManager"),
         QStringLiteral("/org/mate/SessionManager"),
         QStringLiteral("org.mate.SessionManager"),
         logoutNoDialog,
         requestShutdown,
         requestReboot,
         {},
         false},
        {QStringLiteral("org.cinnamon.SessionManager"),
         QStringLiteral("/org/cinnamon/SessionManager"),
         QStringLiteral("org.cinnamon.SessionManager"),
         logoutNoDialog,
         requestShutdown,
         requestReboot,
         {},
         false},
        {QStringLiteral("org.lxqt.session"),
         QStringLiteral("/LXQtSession"),
         QStringLiteral("org.lxqt.session"),
         {QStringLiteral("logout"), {}},
         {QStringLiteral("powerOff"), {}},
         {QStringLiteral("reboot"), {}},
         {},
         true},
        // Newer Cinnamon sessions answer under GNOME's name.
        {QStringLiteral("org.gnome.SessionManager"), QStringLiteral("/org/gnome/SessionManager"),
         QStringLiteral("org.gnome.SessionManager"), logoutNoDialog, requestShutdown, requestReboot,
         QStringLiteral("Cinnamon"), false},
        {QStringLiteral("org.gnome.SessionManager"),
         QStringLiteral("/org/gnome/SessionManager"),
         QStringLiteral("org.gnome.SessionManager"),
         logoutNoDialog,
         {QStringLiteral("Shutdown"), {}},
         {QStringLiteral("Reboot"), {}},
         {},
         false},
    };
    return managers;
}

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

    const QStringList desktops =
        QString::fromLocal8Bit(qgetenv("XDG_CURRENT_DESKTOP")).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const SessionManager &manager : sessionManagers()) {
        if (!manager.desktop.isEmpty() && std::none_of(desktops.cbegin(), desktops.cend(), [&](const QString &desktop) {
                return desktop.endsWith(manager.desktop);
            }))
            continue;
        if (!hasOwner(bus, manager.service))
            continue;
        const Request &request = action == Action::LogOff ? manager.logOff
            : action == Action::ShutDown                  ? manager.shutDown
                                                          : manager.reboot;
        if (manager.noReply) {
            QDBusMessage message =
                QDBusMessage::createMethodCall(manager.service, manager.path, manager.interface, request.method);
            message.setArguments(request.arguments);
            bus.send(message);
            // A round trip to the bus behind it: the request has left when this returns.
            call(bus, DBusService, DBusPath, DBusService, QStringLiteral("GetId"));
        } else {
            call(bus, manager.service, manager.path, manager.interface, request.method, request.arguments);
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
    const QDBusMessage reply = call(bus, DBusService, DBusPath, DBusService, QStringLiteral("NameHasOwner"), {service});
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
