// SPDX-License-Identifier: GPL-3.0-or-later
#include <dbusmock.h>
#include <desktopnotifier.h>
#include <privatebus.h>

#include <QDBusPendingCallWatcher>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");

const DesktopNotifier::Notification Warning{QStringLiteral("Shut-Down in 3 minutes"),
                                            QStringLiteral("Deadline: 2026-12-10 23:30:00"),
                                            {{QStringLiteral("cancel"), QStringLiteral("Cancel")},
                                             {QStringLiteral("postpone"), QStringLiteral("Postpone 10 minutes")}},
                                            DesktopNotifier::Urgency::Critical};

DesktopNotifier::Notification titled(const QString &summary)
{
    return {summary, QString(), {}, DesktopNotifier::Urgency::Normal};
}
} // namespace

// The notifier against python-dbusmock's notification server on a session bus of the test's own.
class tst_DesktopNotifier : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void notify_data();
    void notify();
    void goesOutWithoutTheEventLoop();
    void replacesAndClosesInOrder();
    void passesOnActionsOfItsOwnNotification();
    void aServerThatComesLaterIsUsed();
    void withoutABusNothingHappens();

private:
    bool startServer(const QString &capabilities);
    DesktopNotifier *makeNotifier(const QImage &icon = QImage());
    // One call to the server on the notifier's connection and its answer: the server has answered
    // everything the notifier sent before, and the notifier has taken the answers in.
    void roundTrip();

    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<DBusMock> m_server;
    QDBusConnection m_connection{QString()};
    std::unique_ptr<DesktopNotifier> m_notifier;
};

void tst_DesktopNotifier::init()
{
    m_bus = std::make_unique<PrivateBus>();
    QVERIFY2(m_bus->isRunning(), qPrintable(m_bus->error()));
    m_connection = m_bus->connect();
    QVERIFY(m_connection.isConnected());
}

void tst_DesktopNotifier::cleanup()
{
    m_notifier.reset();
    m_server.reset();
    m_connection = QDBusConnection(QString());
    m_bus.reset();
}

bool tst_DesktopNotifier::startServer(const QString &capabilities)
{
    m_server = std::make_unique<DBusMock>(*m_bus, QStringLiteral("notification_daemon"), Service, Path,
                                          QVariantMap{{QStringLiteral("capabilities"), capabilities}});
    if (!m_server->isRunning())
        qWarning("%s", qPrintable(m_server->error()));
    return m_server->isRunning();
}

DesktopNotifier *tst_DesktopNotifier::makeNotifier(const QImage &icon)
{
    m_notifier = std::make_unique<DesktopNotifier>(m_connection, QStringLiteral("Vesperon"),
                                                   QStringLiteral("org.vesperon.Vesperon"),
                                                   QStringLiteral("org.vesperon.Vesperon"), icon);
    return m_notifier.get();
}

void tst_DesktopNotifier::roundTrip()
{
    QDBusPendingCallWatcher call(m_connection.asyncCall(
        QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("GetCapabilities"))));
    QSignalSpy finished(&call, &QDBusPendingCallWatcher::finished);
    QVERIFY(finished.wait(10000));
    QCoreApplication::processEvents();
}

void tst_DesktopNotifier::notify_data()
{
    QTest::addColumn<QString>("capabilities");
    QTest::addColumn<QStringList>("actions");
    QTest::newRow("a server that shows actions")
        << "actions body icon-static" << QStringList{"cancel", "Cancel", "postpone", "Postpone 10 minutes"};
    QTest::newRow("a server without actions") << "body icon-static" << QStringList();
}

void tst_DesktopNotifier::notify()
{
    QFETCH(QString, capabilities);
    QFETCH(QStringList, actions);
    QVERIFY(startServer(capabilities));
    QImage icon(3, 2, QImage::Format_RGBA8888);
    icon.fill(QColor(10, 20, 30, 40));
    makeNotifier(icon)->show(Warning);

    QTRY_COMPARE(m_server->calls(QStringLiteral("Notify")).size(), 1);
    const QVariantList arguments = m_server->calls(QStringLiteral("Notify")).constFirst().arguments;
    QCOMPARE(arguments.size(), 8);
    QCOMPARE(arguments.at(0).toString(), QStringLiteral("Vesperon"));
    QCOMPARE(arguments.at(1).toUInt(), 0u);
    QCOMPARE(arguments.at(2).toString(), QStringLiteral("org.vesperon.Vesperon"));
    QCOMPARE(arguments.at(3).toString(), Warning.summary);
    QCOMPARE(arguments.at(4).toString(), Warning.body);
    QCOMPARE(arguments.at(5).toStringList(), actions);
    const QVariantMap hints = arguments.at(6).toMap();
    QCOMPARE(hints.value(QStringLiteral("urgency")).toInt(), 2);
    QCOMPARE(hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("org.vesperon.Vesperon"));
    const QVariantList image = hints.value(QStringLiteral("image-data")).toList();
    QCOMPARE(image.size(), 7);
    QCOMPARE(image.at(0).toInt(), 3);
    QCOMPARE(image.at(1).toInt(), 2);
    QCOMPARE(image.at(2).toInt(), 12);
    QCOMPARE(image.at(3).toBool(), true);
    QCOMPARE(image.at(4).toInt(), 8);
    QCOMPARE(image.at(5).toInt(), 4);
    QCOMPARE(image.at(6).toByteArray().left(4), QByteArray("\x0a\x14\x1e\x28"));
    QCOMPARE(image.at(6).toByteArray().size(), 24);
    QCOMPARE(arguments.at(7).toInt(), -1);
}

