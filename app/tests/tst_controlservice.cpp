// SPDX-License-Identifier: GPL-3.0-or-later
#include "controlservice.h"
#include "mainwindowfixture.h"
#include "runninginstance.h"

#include <privatebus.h>

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace MainWindowTest;

namespace {
const QString ServiceBus = QStringLiteral("vesperon-service");
const QString ClientBus = QStringLiteral("vesperon-client");
} // namespace

// Vesperon's control interface over a private session bus that the test starts: the window (with a
// clock that moves only when told) answers on one connection, the test calls from another and
// also starts the real program as a client, so every call is a real round trip.
class tst_ControlService : public QObject
{
    Q_OBJECT

public:
    // Records PropertiesChanged of the control interface.
    struct Listener;

private slots:
    void initTestCase();
    void cleanupTestCase();
    void arm_data();
    void arm();
    void postponeGivesTheWarningsAgain();
    void disarmAndActions();
    void propertiesChangedReachAListener();
    void commandLineTalksToTheRunningWindow();
    void secondStartBringsTheWindowForward();

private:
    struct Service
    {
        explicit Service(const QTime &start)
            : window(start)
            , control(*window.window)
        {
            const QDBusConnection bus = QDBusConnection(ServiceBus);
            control.exportOn(bus);
            QDBusConnection(ServiceBus).registerService(RunningInstance::ServiceName);
        }
        ~Service()
        {
            QDBusConnection(ServiceBus).unregisterObject(RunningInstance::ObjectPath);
            QDBusConnection(ServiceBus).unregisterService(RunningInstance::ServiceName);
        }
        Fixture window;
        ControlService control;
    };

    QDBusMessage call(const QString &interface, const QString &method, const QVariantList &arguments = {});
    void runClient(const QStringList &arguments, int *exitCode, QString *output);

    std::unique_ptr<PrivateBus> m_bus;
    QTemporaryDir m_runtime;
};

void tst_ControlService::initTestCase()
{
    m_bus = std::make_unique<PrivateBus>();
    QVERIFY2(m_bus->isRunning(), qPrintable(m_bus->error()));
    QVERIFY(QDBusConnection::connectToBus(m_bus->address(), ServiceBus).isConnected());
    QVERIFY(QDBusConnection::connectToBus(m_bus->address(), ClientBus).isConnected());
}

void tst_ControlService::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus(ServiceBus);
    QDBusConnection::disconnectFromBus(ClientBus);
    m_bus.reset();
}

QDBusMessage tst_ControlService::call(const QString &interface, const QString &method, const QVariantList &arguments)
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(RunningInstance::ServiceName, RunningInstance::ObjectPath, interface, method);
    message.setArguments(arguments);
    return QDBusConnection(ClientBus).call(message, QDBus::BlockWithGui, 5000);
}

void tst_ControlService::runClient(const QStringList &arguments, int *exitCode, QString *output)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus->address());
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"),
                       QStringLiteral("unix:path=/nonexistent/vesperon-test-system-bus"));
    environment.remove(QStringLiteral("DBUS_STARTER_ADDRESS"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    QProcess client;
    client.setProcessEnvironment(environment);
    client.start(QStringLiteral(VESPERON_BINARY), arguments);
    // The window in this process answers the client's calls meanwhile.
    QTRY_VERIFY_WITH_TIMEOUT(client.state() == QProcess::NotRunning, 20000);
    *exitCode = client.exitStatus() == QProcess::NormalExit ? client.exitCode() : -1;
    *output = QString::fromLocal8Bit(client.readAllStandardOutput() + client.readAllStandardError());
}

void tst_ControlService::arm_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("deadline");
    QTest::addColumn<QString>("error"); // empty: armed
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("label"); // after the first tick

    QTest::newRow("shutdown") << "shutdown"
                              << "2026-12-10T10:10:00"
                              << "" << 0 << "Time until Shutdown: 00:10:00";
    QTest::newRow("restart tomorrow") << "restart"
                                      << "2026-12-11T10:00:00"
                                      << "" << 1 << "Time until Restart: 1 Tg. 00:00:00";
    QTest::newRow("past") << "shutdown"
                          << "2026-12-10T09:59:00"
                          << "org.vesperon.Vesperon1.Error.Refused" << 2 << "";
    QTest::newRow("this very second") << "shutdown"
                                      << "2026-12-10T10:00:00"
                                      << "org.vesperon.Vesperon1.Error.Refused" << 2 << "";
    QTest::newRow("too far ahead") << "restart"
                                   << "2095-12-10T10:00:00"
                                   << "org.vesperon.Vesperon1.Error.Refused" << 2 << "";
    QTest::newRow("unknown action") << "halt"
                                    << "2026-12-10T10:10:00"
                                    << "org.freedesktop.DBus.Error.InvalidArgs" << 2 << "";
    QTest::newRow("not a date") << "shutdown"
                                << "tonight"
                                << "org.freedesktop.DBus.Error.InvalidArgs" << 2 << "";
    QTest::newRow("not local time") << "shutdown"
                                    << "2026-12-10T10:10:00Z"
                                    << "org.freedesktop.DBus.Error.InvalidArgs" << 2 << "";
}

