// SPDX-License-Identifier: GPL-3.0-or-later
#include "clockmath.h"
#include "manualtimesource.h"
#include "tamselclock.h"
#include "valuerules.h"

#include <QPainter>
#include <QScreen>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace {

constexpr int Side = 358;
// The face's centre and radius in pixels for a face Side pixels wide.
constexpr double Centre = Side / 2.0;
constexpr double RadiusPixels = (Side * 15 / 2.0) * Side / (Side * 15 + 15.0);

const quint32 White = ValueRules::rgbColor(255, 255, 255);
const quint32 Black = ValueRules::rgbColor(0, 0, 0);
const quint32 Red = ValueRules::rgbColor(255, 0, 0);
const quint32 Blue = ValueRules::rgbColor(0, 0, 255);
const quint32 Green = ValueRules::rgbColor(0, 160, 0);

QColor qColor(quint32 color)
{
    return ValueRules::resolveColor(color);
}

bool near(const QColor &a, const QColor &b, int tolerance = 40)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

// The pixel at angle (minute units) and percent of the radius.
QPoint dialPixel(double angle, double percent)
{
    const double radians = angle / 30.0 * M_PI;
    const double distance = percent / 100.0 * RadiusPixels;
    return QPoint(int(std::floor(Centre + distance * std::sin(radians))),
                  int(std::floor(Centre - distance * std::cos(radians))));
}

// How many separate dark marks a walk around the dial at percent of the radius crosses.
int marksAround(const QImage &image, double percent)
{
    int marks = 0;
    bool inMark = false;
    bool firstDark = false;
    constexpr int Steps = 7200;
    for (int i = 0; i < Steps; ++i) {
        const bool dark = qGray(image.pixel(dialPixel(60.0 * i / Steps, percent))) < 200;
        if (i == 0)
            firstDark = dark;
        if (dark && !inMark)
            ++marks;
        inMark = dark;
    }
    if (inMark && firstDark && marks > 1)
        --marks; // the mark at twelve o'clock was counted at both ends
    return marks;
}

} // namespace

// Renders real clocks into images and looks at their pixels.
class tst_TamselClockFace : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void hourHandAtThreeLiesRightOfTheCentre();
    void secondHandIsDrawnLast();
    void paintingShowsWhatTheLastRefreshDrew();
    void defaultFaceHasSixtySmallAndTwelveBigTicks();
    void tickCounts_data();
    void tickCounts();
    void ticksFollowUnitPosition();
    void faceIsADiscOnTheBackColour();
    void pictureIsStretchedOverTheFace();
    void autosizeGivesTheControlThePicturesSize();
    void autosizeOffStretchesAgainAfterTheNextResize();
    void extremeValuesStillDraw_data();
    void extremeValuesStillDraw();
    void extremeTicksCoverWhatTheirStrokesCover_data();
    void extremeTicksCoverWhatTheirStrokesCover();
    void faceScalesWithTheControl();
    void redrawsMatchAFreshDrawing_data();
    void redrawsMatchAFreshDrawing();
    void screenShowsWhatTheClockDraws();

private:
    QImage render() const;
    void plainFace();
    void programLook();

    std::unique_ptr<ManualTimeSource> m_time;
    std::unique_ptr<QWidget> m_host;
    TamselClock *m_clock = nullptr;
};

void tst_TamselClockFace::init()
{
    m_time = std::make_unique<ManualTimeSource>(QDateTime(QDate(2026, 3, 14), QTime(3, 0, 0)));
    m_host = std::make_unique<QWidget>();
    m_host->resize(Side + 20, Side + 20);
    m_clock = new TamselClock(m_time.get(), m_host.get());
    m_clock->setGeometry(0, 0, Side, Side);
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
}

void tst_TamselClockFace::cleanup()
{
    m_host.reset();
    m_time.reset();
}

