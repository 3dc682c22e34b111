// SPDX-License-Identifier: GPL-3.0-or-later
#include "manualtimesource.h"
#include "messageboxhook.h"
#include "propertybag.h"
#include "tamselclock.h"

#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

QDateTime at(int day, int hour, int minute, int second, int msec = 0)
{
    return QDateTime(QDate(2026, 5, day), QTime(hour, minute, second, msec));
}

} // namespace

// The real-time, stopwatch and fixed-time modes, the timer, the events and the refused commands,
// with the time moved on by hand and the message boxes answered by a hook.
class tst_TamselClockModes : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newClockShowsTheCurrentTime();
    void startAndStopRaiseTheirEvents();
    void stopwatchSumsItsRuns_data();
    void stopwatchSumsItsRuns();
    void runningStopwatchShowsTheElapsedTime();
    void resetStartsAgainFromZero();
    void displayTimeShowsAFixedTime_data();
    void displayTimeShowsAFixedTime();
    void fixedTimeIsLeftByShowActualTimeOrReset();
    void refusedCommands_data();
    void refusedCommands();
    void errorHandlerMayChangeTheMessage();
    void errorHandlerMaySuppressTheBox();
    void timerRedrawsOnlyWhenTheTimeMovesOn_data();
    void timerRedrawsOnlyWhenTheTimeMovesOn();
    void showSecondsSetsTheTimer();
    void timerWakesJustAfterEachNewSecond_data();
    void timerWakesJustAfterEachNewSecond();
    void timerWakesOnceASecond();
    void showActualTimeSwitchesTheTimer();

private:
    void toStopwatch();
    QTimer *timer() const { return m_clock->findChild<QTimer *>(QStringLiteral("timClock")); }

    std::unique_ptr<ManualTimeSource> m_time;
    std::unique_ptr<TamselClock> m_clock;
    QList<MessageBoxRequest> m_boxes;
    QStringList m_events;
    MessageBoxHook::Handler m_previousHandler;
};

void tst_TamselClockModes::init()
{
    m_time = std::make_unique<ManualTimeSource>(at(10, 13, 45, 30));
    m_clock = std::make_unique<TamselClock>(m_time.get());
    m_clock->resize(200, 200);
    m_boxes.clear();
    m_events.clear();
    m_previousHandler = MessageBoxHook::setHandler([this](const MessageBoxRequest &request) {
        m_events.append(QStringLiteral("box"));
        m_boxes.append(request);
        return QMessageBox::Ok;
    });
    connect(m_clock.get(), &TamselClock::Error, this,
            [this](qint16 &number, QString &) { m_events.append(QStringLiteral("Error %1").arg(number)); });
}

void tst_TamselClockModes::cleanup()
{
    MessageBoxHook::setHandler(m_previousHandler);
    m_clock.reset();
    m_time.reset();
}

void tst_TamselClockModes::toStopwatch()
{
    m_clock->setShowActualTime(false);
    QVERIFY(!m_clock->showActualTime());
}

void tst_TamselClockModes::newClockShowsTheCurrentTime()
{
    QVERIFY(m_clock->showActualTime());
    QVERIFY(timer()->isActive());
    // At 13:45:30.000 the next second begins in 1000 ms.
    QVERIFY2(timer()->interval() > 1000 && timer()->interval() <= 1010,
             qPrintable(QString::number(timer()->interval())));
    m_clock->Refresh();
    QCOMPARE(m_clock->seconds(), float(13 * 3600 + 45 * 60 + 30));
    m_time->advance(1500);
    m_clock->Refresh();
    QCOMPARE(m_clock->seconds(), float(13 * 3600 + 45 * 60 + 31.5));
    QCOMPARE(m_clock->stoppedTime(), QStringLiteral("00:00:00,00"));
}