void tst_ControlService::arm()
{
    QFETCH(QString, action);
    QFETCH(QString, deadline);
    QFETCH(QString, error);
    QFETCH(int, option);
    QFETCH(QString, label);

    Service service(QTime(10, 0));
    Fixture &f = service.window;
    const QVariant dateBefore = f.window->dateEdit()->property("Value");
    const QVariant timeBefore = f.window->timeEdit()->property("SecondsPastMidnight");

    const QDBusMessage reply = call(RunningInstance::ControlInterface, QStringLiteral("Arm"), {action, deadline});
    QCOMPARE(reply.type() == QDBusMessage::ErrorMessage ? reply.errorName() : QString(), error);
    QVERIFY(f.option(option)->isChecked());
    if (!error.isEmpty()) {
        // A refused arming changes nothing.
        QCOMPARE(f.window->dateEdit()->property("Value"), dateBefore);
        QCOMPARE(f.window->timeEdit()->property("SecondsPastMidnight"), timeBefore);
        QVERIFY(f.played().isEmpty());
        return;
    }
    // Armed as a user arms: the arm sound, the pistol, the timer.
    QCOMPARE(f.played(), QStringList{QStringLiteral("skill.wav")});
    QVERIFY(f.pistol()->isVisibleTo(f.window.get()));
    QVERIFY(f.window->timTControl()->isActive());
    QCOMPARE(f.window->deadline(), QDateTime::fromString(deadline, Qt::ISODate));
    f.tick();
    QCOMPARE(f.remainsText(), label);
}

void tst_ControlService::postponeGivesTheWarningsAgain()
{
    Service service(QTime(10, 0));
    Fixture &f = service.window;
    QCOMPARE(call(RunningInstance::ControlInterface, QStringLiteral("Arm"), {"shutdown", "2026-12-10T10:03:20"}).type(),
             QDBusMessage::ReplyMessage);
    f.player.clear();
    f.run(25);
    QCOMPARE(f.played(), QStringList{QStringLiteral("s3mins.wav (wait)")});

    QCOMPARE(
        call(RunningInstance::ControlInterface, QStringLiteral("Postpone"), {QVariant::fromValue(uint(600))}).type(),
        QDBusMessage::ReplyMessage);
    QCOMPARE(f.window->deadline(), QDateTime(Today, QTime(10, 13, 20)));
    f.player.clear();
    f.run(10 * 60 + 1);
    QCOMPARE(f.played(), QStringList{QStringLiteral("s3mins.wav (wait)")});
    f.run(120);
    QCOMPARE(f.played(), (QStringList{QStringLiteral("s3mins.wav (wait)"), QStringLiteral("s1min.wav (wait)")}));
    f.run(61);
    QCOMPARE(f.requests(), QStringLiteral("enable shutdown privilege, force shut down"));

    // Nothing to postpone once the countdown has ended.
    const QDBusMessage late =
        call(RunningInstance::ControlInterface, QStringLiteral("Postpone"), {QVariant::fromValue(uint(60))});
    QCOMPARE(late.errorName(), QStringLiteral("org.vesperon.Vesperon1.Error.Refused"));
}

