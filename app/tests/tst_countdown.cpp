// SPDX-License-Identifier: GPL-3.0-or-later
#include "countdown.h"

#include <timesource.h>

#include <QTest>

namespace {

const QDate Today(2026, 12, 10);
using Action = Countdown::Action;
using Answer = Countdown::Answer;
using Warning = Countdown::Warning;

// One step of a countdown's life, as the main window takes it.
struct Step
{
    enum Op { Arm, Disarm, Run, Jump, Deadline, NoDate };
    Op op = Run;
    qint64 seconds = 0;               // Run: ticks every half second for this long; Jump: the clock moves without a
                                      // tick; Deadline: the time entry, this far from now
    int days = 0;                     // Deadline: the date entry, this many days after today
    Action action = Action::ShutDown; // Arm
};

Step arm(Action action = Action::ShutDown)
{
    return {Step::Arm, 0, 0, action};
}
Step disarm()
{
    return {Step::Disarm};
}
Step run(qint64 seconds)
{
    return {Step::Run, seconds};
}
Step jump(qint64 seconds)
{
    return {Step::Jump, seconds};
}
Step deadline(qint64 secondsFromNow, int days = 0)
{
    return {Step::Deadline, secondsFromNow, days};
}
Step noDate()
{
    return {Step::NoDate};
}

// A countdown driven as the window drives it: a timer that fires every half second while armed and
// stops at a refusal (which disarms) or when the action is carried out.
class Driver
{
public:
    explicit Driver(const QTime &start)
        : m_now(Today, start)
    {
    }

    void perform(const Step &step)
    {
        switch (step.op) {
        case Step::Arm:
            m_action = step.action;
            countdown.arm();
            m_running = true;
            break;
        case Step::Disarm:
            countdown.disarm();
            m_running = false;
            break;
        case Step::Run:
            for (qint64 i = 0; i < 2 * step.seconds; ++i) {
                m_now = m_now.addMSecs(500);
                if (m_running)
                    tick();
            }
            break;
        case Step::Jump:
            m_now = m_now.addSecs(step.seconds);
            break;
        case Step::Deadline:
            m_entrySeconds = float(qint32(TimeSource::secondsPastMidnight(m_now)) + step.seconds);
            m_entryDate = m_now.date().addDays(step.days);
            break;
        case Step::NoDate:
            m_entryDate = QDate();
            break;
        }
    }

    // The processed ticks in short: "refuse", "carry out" (a deadline that passed meanwhile),
    // "0 carry out" (the tick that found nothing left), "180 three minutes", "60 one minute", and
    // the seconds shown otherwise, a run of seconds going down one by one as "600..181".
    QStringList log() const
    {
        QStringList log;
        qint32 first = 0;
        qint32 last = 0;
        bool inRun = false;
        const auto closeRun = [&] {
            if (inRun)
                log.append(first == last ? QString::number(first) : QStringLiteral("%1..%2").arg(first).arg(last));
            inRun = false;
        };
        for (const Answer &answer : m_answers) {
            if (answer.kind == Answer::Show && answer.warning == Warning::None) {
                if (!inRun || answer.remaining != last - 1) {
                    closeRun();
                    first = answer.remaining;
                    inRun = true;
                }
                last = answer.remaining;
                continue;
            }
            closeRun();
            if (answer.kind == Answer::Refuse)
                log.append(QStringLiteral("refuse"));
            else if (answer.kind == Answer::CarryOut)
                log.append(answer.text.isEmpty() ? QStringLiteral("carry out") : QStringLiteral("0 carry out"));
            else
                log.append(QString::number(answer.remaining)
                           + (answer.warning == Warning::ThreeMinutes ? QStringLiteral(" three minutes")
                                                                      : QStringLiteral(" one minute")));
        }
        closeRun();
        return log;
    }

    const QList<Answer> &answers() const { return m_answers; }