void tst_TamselClockModes::startAndStopRaiseTheirEvents()
{
    toStopwatch();
    QDate startDate;
    QString startSeconds;
    connect(m_clock.get(), &TamselClock::Started, this, [&](QDate &date, QString &text) {
        startDate = date;
        startSeconds = text;
        text = QStringLiteral("changed by the handler");
    });
    float secondsWhileStopping = -1;
    QDate stopDate;
    QString stopSeconds;
    connect(m_clock.get(), &TamselClock::Stopped, this, [&](QDate &date, QString &text) {
        stopDate = date;
        stopSeconds = text;
        secondsWhileStopping = m_clock->seconds();
    });

    m_clock->StartClock();
    QCOMPARE(startDate, QDate(2026, 5, 10));
    QCOMPARE(startSeconds, QStringLiteral("13:45:30"));
    QCOMPARE(m_clock->startTime(), float(13 * 3600 + 45 * 60 + 30));
    QCOMPARE(m_clock->stopTime(), 0.0f);

    m_time->advance(2500);
    m_clock->StopClock();
    QCOMPARE(stopDate, QDate(2026, 5, 10));
    QCOMPARE(stopSeconds, QStringLiteral("13:45:32"));
    QCOMPARE(m_clock->stopTime(), float(13 * 3600 + 45 * 60 + 32.5));
    QCOMPARE(secondsWhileStopping, 2.5f);
    QVERIFY(m_boxes.isEmpty());
}

void tst_TamselClockModes::stopwatchSumsItsRuns_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QList<qint64>>("runs"); // milliseconds of each run, a pause of a minute between
    QTest::addColumn<float>("seconds");
    QTest::addColumn<QString>("text");

    QTest::newRow("2.5 s and 1.25 s") << at(10, 12, 0, 0) << QList<qint64>{2500, 1250} << 3.75f
                                      << QStringLiteral("00:00:03,75");
    QTest::newRow("1 h 2 min 3.25 s") << at(10, 8, 0, 0) << QList<qint64>{3723250} << 3723.25f
                                      << QStringLiteral("01:02:03,25");
    QTest::newRow("from 23:00 to 01:00 the next day")
        << at(10, 23, 0, 0) << QList<qint64>{7200000} << 7200.0f << QStringLiteral("02:00:00,00");
    QTest::newRow("across two midnights")
        << at(10, 23, 0, 0) << QList<qint64>{3600000, 86400000} << 90000.0f << QStringLiteral("25:00:00,00");
}

void tst_TamselClockModes::stopwatchSumsItsRuns()
{
    QFETCH(QDateTime, start);
    QFETCH(QList<qint64>, runs);
    QFETCH(float, seconds);
    QFETCH(QString, text);

    m_time->setCurrentDateTime(start);
    toStopwatch();
    for (const qint64 run : runs) {
        m_clock->StartClock();
        m_time->advance(run);
        m_clock->StopClock();
        m_time->advance(60000);
    }
    QCOMPARE(m_clock->seconds(), seconds);
    QCOMPARE(m_clock->stoppedTime(), text);
    QVERIFY(m_boxes.isEmpty());
}

void tst_TamselClockModes::runningStopwatchShowsTheElapsedTime()
{
    m_time->setCurrentDateTime(at(10, 23, 59, 0));
    toStopwatch();
    m_clock->StartClock();
    m_time->advance(20250);
    QCOMPARE(m_clock->stoppedTime(), QStringLiteral("00:00:20,25"));
    m_clock->handleClockTick();
    QCOMPARE(m_clock->seconds(), 20.25f);

    // Past midnight the running time goes on counting instead of turning negative.
    m_time->setCurrentDateTime(at(11, 0, 0, 30));
    QCOMPARE(m_clock->stoppedTime(), QStringLiteral("00:01:30,00"));
    m_clock->handleClockTick();
    QCOMPARE(m_clock->seconds(), 90.0f);
    m_clock->StopClock();
    QCOMPARE(m_clock->seconds(), 90.0f);
}

void tst_TamselClockModes::resetStartsAgainFromZero()
{
    toStopwatch();
    m_clock->StartClock();
    m_time->advance(2500);
    m_clock->StopClock();
    m_clock->StartClock();
    m_time->advance(1250);
    m_clock->StopClock();
    QCOMPARE(m_clock->stoppedTime(), QStringLiteral("00:00:03,75"));

    m_clock->Reset();
    QCOMPARE(m_clock->stoppedTime(), QStringLiteral("00:00:00,00"));
    QCOMPARE(m_clock->seconds(), 0.0f);
    QCOMPARE(m_clock->startTime(), 0.0f);
    QCOMPARE(m_clock->stopTime(), 0.0f);

    // The next run counts from zero again.
    m_clock->StartClock();
    m_time->advance(1000);
    m_clock->StopClock();
    QCOMPARE(m_clock->stoppedTime(), QStringLiteral("00:00:01,00"));
}