void tst_ControlService::disarmAndActions()
{
    Service service(QTime(10, 0));
    Fixture &f = service.window;
    const QString application = QStringLiteral("org.freedesktop.Application");

    // Postponing needs an armed countdown.
    QCOMPARE(
        call(application, QStringLiteral("ActivateAction"), {"postpone", QVariantList{}, QVariantMap{}}).errorName(),
        QStringLiteral("org.vesperon.Vesperon1.Error.Refused"));

    call(RunningInstance::ControlInterface, QStringLiteral("Arm"), {"restart", "2026-12-10T11:00:00"});
    QVERIFY(f.option(1)->isChecked());
    QCOMPARE(call(application, QStringLiteral("ActivateAction"), {"postpone", QVariantList{}, QVariantMap{}}).type(),
             QDBusMessage::ReplyMessage);
    QCOMPARE(f.window->deadline(), QDateTime(Today, QTime(11, 10)));
    QCOMPARE(call(application, QStringLiteral("ActivateAction"),
                  {"postpone", QVariantList{QVariant::fromValue(QDBusVariant(uint(50)))}, QVariantMap{}})
                 .type(),
             QDBusMessage::ReplyMessage);
    QCOMPARE(f.window->deadline(), QDateTime(Today, QTime(11, 10, 50)));

    f.player.clear();
    QCOMPARE(call(application, QStringLiteral("ActivateAction"), {"cancel", QVariantList{}, QVariantMap{}}).type(),
             QDBusMessage::ReplyMessage);
    QVERIFY(f.option(2)->isChecked());
    QCOMPARE(f.played(), QStringList{QStringLiteral("ssurvive.wav")});
    QVERIFY(!f.window->timTControl()->isActive());

    QCOMPARE(
        call(application, QStringLiteral("ActivateAction"), {"explode", QVariantList{}, QVariantMap{}}).errorName(),
        QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));

    call(RunningInstance::ControlInterface, QStringLiteral("Arm"), {"shutdown", "2026-12-10T11:00:00"});
    QVERIFY(f.option(0)->isChecked());
    call(RunningInstance::ControlInterface, QStringLiteral("Disarm"));
    QVERIFY(f.option(2)->isChecked());
    f.run(3700);
    QCOMPARE(f.requests(), QString());
}

struct tst_ControlService::Listener : QObject
{
    Q_OBJECT
public:
    QList<QVariantMap> changes;
public Q_SLOTS:
    void changed(const QString &interface, const QVariantMap &properties, const QStringList &)
    {
        if (interface == RunningInstance::ControlInterface)
            changes.append(properties);
    }
};