    Countdown countdown;

private:
    void tick()
    {
        const Answer answer = countdown.tick(
            {TimeSource::secondsPastMidnight(m_now), m_now.date(), m_entrySeconds, m_entryDate, m_action});
        if (answer.kind == Answer::Skip)
            return;
        m_answers.append(answer);
        if (answer.kind == Answer::Refuse) {
            countdown.disarm();
            m_running = false;
        } else if (answer.kind == Answer::CarryOut) {
            m_running = false;
        }
    }

    QDateTime m_now;
    float m_entrySeconds = 0.0f;
    QDate m_entryDate = Today;
    Action m_action = Action::ShutDown;
    bool m_running = false;
    QList<Answer> m_answers;
};

} // namespace

Q_DECLARE_METATYPE(Step)

// What each tick of an armed countdown means, without a window.
class tst_Countdown : public QObject
{
    Q_OBJECT

private slots:
    void firstTick_data();
    void firstTick();
    void scenario_data();
    void scenario();
    void stateBetweenTicks();
};

void tst_Countdown::firstTick_data()
{
    QTest::addColumn<QTime>("now");
    QTest::addColumn<float>("entry");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("warning");
    QTest::addColumn<int>("remaining");

    const int shutDown = int(Action::ShutDown);
    const int restart = int(Action::Restart);
    const int none = int(Warning::None);
    const int threeMinutes = int(Warning::ThreeMinutes);
    const int oneMinute = int(Warning::OneMinute);
    const QTime noon(12, 0);
    const float at = 43200.0f; // noon in the time entry

    QTest::newRow("an hour, Shut-Down") << noon << at + 3600 << Today << shutDown << int(Answer::Show)
                                        << "Time until Shutdown: 01:00:00" << none << 3600;
    QTest::newRow("3599 left") << noon << at + 3599 << Today << shutDown << int(Answer::Show)
                               << "Time until Shutdown: 00:59:59" << none << 3599;
    QTest::newRow("two days four hours, Restart")
        << QTime(10, 0) << 50400.0f << Today.addDays(2) << restart << int(Answer::Show)
        << "Time until Restart: 2 Tg. 04:00:00" << none << 2 * 86400 + 4 * 3600;
    QTest::newRow("the furthest deadline") << noon << at + 3600 << Today.addDays(24855) << shutDown << int(Answer::Show)
                                           << "Time until Shutdown: 24855 Tg. 01:00:00" << none << 24855 * 86400 + 3600;

    const struct
    {
        qint32 left;
        int warning;
    } windows[] = {{181, none},     {180, threeMinutes}, {100, threeMinutes}, {61, threeMinutes}, {60, oneMinute},
                   {30, oneMinute}, {11, oneMinute},     {10, none},          {5, none},          {1, none}};
    for (const auto &window : windows) {
        QTest::addRow("%d left", window.left)
            << noon << at + float(window.left) << Today << shutDown << int(Answer::Show)
            << QStringLiteral("Time until Shutdown: ")
                + QStringLiteral("00:%1:%2")
                      .arg(window.left / 60, 2, 10, QLatin1Char('0'))
                      .arg(window.left % 60, 2, 10, QLatin1Char('0'))
            << window.warning << window.left;
    }
    QTest::newRow("nothing left: shown, then carried out")
        << noon << at << Today << restart << int(Answer::CarryOut) << "Time until Restart: 00:00:00" << none << 0;

    // The rest counts from the current second rounded to the nearest, halves to the even second.
    QTest::newRow("half past an even second rounds down")
        << QTime(12, 0, 0, 500) << at + 3600 << Today << shutDown << int(Answer::Show)
        << "Time until Shutdown: 01:00:00" << none << 3600;
    QTest::newRow("half past an odd second rounds up")
        << QTime(12, 0, 1, 500) << at + 3600 << Today << shutDown << int(Answer::Show)
        << "Time until Shutdown: 00:59:58" << none << 3598;
    QTest::newRow("past the half: the next second")
        << QTime(12, 0, 0, 600) << at + 3600 << Today << shutDown << int(Answer::Show)
        << "Time until Shutdown: 00:59:59" << none << 3599;
    QTest::newRow("a half second in the time entry") << noon << at + 3600.5f << Today << shutDown << int(Answer::Show)
                                                     << "Time until Shutdown: 01:00:00" << none << 3600;

    QTest::newRow("a second ago") << noon << at - 1 << Today << shutDown << int(Answer::Refuse) << "" << none << -1;
    QTest::newRow("yesterday") << noon << at + 3600 << Today.addDays(-1) << shutDown << int(Answer::Refuse) << ""
                               << none << -1;
    QTest::newRow("no date") << noon << at + 3600 << QDate() << restart << int(Answer::Refuse) << "" << none << -1;
    QTest::newRow("beyond 32 bits") << noon << at + 3600 << Today.addDays(24856) << shutDown << int(Answer::Refuse)
                                    << "" << none << -1;
}

