// SPDX-License-Identifier: GPL-3.0-or-later
#include "clockmath.h"

#include <QtTest>

#include <cmath>
#include <limits>

using namespace ClockMath;

class tst_ClockMath : public QObject
{
    Q_OBJECT

private slots:
    void faceCoordinatesOfTheProgramsClock();
    void tickAngles_data();
    void tickAngles();
    void tickEnds_data();
    void tickEnds();
    void handAngles_data();
    void handAngles();
    void radialPointsFollowTheDial();
    void stoppedTimeText_data();
    void stoppedTimeText();
    void timeOfDayText();
    void reducedDisplaySeconds_data();
    void reducedDisplaySeconds();
};

void tst_ClockMath::faceCoordinatesOfTheProgramsClock()
{
    // 358 pixels of 15 twips: the face is one pixel wider than twice its radius.
    const FaceCoordinates face = faceCoordinates(358 * 15, 15);
    QCOMPARE(face.radius, 2685.0f);
    QCOMPARE(face.left, -2685.0);
    QCOMPARE(face.top, -2685.0);
    QCOMPARE(face.width, 5385.0);
    QCOMPARE(face.height, 5385.0);
    QCOMPARE(face.centreX, 2692.5f);
    QCOMPARE(face.centreY, 2692.5f);
}

void tst_ClockMath::tickAngles_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("expectedCount");
    QTest::addColumn<float>("expectedLast");

    QTest::newRow("default small ticks") << 60 << 60 << 59.0f;
    QTest::newRow("default big ticks") << 12 << 12 << 55.0f;
    QTest::newRow("quarters") << 4 << 4 << 45.0f;
    QTest::newRow("seven: the next angle, 60, is past 59") << 7 << 7 << float(60.0f / 7 * 6);
    QTest::newRow("120: 59.5 is past the bound") << 120 << 119 << 59.0f;
    QTest::newRow("one") << 1 << 1 << 0.0f;
    QTest::newRow("none") << 0 << 0 << 0.0f;
    QTest::newRow("negative") << -5 << 0 << 0.0f;
}

void tst_ClockMath::tickAngles()
{
    QFETCH(int, count);
    QFETCH(int, expectedCount);
    QFETCH(float, expectedLast);

    const QList<float> angles = ClockMath::tickAngles(qint16(count));
    QCOMPARE(angles.size(), expectedCount);
    if (expectedCount == 0)
        return;
    QCOMPARE(angles.first(), 0.0f);
    QVERIFY(qAbs(angles.last() - expectedLast) < 1e-4f);
    for (const float angle : angles)
        QVERIFY(angle <= 59.0f);
}

void tst_ClockMath::tickEnds_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("inner");
    QTest::addColumn<int>("outer");

    // 100 - 0.5 rounds to the even 100, 98 - 0.5 to 98.
    QTest::newRow("small, default") << 100 << 1 << 2 << 98 << 100;
    QTest::newRow("big, default") << 100 << 1 << 5 << 94 << 100;
    QTest::newRow("quarter, default") << 100 << 1 << 10 << 90 << 100;
    // 95.5 and 97.5 both round to the even neighbour.
    QTest::newRow("small, width 5") << 100 << 5 << 2 << 96 << 98;
    QTest::newRow("small, the program's width 6") << 100 << 6 << 2 << 95 << 97;
    // 0 - 0.5 rounds to 0: drawn from the centre as a spoke.
    QTest::newRow("position 2") << 2 << 1 << 2 << 0 << 2;
    QTest::newRow("position below the offset") << 1 << 1 << 5 << 0 << 0;
    QTest::newRow("negative position") << -40 << 1 << 10 << 0 << -40;
    QTest::newRow("lowest position") << -32768 << 1 << 10 << 0 << -32768;
    QTest::newRow("lowest position, widest pen") << -32768 << 32767 << 2 << -16384 << -32768;
    QTest::newRow("highest position, negative width") << 32767 << -32768 << 2 << 32767 << 32767;
}

void tst_ClockMath::tickEnds()
{
    QFETCH(int, position);
    QFETCH(int, width);
    QFETCH(int, offset);
    QFETCH(int, inner);
    QFETCH(int, outer);

    const TickEnds ends = ClockMath::tickEnds(qint16(position), qint16(width), qint16(offset));
    QCOMPARE(int(ends.inner), inner);
    QCOMPARE(int(ends.outer), outer);
}

