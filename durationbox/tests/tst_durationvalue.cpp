// SPDX-License-Identifier: GPL-3.0-or-later
#include <durationvalue.h>

#include <QTest>

#include <limits>

using namespace DurationValue;

class tst_DurationValue : public QObject
{
    Q_OBJECT

private slots:
    void secondsWrite_data();
    void secondsWrite();
    void secondsWriteOverflows();
    void numericValueOfText_data();
    void numericValueOfText();
    void fieldLimits();
    void acceptableEdits_data();
    void acceptableEdits();
    void arrangementPlacesWithoutGaps_data();
    void arrangementPlacesWithoutGaps();
};

void tst_DurationValue::secondsWrite_data()
{
    QTest::addColumn<float>("seconds");
    QTest::addColumn<bool>("secondsShown");
    QTest::addColumn<int>("days");
    QTest::addColumn<float>("rest");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("s");
    QTest::newRow("3599") << 3599.0f << true << 0 << 3599.0f << 0 << 59 << 59;
    QTest::newRow("one day") << 86400.0f << true << 1 << 0.0f << 0 << 0 << 0;
    QTest::newRow("90061") << 90061.0f << true << 1 << 3661.0f << 1 << 1 << 1;
    QTest::newRow("200000") << 200000.0f << true << 2 << 27200.0f << 7 << 33 << 20;
    QTest::newRow("0.5 to even") << 0.5f << true << 0 << 0.5f << 0 << 0 << 0;
    QTest::newRow("1.5 to even") << 1.5f << true << 0 << 1.5f << 0 << 0 << 2;
    QTest::newRow("2.5 to even") << 2.5f << true << 0 << 2.5f << 0 << 0 << 2;
    QTest::newRow("59.5 carries") << 59.5f << true << 0 << 59.5f << 0 << 1 << 0;
    QTest::newRow("3599.75 carries to hours") << 3599.75f << true << 0 << 3599.75f << 1 << 0 << 0;
    QTest::newRow("86399.75 carries a day") << 86399.75f << true << 1 << -0.25f << 0 << 0 << 0;
    QTest::newRow("59.5 hidden seconds") << 59.5f << false << 0 << 59.5f << 0 << 0 << 60;
    QTest::newRow("negative") << -5.0f << true << 0 << -5.0f << -1 << 59 << 55;
}

void tst_DurationValue::secondsWrite()
{
    QFETCH(float, seconds);
    QFETCH(bool, secondsShown);
    const SecondsWrite plan = planSecondsWrite(seconds, secondsShown);
    QTEST(int(plan.carriedDays), "days");
    QTEST(plan.rest, "rest");
    QTEST(plan.hours, "h");
    QTEST(plan.minutes, "m");
    QTEST(plan.seconds, "s");
}

void tst_DurationValue::secondsWriteOverflows()
{
    QCOMPARE(planSecondsWrite(20000.0f * 86400.0f + 7.0f, true).carriedDays, qint16(20000));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, planSecondsWrite(40000.0f * 86400.0f, true));
    // Values whose day steps vanish in single precision end at the day limit, never in a loop.
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, planSecondsWrite(1e30f, true));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, planSecondsWrite(std::numeric_limits<float>::infinity(), true));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, planSecondsWrite(-std::numeric_limits<float>::infinity(), true));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, planSecondsWrite(std::numeric_limits<float>::quiet_NaN(), true));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, planSecondsWrite(-1e30f, true));
}

void tst_DurationValue::numericValueOfText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("07") << "07" << 7.0;
    QTest::newRow("365") << "365" << 365.0;
    QTest::newRow("leading digits") << "12ab3" << 12.0;
    QTest::newRow("marker") << QString(3, QChar(0x00A7)) << 0.0;
    QTest::newRow("letter first") << "a12" << 0.0;
    QTest::newRow("written negative") << "-01" << -1.0;
    QTest::newRow("lone minus") << "-" << 0.0;
}

void tst_DurationValue::numericValueOfText()
{
    QFETCH(QString, text);
    QTEST(numericValue(text), "value");
}