void tst_TamselClockModes::displayTimeShowsAFixedTime_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<float>("shown");

    QTest::newRow("one day and an hour") << 90000.0f << 3600.0f;
    QTest::newRow("a whole day stays") << 86400.0f << 86400.0f;
    QTest::newRow("negative values stay") << -60.0f << 0.0f; // below 0.01 Seconds reads 0
    QTest::newRow("half past six") << 23400.0f << 23400.0f;
}

void tst_TamselClockModes::displayTimeShowsAFixedTime()
{
    QFETCH(float, value);
    QFETCH(float, shown);

    float variable = value;
    m_clock->DisplayTime(variable);
    QCOMPARE(variable, value > 86400.0f ? shown : value);
    QCOMPARE(m_clock->seconds(), shown);
    QVERIFY(!m_clock->showActualTime());
    QVERIFY(!timer()->isActive());

    // The fixed time stays while the day goes on.
    m_time->advance(5000);
    m_clock->handleClockTick();
    m_clock->Refresh();
    QCOMPARE(m_clock->seconds(), shown);
}

void tst_TamselClockModes::fixedTimeIsLeftByShowActualTimeOrReset()
{
    float noon = 43200.0f;
    m_clock->DisplayTime(noon);
    m_clock->StartClock();
    QCOMPARE(m_events, QStringList({QStringLiteral("Error 7"), QStringLiteral("box")}));

    m_clock->Reset();
    QCOMPARE(m_clock->seconds(), 0.0f);
    m_events.clear();
    m_clock->StartClock();
    QVERIFY(m_events.isEmpty());
    m_clock->StopClock();

    m_clock->DisplayTime(noon);
    m_clock->setShowActualTime(false);
    m_clock->StartClock();
    QVERIFY(m_events.isEmpty());
    m_clock->StopClock();

    m_clock->DisplayTime(noon);
    m_clock->setShowActualTime(true);
    QVERIFY(timer()->isActive());
    m_clock->Refresh();
    QCOMPARE(m_clock->seconds(), float(13 * 3600 + 45 * 60 + 30));
}

void tst_TamselClockModes::refusedCommands_data()
{
    using Setup = std::function<void(TamselClock &)>;
    using Command = std::function<void(TamselClock &)>;
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<Command>("command");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("message");

    const Setup running = [](TamselClock &clock) {
        clock.setShowActualTime(false);
        clock.StartClock();
    };
    const Setup ready = [](TamselClock &clock) { clock.setShowActualTime(false); };
    const Setup realTime = [](TamselClock &) {};
    const Setup fixed = [](TamselClock &clock) {
        float time = 3600.0f;
        clock.DisplayTime(time);
    };

    QTest::newRow("1 real time while running")
        << running << Command([](TamselClock &c) { c.setShowActualTime(true); }) << 1
        << QStringLiteral("Stopuhr läuft momentan - Umschaltung in Realzeit-Modus nicht möglich.");
    QTest::newRow("1 stopwatch while running")
        << running << Command([](TamselClock &c) { c.setShowActualTime(false); }) << 1
        << QStringLiteral("Stopuhr läuft momentan - Umschaltung in Realzeit-Modus nicht möglich.");
    QTest::newRow("2 start twice") << running << Command([](TamselClock &c) { c.StartClock(); }) << 2
                                   << QStringLiteral("Stopuhr wurde bereits gestartet.");
    QTest::newRow("3 start in real time")
        << realTime << Command([](TamselClock &c) { c.StartClock(); }) << 3
        << QStringLiteral("Uhr befindet sich im Realzeitmodus - Stopuhr kann nicht gestartet werden.");
    QTest::newRow("4 stop when ready") << ready << Command([](TamselClock &c) {
        c.StopClock();
    }) << 4 << QStringLiteral("Stop-Befehl erhalten, ohne dass die Stopuhr zuvor gestartet wurde.");
    QTest::newRow("4 stop in real time") << realTime << Command([](TamselClock &c) {
        c.StopClock();
    }) << 4 << QStringLiteral("Stop-Befehl erhalten, ohne dass die Stopuhr zuvor gestartet wurde.");
    // Only loading stored values can bring real time back while the stopwatch runs.
    const Setup reloadedWhileRunning = [running](TamselClock &clock) {
        running(clock);
        clock.readProperties(PropertyBag());
    };
    QTest::newRow("5 stop in real time") << reloadedWhileRunning << Command([](TamselClock &c) {
        c.StopClock();
    }) << 5 << QStringLiteral("Uhr befindet sich im Realzeitmodus - Stopuhr kann nicht gestoppt werden.");
    QTest::newRow("6 reset while running")
        << running << Command([](TamselClock &c) { c.Reset(); }) << 6
        << QStringLiteral("Stopuhr kann nicht während des Laufens zurückgestellt werden.");
    QTest::newRow("7 start on a fixed time")
        << fixed << Command([](TamselClock &c) { c.StartClock(); }) << 7
        << QStringLiteral("Start-Befehl nicht möglich, wenn die Uhr eine statische Zeit anzeigt.");
    QTest::newRow("8 stop on a fixed time")
        << fixed << Command([](TamselClock &c) { c.StopClock(); }) << 8
        << QStringLiteral("Stop-Befehl nicht möglich, wenn die Uhr eine statische Zeit anzeigt.");
    QTest::newRow("9 fixed time while running") << running << Command([](TamselClock &c) {
        float time = 90000.0f;
        c.DisplayTime(time);
        QCOMPARE(time, 90000.0f); // the caller's variable is left alone as well
    }) << 9 << QStringLiteral("Kann statische Zeit nicht anzeigen, wenn Stopuhr noch läuft.");
}