QImage tst_TamselClockFace::render() const
{
    QImage image(m_clock->size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    m_clock->render(&image);
    return image;
}

void tst_TamselClockFace::plainFace()
{
    m_clock->setBackColor(Blue);
    m_clock->setFaceColor(White);
}

void tst_TamselClockFace::hourHandAtThreeLiesRightOfTheCentre()
{
    plainFace();
    m_clock->setHourColor(Red);
    m_clock->setMinuteColor(Green);
    m_clock->Refresh();
    const QImage image = render();

    // The hour hand reaches 50 percent to the right; left of the centre and beyond its end the
    // face shows through.
    for (const double percent : {10.0, 25.0, 45.0})
        QVERIFY2(near(image.pixelColor(dialPixel(15, percent)), qColor(Red)), qPrintable(QString::number(percent)));
    QVERIFY(near(image.pixelColor(dialPixel(15, 60)), qColor(White)));
    QVERIFY(near(image.pixelColor(dialPixel(45, 25)), qColor(White)));
    // Minute and second hand point to twelve; only the second hand reaches 88 percent.
    QVERIFY(qGray(image.pixel(dialPixel(0, 88))) < 170);
}

void tst_TamselClockFace::secondHandIsDrawnLast()
{
    plainFace();
    m_clock->setMinuteColor(Green);
    m_clock->setSecondColor(Red);
    m_clock->setMinuteNeedleWidth(3);
    m_clock->setSecondNeedleWidth(3);
    m_clock->setMinuteFineAdjust(false);
    m_time->setCurrentDateTime(QDateTime(QDate(2026, 3, 14), QTime(10, 20, 20)));
    m_clock->Refresh();
    // Both at twenty: the minute hand at 20 minutes and the second hand at 20 seconds.
    QImage image = render();
    QVERIFY(near(image.pixelColor(dialPixel(20, 50)), qColor(Red)));

    m_clock->setShowSeconds(false);
    image = render();
    QVERIFY(near(image.pixelColor(dialPixel(20, 50)), qColor(Green)));
}

void tst_TamselClockFace::paintingShowsWhatTheLastRefreshDrew()
{
    plainFace();
    m_clock->setHourColor(Red);
    m_clock->Refresh();
    m_time->setCurrentDateTime(QDateTime(QDate(2026, 3, 14), QTime(9, 0, 0)));
    m_clock->update();
    QImage image = render();
    QVERIFY(near(image.pixelColor(dialPixel(15, 25)), qColor(Red)));
    QVERIFY(near(image.pixelColor(dialPixel(45, 25)), qColor(White)));

    m_clock->Refresh();
    image = render();
    QVERIFY(near(image.pixelColor(dialPixel(15, 25)), qColor(White)));
    QVERIFY(near(image.pixelColor(dialPixel(45, 25)), qColor(Red)));
}

void tst_TamselClockFace::defaultFaceHasSixtySmallAndTwelveBigTicks()
{
    m_clock->setFaceColor(White);
    const QImage image = render();
    QCOMPARE(marksAround(image, 99), 60); // small ticks: 98 to 100 percent
    QCOMPARE(marksAround(image, 96), 12); // big ticks: 94 to 100 percent
    QCOMPARE(marksAround(image, 92), 4);  // quarter ticks: 90 to 100 percent
    QCOMPARE(marksAround(image, 80), 1);  // inside the ticks only minute and second hand, at twelve
}

void tst_TamselClockFace::tickCounts_data()
{
    QTest::addColumn<int>("small");
    QTest::addColumn<int>("big");
    QTest::addColumn<int>("atRim");
    QTest::addColumn<int>("quarters");

    QTest::newRow("seven small: seven, three quarters between") << 7 << 0 << 10 << 4;
    QTest::newRow("120 small") << 120 << 0 << 119 << 4;
    QTest::newRow("no small ticks") << 0 << 12 << 12 << 4;
    QTest::newRow("none at all, not even quarters") << 0 << 0 << 0 << 0;
    QTest::newRow("negative small count still draws quarters") << -5 << 0 << 4 << 4;
}

void tst_TamselClockFace::tickCounts()
{
    QFETCH(int, small);
    QFETCH(int, big);
    QFETCH(int, atRim);
    QFETCH(int, quarters);

    m_clock->setFaceColor(White);
    m_clock->setUnitWidth(small == 120 ? 1 : 2);
    m_clock->setSmallUnits(small);
    m_clock->setBigUnits(big);
    const QImage image = render();
    QCOMPARE(marksAround(image, 99.5), atRim);
    QCOMPARE(marksAround(image, 92), quarters);
    if (small == 7) {
        for (int i = 0; i < 7; ++i)
            QVERIFY(qGray(image.pixel(dialPixel(60.0 / 7 * i, 99))) < 128);
    }
}

void tst_TamselClockFace::ticksFollowUnitPosition()
{
    m_clock->setFaceColor(White);
    m_clock->setShowSeconds(false);
    m_clock->setUnitWidth(2);
    // Position 2: the small ticks run from the centre as spokes.
    m_clock->setUnitPosition(60);
    QImage image = render();
    QVERIFY(qGray(image.pixel(dialPixel(1, 59))) < 128);
    QVERIFY(qGray(image.pixel(dialPixel(1, 70))) > 200);
    QCOMPARE(marksAround(image, 99), 0);

    m_clock->setUnitPosition(2);
    image = render();
    QVERIFY(qGray(image.pixel(dialPixel(1, 1.5))) < 200);
    QCOMPARE(marksAround(image, 50), 2); // only the hour and minute hand reach half the radius
}

void tst_TamselClockFace::faceIsADiscOnTheBackColour()
{
    plainFace();
    m_clock->setShowFace(false);
    const QImage image = render();
    for (const QPoint corner : {QPoint(0, 0), QPoint(Side - 1, 0), QPoint(0, Side - 1), QPoint(Side - 1, Side - 1),
                                QPoint(20, 20), QPoint(Side - 25, Side - 25)})
        QCOMPARE(image.pixelColor(corner), qColor(Blue));
    for (const double angle : {2.0, 7.5, 22.5, 37.5, 52.5})
        QCOMPARE(image.pixelColor(dialPixel(angle, 97)), qColor(White));
    // The disc touches all four sides.
    QVERIFY(near(image.pixelColor(0, Side / 2), qColor(White), 10));
    QVERIFY(near(image.pixelColor(Side - 1, Side / 2), qColor(White), 10));
    QVERIFY(near(image.pixelColor(Side / 2, 0), qColor(White), 10));
    QVERIFY(near(image.pixelColor(Side / 2, Side - 1), qColor(White), 10));

    // The system colour default is the palette's button face.
    m_clock->setBackColor(ValueRules::ButtonFace);
    QCOMPARE(render().pixelColor(0, 0), ValueRules::resolveColor(ValueRules::ButtonFace));
}

void tst_TamselClockFace::pictureIsStretchedOverTheFace()
{
    plainFace();
    m_clock->setShowFace(false);
    QImage picture(500, 500, QImage::Format_RGB32);
    picture.fill(Qt::yellow);
    {
        QPainter p(&picture);
        p.fillRect(0, 0, 250, 250, Qt::red);
        p.fillRect(250, 250, 250, 250, Qt::green);
    }
    m_clock->setPicture(picture);
    QCOMPARE(m_clock->size(), QSize(Side, Side));
    const QImage image = render();
    QVERIFY(near(image.pixelColor(dialPixel(52.5, 70)), Qt::red));
    QVERIFY(near(image.pixelColor(dialPixel(7.5, 70)), Qt::yellow));
    QVERIFY(near(image.pixelColor(dialPixel(22.5, 70)), Qt::green));
    QVERIFY(near(image.pixelColor(dialPixel(37.5, 70)), Qt::yellow));
    // Stretched, not laid at natural size: the red quarter ends at the middle of the face.
    QVERIFY(near(image.pixelColor(dialPixel(1, 40)), Qt::yellow));
    QCOMPARE(image.pixelColor(0, 0), qColor(Blue));
    QCOMPARE(m_clock->picture().cacheKey(), picture.cacheKey());

    m_clock->setPicture(QImage());
    QCOMPARE(render().pixelColor(dialPixel(52.5, 70)), qColor(White));
}

void tst_TamselClockFace::autosizeGivesTheControlThePicturesSize()
{
    plainFace();
    m_clock->setShowFace(false);
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QSignalSpy redraws(m_clock, &TamselClock::faceRefreshed);
    m_clock->setAutosize(true);
    m_clock->setPicture(picture);
    QCOMPARE(m_clock->size(), QSize(200, 100));
    const QImage image = render();
    // The persistent picture at natural size under the face disc of the width's radius; the face
    // coordinates stretch over the surface's height, so the hands meet at its middle.
    QVERIFY(near(image.pixelColor(50, 80), Qt::red));
    QVERIFY(qGray(image.pixel(130, 49)) < 100);
    QCOMPARE(image.pixelColor(2, 2), qColor(Blue));

    // A picture assignment with Autosize on redraws twice.
    redraws.clear();
    m_clock->setPicture(picture);
    QCOMPARE(redraws.size(), 2);

    // A resize brings the control back to its picture's size.
    m_clock->resize(300, 300);
    QCOMPARE(m_clock->size(), QSize(200, 100));
}

void tst_TamselClockFace::autosizeOffStretchesAgainAfterTheNextResize()
{
    plainFace();
    m_clock->setShowFace(false);
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::red);
    m_clock->setPicture(picture);
    m_clock->setAutosize(true);
    QCOMPARE(m_clock->size(), QSize(200, 100));

    QSignalSpy redraws(m_clock, &TamselClock::faceRefreshed);
    m_clock->setAutosize(false);
    QCOMPARE(redraws.size(), 0);
    QCOMPARE(m_clock->size(), QSize(200, 100));

    m_clock->resize(240, 260);
    QCOMPARE(m_clock->size(), QSize(240, 240));
    const QImage image = render();
    // Stretched over the whole face again, with the surround outside the disc.
    QVERIFY(near(image.pixelColor(120, 220), Qt::red));
    QCOMPARE(image.pixelColor(2, 2), qColor(Blue));
}

