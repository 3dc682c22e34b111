// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sessionbackend.h"

#include <QDBusConnection>
#include <QString>

// The session end on a freedesktop system, over D-Bus only (no shutdown commands are run).
// A normal request goes to the desktop's session manager on the session bus (KDE Plasma, Xfce,
// MATE, Cinnamon, LXQt or GNOME, whichever owns its name), asked for the end without a
// confirmation dialog, so that applications may save their work or object. A forced
// request, and a normal one when no session manager is there, goes to systemd-logind on the
// system bus. Every call is bounded by a short timeout (LXQt's, declared without a reply, are not
// waited for at all) and its answer is not examined.
//
// The buses are the ones named by DBUS_SESSION_BUS_ADDRESS and DBUS_SYSTEM_BUS_ADDRESS when
// those are set, the standard ones otherwise.
class FreedesktopSessionBackend final : public SessionBackend
{
public:
    // How long one call may hold the window up.
    static constexpr int CallTimeoutMs = 2000;

    FreedesktopSessionBackend();
    ~FreedesktopSessionBackend() override;

    // Nothing to enable: logind decides by policy, not by a token privilege.
    void enableShutdownPrivilege() override { }
    void exitWindows(std::uint32_t flags) override;

private:
    enum class Action { LogOff, ShutDown, Reboot };

    bool askSessionManager(Action action);
    void askLogind(Action action);
    QString ownSessionId();
    bool hasOwner(QDBusConnection &bus, const QString &service);

    QDBusConnection &sessionBus();
    QDBusConnection &systemBus();

    QDBusConnection m_sessionBus;
    QDBusConnection m_systemBus;
    bool m_sessionBusOpened = false;
    bool m_systemBusOpened = false;
};
