// SPDX-License-Identifier: GPL-3.0-or-later
#include "countdownnotices.h"
#include "mainwindowfixture.h"

#include <dbusmock.h>
#include <privatebus.h>

#include <QDBusPendingCallWatcher>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace MainWindowTest;

namespace {
const QString Notifications = QStringLiteral("org.freedesktop.Notifications");
const QString NotificationsPath = QStringLiteral("/org/freedesktop/Notifications");
const QString Login1 = QStringLiteral("org.freedesktop.login1");
const QString Login1Path = QStringLiteral("/org/freedesktop/login1");
const QString Login1Manager = QStringLiteral("org.freedesktop.login1.Manager");
const QString Notify = QStringLiteral("Notify");
const QString CloseNotification = QStringLiteral("CloseNotification");
const QString PlainTip = QStringLiteral("The Vesperon");
const QStringList WarningActions{"cancel", "Cancel", "postpone", "Postpone 10 minutes"};

struct Notice
{
    QString summary;
    QString body;
    QStringList actions;
    uint replaces = 0;
};
} // namespace

// What the armed countdown tells the user outside its window: the main window (its clock moving
// only when told) with python-dbusmock's notification server on a session bus and its logind on a
// system bus, both of the test's own.
class tst_CountdownNotices : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void warnings_data();
    void warnings();
    void actionsOfAWarning_data();
    void actionsOfAWarning();
    void earlyWord_data();
    void earlyWord();
    void aYesTakesTheEarlyWordBack();
    void madeForAnArmedWindow();
    void withoutServerOrLogindNothingChanges();

private:
    void startServices();
    void openWindow();
    // A call to each service on the connections the notices use, and its answer: everything sent
    // before has been answered and the answers taken in. What those answers set off in turn is
    // settled by the next round trip.
    void roundTrip();
    QList<Notice> notices() const;
    void answerFromLogind(const QString &answer);

    std::unique_ptr<PrivateBus> m_sessionBus;
    std::unique_ptr<PrivateBus> m_systemBus;
    QDBusConnection m_session{QString()};
    QDBusConnection m_system{QString()};
    std::unique_ptr<DBusMock> m_server;
    std::unique_ptr<DBusMock> m_logind;
    std::unique_ptr<Fixture> m_window;
    std::unique_ptr<CountdownNotices> m_notices;
};

void tst_CountdownNotices::init()
{
    m_sessionBus = std::make_unique<PrivateBus>(PrivateBus::Kind::Session);
    m_systemBus = std::make_unique<PrivateBus>(PrivateBus::Kind::System);
    QVERIFY2(m_sessionBus->isRunning(), qPrintable(m_sessionBus->error()));
    QVERIFY2(m_systemBus->isRunning(), qPrintable(m_systemBus->error()));
    m_session = m_sessionBus->connect();
    m_system = m_systemBus->connect();
}

void tst_CountdownNotices::cleanup()
{
    m_notices.reset();
    m_window.reset();
    m_server.reset();
    m_logind.reset();
    m_session = QDBusConnection(QString());
    m_system = QDBusConnection(QString());
    m_sessionBus.reset();
    m_systemBus.reset();
}

void tst_CountdownNotices::startServices()
{
    m_server = std::make_unique<DBusMock>(
        *m_sessionBus, QStringLiteral("notification_daemon"), Notifications, NotificationsPath,
        QVariantMap{{QStringLiteral("capabilities"), QStringLiteral("actions body")}});
    QVERIFY2(m_server->isRunning(), qPrintable(m_server->error()));
    m_logind = std::make_unique<DBusMock>(*m_systemBus, QStringLiteral("logind"), Login1, Login1Path);
    QVERIFY2(m_logind->isRunning(), qPrintable(m_logind->error()));
}

void tst_CountdownNotices::openWindow()
{
    m_window = std::make_unique<Fixture>(QTime(10, 0, 0));
    m_notices = std::make_unique<CountdownNotices>(*m_window->window, m_session, m_system);
}

void tst_CountdownNotices::roundTrip()
{
    // logind first: a notification that its answer sets off goes out before the call to the server.
    const std::pair<QDBusConnection *, QDBusMessage> calls[] = {
        {&m_system, QDBusMessage::createMethodCall(Login1, Login1Path, Login1Manager, QStringLiteral("CanSuspend"))},
        {&m_session,
         QDBusMessage::createMethodCall(Notifications, NotificationsPath, Notifications,
                                        QStringLiteral("GetCapabilities"))},
    };
    for (const auto &[connection, message] : calls) {
        QDBusPendingCallWatcher call(connection->asyncCall(message));
        QSignalSpy finished(&call, &QDBusPendingCallWatcher::finished);
        QVERIFY(finished.wait(10000));
    }
    QCoreApplication::processEvents();
}

QList<Notice> tst_CountdownNotices::notices() const
{
    QList<Notice> found;
    for (const DBusMock::Call &call : m_server->calls(Notify)) {
        const QVariantList &arguments = call.arguments;
        found.append({arguments.value(3).toString(), arguments.value(4).toString(), arguments.value(5).toStringList(),
                      arguments.value(1).toUInt()});
    }
    return found;
}

