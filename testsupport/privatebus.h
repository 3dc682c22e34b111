// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>

// A dbus-daemon of a test's own, of the session kind, for real D-Bus round trips that never reach
// the machine's buses. It runs from start() until the object goes.
class PrivateBus final
{
public:
    PrivateBus() = default;
    ~PrivateBus();
    Q_DISABLE_COPY_MOVE(PrivateBus)

    // Starts the daemon and waits for its address; false when dbus-daemon cannot be run.
    bool start();
    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};
