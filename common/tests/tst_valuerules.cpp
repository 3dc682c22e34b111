// SPDX-License-Identifier: GPL-3.0-or-later
#include <valuerules.h>

#include <QTest>

#include <cmath>
#include <limits>

using namespace ValueRules;

class tst_ValueRules : public QObject
{
    Q_OBJECT

private slots:
    void rounding_data();
    void rounding();
    void integerRangeFails();
    void twoDigitForm_data();
    void twoDigitForm();
    void colors();
    void twips();
};

void tst_ValueRules::rounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rounded");
    QTest::newRow("0.5") << 0.5 << 0.0;
    QTest::newRow("1.5") << 1.5 << 2.0;
    QTest::newRow("2.5") << 2.5 << 2.0;
    QTest::newRow("2.5000001") << 2.5000001 << 3.0;
    QTest::newRow("-0.5") << -0.5 << 0.0;
    QTest::newRow("-1.5") << -1.5 << -2.0;
    QTest::newRow("-2.4") << -2.4 << -2.0;
    QTest::newRow("59.5") << 59.5 << 60.0;
    QTest::newRow("32767.5") << 32767.5 << 32768.0;
}

void tst_ValueRules::rounding()
{
    QFETCH(double, value);
    QTEST(roundHalfEven(value), "rounded");
}

void tst_ValueRules::integerRangeFails()
{
    QCOMPARE(toInt16(32766.5), qint16(32766));
    QCOMPARE(toInt16(-32768.4), qint16(-32768));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, toInt16(32767.5));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, toInt16(-32768.6));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, toInt16(std::nan("")));
    QCOMPARE(toInt32(2147483647.0), 2147483647);
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, toInt32(2147483647.5));

    QCOMPARE(addInt16(32766, 1), qint16(32767));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, addInt16(32767, 1));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, subtractInt16(-32768, 1));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, multiplyInt16(200, 200));
    QCOMPARE(multiplyInt16(-128, 256), qint16(-32768));

    bool ran = false;
    QVERIFY(!withoutOverflow([&] {
        ran = true;
        addInt16(32767, 1);
    }));
    QVERIFY(ran);
    QVERIFY(withoutOverflow([] { addInt16(1, 1); }));
}

void tst_ValueRules::twoDigitForm_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << qint64(0) << "00";
    QTest::newRow("7") << qint64(7) << "07";
    QTest::newRow("59") << qint64(59) << "59";
    QTest::newRow("365") << qint64(365) << "365";
    QTest::newRow("-7") << qint64(-7) << "-07";
    QTest::newRow("-12") << qint64(-12) << "-12";
}

void tst_ValueRules::twoDigitForm()
{
    QFETCH(qint64, value);
    QTEST(twoDigits(value), "text");
}

void tst_ValueRules::colors()
{
    // Red sits in the low byte.
    QCOMPARE(resolveColor(0x000000FFu, QPalette()), QColor(255, 0, 0));
    QCOMPARE(resolveColor(0x00FF8000u, QPalette()), QColor(0, 128, 255));
    QCOMPARE(rgbColor(0, 128, 255), 0x00FF8000u);

    QPalette palette;
    palette.setColor(QPalette::Button, QColor(1, 2, 3));
    palette.setColor(QPalette::WindowText, QColor(4, 5, 6));
    palette.setColor(QPalette::Window, QColor(7, 8, 9));
    QCOMPARE(resolveColor(ButtonFace, palette), QColor(1, 2, 3));
    QCOMPARE(resolveColor(WindowText, palette), QColor(4, 5, 6));
    QCOMPARE(resolveColor(0x800000FFu, palette), QColor(7, 8, 9)); // an unknown system colour
    QCOMPARE(resolveColor(0xFFFFFFFFu, palette), QColor(7, 8, 9));
}

void tst_ValueRules::twips()
{
    QCOMPARE(twipsToPixels(285), 19);
    QCOMPARE(twipsToPixels(5370), 358);
    QCOMPARE(twipsToPixels(7.5), 0); // half a pixel, to even
    QCOMPARE(twipsToPixels(22.5), 2);
    QCOMPARE(pixelsToTwips(24), 360.0);
}

QTEST_GUILESS_MAIN(tst_ValueRules)
#include "tst_valuerules.moc"
