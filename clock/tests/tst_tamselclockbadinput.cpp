// SPDX-License-Identifier: GPL-3.0-or-later
// The clock fed the extremes of what its properties and stored values can hold: every 16-bit
// extreme for the whole-number properties, the limits and the system colours for the colours, a
// stored face picture that is not an image, pictures in every pixel format, damaged colour tables
// included. Each must leave a clock that redraws to the end.
#include "manualtimesource.h"
#include "messageboxhook.h"
#include "propertybag.h"
#include "tamselclock.h"

#include <QImage>
#include <QtTest>

#include <cstring>

class tst_TamselClockBadInput : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void wholeNumberExtremes_data();
    void wholeNumberExtremes();
    void colourExtremes_data();
    void colourExtremes();
    void allExtremesAtOnceFromStoredValues();
    void storedPictureThatIsNotAnImage();
    void picturesInEveryFormat_data();
    void picturesInEveryFormat();
    void pictureThatCannotBeConvertedCountsAsNone();

private:
    // Draws the clock at a fixed size and gives what it drew.
    QImage redraw(TamselClock &clock);

    ManualTimeSource m_time;
    int m_boxes = 0;
};

namespace {

const char *const WholeNumberProperties[] = {
    "SmallUnits",       "BigUnits",           "UnitPosition",      "UnitWidth",       "MinuteNeedleLength",
    "HourNeedleLength", "SecondNeedleLength", "MinuteNeedleWidth", "HourNeedleWidth", "SecondNeedleWidth",
};
const int WholeNumberExtremes[] = {-32768, -1, 0, 1, 32767};
const char *const ColourProperties[] = {
    "UnitColor", "HourColor", "MinuteColor", "SecondColor", "BackColor", "FaceColor",
};
const quint32 ColourExtremes[] = {0x00000000u, 0xFFFFFFFFu, 0x8000000Fu, 0x80000008u, 0x80000000u, 0x7FFFFFFFu};

} // namespace

void tst_TamselClockBadInput::init()
{
    m_time.setCurrentDateTime(QDateTime(QDate(2026, 3, 14), QTime(10, 9, 30)));
    m_boxes = 0;
    MessageBoxHook::setHandler([this](const MessageBoxRequest &) {
        ++m_boxes;
        return QMessageBox::Ok;
    });
}

void tst_TamselClockBadInput::cleanup()
{
    MessageBoxHook::setHandler({});
}

QImage tst_TamselClockBadInput::redraw(TamselClock &clock)
{
    clock.resize(120, 120);
    clock.update();
    QImage image(clock.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    clock.render(&image);
    return image;
}

void tst_TamselClockBadInput::wholeNumberExtremes_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<int>("value");
    for (const char *property : WholeNumberProperties) {
        for (const int value : WholeNumberExtremes)
            QTest::addRow("%s=%d", property, value) << QByteArray(property) << value;
    }
}

void tst_TamselClockBadInput::wholeNumberExtremes()
{
    QFETCH(QByteArray, property);
    QFETCH(int, value);
    TamselClock clock(&m_time);
    clock.setProperty(property.constData(), value);
    const int stored = clock.property(property.constData()).toInt();
    QVERIFY2(stored >= -32768 && stored <= 32767, qPrintable(QString::number(stored)));
    QVERIFY(!redraw(clock).isNull());
    // The timer goes on and the next redraw finishes as well.
    m_time.advance(1000);
    QVERIFY(!redraw(clock).isNull());
}

void tst_TamselClockBadInput::colourExtremes_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<quint32>("value");
    for (const char *property : ColourProperties) {
        for (const quint32 value : ColourExtremes)
            QTest::addRow("%s=%08x", property, value) << QByteArray(property) << value;
    }
}

void tst_TamselClockBadInput::colourExtremes()
{
    QFETCH(QByteArray, property);
    QFETCH(quint32, value);
    TamselClock clock(&m_time);
    clock.setProperty(property.constData(), value);
    const QImage image = redraw(clock);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), clock.size());
}

void tst_TamselClockBadInput::allExtremesAtOnceFromStoredValues()
{
    for (const int value : WholeNumberExtremes) {
        PropertyBag bag;
        for (const char *property : WholeNumberProperties)
            bag.writeProperty(QString::fromLatin1(property), value);
        for (const char *property : ColourProperties)
            bag.writeProperty(QString::fromLatin1(property), value);
        bag.writeProperty(QStringLiteral("ShowSeconds"), true);
        TamselClock clock(&m_time);
        clock.readProperties(bag);
        QVERIFY(!redraw(clock).isNull());
        PropertyBag saved;
        clock.writeProperties(saved);
        TamselClock again(&m_time);
        again.readProperties(saved);
        QVERIFY(!redraw(again).isNull());
    }
}