void tst_TamselClockFace::extremeValuesStillDraw_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<int>("value");

    for (const char *property : {"SmallUnits", "BigUnits", "UnitPosition", "UnitWidth", "HourNeedleLength",
                                 "HourNeedleWidth", "SecondNeedleLength", "SecondNeedleWidth"}) {
        QTest::addRow("%s lowest", property) << QByteArray(property) << -32768;
        QTest::addRow("%s zero", property) << QByteArray(property) << 0;
        QTest::addRow("%s highest", property) << QByteArray(property) << 32767;
    }
}

void tst_TamselClockFace::extremeValuesStillDraw()
{
    QFETCH(QByteArray, property);
    QFETCH(int, value);

    plainFace();
    m_clock->setSmallUnits(32767);
    m_clock->setUnitWidth(40);
    QVERIFY(m_clock->setProperty(property.constData(), value));
    QCOMPARE(m_clock->property(property.constData()).toInt(), value);
    const QImage image = render();
    QCOMPARE(image.pixelColor(0, 0), qColor(Blue));
}

void tst_TamselClockFace::extremeTicksCoverWhatTheirStrokesCover_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<QList<int>>("values"); // SmallUnits, BigUnits, UnitPosition, UnitWidth

    QTest::newRow("all 32767 on 200 pixels") << 200 << QList<int>{32767, 32767, 32767, 32767};
    QTest::newRow("dense spokes past the rim") << 358 << QList<int>{32767, 32767, -32768, 1};
    QTest::newRow("dense lines through the centre") << 358 << QList<int>{32767, 0, -32768, -32768};
    QTest::newRow("a thousand spokes of two pixels") << 358 << QList<int>{1000, 0, -1000, 2};
    QTest::newRow("broad ticks leaving the middle open") << 400 << QList<int>{60, 12, 24627, 32767};
    QTest::newRow("dense broad ticks") << 358 << QList<int>{2000, 0, 100, 30};
    QTest::newRow("dense ticks at the rim") << 358 << QList<int>{32767, 0, 100, 7};
}

