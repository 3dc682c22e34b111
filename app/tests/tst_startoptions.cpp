// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandline.h"
#include "deadlinetext.h"
#include "startoptions.h"

#include <QTest>

using Request = StartOptions::Request;
using Action = StartOptions::Action;

class tst_StartOptions : public QObject
{
    Q_OBJECT

private slots:
    void spans_data();
    void spans();
    void deadlines_data();
    void deadlines();
    void requests_data();
    void requests();
    void errors_data();
    void errors();
    void legacySwitchesStayWhereTheyWere_data();
    void legacySwitchesStayWhereTheyWere();
    void noOptionValueIsALegacySwitch_data();
    void noOptionValueIsALegacySwitch();
    void usageListsEveryOption();

private:
    const QDateTime m_now{QDate(2026, 12, 11), QTime(14, 20, 30)};
};

void tst_StartOptions::spans_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("seconds"); // -1: no value

    QTest::newRow("seconds") << "90s" << qint64(90);
    QTest::newRow("minutes") << "45m" << qint64(2700);
    QTest::newRow("hours") << "2h" << qint64(7200);
    QTest::newRow("hours and minutes") << "1h30m" << qint64(5400);
    QTest::newRow("all three") << "1h30m15s" << qint64(5415);
    QTest::newRow("any order") << "30m1h" << qint64(5400);
    QTest::newRow("bare number is minutes") << "45" << qint64(2700);
    QTest::newRow("plus and minutes, as shutdown takes it") << "+45" << qint64(2700);
    QTest::newRow("zero") << "0s" << qint64(0);
    QTest::newRow("a year") << "8784h" << qint64(8784 * 3600);
    QTest::newRow("beyond a year") << "8785h" << qint64(-1);
    QTest::newRow("huge") << "999999999h" << qint64(-1);
    QTest::newRow("empty") << "" << qint64(-1);
    QTest::newRow("unit twice") << "1m2m" << qint64(-1);
    QTest::newRow("negative") << "-10m" << qint64(-1);
    QTest::newRow("unknown unit") << "3d" << qint64(-1);
    QTest::newRow("unit alone") << "m" << qint64(-1);
    QTest::newRow("fraction") << "1.5h" << qint64(-1);
    QTest::newRow("trailing text") << "10mx" << qint64(-1);
}

void tst_StartOptions::spans()
{
    QFETCH(QString, text);
    QFETCH(qint64, seconds);
    const std::optional<qint64> span = DeadlineText::parseSpan(text);
    QCOMPARE(span.value_or(-1), seconds);
}

void tst_StartOptions::deadlines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("expected"); // invalid: not readable

    const QDate today = m_now.date();
    QTest::newRow("later today") << "23:30" << QDateTime(today, QTime(23, 30));
    QTest::newRow("earlier: tomorrow") << "08:00" << QDateTime(today.addDays(1), QTime(8, 0));
    QTest::newRow("this very second: tomorrow") << "14:20:30" << QDateTime(today.addDays(1), QTime(14, 20, 30));
    QTest::newRow("with seconds") << "14:20:31" << QDateTime(today, QTime(14, 20, 31));
    QTest::newRow("one-digit hour") << "9:05" << QDateTime(today.addDays(1), QTime(9, 5));
    QTest::newRow("date and time") << "2026-12-24T18:00" << QDateTime(QDate(2026, 12, 24), QTime(18, 0));
    QTest::newRow("blank for T") << "2026-12-24 18:00:05" << QDateTime(QDate(2026, 12, 24), QTime(18, 0, 5));
    QTest::newRow("past date stays as given") << "2026-12-10T18:00" << QDateTime(QDate(2026, 12, 10), QTime(18, 0));
    QTest::newRow("24:00") << "24:00" << QDateTime();
    QTest::newRow("no such day") << "2026-02-30T10:00" << QDateTime();
    QTest::newRow("date alone") << "2026-12-24" << QDateTime();
    QTest::newRow("words") << "tonight" << QDateTime();
    QTest::newRow("empty") << "" << QDateTime();
}

void tst_StartOptions::deadlines()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, expected);
    QCOMPARE(DeadlineText::parseDeadline(text, m_now), expected);
}