void tst_TamselClockBadInput::storedPictureThatIsNotAnImage()
{
    const QByteArray notImages[] = {
        QByteArray("this is not a picture"),
        QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xff\xff\xff", 20), // a PNG header that lies about its size
        QByteArray("BM") + QByteArray(64, '\xff'),
        QByteArray(4096, '\0'),
    };
    TamselClock plain(&m_time);
    const QImage expected = redraw(plain);
    for (const QByteArray &bytes : notImages) {
        PropertyBag bag;
        bag.writeProperty(QStringLiteral("Picture"), bytes);
        TamselClock clock(&m_time);
        clock.readProperties(bag);
        QVERIFY(clock.picture().isNull());
        // Without a usable picture the clock draws as it does without one.
        QCOMPARE(redraw(clock), expected);
    }
}

namespace {

QImage indexedPicture(const QList<QRgb> &colorTable, int index)
{
    QImage picture(120, 120, QImage::Format_Indexed8);
    picture.setColorTable(colorTable);
    picture.fill(index);
    return picture;
}

QImage filledPicture(QImage::Format format, const QColor &color)
{
    QImage picture(120, 120, format);
    picture.fill(color);
    return picture;
}

// A pixel of the face that no hand covers at 10:09:30 and no tick reaches.
constexpr QPoint OpenFace(30, 75);

} // namespace

void tst_TamselClockBadInput::picturesInEveryFormat_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QColor>("shown");

    // Without a colour table an 8-bit index reads as that shade of grey.
    QTest::newRow("8-bit indexed without a colour table") << indexedPicture({}, 200) << QColor(200, 200, 200);
    QImage pastTheTable = indexedPicture({qRgb(255, 0, 0)}, 0);
    for (int y = 0; y < 20; ++y)
        std::memset(pastTheTable.scanLine(y), 255, size_t(pastTheTable.bytesPerLine()));
    QTest::newRow("8-bit indexed, indexes past its colour table") << pastTheTable << QColor(255, 0, 0);
    QImage mono(120, 120, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 255), qRgb(255, 255, 0)});
    mono.fill(1);
    QTest::newRow("1-bit") << mono << QColor(255, 255, 0);
    QTest::newRow("16-bit grey") << filledPicture(QImage::Format_Grayscale16, QColor(90, 90, 90)) << QColor(90, 90, 90);
    QTest::newRow("24-bit RGB") << filledPicture(QImage::Format_RGB888, QColor(0, 160, 0)) << QColor(0, 160, 0);
    QTest::newRow("64-bit RGBA") << filledPicture(QImage::Format_RGBA64, QColor(200, 0, 200)) << QColor(200, 0, 200);
    QTest::newRow("32-bit ARGB") << filledPicture(QImage::Format_ARGB32, QColor(20, 40, 60)) << QColor(20, 40, 60);
}

void tst_TamselClockBadInput::picturesInEveryFormat()
{
    QFETCH(QImage, picture);
    QFETCH(QColor, shown);
    const auto near = [](const QColor &a, const QColor &b) {
        return qAbs(a.red() - b.red()) <= 2 && qAbs(a.green() - b.green()) <= 2 && qAbs(a.blue() - b.blue()) <= 2;
    };

    TamselClock clock(&m_time);
    clock.setShowFace(false);
    clock.setPicture(picture);
    QCOMPARE(clock.picture().size(), picture.size());
    QImage image = redraw(clock);
    QVERIFY2(near(image.pixelColor(OpenFace), shown), qPrintable(image.pixelColor(OpenFace).name()));

    // Laid at natural size as well.
    clock.setAutosize(true);
    QCOMPARE(clock.size(), picture.size());
    image = redraw(clock);
    QVERIFY2(near(image.pixelColor(OpenFace), shown), qPrintable(image.pixelColor(OpenFace).name()));
    m_time.advance(1000);
    clock.handleClockTick();
    QVERIFY(!redraw(clock).isNull());
}

void tst_TamselClockBadInput::pictureThatCannotBeConvertedCountsAsNone()
{
    // A one-bit picture far too wide for 32 bits a pixel.
    QImage tooWide(600'000'000, 1, QImage::Format_Mono);
    QVERIFY(!tooWide.isNull());
    tooWide.fill(1);

    TamselClock plain(&m_time);
    const QImage expected = redraw(plain);
    TamselClock clock(&m_time);
    QTest::ignoreMessage(QtWarningMsg, "QImage: out of memory, returning null image");
    clock.setPicture(tooWide);
    tooWide = QImage();
    QVERIFY(clock.picture().isNull());
    QCOMPARE(redraw(clock), expected);
    clock.setAutosize(true);
    QCOMPARE(clock.size(), QSize(120, 120));
    QCOMPARE(redraw(clock), expected);
}

QTEST_MAIN(tst_TamselClockBadInput)
#include "tst_tamselclockbadinput.moc"
