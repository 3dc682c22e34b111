// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindowfixture.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

using namespace MainWindowTest;

class tst_MainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void proposedDeadline_data();
    void proposedDeadline();
    void disarmedAtStart();
    void tenMinuteCountdown();
    void warningsWhenArmedLate_data();
    void warningsWhenArmedLate();
    void refusedDeadlines_data();
    void refusedDeadlines();
    void restartAtTheDeadline();
    void daysAhead();
    void pistol_data();
    void pistol();
    void closeBoxWhileArmed_data();
    void closeBoxWhileArmed();
    void exitWhileArmedAsksNothing();
    void switchingKeepsWarningsAndRearmingRepeatsThem();
    void nestedTicksAreTurnedAway();
    void minimisingStopsTheMinuteFineAdjust();
    void trayRestoresTheMinimisedWindow();
    void layoutAndFocus();
};

void tst_MainWindow::proposedDeadline_data()
{
    QTest::addColumn<QTime>("start");
    QTest::addColumn<int>("dayOffset");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("22:30") << QTime(22, 30) << 0 << QStringList{"23", "30", "00"};
    QTest::newRow("23:30") << QTime(23, 30) << 1 << QStringList{"00", "30", "00"};
    QTest::newRow("23:00") << QTime(23, 0) << 0 << QStringList{"00", "00", "00"};
}

void tst_MainWindow::proposedDeadline()
{
    QFETCH(QTime, start);
    QFETCH(int, dayOffset);
    QFETCH(QStringList, fields);
    Fixture f(start);
    QCOMPARE(f.window->dateEdit()->property("Value").toDate(), Today.addDays(dayOffset));
    QStringList shown;
    for (int i = 1; i <= 3; ++i)
        shown.append(f.window->timeEdit()->findChild<QLineEdit *>(QStringLiteral("txtTime%1").arg(i))->text());
    QCOMPARE(shown, fields);
    QCOMPARE(f.window->tamselClock()->property("ShowActualTime").toBool(), true);
    QCOMPARE(f.remainsText(), QString());
}

void tst_MainWindow::disarmedAtStart()
{
    Fixture f(QTime(12, 0));
    QVERIFY(f.option(2)->isChecked());
    QVERIFY(!f.window->timTControl()->isActive());
    QVERIFY(f.pistol()->isHidden());
    QCOMPARE(f.window->sysTray()->imagenumber(), qint16(1));
    QCOMPARE(f.window->sysTray()->toolTip(), QStringLiteral("The Vesperon"));
    QVERIFY(f.window->sysTray()->showIcon());
    QCOMPARE(f.window->imgSkull(0).size(), QSize(500, 500));
    QCOMPARE(f.window->imgSkull(1).size(), QSize(500, 500));
    QCOMPARE(f.window->tamselClock()->property("Picture").value<QImage>(), f.window->imgSkull(0));
    QCOMPARE(f.requests(), QString());
}

void tst_MainWindow::tenMinuteCountdown()
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

void tst_MainWindow::warningsWhenArmedLate_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<QStringList>("warnings");
    QTest::newRow("100 s") << 100 << QStringList{"s3mins.wav (wait)", "s1min.wav (wait)"};
    QTest::newRow("30 s") << 30 << QStringList{"s1min.wav (wait)"};
    QTest::newRow("5 s") << 5 << QStringList{};
}

void tst_MainWindow::warningsWhenArmedLate()
{
    QFETCH(int, left);
    QFETCH(QStringList, warnings);
    Fixture f(QTime(9, 0));
    f.setDeadline(left);
    f.arm(0);
    f.tick();
    QVERIFY(!f.played().isEmpty() || warnings.isEmpty());
    f.run(left + 1);
    QTEST(f.played().mid(0, f.played().size() - 1), "warnings");
    QCOMPARE(f.played().last(), QStringLiteral("s0mdown.wav (wait)"));
    QCOMPARE(f.requests(), QStringLiteral("enable shutdown privilege, force shut down"));
}

void tst_MainWindow::refusedDeadlines_data()
{
    QTest::addColumn<QVariant>("date");
    QTest::addColumn<int>("secondsFromStart");
    QTest::newRow("a second ago") << QVariant(Today) << -1;
    QTest::newRow("yesterday") << QVariant(Today.addDays(-1)) << 3600;
    QTest::newRow("not a date") << QVariant(QStringLiteral("tomorrow-ish")) << 3600;
}

void tst_MainWindow::refusedDeadlines()
{
    QFETCH(QVariant, date);
    QFETCH(int, secondsFromStart);
    Fixture f(QTime(15, 0));
    f.setDeadline(secondsFromStart);
    f.window->dateEdit()->setProperty("Value", date);
    f.arm(1);
    f.tick();
    QCOMPARE(f.boxes, QStringList{QStringLiteral("*** Invalid Date/Time-Entries! ***")});
    QVERIFY(f.option(2)->isChecked());
    QVERIFY(!f.window->timTControl()->isActive());
    QVERIFY(f.pistol()->isHidden());
    QCOMPARE(f.window->sysTray()->imagenumber(), qint16(1));
    QCOMPARE(f.played(), QStringList{QStringLiteral("ssurvive.wav")});
    QCOMPARE(f.requests(), QString());
}