void tst_StartOptions::requests_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Request>("request");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QDateTime>("deadline");
    QTest::addColumn<qint64>("postpone");
    QTest::addColumn<bool>("dryRun");

    const QDate today = m_now.date();
    QTest::newRow("nothing") << QStringList{} << Request::Open << Action::ShutDown << QDateTime() << qint64(0) << false;
    QTest::newRow("dry run alone") << QStringList{"--dry-run"} << Request::Open << Action::ShutDown << QDateTime()
                                   << qint64(0) << true;
    QTest::newRow("shutdown at") << QStringList{"--shutdown-at", "23:30"} << Request::Arm << Action::ShutDown
                                 << QDateTime(today, QTime(23, 30)) << qint64(0) << false;
    QTest::newRow("restart at, with =") << QStringList{"--restart-at=2026-12-24T18:00", "--dry-run"} << Request::Arm
                                        << Action::Restart << QDateTime(QDate(2026, 12, 24), QTime(18, 0)) << qint64(0)
                                        << true;
    QTest::newRow("shutdown in") << QStringList{"--shutdown-in", "45m"} << Request::Arm << Action::ShutDown
                                 << m_now.addSecs(2700) << qint64(0) << false;
    QTest::newRow("restart in") << QStringList{"--restart-in", "90s"} << Request::Arm << Action::Restart
                                << m_now.addSecs(90) << qint64(0) << false;
    QTest::newRow("postpone") << QStringList{"--postpone", "10m"} << Request::Postpone << Action::ShutDown
                              << QDateTime() << qint64(600) << false;
    QTest::newRow("cancel") << QStringList{"--cancel"} << Request::Cancel << Action::ShutDown << QDateTime()
                            << qint64(0) << false;
    QTest::newRow("status") << QStringList{"--status"} << Request::Status << Action::ShutDown << QDateTime()
                            << qint64(0) << false;
    QTest::newRow("help") << QStringList{"--help"} << Request::Help << Action::ShutDown << QDateTime() << qint64(0)
                          << false;
    QTest::newRow("-h") << QStringList{"-h"} << Request::Help << Action::ShutDown << QDateTime() << qint64(0) << false;
    QTest::newRow("version") << QStringList{"--version"} << Request::Version << Action::ShutDown << QDateTime()
                             << qint64(0) << false;
}

void tst_StartOptions::requests()
{
    QFETCH(QStringList, arguments);
    QFETCH(Request, request);
    QFETCH(Action, action);
    QFETCH(QDateTime, deadline);
    QFETCH(qint64, postpone);
    QFETCH(bool, dryRun);

    const StartOptions options = StartOptions::read(QStringList{"Vesperon"} + arguments, m_now);
    QCOMPARE(options.errorText(), QString());
    QCOMPARE(options.request(), request);
    QCOMPARE(options.action(), action);
    QCOMPARE(options.deadline(), deadline);
    QCOMPARE(options.postponeSeconds(), postpone);
    QCOMPARE(options.isDryRun(), dryRun);
    QCOMPARE(options.legacyText(), QString());
    // The program's own name is not one of its options.
    QCOMPARE(StartOptions::read(QStringList{"--dry-run"} + arguments, m_now).isDryRun(), dryRun);
}

void tst_StartOptions::errors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error");

    QTest::newRow("unreadable time") << QStringList{"--shutdown-at", "25:00"}
                                     << "Cannot read the time \"25:00\" (try 23:30 or 2026-12-24T18:00).";
    QTest::newRow("past deadline") << QStringList{"--restart-at", "2026-12-11T14:20"}
                                   << "The deadline 2026-12-11 14:20:00 has passed.";
    QTest::newRow("unreadable span") << QStringList{"--shutdown-in", "soon"}
                                     << "Cannot read the span \"soon\" (try 45m, 90s or 1h30m).";
    QTest::newRow("postpone by nothing") << QStringList{"--postpone", "0m"}
                                         << "Cannot read the span \"0m\" (try 10m, 90s or 1h30m).";
    QTest::newRow("missing value") << QStringList{"--shutdown-at"} << "Missing value after '--shutdown-at'.";
    QTest::newRow("unknown option") << QStringList{"--shutdown-now"} << "Unknown option 'shutdown-now'.";
    QTest::newRow("two requests") << QStringList{"--cancel", "--status"} << "Give only one of --cancel, --status.";
}