// Whatever the values, a pixel well inside some tick's stroke (a round-capped line along its
// radius) shows the tick colour, and one well away from every stroke shows the face.
void tst_TamselClockFace::extremeTicksCoverWhatTheirStrokesCover()
{
    QFETCH(int, side);
    QFETCH(QList<int>, values);

    m_clock->resize(side, side);
    plainFace();
    m_clock->setShowSeconds(false);
    for (const char *hand : {"HourNeedle", "MinuteNeedle"}) {
        m_clock->setProperty(QByteArray(hand).append("Length").constData(), 0);
        m_clock->setProperty(QByteArray(hand).append("Width").constData(), 1);
    }
    m_clock->setSmallUnits(values.at(0));
    m_clock->setBigUnits(values.at(1));
    m_clock->setUnitPosition(values.at(2));
    m_clock->setUnitWidth(values.at(3));
    const QImage image = render();

    const double radius = (side * 15 / 2.0) * side / (side * 15 + 15.0);
    const QPointF centre(radius + 0.5, radius + 0.5);
    const double halfWidth = std::max(1, values.at(3)) / 2.0;
    struct Tick
    {
        QPointF from;
        QPointF to;
    };
    QList<Tick> ticks;
    const auto addKind = [&](qint16 count, qint16 offset) {
        const ClockMath::TickEnds ends = ClockMath::tickEnds(qint16(values.at(2)), qint16(values.at(3)), offset);
        for (const float angle : ClockMath::tickAngles(count)) {
            const QPointF along(std::sin(angle / 30.0 * M_PI), -std::cos(angle / 30.0 * M_PI));
            const double inner = ends.inner >= 1 ? ends.inner / 100.0 * radius : 0.0;
            ticks.append({centre + inner * along, centre + ends.outer / 100.0 * radius * along});
        }
    };
    if (values.at(0) > 0)
        addKind(qint16(values.at(0)), ClockMath::SmallTickOffset);
    if (values.at(1) > 0)
        addKind(qint16(values.at(1)), ClockMath::BigTickOffset);
    addKind(4, ClockMath::QuarterTickOffset);

    const auto within = [&](const QPointF &point, double reach) {
        for (const Tick &tick : std::as_const(ticks)) {
            const QPointF along = tick.to - tick.from;
            const double length2 = QPointF::dotProduct(along, along);
            const double t =
                length2 > 0.0 ? std::clamp(QPointF::dotProduct(point - tick.from, along) / length2, 0.0, 1.0) : 0.0;
            if (QLineF(point, tick.from + t * along).length() <= reach)
                return true;
        }
        return false;
    };
    int covered = 0;
    int open = 0;
    for (int y = 3; y < side; y += 9) {
        for (int x = 2; x < side; x += 9) {
            const QPointF pixel(x + 0.5, y + 0.5);
            const double fromCentre = QLineF(pixel, centre).length();
            if (fromCentre > radius - 2.0 || fromCentre < 4.0)
                continue;
            const int grey = qGray(image.pixel(x, y));
            const QString where = QStringLiteral("(%1, %2), grey %3").arg(x).arg(y).arg(grey);
            const QPointF corners[] = {pixel + QPointF(-0.5, -0.5), pixel + QPointF(0.5, -0.5),
                                       pixel + QPointF(-0.5, 0.5), pixel + QPointF(0.5, 0.5)};
            if (std::all_of(std::begin(corners), std::end(corners),
                            [&](const QPointF &corner) { return within(corner, halfWidth); })
                && within(pixel, halfWidth)) {
                ++covered;
                QVERIFY2(grey < 128, qPrintable(where + QStringLiteral(" lies in the strokes")));
            } else if (!within(pixel, halfWidth + 1.0)) {
                ++open;
                QVERIFY2(grey > 192, qPrintable(where + QStringLiteral(" lies off every stroke")));
            }
        }
    }
    QVERIFY(covered + open > 50);
    QCOMPARE(image.pixelColor(0, 0), qColor(Blue));
}