void tst_Countdown::firstTick()
{
    QFETCH(QTime, now);
    QFETCH(float, entry);
    QFETCH(QDate, date);
    QFETCH(int, action);
    QFETCH(int, kind);

    Countdown countdown;
    countdown.arm();
    const Answer answer =
        countdown.tick({TimeSource::secondsPastMidnight(QDateTime(Today, now)), Today, entry, date, Action(action)});
    QCOMPARE(int(answer.kind), kind);
    QTEST(answer.text, "text");
    QCOMPARE(answer.trayImage, qint16(kind == int(Answer::Refuse) ? 0 : 2));
    QTEST(int(answer.warning), "warning");
    QTEST(answer.remaining, "remaining");
    QTEST(countdown.lngRemaining(), "remaining");
}

void tst_Countdown::scenario_data()
{
    QTest::addColumn<QTime>("start");
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<QStringList>("log");

    const QTime noon(12, 0);
    QTest::newRow("ten minutes, once a second down to the action")
        << noon << QList<Step>{deadline(600), arm(), run(700)}
        << QStringList{"600..181", "180 three minutes", "179..61", "60 one minute", "59..1", "0 carry out"};
    QTest::newRow("armed with 100 s") << QTime(9, 0) << QList<Step>{deadline(100), arm(), run(120)}
                                      << QStringList{"100 three minutes", "99..61", "60 one minute", "59..1",
                                                     "0 carry out"};
    QTest::newRow("armed with 30 s") << QTime(9, 0) << QList<Step>{deadline(30), arm(), run(40)}
                                     << QStringList{"30 one minute", "29..1", "0 carry out"};
    QTest::newRow("armed with 5 s") << QTime(9, 0) << QList<Step>{deadline(5), arm(), run(10)}
                                    << QStringList{"5..1", "0 carry out"};
    QTest::newRow("deadline at the current second")
        << noon << QList<Step>{deadline(0), arm(), run(1)} << QStringList{"0 carry out"};
    // A tick in the second half of a second processes the next second; the one after that comes
    // 1.5 seconds later, and the rest still goes down by one each time.
    QTest::newRow("ticks late in the second")
        << QTime(12, 0, 0, 100) << QList<Step>{deadline(600), arm(), run(10)} << QStringList{"599..590"};
    QTest::newRow("switching the action keeps the warnings, disarming clears them")
        << QTime(10, 0)
        << QList<Step>{deadline(170), arm(), run(1), arm(Action::Restart), run(2), disarm(), arm(), run(1)}
        << QStringList{"170 three minutes", "169..167", "166 three minutes"};

    // The wall clock or the machine misbehaves while the countdown runs.
    const struct
    {
        const char *name;
        qint64 jump;
    } passed[] = {{"slept an hour past it", 3600 + 600},
                  {"clock jumped a day", 86400},
                  {"slept three days over midnight", 3 * 86400 + 50000},
                  {"one second too far", 601}};
    for (const auto &row : passed) {
        QTest::newRow(row.name) << noon << QList<Step>{deadline(600), arm(), run(10), jump(row.jump), run(5)}
                                << QStringList{"600..590", "carry out"};
    }
    QTest::newRow("entries moved into the past are refused, also when armed again over them")
        << noon << QList<Step>{deadline(600), arm(), run(3), deadline(-60), run(1), arm(), jump(3600), run(1)}
        << QStringList{"600..597", "refuse", "refuse"};
    QTest::newRow("disarmed before the deadline, armed again after it: refused")
        << noon << QList<Step>{deadline(600), arm(), run(2), disarm(), jump(3600), arm(), run(1)}
        << QStringList{"600..598", "refuse"};
    QTest::newRow("date emptied while armed")
        << noon << QList<Step>{deadline(600), arm(), run(2), noDate(), run(1)} << QStringList{"600..598", "refuse"};
    QTest::newRow("clock set back an hour: an hour more, nothing early")
        << noon << QList<Step>{deadline(120), arm(), run(60), jump(-3600), run(3600 + 62)}
        << QStringList{"120 three minutes", "119..61", "60 one minute", "3660..1", "0 carry out"};
    QTest::newRow("through midnight, no second skipped or repeated")
        << QTime(23, 59) << QList<Step>{deadline(120 - 86400, 1), arm(Action::Restart), run(200)}
        << QStringList{"120 three minutes", "119..61", "60 one minute", "59..1", "0 carry out"};
    QTest::newRow("days pass asleep, the deadline still ahead")
        << QTime(9, 0) << QList<Step>{deadline(3600, 3), arm(), run(1), jump(3 * 86400 + 3600 - 5), run(5)}
        << QStringList{"262800..262799", "4..1", "0 carry out"};
}