void tst_StartOptions::errors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    QCOMPARE(StartOptions::read(QStringList{"Vesperon"} + arguments, m_now).errorText(), error);
}

void tst_StartOptions::legacySwitchesStayWhereTheyWere_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("legacyText");

    QTest::newRow("none") << QStringList{} << "";
    QTest::newRow("switches as they come") << QStringList{"-3", "x y", "-1"} << "-3 x y -1";
    QTest::newRow("dry run taken out") << QStringList{"-3", "--dry-run", "-1"} << "-3 -1";
    QTest::newRow("/NOMSG stays") << QStringList{"/NOMSG", "-2"} << "/NOMSG -2";
    QTest::newRow("beside an option and its value")
        << QStringList{"-4", "--shutdown-at", "2026-12-14T10:00", "-12"} << "-4 -12";
    QTest::newRow("two dashes and a digit are not ours") << QStringList{"--1"} << "--1";
}

void tst_StartOptions::legacySwitchesStayWhereTheyWere()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, legacyText);
    // The program's own name is never looked at, even when its folder holds a switch.
    QCOMPARE(StartOptions::read(QStringList{"/opt/-1/Vesperon"} + arguments, m_now).legacyText(), legacyText);
}

void tst_StartOptions::noOptionValueIsALegacySwitch_data()
{
    QTest::addColumn<QStringList>("arguments");

    // Every day of a year, as a date-time and as a date given in the "=" form, for each option
    // that takes a deadline; spans and time of day for the others.
    for (QDate day(2026, 1, 1); day.year() == 2026; day = day.addDays(1)) {
        const QString date = day.toString(Qt::ISODate);
        for (const char *option : {"--shutdown-at", "--restart-at"}) {
            QTest::addRow("%s %s", option, qPrintable(date))
                << QStringList{QString::fromLatin1(option), date + QStringLiteral("T23:59")};
            QTest::addRow("%s=%s", option, qPrintable(date))
                << QStringList{QString::fromLatin1(option) + u'=' + date + QStringLiteral("T00:01:02")};
        }
    }
    for (const char *option : {"--shutdown-in", "--restart-in", "--postpone"}) {
        for (const char *span : {"1m", "12m", "-1", "-12", "1h1m1s", "4h", "-4"})
            QTest::addRow("%s %s", option, span) << QStringList{QString::fromLatin1(option), QString::fromLatin1(span)};
    }
    for (const char *time : {"1:11", "12:34", "-1", "-2", "-3", "-4"}) {
        QTest::addRow("--shutdown-at %s", time)
            << QStringList{QStringLiteral("--shutdown-at"), QString::fromLatin1(time)};
    }
    QTest::newRow("cancel, status, dry run") << QStringList{"--cancel", "--dry-run"};
}

void tst_StartOptions::noOptionValueIsALegacySwitch()
{
    QFETCH(QStringList, arguments);
    const StartOptions options = StartOptions::read(QStringList{"Vesperon"} + arguments, m_now);
    const CommandLine::Switches switches = CommandLine::parse(options.legacyText());
    QVERIFY(!switches.logOff);
    QVERIFY(!switches.forceLogOff);
    QVERIFY(!switches.shutDown);
    QVERIFY(!switches.forceShutDown);
    QCOMPARE(options.legacyText(), QString());
}

void tst_StartOptions::usageListsEveryOption()
{
    const QString usage = StartOptions::usage();
    for (const char *option :
         {"--shutdown-at <time>", "--restart-at <time>", "--shutdown-in <span>", "--restart-in <span>",
          "--postpone <span>", "--cancel", "--status", "--dry-run", "--help", "--version"})
        QVERIFY2(usage.contains(QLatin1String(option)), option);
}

QTEST_GUILESS_MAIN(tst_StartOptions)
#include "tst_startoptions.moc"
