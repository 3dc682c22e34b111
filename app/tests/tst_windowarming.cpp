// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindowfixture.h"

#include <QAction>
#include <QAbstractButton>
#include <QApplication>
#include <QTest>

using namespace MainWindowTest;

// Arming and disarming around the countdown: the pistol's question, the close box and "&Exit" while
// armed, the minimised window and the tray icon; and nothing but an armed countdown at its deadline
// (or the user's confirmed choice) ever makes a session-end request.
class tst_WindowArming : public QObject
{
    Q_OBJECT

private slots:
    void pistol_data();
    void pistol();
    void pistolQuestionAnswersNoByDefault_data();
    void pistolQuestionAnswersNoByDefault();
    void closeBoxWhileArmed_data();
    void closeBoxWhileArmed();
    void exitWhileArmedAsksNothing();
    void minimisingStopsTheMinuteFineAdjust();
    void trayRestoresTheMinimisedWindow();
    void noRequestWithoutAction_data();
    void noRequestWithoutAction();
};

void tst_WindowArming::pistol_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("requests");
    QTest::newRow("No") << int(QMessageBox::No) << "";
    QTest::newRow("Yes") << int(QMessageBox::Yes) << "enable shutdown privilege, force shut down";
}

void tst_WindowArming::pistol()
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

void tst_WindowArming::pistolQuestionAnswersNoByDefault_data()
{
    QTest::addColumn<int>("key"); // 0: a click on Yes
    QTest::addColumn<QString>("requests");
    QTest::newRow("Enter by habit") << int(Qt::Key_Return) << "";
    QTest::newRow("Escape") << int(Qt::Key_Escape) << "";
    QTest::newRow("Yes clicked") << 0 << "enable shutdown privilege, force shut down";
}

void tst_WindowArming::pistolQuestionAnswersNoByDefault()
{
    QFETCH(int, key);
    Fixture f(QTime(10, 0));
    // The real box, answered by a key as a user would.
    MessageBoxHook::setHandler({});
    f.setDeadline(3600);
    f.arm(0);
    f.window->show();
    QString shown;
    QTimer::singleShot(0, f.window.get(), [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        shown = box->text();
        if (key == 0)
            box->button(QMessageBox::Yes)->click();
        else
            QTest::keyClick(box, Qt::Key(key));
    });
    QTest::mouseDClick(f.pistol(), Qt::LeftButton);
    QCOMPARE(shown, QStringLiteral("Do you want me to do it right NOW?"));
    QTEST(f.requests(), "requests");
}

void tst_WindowArming::closeBoxWhileArmed_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("No") << int(QMessageBox::No);
    QTest::newRow("Yes") << int(QMessageBox::Yes);
}

void tst_WindowArming::closeBoxWhileArmed()
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

void tst_WindowArming::exitWhileArmedAsksNothing()
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

void tst_WindowArming::minimisingStopsTheMinuteFineAdjust()
{
    Fixture f(QTime(10, 0));
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    f.window->setWindowState(Qt::WindowMinimized);
    QCOMPARE(f.window->tamselClock()->property("MinuteFineAdjust").toBool(), false);
    f.window->setWindowState(Qt::WindowNoState);
    QCOMPARE(f.window->tamselClock()->property("MinuteFineAdjust").toBool(), true);
}

void tst_WindowArming::trayRestoresTheMinimisedWindow()
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

void tst_WindowArming::noRequestWithoutAction_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("disarming") << "disarm";
    QTest::newRow("close box, Yes") << "close";
    QTest::newRow("Exit") << "exit";
    QTest::newRow("refused past deadline") << "past";
    QTest::newRow("pistol, No") << "pistol";
    QTest::newRow("disarmed, armed again after the deadline") << "rearm";
}

void tst_WindowArming::noRequestWithoutAction()
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
    } else if (path == QLatin1String("rearm")) {
        f.arm(2);
        f.time.advance(3600 * 1000);
        f.arm(0);
        f.run(1);
        QCOMPARE(f.boxes, QStringList{QStringLiteral("*** Invalid Date/Time-Entries! ***")});
    }
    // Long past the deadline, with the timer free to fire: still nothing.
    f.run(120);
    f.window->resumedFromSleep();
    QCOMPARE(f.requests(), QString());
}

QTEST_MAIN(tst_WindowArming)
#include "tst_windowarming.moc"
