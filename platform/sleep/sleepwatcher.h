// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>

// Tells when the machine wakes from sleep, from systemd-logind's PrepareForSleep signal on the
// given (system) bus. Where there is no logind, it simply never says anything. It only listens.
class SleepWatcher final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SleepWatcher)

public:
    explicit SleepWatcher(const QDBusConnection &bus, QObject *parent = nullptr);

    bool isListening() const { return m_listening; }

Q_SIGNALS:
    void aboutToSleep();
    void resumed();

private Q_SLOTS:
    void prepareForSleep(bool sleeping);

private:
    bool m_listening = false;
};