// The notification shown before a sound that holds the thread up reaches the server meanwhile.
void tst_DesktopNotifier::goesOutWithoutTheEventLoop()
{
    QVERIFY(startServer(QStringLiteral("actions body")));
    DesktopNotifier *notifier = makeNotifier();
    notifier->show(titled(QStringLiteral("first")));
    QTRY_COMPARE(m_server->calls(QStringLiteral("Notify")).size(), 1);
    roundTrip();

    notifier->show(Warning);
    QVERIFY(m_server->waitForCalls(QStringLiteral("Notify"), 2));
    const QVariantList second = m_server->calls(QStringLiteral("Notify")).at(1).arguments;
    QCOMPARE(second.at(1).toUInt(), 1u);
    QCOMPARE(second.at(3).toString(), Warning.summary);
}

void tst_DesktopNotifier::replacesAndClosesInOrder()
{
    QVERIFY(startServer(QStringLiteral("actions body")));
    DesktopNotifier *notifier = makeNotifier();
    roundTrip();
    // "two" and "three" come while "one" is out: the last of them replaces it once its id is back.
    notifier->show(titled(QStringLiteral("one")));
    notifier->show(titled(QStringLiteral("two")));
    notifier->show(titled(QStringLiteral("three")));
    QTRY_COMPARE(m_server->calls(QStringLiteral("Notify")).size(), 2);
    roundTrip();
    notifier->close();
    // The close comes while "four" is out: it closes "four" once its id is back.
    notifier->show(titled(QStringLiteral("four")));
    notifier->close();
    QTRY_COMPARE(m_server->calls(QStringLiteral("CloseNotification")).size(), 2);

    QStringList sequence;
    for (const DBusMock::Call &call : m_server->calls()) {
        if (call.method == u"Notify")
            sequence << QStringLiteral("%1 replaces %2")
                            .arg(call.arguments.at(3).toString())
                            .arg(call.arguments.at(1).toUInt());
        else if (call.method == u"CloseNotification")
            sequence << QStringLiteral("close %1").arg(call.arguments.at(0).toUInt());
    }
    QCOMPARE(sequence, (QStringList{"one replaces 0", "three replaces 1", "close 1", "four replaces 0", "close 2"}));
}

void tst_DesktopNotifier::passesOnActionsOfItsOwnNotification()
{
    QVERIFY(startServer(QStringLiteral("actions body")));
    DesktopNotifier *notifier = makeNotifier();
    QSignalSpy invoked(notifier, &DesktopNotifier::actionInvoked);
    notifier->show(Warning);
    QTRY_COMPARE(m_server->calls(QStringLiteral("Notify")).size(), 1);
    roundTrip();

    // Another program's notification, then this one's.
    m_server->emitSignal(Interface, QStringLiteral("ActionInvoked"), QStringLiteral("us"),
                         {7u, QStringLiteral("cancel")});
    m_server->emitSignal(Interface, QStringLiteral("ActionInvoked"), QStringLiteral("us"),
                         {1u, QStringLiteral("postpone")});
    QTRY_COMPARE(invoked.size(), 1);
    QCOMPARE(invoked.constFirst().constFirst().toString(), QStringLiteral("postpone"));

    // Closed by the server, the notification is no longer this notifier's to close or to act on.
    m_server->emitSignal(Interface, QStringLiteral("NotificationClosed"), QStringLiteral("uu"), {1u, 2u});
    roundTrip();
    m_server->emitSignal(Interface, QStringLiteral("ActionInvoked"), QStringLiteral("us"),
                         {1u, QStringLiteral("cancel")});
    notifier->close();
    roundTrip();
    QCOMPARE(invoked.size(), 1);
    QCOMPARE(m_server->calls(QStringLiteral("CloseNotification")).size(), 0);
}

void tst_DesktopNotifier::aServerThatComesLaterIsUsed()
{
    DesktopNotifier *notifier = makeNotifier();
    QSignalSpy invoked(notifier, &DesktopNotifier::actionInvoked);
    notifier->show(Warning);
    notifier->close();
    roundTrip();

    QVERIFY(startServer(QStringLiteral("actions body")));
    QTRY_COMPARE(m_server->calls(QStringLiteral("GetCapabilities")).size(), 1);
    roundTrip();
    notifier->show(Warning);
    QVERIFY(m_server->waitForCalls(QStringLiteral("Notify")));
    QCOMPARE(m_server->calls(QStringLiteral("Notify")).constFirst().arguments.at(5).toStringList().size(), 4);
    QCOMPARE(invoked.size(), 0);
}

void tst_DesktopNotifier::withoutABusNothingHappens()
{
    const QDBusConnection nowhere =
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("nowhere"));
    QVERIFY(!nowhere.isConnected());
    {
        DesktopNotifier notifier(nowhere, QStringLiteral("Vesperon"), QString(), QString());
        QSignalSpy invoked(&notifier, &DesktopNotifier::actionInvoked);
        notifier.show(Warning);
        notifier.close();
        notifier.show(Warning);
        QCoreApplication::processEvents();
        QCOMPARE(invoked.size(), 0);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
}

QTEST_GUILESS_MAIN(tst_DesktopNotifier)
#include "tst_desktopnotifier.moc"