void tst_CountdownNotices::answerFromLogind(const QString &answer)
{
    for (const QString &question : {QStringLiteral("CanPowerOff"), QStringLiteral("CanReboot")})
        m_logind->addMethod(Login1Manager, question, QString(), QStringLiteral("s"),
                            QStringLiteral("ret = '%1'").arg(answer));
}

void tst_CountdownNotices::warnings_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<QStringList>("summaries");
    QTest::addColumn<QString>("request");
    QTest::newRow("Shut-Down") << 0
                               << QStringList{"Shut-Down in 3 minutes", "Shut-Down in 1 minute", "Shutting down now"}
                               << "enable shutdown privilege, force shut down";
    QTest::newRow("Restart") << 1 << QStringList{"Restart in 3 minutes", "Restart in 1 minute", "Restarting now"}
                             << "enable shutdown privilege, force restart";
}

// Each notification goes out before the sound that holds the window up, and the sounds and the
// request are what they are without notifications.
void tst_CountdownNotices::warnings()
{
    QFETCH(int, option);
    QFETCH(QStringList, summaries);
    QFETCH(QString, request);
    startServices();
    openWindow();
    Fixture &f = *m_window;
    f.setDeadline(200);
    f.arm(option);
    roundTrip();

    QList<bool> reachedTheServerDuringTheSound;
    f.player.setWhilePlaying([&](const RecordingSoundPlayer::Request &sound) {
        if (sound.wait)
            reachedTheServerDuringTheSound
                << m_server->waitForCalls(Notify, int(reachedTheServerDuringTheSound.size()) + 1);
    });
    f.run(20);
    roundTrip();
    f.run(120);
    roundTrip();
    f.run(60);
    roundTrip();

    QCOMPARE(reachedTheServerDuringTheSound, (QList<bool>{true, true, true}));
    QCOMPARE(f.played(), (QStringList{"s3mins.wav (wait)", "s1min.wav (wait)", "s0mdown.wav (wait)"}));
    QCOMPARE(f.requests(), request);
    const QList<Notice> shown = notices();
    QCOMPARE(shown.size(), 3);
    // From Vesperon, with its icon by name and as an image.
    const QVariantList first = m_server->calls(Notify).constFirst().arguments;
    QCOMPARE(first.value(0).toString(), QStringLiteral("Vesperon"));
    QCOMPARE(first.value(2).toString(), QStringLiteral("org.vesperon.Vesperon"));
    const QVariantMap hints = first.value(6).toMap();
    QCOMPARE(hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("org.vesperon.Vesperon"));
    QCOMPARE(hints.value(QStringLiteral("image-data")).toList().mid(0, 2), (QVariantList{64, 64}));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(shown.at(i).summary, summaries.at(i));
        QCOMPARE(shown.at(i).body, QStringLiteral("Deadline: 2026-12-10 10:03:20"));
        QCOMPARE(shown.at(i).actions, i < 2 ? WarningActions : QStringList());
        QCOMPARE(shown.at(i).replaces, i == 0 ? 0u : 1u);
    }
}

void tst_CountdownNotices::actionsOfAWarning_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("armed");
    QTest::addColumn<int>("secondsLater");
    QTest::addColumn<QStringList>("sounds");
    QTest::newRow("Cancel disarms") << "cancel" << false << 0 << QStringList{"ssurvive.wav"};
    QTest::newRow("Postpone 10 minutes") << "postpone" << true << 600 << QStringList();
}

void tst_CountdownNotices::actionsOfAWarning()
{
    QFETCH(QString, key);
    QFETCH(bool, armed);
    QFETCH(int, secondsLater);
    QFETCH(QStringList, sounds);
    startServices();
    openWindow();
    Fixture &f = *m_window;
    f.setDeadline(200);
    f.arm(0);
    const QDateTime deadline = f.window->deadline();
    f.run(20);
    roundTrip();
    QCOMPARE(notices().size(), 1);
    f.player.clear();

    m_server->emitSignal(Notifications, QStringLiteral("ActionInvoked"), QStringLiteral("us"), {1u, key});
    QTRY_COMPARE(f.window->isArmed(), armed);
    QTRY_COMPARE(f.window->deadline(), deadline.addSecs(secondsLater));
    // The warning no longer holds: it is taken down.
    QTRY_COMPARE(m_server->calls(CloseNotification).size(), 1);
    QCOMPARE(m_server->calls(CloseNotification).constFirst().arguments, (QVariantList{1u}));
    QCOMPARE(f.played(), sounds);
    QVERIFY(f.boxes.isEmpty());
}

