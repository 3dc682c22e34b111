// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindowfixture.h"

#include <QTest>

using namespace MainWindowTest;

// The countdown as the main window shows it: the text under the clock, the blinking tray icon,
// the warnings played to their end, the refusal box that disarms, ExecuteKillJob with its final
// sound and request, nested ticks turned away, and the catch-up when the machine wakes.
class tst_WindowCountdown : public QObject
{
    Q_OBJECT

private slots:
    void tenMinuteCountdown();
    void refusedDeadlines_data();
    void refusedDeadlines();
    void restartAtTheDeadline();
    void switchingKeepsWarningsAndRearmingRepeatsThem();
    void nestedTicksAreTurnedAway();
    void resumeCatchesUpAtOnce();
};

void tst_WindowCountdown::tenMinuteCountdown()
{
    Fixture f(QTime(12, 0));
    f.setDeadline(600);
    f.arm(0);
    QVERIFY(f.window->timTControl()->isActive());
    QCOMPARE(f.window->timTControl()->interval(), 500);
    QVERIFY(!f.pistol()->isHidden());
    QCOMPARE(f.window->tamselClock()->property("Picture").value<QImage>(), f.window->imgSkull(1));

    QList<qint16> icons;
    QStringList texts;
    while (f.window->timTControl()->isActive() && texts.size() < 2000) {
        f.tick();
        if (texts.isEmpty() || texts.last() != f.remainsText()) {
            texts.append(f.remainsText());
            icons.append(f.window->sysTray()->imagenumber());
        }
    }
    // Once a second from the rounded current second down to zero.
    QCOMPARE(texts.first(), QStringLiteral("Time until Shutdown: 00:10:00"));
    QVERIFY(texts.contains(QStringLiteral("Time until Shutdown: 00:03:00")));
    // The tick that finds nothing left shows "SHUTDOWN!" at once.
    QCOMPARE(texts.at(texts.size() - 2), QStringLiteral("Time until Shutdown: 00:00:01"));
    QCOMPARE(texts.last(), QStringLiteral("SHUTDOWN!"));
    QCOMPARE(texts.size(), 601);
    for (int i = 1; i < icons.size() - 1; ++i)
        QVERIFY(icons[i] != icons[i - 1]);
    QCOMPARE(f.played(), (QStringList{"s3mins.wav (wait)", "s1min.wav (wait)", "s0mdown.wav (wait)"}));
    QCOMPARE(f.requests(), QStringLiteral("enable shutdown privilege, force shut down"));
    QCOMPARE(f.window->tamselClock()->property("ShowActualTime").toBool(), false);
    QVERIFY(f.option(0)->isChecked());
}

void tst_WindowCountdown::refusedDeadlines_data()
{
    QTest::addColumn<QVariant>("date");
    QTest::addColumn<int>("secondsFromStart");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QStringList>("boxes");
    const QStringList refusal{QStringLiteral("*** Invalid Date/Time-Entries! ***")};
    QTest::newRow("a second ago") << QVariant(Today) << -1 << QString() << refusal;
    QTest::newRow("yesterday") << QVariant(Today.addDays(-1)) << 3600 << QString() << refusal;
    QTest::newRow("not a date") << QVariant(QStringLiteral("tomorrow-ish")) << 3600 << QString() << refusal;
    QTest::newRow("/NOMSG: no box, disarmed all the same") << QVariant(Today) << -1 << "/NOMSG" << QStringList();
}

void tst_WindowCountdown::refusedDeadlines()
{
    QFETCH(QVariant, date);
    QFETCH(int, secondsFromStart);
    QFETCH(QString, arguments);
    Fixture f(QTime(15, 0), arguments);
    f.setDeadline(secondsFromStart);
    f.window->dateEdit()->setProperty("Value", date);
    f.arm(1);
    f.tick();
    QTEST(f.boxes, "boxes");
    QVERIFY(f.option(2)->isChecked());
    QVERIFY(!f.window->timTControl()->isActive());
    QVERIFY(f.pistol()->isHidden());
    QCOMPARE(f.window->sysTray()->imagenumber(), qint16(1));
    QCOMPARE(f.played(), QStringList{QStringLiteral("ssurvive.wav")});
    QCOMPARE(f.requests(), QString());
}

void tst_WindowCountdown::restartAtTheDeadline()
{
    Fixture f(QTime(8, 0));
    f.setDeadline(3);
    f.arm(1);
    f.run(4);
    QCOMPARE(f.remainsText(), QStringLiteral("RESTARTING ..."));
    QCOMPARE(f.played(), QStringList{QStringLiteral("s0mdown.wav (wait)")});
    QCOMPARE(f.session.steps().back().flags, 6u);
    QCOMPARE(f.requests(), QStringLiteral("enable shutdown privilege, force restart"));
}

void tst_WindowCountdown::switchingKeepsWarningsAndRearmingRepeatsThem()
{
    Fixture f(QTime(10, 0));
    f.setDeadline(170);
    f.arm(0);
    f.tick();
    QCOMPARE(f.played(), QStringList{QStringLiteral("s3mins.wav (wait)")});
    f.arm(1); // straight to "Restart": armed again, the warning stays given
    QCOMPARE(f.window->sysTray()->imagenumber(), qint16(2));
    f.run(2);
    QVERIFY(f.played().isEmpty());
    QVERIFY(f.remainsText().startsWith(QStringLiteral("Time until Restart: ")));
    QVERIFY(f.window->countdown().blnWarned3Min());

    f.arm(2);
    QVERIFY(!f.window->countdown().blnWarned3Min());
    f.arm(0);
    f.run(1);
    QCOMPARE(f.played(), QStringList{QStringLiteral("s3mins.wav (wait)")});
}

void tst_WindowCountdown::nestedTicksAreTurnedAway()
{
    Fixture f(QTime(10, 0));
    f.setDeadline(-5);
    f.arm(0);
    int nested = 0;
    MessageBoxHook::setHandler([&](const MessageBoxRequest &request) {
        f.boxes.append(request.text);
        // The timer keeps firing while the box is open.
        for (int i = 0; i < 4; ++i) {
            f.time.advance(500);
            f.window->timTControl_Timer();
            ++nested;
        }
        return QMessageBox::Ok;
    });
    f.tick();
    QCOMPARE(nested, 4);
    QCOMPARE(f.boxes.size(), 1);
    QVERIFY(f.option(2)->isChecked());
}

void tst_WindowCountdown::resumeCatchesUpAtOnce()
{
    Fixture f(QTime(12, 0));
    f.setDeadline(600);
    f.arm(0);
    f.run(2);
    f.time.advance(7200 * 1000);
    f.window->resumedFromSleep(); // before the timer fires again
    // A deadline that passed while armed is carried out, not refused.
    QVERIFY(f.boxes.isEmpty());
    QCOMPARE(f.remainsText(), QStringLiteral("SHUTDOWN!"));
    QCOMPARE(f.requests(), QStringLiteral("enable shutdown privilege, force shut down"));
    f.run(5); // acted once: the timer stopped
    f.window->resumedFromSleep();
    QCOMPARE(f.session.steps().size(), size_t(2));

    Fixture disarmed(QTime(12, 0));
    disarmed.window->resumedFromSleep();
    QCOMPARE(disarmed.requests(), QString());
    QVERIFY(disarmed.boxes.isEmpty());
}

QTEST_MAIN(tst_WindowCountdown)
#include "tst_windowcountdown.moc"
