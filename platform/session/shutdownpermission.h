// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>

// What the system would say, now, to this user's request to shut down or restart: asked of
// systemd-logind (CanPowerOff, CanReboot on the given system bus) without waiting, and answered
// once per ask() by answered(). Windows has no such question: the answer there is always Yes.
//
// The answer is a forecast, not a permission: the request itself is made as always, and logind
// may still decide otherwise when it comes.
class ShutdownPermission final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShutdownPermission)

public:
    enum class Action { PowerOff, Reboot };
    Q_ENUM(Action)
    enum class Answer {
        Yes,          // "yes": allowed
        Challenge,    // "challenge": allowed after authentication, which a request made without a
                      // dialog does not give
        No,           // "no": not permitted
        NotAvailable, // "na": the system cannot do it at all
        Unknown,      // no logind, an error, or an answer of another kind
    };
    Q_ENUM(Answer)

    explicit ShutdownPermission(const QDBusConnection &systemBus, QObject *parent = nullptr);

    void ask(Action action);

Q_SIGNALS:
    void answered(ShutdownPermission::Action action, ShutdownPermission::Answer answer);

private:
    QDBusConnection m_bus;
};