void tst_TamselClockModes::refusedCommands()
{
    using Setup = std::function<void(TamselClock &)>;
    using Command = std::function<void(TamselClock &)>;
    QFETCH(Setup, setup);
    QFETCH(Command, command);
    QFETCH(int, number);
    QFETCH(QString, message);

    setup(*m_clock);
    QVERIFY(m_events.isEmpty());
    m_time->advance(1000);
    m_clock->Refresh();
    PropertyBag before;
    m_clock->writeProperties(before);
    const QString stoppedBefore = m_clock->stoppedTime();
    const float secondsBefore = m_clock->seconds();
    const float startBefore = m_clock->startTime();
    const bool timerBefore = timer()->isActive();
    QSignalSpy notices(m_clock.get(), &TamselClock::propertyChanged);

    command(*m_clock);

    QCOMPARE(m_events, QStringList({QStringLiteral("Error %1").arg(number), QStringLiteral("box")}));
    QCOMPARE(m_boxes.size(), 1);
    const MessageBoxRequest &box = m_boxes.first();
    QCOMPARE(box.title, QStringLiteral("Tamsel - Clock "));
    QCOMPARE(box.text, QStringLiteral("Fehlerhafte Ansteuerung.\r\r") + message);
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box.parent.data(), m_clock.get());

    PropertyBag after;
    m_clock->writeProperties(after);
    QCOMPARE(after.toJson(), before.toJson());
    QCOMPARE(m_clock->stoppedTime(), stoppedBefore);
    QCOMPARE(m_clock->seconds(), secondsBefore);
    QCOMPARE(m_clock->startTime(), startBefore);
    QCOMPARE(timer()->isActive(), timerBefore);
    QCOMPARE(notices.size(), 0);

    // With IgnoreErrors only the event remains.
    m_events.clear();
    m_boxes.clear();
    m_clock->setIgnoreErrors(true);
    command(*m_clock);
    QCOMPARE(m_events, QStringList({QStringLiteral("Error %1").arg(number)}));
    QVERIFY(m_boxes.isEmpty());
}

void tst_TamselClockModes::errorHandlerMayChangeTheMessage()
{
    connect(m_clock.get(), &TamselClock::Error, this,
            [](qint16 &, QString &message) { message = QStringLiteral("Bitte erst auf Stoppuhr umschalten."); });
    m_clock->StartClock();
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.first().text, QStringLiteral("Fehlerhafte Ansteuerung.\r\rBitte erst auf Stoppuhr umschalten."));
}

void tst_TamselClockModes::errorHandlerMaySuppressTheBox()
{
    connect(m_clock.get(), &TamselClock::Error, this, [this](qint16 &, QString &) { m_clock->setIgnoreErrors(true); });
    m_clock->StopClock();
    QVERIFY(m_boxes.isEmpty());
    QVERIFY(m_clock->ignoreErrors());
}

