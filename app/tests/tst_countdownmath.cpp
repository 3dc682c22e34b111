// SPDX-License-Identifier: GPL-3.0-or-later
#include "countdownmath.h"

#include <QTest>

using namespace CountdownMath;

class tst_CountdownMath : public QObject
{
    Q_OBJECT

private slots:
    void formatRemaining_data();
    void formatRemaining();
    void proposal_data();
    void proposal();
    void remaining_data();
    void remaining();
};

void tst_CountdownMath::formatRemaining_data()
{
    QTest::addColumn<qint32>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "00:00:00";
    QTest::newRow("59") << 59 << "00:00:59";
    QTest::newRow("3599") << 3599 << "00:59:59";
    QTest::newRow("3600") << 3600 << "01:00:00";
    QTest::newRow("86399") << 86399 << "23:59:59";
    QTest::newRow("86400") << 86400 << "1 Tg. 00:00:00";
    QTest::newRow("93784") << 93784 << "1 Tg. 02:03:04";
    QTest::newRow("1000000") << 1000000 << "11 Tg. 13:46:40";
    QTest::newRow("largest") << 2147483647 << "24855 Tg. 03:14:07";
}

void tst_CountdownMath::formatRemaining()
{
    QFETCH(qint32, seconds);
    QTEST(FormatRemaining(seconds), "text");
}

void tst_CountdownMath::proposal_data()
{
    QTest::addColumn<QTime>("now");
    QTest::addColumn<int>("dayOffset");
    QTest::addColumn<qint32>("seconds");
    QTest::newRow("22:30") << QTime(22, 30) << 0 << 84600;
    QTest::newRow("23:30 is tomorrow") << QTime(23, 30) << 1 << 1800;
    QTest::newRow("23:00 stays today") << QTime(23, 0) << 0 << 86400;
    QTest::newRow("22:59:59.5 to even") << QTime(22, 59, 59, 500) << 0 << 86400;
    QTest::newRow("23:00:00.5 to even") << QTime(23, 0, 0, 500) << 0 << 86400;
    QTest::newRow("23:00:00.6") << QTime(23, 0, 0, 600) << 1 << 1;
    QTest::newRow("midnight") << QTime(0, 0) << 0 << 3600;
}

void tst_CountdownMath::proposal()
{
    QFETCH(QTime, now);
    QFETCH(int, dayOffset);
    const QDate today(2026, 12, 31);
    const Proposal p = proposeDeadline(QDateTime(today, now));
    QCOMPARE(p.date, today.addDays(dayOffset));
    QTEST(p.secondsPastMidnight, "seconds");
}

void tst_CountdownMath::remaining_data()
{
    QTest::addColumn<float>("entry");
    QTest::addColumn<qint32>("second");
    QTest::addColumn<int>("dayOffset");
    QTest::addColumn<qint32>("remaining");
    QTest::newRow("an hour") << 3600.0f << 0 << 0 << 3600;
    QTest::newRow("one second past") << 3599.0f << 3600 << 0 << -1;
    QTest::newRow("two days four hours") << 43200.0f << 28800 << 2 << 2 * 86400 + 4 * 3600;
    QTest::newRow("yesterday") << 43200.0f << 28800 << -1 << 14400 - 86400;
    QTest::newRow("half to even") << 10.5f << 0 << 0 << 10;
}

void tst_CountdownMath::remaining()
{
    QFETCH(float, entry);
    QFETCH(qint32, second);
    QFETCH(int, dayOffset);
    const QDate today(2026, 6, 1);
    QTEST(remainingSeconds(entry, second, today.addDays(dayOffset), today), "remaining");
}

QTEST_GUILESS_MAIN(tst_CountdownMath)
#include "tst_countdownmath.moc"