void tst_CountdownNotices::earlyWord_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("request");
    const QString later = QStringLiteral(" Vesperon will still ask the system at the deadline.");
    const QString shutDown = QStringLiteral("enable shutdown privilege, force shut down");
    const QString restart = QStringLiteral("enable shutdown privilege, force restart");
    QTest::newRow("Shut-Down, challenge")
        << 0 << "challenge"
        << "The Vesperon - the system may refuse to shut down: authentication is required"
        << "The system may refuse to shut down"
        << "Authentication is required." + later << shutDown;
    QTest::newRow("Shut-Down, no") << 0 << "no"
                                   << "The Vesperon - the system may refuse to shut down: this user is not permitted"
                                   << "The system may refuse to shut down"
                                   << "This user is not permitted." + later << shutDown;
    QTest::newRow("Shut-Down, na") << 0 << "na"
                                   << "The Vesperon - the system may refuse to shut down: not available on this system"
                                   << "The system may refuse to shut down"
                                   << "Not available on this system." + later << shutDown;
    QTest::newRow("Shut-Down, yes") << 0 << "yes" << PlainTip << QString() << QString() << shutDown;
    QTest::newRow("Restart, challenge") << 1 << "challenge"
                                        << "The Vesperon - the system may refuse to restart: authentication is required"
                                        << "The system may refuse to restart"
                                        << "Authentication is required." + later << restart;
    QTest::newRow("Restart, no") << 1 << "no"
                                 << "The Vesperon - the system may refuse to restart: this user is not permitted"
                                 << "The system may refuse to restart"
                                 << "This user is not permitted." + later << restart;
    QTest::newRow("Restart, na") << 1 << "na"
                                 << "The Vesperon - the system may refuse to restart: not available on this system"
                                 << "The system may refuse to restart"
                                 << "Not available on this system." + later << restart;
    QTest::newRow("Restart, yes") << 1 << "yes" << PlainTip << QString() << QString() << restart;
}

// Said at once when armed; the request at the deadline is made all the same; disarming takes it back.
void tst_CountdownNotices::earlyWord()
{
    QFETCH(int, option);
    QFETCH(QString, answer);
    QFETCH(QString, tip);
    QFETCH(QString, summary);
    QFETCH(QString, body);
    QFETCH(QString, request);
    startServices();
    answerFromLogind(answer);
    openWindow();
    Fixture &f = *m_window;
    f.setDeadline(5);
    f.arm(option);
    roundTrip();
    roundTrip();

    QCOMPARE(f.window->sysTray()->toolTip(), tip);
    const QList<Notice> shown = notices();
    if (summary.isEmpty()) {
        QCOMPARE(shown.size(), 0);
    } else {
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.constFirst().summary, summary);
        QCOMPARE(shown.constFirst().body, body);
        QCOMPARE(shown.constFirst().actions, QStringList());
    }

    f.run(5);
    QCOMPARE(f.requests(), request);
    f.option(2)->click();
    QCOMPARE(f.window->sysTray()->toolTip(), PlainTip);
    QTRY_COMPARE(m_server->calls(CloseNotification).size(), 1);
}

void tst_CountdownNotices::aYesTakesTheEarlyWordBack()
{
    startServices();
    m_logind->addMethod(Login1Manager, QStringLiteral("CanPowerOff"), QString(), QStringLiteral("s"),
                        QStringLiteral("ret = 'yes'"));
    m_logind->addMethod(Login1Manager, QStringLiteral("CanReboot"), QString(), QStringLiteral("s"),
                        QStringLiteral("ret = 'na'"));
    openWindow();
    Fixture &f = *m_window;
    f.setDeadline(3600);
    f.arm(1);
    roundTrip();
    roundTrip();
    QCOMPARE(f.window->sysTray()->toolTip(),
             QStringLiteral("The Vesperon - the system may refuse to restart: not available on this system"));
    QCOMPARE(notices().size(), 1);

    f.arm(0);
    roundTrip();
    roundTrip();
    QCOMPARE(f.window->sysTray()->toolTip(), PlainTip);
    QCOMPARE(m_server->calls(CloseNotification).size(), 1);
    QCOMPARE(notices().size(), 1);
}

// A start with an arming option arms before the notices begin (they wait for the first picture).
void tst_CountdownNotices::madeForAnArmedWindow()
{
    startServices();
    answerFromLogind(QStringLiteral("no"));
    m_window = std::make_unique<Fixture>(QTime(10, 0, 0));
    Fixture &f = *m_window;
    f.setDeadline(3600);
    f.arm(0);
    m_notices = std::make_unique<CountdownNotices>(*f.window, m_session, m_system);
    roundTrip();
    roundTrip();
    QCOMPARE(f.window->sysTray()->toolTip(),
             QStringLiteral("The Vesperon - the system may refuse to shut down: this user is not permitted"));
    QCOMPARE(notices().size(), 1);
}

void tst_CountdownNotices::withoutServerOrLogindNothingChanges()
{
    openWindow();
    Fixture &f = *m_window;
    f.setDeadline(200);
    f.arm(0);
    roundTrip();
    f.run(200);
    QCOMPARE(f.played(), (QStringList{"s3mins.wav (wait)", "s1min.wav (wait)", "s0mdown.wav (wait)"}));
    QCOMPARE(f.requests(), QStringLiteral("enable shutdown privilege, force shut down"));
    QVERIFY(f.boxes.isEmpty());
    QCOMPARE(f.window->sysTray()->toolTip(), PlainTip);
}

QTEST_MAIN(tst_CountdownNotices)
#include "tst_countdownnotices.moc"