void tst_TamselClockFace::faceScalesWithTheControl()
{
    plainFace();
    m_clock->resize(120, 120);
    QImage image = render();
    QCOMPARE(image.size(), QSize(120, 120));
    // At three o'clock the hour hand still lies right of the centre.
    QVERIFY(qGray(image.pixel(60 + 20, 59)) < 100);
    QVERIFY(qGray(image.pixel(60 - 20, 59)) > 200);
}

void tst_TamselClockFace::programLook()
{
    // The look Vesperon's main window stores for its clock, with a face picture.
    m_clock->setBackColor(ValueRules::rgbColor(0x40, 0, 0));
    m_clock->setFaceColor(ValueRules::rgbColor(0x40, 0, 0));
    m_clock->setHourNeedleWidth(10);
    m_clock->setMinuteNeedleWidth(5);
    m_clock->setSecondNeedleWidth(2);
    m_clock->setUnitWidth(6);
    m_clock->setUnitColor(ValueRules::rgbColor(255, 192, 128));
    m_clock->setMinuteNeedleLength(75);
    m_clock->setHourNeedleLength(48);
    m_clock->setSecondNeedleLength(86);
    m_clock->setMinuteColor(ValueRules::rgbColor(192, 64, 0));
    m_clock->setSecondColor(ValueRules::rgbColor(255, 128, 0));
    m_clock->setHourColor(ValueRules::rgbColor(192, 64, 0));
    QImage picture(500, 500, QImage::Format_RGB32);
    picture.fill(QColor(0x40, 0, 0));
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(0xF0, 0xF0, 0xE0));
        p.drawEllipse(QPointF(250, 230), 150, 170);
    }
    m_clock->setPicture(picture);
}

