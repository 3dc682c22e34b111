// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A dbus-daemon of the test's own, listening in a folder of its own, open to every name and call
// and with no services to start on demand, so that nothing of the machine's session answers on it.
// It runs for the life of the object; the connections made through it are closed before it ends.
class PrivateBus final
{
public:
    enum class Kind { Session, System };

    explicit PrivateBus(Kind kind = Kind::Session);
    ~PrivateBus();
    Q_DISABLE_COPY_MOVE(PrivateBus)

    // False when dbus-daemon could not be started; the reason is in error().
    bool isRunning() const { return !m_address.isEmpty(); }
    QString error() const { return m_error; }
    QString address() const { return m_address; }
    Kind kind() const { return m_kind; }

    // A new connection to this bus.
    QDBusConnection connect();

    // The environment of this process with both bus addresses leading to this bus only, for a
    // program the test starts.
    QProcessEnvironment environment() const;

private:
    Kind m_kind;
    QTemporaryDir m_folder;
    QProcess m_daemon;
    QString m_address;
    QString m_error;
    QStringList m_connections;
};
