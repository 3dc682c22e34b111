// SPDX-License-Identifier: GPL-3.0-or-later
#include "sleepwatcher.h"

SleepWatcher::SleepWatcher(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
{
    QDBusConnection connection = bus;
    if (connection.isConnected()) {
        m_listening =
            connection.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                               QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
                               this, SLOT(prepareForSleep(bool)));
    }
}

void SleepWatcher::prepareForSleep(bool sleeping)
{
    if (sleeping)
        Q_EMIT aboutToSleep();
    else
        Q_EMIT resumed();
}