void tst_ClockMath::handAngles_data()
{
    QTest::addColumn<float>("seconds");
    QTest::addColumn<bool>("fineAdjust");
    QTest::addColumn<float>("hour");
    QTest::addColumn<float>("minute");
    QTest::addColumn<float>("second");

    QTest::newRow("15:30:45") << float(15 * 3600 + 30 * 60 + 45) << true << float(15 + 30.0 / 65 * 5)
                              << float(30 + 45.0 / 65) << 45.0f;
    QTest::newRow("15:30:45, minute not fine")
        << float(15 * 3600 + 30 * 60 + 45) << false << float(15 + 30.0 / 65 * 5) << 30.0f << 45.0f;
    QTest::newRow("03:00:00") << 10800.0f << true << 15.0f << 0.0f << 0.0f;
    QTest::newRow("a fraction is cut off") << 59.99f << true << 0.0f << float(59.0 / 65) << 59.0f;
    QTest::newRow("86400 points to twelve") << 86400.0f << true << 60.0f << 0.0f << 0.0f;
    // A run across midnight without dates: -24 h, 1 min, 30 s, the same as 0:01:30.
    QTest::newRow("-86310") << -86310.0f << true << float(-120 + 1.0 / 65 * 5) << float(1 + 30.0 / 65) << 30.0f;
    QTest::newRow("no number shows twelve") << std::numeric_limits<float>::quiet_NaN() << true << 0.0f << 0.0f << 0.0f;
}

void tst_ClockMath::handAngles()
{
    QFETCH(float, seconds);
    QFETCH(bool, fineAdjust);
    QFETCH(float, hour);
    QFETCH(float, minute);
    QFETCH(float, second);

    const HandAngles angles = ClockMath::handAngles(seconds, fineAdjust);
    QCOMPARE(angles.hour, hour);
    QCOMPARE(angles.minute, minute);
    QCOMPARE(angles.second, second);
}

void tst_ClockMath::radialPointsFollowTheDial()
{
    const float radius = 2685.0f;
    const QPointF twelve = radialPoint(0.0f, 100, radius);
    QCOMPARE(twelve.x(), 0.0);
    QCOMPARE(float(twelve.y()), -2685.0f);

    const QPointF three = radialPoint(15.0f, 50, radius);
    QVERIFY(qAbs(three.x() - 1342.5) < 0.01);
    QVERIFY(qAbs(three.y()) < 0.01);

    const QPointF nine = radialPoint(45.0f, 100, radius);
    QVERIFY(qAbs(nine.x() + 2685.0) < 0.01);

    // Negative lengths point the other way.
    const QPointF backwards = radialPoint(0.0f, -50, radius);
    QVERIFY(qAbs(backwards.y() - 1342.5) < 0.01);
}

void tst_ClockMath::stoppedTimeText_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0.0 << QStringLiteral("00:00:00,00");
    QTest::newRow("two runs") << 3.75 << QStringLiteral("00:00:03,75");
    QTest::newRow("1 h 2 min 3.25 s") << 3723.25 << QStringLiteral("01:02:03,25");
    QTest::newRow("hundredths are cut off") << 12.999 << QStringLiteral("00:00:12,99");
    QTest::newRow("a hundred hours keep their digits") << 360000.5 << QStringLiteral("100:00:00,50");
    QTest::newRow("negative hours") << -86310.0 << QStringLiteral("-24:01:30,00");
}

void tst_ClockMath::stoppedTimeText()
{
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(ClockMath::stoppedTimeText(seconds), text);
}

void tst_ClockMath::timeOfDayText()
{
    QCOMPARE(ClockMath::timeOfDayText(13 * 3600 + 45 * 60 + 30.6f, true), QStringLiteral("13:45:30"));
    QCOMPARE(ClockMath::timeOfDayText(13 * 3600 + 45 * 60 + 30.6f, false), QStringLiteral("13:45"));
    QCOMPARE(ClockMath::timeOfDayText(0.0f, true), QStringLiteral("00:00:00"));
}

void tst_ClockMath::reducedDisplaySeconds_data()
{
    QTest::addColumn<float>("seconds");
    QTest::addColumn<float>("reduced");

    QTest::newRow("one day and an hour") << 90000.0f << 3600.0f;
    QTest::newRow("a whole day stays") << 86400.0f << 86400.0f;
    QTest::newRow("two whole days") << 172800.0f << 86400.0f;
    QTest::newRow("with a fraction") << 90000.5f << 3600.5f;
    QTest::newRow("negative values stay") << -90000.0f << -90000.0f;
    // Only whole days are taken off: what is left is the float's own remainder.
    const float millennium = float(86400.0 * 365250 + 60);
    QTest::newRow("a thousand years end") << millennium << float(std::fmod(double(millennium), 86400.0));
    QTest::newRow("the largest value ends")
        << std::numeric_limits<float>::max() << float(std::fmod(double(std::numeric_limits<float>::max()), 86400.0));
}

void tst_ClockMath::reducedDisplaySeconds()
{
    QFETCH(float, seconds);
    QFETCH(float, reduced);
    QCOMPARE(ClockMath::reducedDisplaySeconds(seconds), reduced);
}

QTEST_GUILESS_MAIN(tst_ClockMath)
#include "tst_clockmath.moc"