void tst_TamselClockFace::redrawsMatchAFreshDrawing_data()
{
    QTest::addColumn<bool>("program");
    QTest::newRow("new clock") << false;
    QTest::newRow("program's clock") << true;
}

// A redraw lays the hands over the face as it was drawn for the present values; after every
// kind of change the clock shows exactly what a clock drawn from scratch with its values shows.
void tst_TamselClockFace::redrawsMatchAFreshDrawing()
{
    QFETCH(bool, program);
    if (program)
        programLook();
    m_time->setCurrentDateTime(QDateTime(QDate(2026, 3, 14), QTime(10, 8, 37, 250)));
    m_clock->Refresh();

    const auto drawnFromScratch = [this] {
        QWidget host;
        host.resize(m_host->size());
        TamselClock fresh(m_time.get(), &host);
        fresh.setGeometry(m_clock->geometry());
        host.show();
        if (!QTest::qWaitForWindowExposed(&host))
            return QImage();
        const QMetaObject *meta = m_clock->metaObject();
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            if (property.isWritable() && qstrcmp(property.name(), "Picture") != 0)
                property.write(&fresh, property.read(m_clock));
        }
        fresh.setPicture(m_clock->picture());
        QImage image(fresh.size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        fresh.render(&image);
        return image;
    };
    const auto nextSecond = [this] {
        m_time->advance(1000);
        m_clock->handleClockTick();
    };
    QImage picture(300, 200, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QPalette palette = QApplication::palette();
    const QPalette originalPalette = palette;
    const std::pair<const char *, std::function<void()>> steps[] = {
        {"first drawing", [] {}},
        {"a second later", nextSecond},
        {"two seconds later", nextSecond},
        {"tick colour", [this] { m_clock->setUnitColor(Red); }},
        {"and a second later", nextSecond},
        {"tick count", [this] { m_clock->setSmallUnits(120); }},
        {"tick width", [this] { m_clock->setUnitWidth(3); }},
        {"face colour", [this] { m_clock->setFaceColor(Green); }},
        {"picture", [&] { m_clock->setPicture(picture); }},
        {"hand colour and a second later", [&] { m_clock->setSecondColor(Blue), nextSecond(); }},
        {"smaller", [this] { m_clock->resize(200, 200); }},
        {"smaller, a second later", nextSecond},
        {"dial hidden", [this] { m_clock->setShowFace(false); }},
        {"dial shown", [this] { m_clock->setShowFace(true); }},
        {"system colour", [this] { m_clock->setFaceColor(ValueRules::ButtonFace); }},
        {"system colour changed",
         [&] {
             palette.setColor(QPalette::Button, QColor(10, 120, 200));
             QApplication::setPalette(palette);
             m_clock->Refresh();
         }},
        {"own size again", [this] { m_clock->resize(Side, Side); }},
    };
    for (const auto &[step, change] : steps) {
        change();
        const QImage expected = drawnFromScratch();
        QVERIFY(!expected.isNull());
        QVERIFY2(render() == expected, step);
    }
    QApplication::setPalette(originalPalette);
}

// What reaches the screen after redraws that repaint only what changed is what a full painting
// of the clock shows.
void tst_TamselClockFace::screenShowsWhatTheClockDraws()
{
    programLook();
    m_time->setCurrentDateTime(QDateTime(QDate(2026, 3, 14), QTime(10, 8, 37, 250)));
    m_clock->Refresh();
    for (int second = 0; second < 75; ++second) {
        m_time->advance(1000);
        m_clock->handleClockTick();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        if (second % 15 != 14)
            continue;
        const QImage screen = m_host->screen()
                                  ->grabWindow(m_host->winId())
                                  .toImage()
                                  .copy(m_clock->geometry())
                                  .convertToFormat(QImage::Format_RGB32);
        QCOMPARE(screen, render());
    }
}

QTEST_MAIN(tst_TamselClockFace)
#include "tst_tamselclockface.moc"
