// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindowfixture.h"

#include <QAction>
#include <QTest>

using namespace MainWindowTest;

// An armed countdown acts once, at its deadline, whatever the clock or the machine does meanwhile,
// and nothing but an armed countdown (or the user's confirmed choice) makes a session-end request.
class tst_TimeFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void deadlinePassedWhileArmed_data();
    void deadlinePassedWhileArmed();
    void entriesMovedIntoThePastAreRefused();
    void clockSetBack();
    void throughMidnight();
    void severalDays();
    void resumeCatchesUpAtOnce();
    void noRequestWithoutAction_data();
    void noRequestWithoutAction();
};

void tst_TimeFaults::deadlinePassedWhileArmed_data()
{
    QTest::addColumn<qint64>("jump");
    QTest::newRow("slept an hour past it") << qint64(3600 + 600) * 1000;
    QTest::newRow("clock jumped a day") << qint64(86400) * 1000;
    QTest::newRow("slept three days over midnight") << qint64(3 * 86400 + 50000) * 1000;
    QTest::newRow("one second too far") << qint64(601) * 1000;
}

void tst_TimeFaults::deadlinePassedWhileArmed()
{
    QFETCH(qint64, jump);
    Fixture f(QTime(12, 0));
    f.setDeadline(600);
    f.arm(0);
    f.run(10);
    f.time.advance(jump);
    f.run(1); // within a second, whichever half of it the jump lands in
    QVERIFY(f.boxes.isEmpty());
    QCOMPARE(f.remainsText(), QStringLiteral("SHUTDOWN!"));
    QCOMPARE(f.requests(), QStringLiteral("enable shutdown privilege, force shut down"));
    f.run(5); // acted once: the timer stopped
    QCOMPARE(f.session.steps().size(), size_t(2));
}

void tst_TimeFaults::entriesMovedIntoThePastAreRefused()
{
    Fixture f(QTime(12, 0));
    f.setDeadline(600);
    f.arm(0);
    f.run(3);
    f.setDeadline(-60); // the user types a time that has passed
    f.run(1);
    QCOMPARE(f.boxes, QStringList{QStringLiteral("*** Invalid Date/Time-Entries! ***")});
    QVERIFY(f.option(2)->isChecked());
    QCOMPARE(f.requests(), QString());

    // Armed again over a deadline that is already past: refused as well, even after a sleep.
    f.boxes.clear();
    f.arm(0);
    f.time.advance(3600 * 1000);
    f.run(1);
    QCOMPARE(f.boxes.size(), 1);
    QCOMPARE(f.requests(), QString());
}

void tst_TimeFaults::clockSetBack()
{
    Fixture f(QTime(12, 0));
    f.setDeadline(120);
    f.arm(0);
    f.run(60);
    QCOMPARE(f.remainsText(), QStringLiteral("Time until Shutdown: 00:01:00"));
    f.time.advance(-3600 * 1000);
    f.tick();
    // The countdown follows the wall clock: an hour more to go, nothing done early.
    QCOMPARE(f.remainsText(), QStringLiteral("Time until Shutdown: 01:01:00"));
    f.run(3600);
    QCOMPARE(f.requests(), QString());
    f.run(62);
    QCOMPARE(f.requests(), QStringLiteral("enable shutdown privilege, force shut down"));
}

void tst_TimeFaults::throughMidnight()
{
    Fixture f(QTime(23, 59));
    f.setDeadline(120 - 86400, 1); // 00:01:00 tomorrow
    f.arm(1);
    QStringList texts;
    while (f.window->timTControl()->isActive() && texts.size() < 400) {
        f.tick();
        if (texts.isEmpty() || texts.last() != f.remainsText())
            texts.append(f.remainsText());
    }
    QCOMPARE(texts.first(), QStringLiteral("Time until Restart: 00:02:00"));
    QVERIFY(texts.contains(QStringLiteral("Time until Restart: 00:01:00"))); // midnight
    QCOMPARE(texts.size(), 121); // one text a second, none skipped or repeated, then the action
    QCOMPARE(texts.last(), QStringLiteral("RESTARTING ..."));
    QCOMPARE(f.time.currentDateTime(), QDateTime(Today.addDays(1), QTime(0, 1, 0)));
    QCOMPARE(f.requests(), QStringLiteral("enable shutdown privilege, force restart"));
}

void tst_TimeFaults::severalDays()
{
    Fixture f(QTime(9, 0));
    f.setDeadline(3600, 3);
    f.arm(0);
    f.tick();
    QCOMPARE(f.remainsText(), QStringLiteral("Time until Shutdown: 3 Tg. 01:00:00"));
    f.time.advance((3 * 86400 + 3600 - 5) * 1000LL); // days pass with the machine asleep
    f.tick();
    QCOMPARE(f.remainsText(), QStringLiteral("Time until Shutdown: 00:00:04"));
    f.run(5);
    QCOMPARE(f.requests(), QStringLiteral("enable shutdown privilege, force shut down"));
}

void tst_TimeFaults::resumeCatchesUpAtOnce()
{
    Fixture f(QTime(12, 0));
    f.setDeadline(600);
    f.arm(0);
    f.run(2);
    f.time.advance(7200 * 1000);
    f.window->resumedFromSleep(); // before the timer fires again
    QCOMPARE(f.requests(), QStringLiteral("enable shutdown privilege, force shut down"));

    Fixture disarmed(QTime(12, 0));
    disarmed.window->resumedFromSleep();
    QCOMPARE(disarmed.requests(), QString());
    QVERIFY(disarmed.boxes.isEmpty());
}

void tst_TimeFaults::noRequestWithoutAction_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("disarming") << "disarm";
    QTest::newRow("close box, Yes") << "close";
    QTest::newRow("Exit") << "exit";
    QTest::newRow("refused past deadline") << "past";
    QTest::newRow("pistol, No") << "pistol";
}

void tst_TimeFaults::noRequestWithoutAction()
{
    QFETCH(QString, path);
    Fixture f(QTime(12, 0));
    f.window->show();
    f.setDeadline(path == QLatin1String("past") ? -1 : 30);
    f.arm(0);
    f.run(2);
    if (path == QLatin1String("disarm")) {
        f.arm(2);
    } else if (path == QLatin1String("close")) {
        f.answer = QMessageBox::Yes;
        QVERIFY(f.window->close());
    } else if (path == QLatin1String("exit")) {
        f.window->findChild<QAction *>(QStringLiteral("menExit"))->trigger();
    } else if (path == QLatin1String("pistol")) {
        f.answer = QMessageBox::No;
        QTest::mouseDClick(f.pistol(), Qt::LeftButton);
        f.arm(2);
    }
    // Long past the deadline, with the timer free to fire: still nothing.
    f.run(120);
    f.window->resumedFromSleep();
    QCOMPARE(f.requests(), QString());
}

QTEST_MAIN(tst_TimeFaults)
#include "tst_timefaults.moc"
