// SPDX-License-Identifier: GPL-3.0-or-later
#include "privatebus.h"

#include <QFile>

#include <atomic>

namespace {
const char *const Configuration = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>%1</type>
  <keep_umask/>
  <listen>unix:dir=%2</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)";

std::atomic<int> connectionCount{0};
} // namespace

PrivateBus::PrivateBus(Kind kind)
    : m_kind(kind)
{
    if (!m_folder.isValid()) {
        m_error = QStringLiteral("no folder for the bus");
        return;
    }
    const QString configuration = m_folder.filePath(QStringLiteral("bus.conf"));
    QFile file(configuration);
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = QStringLiteral("cannot write %1").arg(configuration);
        return;
    }
    file.write(QString::fromLatin1(Configuration)
                   .arg(kind == Kind::Session ? QStringLiteral("session") : QStringLiteral("system"), m_folder.path())
                   .toUtf8());
    file.close();

    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                    QStringLiteral("--config-file=") + configuration, QStringLiteral("--print-address=1")});
    if (!m_daemon.waitForStarted(5000)) {
        m_error = QStringLiteral("dbus-daemon did not start: ") + m_daemon.errorString();
        return;
    }
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(10000)) {
    }
    const QString address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    if (!address.startsWith(QLatin1String("unix:")) || !address.contains(m_folder.path())) {
        m_error = QStringLiteral("dbus-daemon gave no address in its folder: ") + address;
        return;
    }
    m_address = address;
}

PrivateBus::~PrivateBus()
{
    for (const QString &name : std::as_const(m_connections))
        QDBusConnection::disconnectFromBus(name);
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(5000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(5000);
        }
    }
}

QDBusConnection PrivateBus::connect()
{
    const QString name = QStringLiteral("vesperon-test-bus-%1").arg(connectionCount++);
    m_connections.append(name);
    return QDBusConnection::connectToBus(m_address, name);
}

QProcessEnvironment PrivateBus::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &key : environment.keys()) {
        if (key.startsWith(QLatin1String("DBUS_")))
            environment.remove(key);
    }
    // Without a running bus, an address where nothing answers, never an empty one that would
    // lead to the machine's own bus.
    const QString address =
        isRunning() ? m_address : QStringLiteral("unix:path=") + m_folder.filePath(QStringLiteral("no-bus"));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), address);
    return environment;
}