void tst_Countdown::scenario()
{
    QFETCH(QTime, start);
    QFETCH(QList<Step>, steps);
    Driver driver(start);
    for (const Step &step : steps)
        driver.perform(step);
    QTEST(driver.log(), "log");

    // The tray image alternates from one shown second to the next, across armings too.
    qint16 previous = 0;
    for (const Answer &answer : driver.answers()) {
        if (answer.trayImage == 0)
            continue;
        QVERIFY(answer.trayImage == 1 || answer.trayImage == 2);
        QVERIFY(answer.trayImage != previous);
        previous = answer.trayImage;
    }
}

void tst_Countdown::stateBetweenTicks()
{
    Driver driver(QTime(12, 0));
    QCOMPARE(driver.countdown.lngRemaining(), -1);
    driver.perform(deadline(150));
    driver.perform(arm());
    QCOMPARE(driver.countdown.lngRemaining(), -1);
    driver.perform(run(1));
    QCOMPARE(driver.countdown.lngRemaining(), 149);
    QVERIFY(driver.countdown.blnWarned3Min());
    QVERIFY(!driver.countdown.blnWarned1Min());

    driver.perform(arm(Action::Restart)); // the same countdown, for the other action
    QCOMPARE(driver.countdown.lngRemaining(), 149);
    QVERIFY(driver.countdown.blnWarned3Min());

    driver.perform(run(100));
    QCOMPARE(driver.countdown.lngRemaining(), 49);
    QVERIFY(driver.countdown.blnWarned1Min());

    driver.perform(disarm());
    QCOMPARE(driver.countdown.lngRemaining(), -1);
    QVERIFY(!driver.countdown.blnWarned3Min());
    QVERIFY(!driver.countdown.blnWarned1Min());

    driver.perform(arm());
    driver.perform(run(60));
    QCOMPARE(driver.countdown.lngRemaining(), 0); // carried out
    driver.perform(disarm());
    driver.perform(deadline(-5));
    driver.perform(arm());
    driver.perform(run(1));
    QCOMPARE(driver.answers().last().kind, Answer::Refuse);
    QCOMPARE(driver.countdown.lngRemaining(), -1);
}

QTEST_APPLESS_MAIN(tst_Countdown)
#include "tst_countdown.moc"