void tst_ControlService::propertiesChangedReachAListener()
{
    Service service(QTime(10, 0));
    Fixture &f = service.window;
    Listener listener;
    QVERIFY(QDBusConnection(ClientBus).connect(
        RunningInstance::ServiceName, RunningInstance::ObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"), &listener, SLOT(changed(QString, QVariantMap, QStringList))));

    call(RunningInstance::ControlInterface, QStringLiteral("Arm"), {"shutdown", "2026-12-10T10:00:03"});
    QTRY_COMPARE(listener.changes.size(), 1);
    QCOMPARE(listener.changes.at(0).value(QStringLiteral("Armed")).toBool(), true);
    QCOMPARE(listener.changes.at(0).value(QStringLiteral("Action")).toString(), QStringLiteral("shutdown"));
    QCOMPARE(listener.changes.at(0).value(QStringLiteral("Deadline")).toString(),
             QStringLiteral("2026-12-10T10:00:03"));
    QCOMPARE(listener.changes.at(0).value(QStringLiteral("Remaining")).toLongLong(), 3);

    // One change a second while the countdown runs, and only what changed.
    f.run(1);
    QTRY_COMPARE(listener.changes.size(), 2);
    QCOMPARE(listener.changes.at(1), (QVariantMap{{QStringLiteral("Remaining"), qlonglong(2)}}));

    call(RunningInstance::ControlInterface, QStringLiteral("Disarm"));
    QTRY_COMPARE(listener.changes.size(), 3);
    QCOMPARE(listener.changes.at(2).value(QStringLiteral("Armed")).toBool(), false);
    QCOMPARE(listener.changes.at(2).value(QStringLiteral("Action")).toString(), QString());
    QCOMPARE(listener.changes.at(2).value(QStringLiteral("Remaining")).toLongLong(), -1);

    QDBusConnection(ClientBus).disconnect(
        RunningInstance::ServiceName, RunningInstance::ObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"), &listener, SLOT(changed(QString, QVariantMap, QStringList)));
}

void tst_ControlService::commandLineTalksToTheRunningWindow()
{
    // The client reads times against the real clock: the window's clock starts at the real now.
    Service service(QTime(10, 0));
    Fixture &f = service.window;
    const QDateTime now = QDateTime::currentDateTime();
    f.time.setCurrentDateTime(now);
    const QDateTime deadline(now.date().addDays(2), QTime(18, 0));

    int exitCode = -1;
    QString output;
    runClient({QStringLiteral("--status")}, &exitCode, &output);
    QCOMPARE(output, QStringLiteral("disarmed\n"));
    QCOMPARE(exitCode, 1);

    runClient({QStringLiteral("--restart-at"), deadline.toString(Qt::ISODate)}, &exitCode, &output);
    QCOMPARE(exitCode, 0);
    QVERIFY(f.option(1)->isChecked());
    QCOMPARE(f.window->deadline(), deadline);

    runClient({QStringLiteral("--status")}, &exitCode, &output);
    QCOMPARE(exitCode, 0);
    QVERIFY2(output.startsWith(QStringLiteral("restart at ") + deadline.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                               + QStringLiteral(", 2 Tg. ")),
             qPrintable(output));

    runClient({QStringLiteral("--postpone"), QStringLiteral("1h30m")}, &exitCode, &output);
    QCOMPARE(exitCode, 0);
    QCOMPARE(f.window->deadline(), deadline.addSecs(5400));

    runClient({QStringLiteral("--shutdown-in"), QStringLiteral("45m")}, &exitCode, &output);
    QCOMPARE(exitCode, 0);
    QVERIFY(f.option(0)->isChecked());
    QVERIFY(qAbs(f.window->deadline().secsTo(now.addSecs(2700))) < 60);

    runClient({QStringLiteral("--cancel")}, &exitCode, &output);
    QCOMPARE(exitCode, 0);
    QVERIFY(f.option(2)->isChecked());

    runClient({QStringLiteral("--postpone"), QStringLiteral("10m")}, &exitCode, &output);
    QCOMPARE(exitCode, 2);
    QCOMPARE(output, QStringLiteral("vesperon: Vesperon is not counting down.\n"));

    // A deadline of the window's clock that the client's clock thinks still ahead.
    f.time.setCurrentDateTime(now.addDays(3));
    runClient({QStringLiteral("--shutdown-at"), deadline.toString(Qt::ISODate)}, &exitCode, &output);
    QCOMPARE(exitCode, 2);
    QVERIFY2(output.contains(QStringLiteral("has passed")), qPrintable(output));
    QVERIFY(f.option(2)->isChecked());
    QCOMPARE(f.requests(), QString());
}

void tst_ControlService::secondStartBringsTheWindowForward()
{
    Service service(QTime(10, 0));
    Fixture &f = service.window;
    f.window->show();
    f.window->setWindowState(Qt::WindowMinimized);
    QTRY_VERIFY(f.window->windowState() & Qt::WindowMinimized);

    int exitCode = -1;
    QString output;
    runClient({QStringLiteral("--dry-run")}, &exitCode, &output);
    QCOMPARE(exitCode, 0);
    QCOMPARE(output, QString());
    QTRY_VERIFY(!(f.window->windowState() & Qt::WindowMinimized));
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.requests(), QString());
}

QTEST_MAIN(tst_ControlService)
#include "tst_controlservice.moc"