void tst_MainWindow::restartAtTheDeadline()
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

void tst_MainWindow::daysAhead()
{
    Fixture f(QTime(10, 0));
    f.setDeadline(4 * 3600, 2);
    f.arm(1);
    f.tick();
    QCOMPARE(f.remainsText(), QStringLiteral("Time until Restart: 2 Tg. 04:00:00"));
}

void tst_MainWindow::pistol_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("requests");
    QTest::newRow("No") << int(QMessageBox::No) << "";
    QTest::newRow("Yes") << int(QMessageBox::Yes) << "enable shutdown privilege, force shut down";
}

void tst_MainWindow::pistol()
{
    QFETCH(int, answer);
    Fixture f(QTime(10, 0));
    f.setDeadline(3600);
    f.arm(0);
    f.window->show();
    f.answer = QMessageBox::StandardButton(answer);
    QTest::mouseDClick(f.pistol(), Qt::LeftButton);
    QCOMPARE(f.boxes, QStringList{QStringLiteral("Do you want me to do it right NOW?")});
    QTEST(f.requests(), "requests");
    QCOMPARE(f.window->timTControl()->isActive(), answer == QMessageBox::No);
    QCOMPARE(f.remainsText() == QStringLiteral("SHUTDOWN!"), answer == QMessageBox::Yes);
}

void tst_MainWindow::closeBoxWhileArmed_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("No") << int(QMessageBox::No);
    QTest::newRow("Yes") << int(QMessageBox::Yes);
}

void tst_MainWindow::closeBoxWhileArmed()
{
    QFETCH(int, answer);
    Fixture f(QTime(10, 0));
    f.setDeadline(3600);
    f.window->show();
    QVERIFY(f.window->close()); // disarmed: no question
    QVERIFY(f.boxes.isEmpty());

    f.window->show();
    f.arm(0);
    f.answer = QMessageBox::StandardButton(answer);
    const bool closed = f.window->close();
    QCOMPARE(f.boxes, QStringList{QStringLiteral("Kill-Job is running! Do you want to cancel it?")});
    QCOMPARE(closed, answer == QMessageBox::Yes);
    QCOMPARE(f.window->isVisible(), answer == QMessageBox::No);
    QCOMPARE(f.requests(), QString());
}

void tst_MainWindow::exitWhileArmedAsksNothing()
{
    Fixture f(QTime(10, 0));
    f.setDeadline(3600);
    f.window->show();
    f.arm(0);
    f.window->findChild<QAction *>(QStringLiteral("menExit"))->trigger();
    QVERIFY(!f.window->isVisible());
    QVERIFY(f.boxes.isEmpty());
    QCOMPARE(f.requests(), QString());
}

void tst_MainWindow::switchingKeepsWarningsAndRearmingRepeatsThem()
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

void tst_MainWindow::nestedTicksAreTurnedAway()
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

void tst_MainWindow::minimisingStopsTheMinuteFineAdjust()
{
    Fixture f(QTime(10, 0));
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    f.window->setWindowState(Qt::WindowMinimized);
    QCOMPARE(f.window->tamselClock()->property("MinuteFineAdjust").toBool(), false);
    f.window->setWindowState(Qt::WindowNoState);
    QCOMPARE(f.window->tamselClock()->property("MinuteFineAdjust").toBool(), true);
}

void tst_MainWindow::trayRestoresTheMinimisedWindow()
{
    Fixture f(QTime(10, 0));
    f.window->show();
    f.window->SysTray_IconEvent(); // not minimised: nothing
    QCOMPARE(f.window->windowState(), Qt::WindowNoState);
    f.window->setWindowState(Qt::WindowMinimized);
    f.window->SysTray_IconEvent();
    QVERIFY(!(f.window->windowState() & Qt::WindowMinimized));
    QVERIFY(f.window->isVisible());
}

void tst_MainWindow::layoutAndFocus()
{
    Fixture f(QTime(10, 0));
    f.window->show();
    QApplication::setActiveWindow(f.window.get());
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QCOMPARE(f.window->centralWidget()->size(), QSize(406, 544));
    QCOMPARE(f.window->tamselClock()->geometry(), QRect(24, 15, 358, 358));
    QVERIFY(f.window->size().width() == 406);
    // The first activation greets and puts the focus into the hours of the time entry.
    QCOMPARE(f.played(), QStringList{QStringLiteral("shereIam.wav")});
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtTime1"));

    // Tab runs through the date entry, the time fields and the selected option; the hidden panel
    // and the unselected options never take the focus.
    // (Inside the date entry Tab first steps through day, month and year.)
    QStringList order;
    for (int i = 0; i < 12 && order.size() < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        const QString name =
            f.window->dateEdit()->isAncestorOf(focus) ? QStringLiteral("DateEdit") : focus->objectName();
        if (order.isEmpty() || order.last() != name)
            order.append(name);
    }
    QCOMPARE(order,
             (QStringList{"txtTime2", "txtTime3", "optShutdown_2", "DateEdit", "txtTime1", "txtTime2", "txtTime3",
                          "optShutdown_2"}));
    for (const char *hidden : {"cmdLogoff", "cmdForceShutdown", "txtHelp", "lblStatus"})
        QVERIFY(f.window->findChild<QWidget *>(QLatin1String(hidden))->isHidden());
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
