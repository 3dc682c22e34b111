// SPDX-License-Identifier: GPL-3.0-or-later
// Makes one session-end request through the system's own backend, on the buses given, for the test
// that carries Vesperon's requests to mocked services on private buses. It covers the requests no
// command line of Vesperon reaches (the normal restart).
//
//     sessionrequest FLAGS SESSION-BUS-ADDRESS SYSTEM-BUS-ADDRESS
//
// FLAGS are those of ExitWindowsEx (0 log off, 1 shut down, 2 restart, plus 4 forced). The addresses
// must be given; the machine's well-known system bus is refused.
#include <sessionbackend.h>

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    bool ok = false;
    const uint flags = arguments.value(1).toUInt(&ok);
    const QString sessionBus = arguments.value(2);
    const QString systemBus = arguments.value(3);
    if (arguments.size() != 4 || !ok || flags > 7 || sessionBus.isEmpty() || systemBus.isEmpty()) {
        std::fputs("usage: sessionrequest FLAGS SESSION-BUS-ADDRESS SYSTEM-BUS-ADDRESS\n", stderr);
        return 2;
    }
    for (const QString &address : {sessionBus, systemBus}) {
        if (address.contains(QLatin1String("/run/dbus/system_bus_socket"))) {
            std::fputs("sessionrequest: refusing the machine's own system bus\n", stderr);
            return 2;
        }
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", sessionBus.toLocal8Bit());
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", systemBus.toLocal8Bit());
    SessionBackend::createSystem()->exitWindows(flags);
    return 0;
}