void tst_TamselClockModes::timerRedrawsOnlyWhenTheTimeMovesOn_data()
{
    QTest::addColumn<bool>("showSeconds");
    QTest::addColumn<bool>("fineAdjust");
    QTest::addColumn<QList<int>>("expected"); // redraws after each step of the walk below

    // The walk: 250 ms, 500 ms, 1 s, 59 s, 1 s. From 13:45:30.
    QTest::newRow("second hand shown") << true << true << QList<int>{0, 0, 1, 1, 1};
    QTest::newRow("fine-adjusted minute hand") << false << true << QList<int>{0, 0, 1, 1, 1};
    QTest::newRow("neither: once a minute") << false << false << QList<int>{0, 0, 0, 1, 0};
}

void tst_TamselClockModes::timerRedrawsOnlyWhenTheTimeMovesOn()
{
    QFETCH(bool, showSeconds);
    QFETCH(bool, fineAdjust);
    QFETCH(QList<int>, expected);

    m_clock->setShowSeconds(showSeconds);
    m_clock->setMinuteFineAdjust(fineAdjust);
    m_clock->handleClockTick(); // takes note of the current second and minute
    QSignalSpy redraws(m_clock.get(), &TamselClock::faceRefreshed);
    redraws.clear();
    m_clock->handleClockTick();
    QCOMPARE(redraws.size(), 0);

    const QList<qint64> walk{250, 500, 1000, 59000, 1000};
    for (int i = 0; i < walk.size(); ++i) {
        m_time->advance(walk.at(i));
        redraws.clear();
        m_clock->handleClockTick();
        QCOMPARE(redraws.size(), expected.at(i));
    }
}

void tst_TamselClockModes::showSecondsSetsTheTimer()
{
    toStopwatch();
    QVERIFY(!timer()->isActive());
    m_clock->setShowSeconds(false);
    QCOMPARE(timer()->interval(), 15000);
    QVERIFY(timer()->isActive()); // restarted in every mode
    m_clock->setShowSeconds(true);
    QVERIFY2(timer()->interval() > 1000 && timer()->interval() <= 1010,
             qPrintable(QString::number(timer()->interval())));
    QVERIFY(timer()->isActive());
}

void tst_TamselClockModes::timerWakesJustAfterEachNewSecond_data()
{
    QTest::addColumn<int>("intoSecond"); // milliseconds past the whole second when the timer starts
    QTest::newRow("at the start of a second") << 0;
    QTest::newRow("a quarter in") << 250;
    QTest::newRow("just before the next") << 990;
}

void tst_TamselClockModes::timerWakesJustAfterEachNewSecond()
{
    QFETCH(int, intoSecond);
    m_time->advance(intoSecond);
    m_clock->setShowSeconds(true); // restarts the timer
    const int untilNextSecond = 1000 - intoSecond;
    QVERIFY2(timer()->interval() >= untilNextSecond && timer()->interval() <= untilNextSecond + 10,
             qPrintable(QString::number(timer()->interval())));
}

void tst_TamselClockModes::timerWakesOnceASecond()
{
    QSignalSpy redraws(m_clock.get(), &TamselClock::faceRefreshed);
    QSignalSpy wakes(timer(), &QTimer::timeout);
    m_time->advance(990);
    m_clock->setShowSeconds(true);
    redraws.clear();
    // The next second begins before the timer wakes 12 ms later: it redraws at once.
    m_time->advance(20);
    QTRY_COMPARE_WITH_TIMEOUT(redraws.size(), 1, 500);
    QCOMPARE(wakes.size(), 1);
    // Then it sleeps until the second after, 990 ms away, where a timer polling four times a
    // second would wake every 250 ms.
    QVERIFY2(timer()->interval() >= 990 && timer()->interval() <= 1000,
             qPrintable(QString::number(timer()->interval())));
}

void tst_TamselClockModes::showActualTimeSwitchesTheTimer()
{
    toStopwatch();
    QVERIFY(!timer()->isActive());
    QCOMPARE(m_clock->seconds(), 0.0f);
    m_clock->StartClock();
    QVERIFY(timer()->isActive());
    m_time->advance(3000);
    m_clock->StopClock();
    QVERIFY(!timer()->isActive());
    m_clock->setShowActualTime(true);
    QVERIFY(timer()->isActive());
    // Back to the stopwatch: it shows its total again.
    m_clock->setShowActualTime(false);
    QCOMPARE(m_clock->seconds(), 3.0f);
}

QTEST_MAIN(tst_TamselClockModes)
#include "tst_tamselclockmodes.moc"
