// SPDX-License-Identifier: GPL-3.0-or-later
#include <privatebus.h>
#include <sleepwatcher.h>

#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// A round trip over a private bus that the test starts: a stand-in for logind announces sleep
// and wake-up, and the watcher passes both on. The machine's own buses are never used.
class tst_SleepWatcher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void passesOnSleepAndWakeUp();
    void withoutABusItListensToNothing();

private:
    std::unique_ptr<PrivateBus> m_bus;
};

void tst_SleepWatcher::initTestCase()
{
    m_bus = std::make_unique<PrivateBus>(PrivateBus::Kind::System);
    QVERIFY2(m_bus->isRunning(), qPrintable(m_bus->error()));
}

void tst_SleepWatcher::cleanupTestCase()
{
    m_bus.reset();
}

void tst_SleepWatcher::passesOnSleepAndWakeUp()
{
    const QDBusConnection watcherBus = m_bus->connect();
    QDBusConnection logind = m_bus->connect();
    QVERIFY(watcherBus.isConnected() && logind.isConnected());
    QVERIFY(logind.registerService(QStringLiteral("org.freedesktop.login1")));

    SleepWatcher watcher(watcherBus);
    QVERIFY(watcher.isListening());
    QSignalSpy sleeping(&watcher, &SleepWatcher::aboutToSleep);
    QSignalSpy resumed(&watcher, &SleepWatcher::resumed);
    const auto announce = [&](bool goingToSleep) {
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                                         QStringLiteral("org.freedesktop.login1.Manager"),
                                                         QStringLiteral("PrepareForSleep"));
        signal << goingToSleep;
        QVERIFY(logind.send(signal));
    };
    announce(true);
    QTRY_COMPARE(sleeping.size(), 1);
    QCOMPARE(resumed.size(), 0);
    announce(false);
    QTRY_COMPARE(resumed.size(), 1);
}

void tst_SleepWatcher::withoutABusItListensToNothing()
{
    const QDBusConnection nowhere =
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("nowhere"));
    SleepWatcher watcher(nowhere);
    QVERIFY(!watcher.isListening());
}

QTEST_GUILESS_MAIN(tst_SleepWatcher)
#include "tst_sleepwatcher.moc"