void tst_DurationValue::fieldLimits()
{
    QVERIFY(IsValidFieldValue(DaysField, 365));
    QVERIFY(!IsValidFieldValue(DaysField, 366));
    QVERIFY(IsValidFieldValue(HoursField, 23));
    QVERIFY(!IsValidFieldValue(HoursField, 24));
    QVERIFY(IsValidFieldValue(MinutesField, 59));
    QVERIFY(!IsValidFieldValue(SecondsField, 60));
    QVERIFY(IsValidFieldValue(SecondsField, -32768));
    QVERIFY(IsValidFieldValue(7, 32767));
    QVERIFY(!isAcceptableFieldValue(DaysField, 932768.0));
}

void tst_DurationValue::acceptableEdits_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("accepted");
    const QString marker2(2, QChar(0x00A7));
    QTest::newRow("digits within the limit") << 1 << "00"
                                             << "23" << true;
    QTest::newRow("above the hours' limit") << 1 << "00"
                                            << "24" << false;
    QTest::newRow("365 days") << 0 << ""
                              << "365" << true;
    QTest::newRow("366 days") << 0 << ""
                              << "366" << false;
    QTest::newRow("longer than the field") << 2 << ""
                                           << "001" << false;
    QTest::newRow("emptied") << 3 << "59"
                             << "" << true;
    QTest::newRow("a letter added") << 2 << "1"
                                    << "1a" << false;
    QTest::newRow("a minus sign added") << 0 << "12"
                                        << "-12" << false;
    QTest::newRow("fullwidth digit") << 2 << "" << QString(QChar(0xFF11)) << false;
    QTest::newRow("digit over the marker") << 1 << marker2 << QStringLiteral("5") + QChar(0x00A7) << true;
    QTest::newRow("marker shortened") << 1 << marker2 << QString(QChar(0x00A7)) << true;
    QTest::newRow("written negative shortened") << 1 << "-596523"
                                                << "-59652" << true;
    QTest::newRow("written negative lengthened") << 1 << "-05"
                                                 << "-051" << false;
    QTest::newRow("sign of a written negative deleted") << 1 << "-99"
                                                        << "99" << false;
    QTest::newRow("digits beyond any number") << 1 << "" << QString(400, u'9') << false;
}

void tst_DurationValue::acceptableEdits()
{
    QFETCH(int, index);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QTEST(isAcceptableEdit(qint16(index), before, after), "accepted");
}

void tst_DurationValue::arrangementPlacesWithoutGaps_data()
{
    QTest::addColumn<bool>("daysShown");
    QTest::addColumn<bool>("secondsShown");
    QTest::newRow("time with seconds") << false << true;
    QTest::newRow("hours and minutes") << false << false;
    QTest::newRow("all four") << true << true;
    QTest::newRow("days without seconds") << true << false;
}

void tst_DurationValue::arrangementPlacesWithoutGaps()
{
    QFETCH(bool, daysShown);
    QFETCH(bool, secondsShown);
    const std::array<float, FieldCount> fields{360, 270, 270, 270};
    const std::array<float, FieldCount> labels{45, 60, 0, 75};
    const Arrangement a = arrange(fields, labels, 285, daysShown, secondsShown);
    QCOMPARE(a.height, 285.0f);
    QCOMPARE(a.fieldLeft[DaysField], 0.0f);
    QCOMPARE(a.labelLeft[DaysField], 360.0f);
    QCOMPARE(a.fieldLeft[HoursField], daysShown ? 405.0f : 0.0f);
    for (int i = HoursField; i < FieldCount; ++i) {
        QCOMPARE(a.labelLeft[i], a.fieldLeft[i] + fields[i]);
        if (i > HoursField)
            QCOMPARE(a.fieldLeft[i], a.labelLeft[i - 1] + labels[i - 1]);
    }
    const int last = secondsShown ? SecondsField : MinutesField;
    QCOMPARE(a.width, a.labelLeft[last] + labels[last]);
}

QTEST_GUILESS_MAIN(tst_DurationValue)
#include "tst_durationvalue.moc"
