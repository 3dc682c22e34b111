// SPDX-License-Identifier: GPL-3.0-or-later
#include "controlregistry.h"
#include "manualtimesource.h"
#include "propertybag.h"
#include "tamselclock.h"
#include "valuerules.h"

#include <QMetaClassInfo>
#include <QTimer>
#include <QtTest>

// The published interface as a host sees it: creation by identifier, properties by name, the
// change notices, persistence through the property bag and the sizing rules.
class tst_TamselClockProperties : public QObject
{
    Q_OBJECT

private slots:
    void createdThroughTheRegistry();
    void newClockHasItsDefaults();
    void assignmentsSendTheirNotice_data();
    void assignmentsSendTheirNotice();
    void integersOutsideTheirRangeAreRefused();
    void membersAreReachableByName();
    void publishedNamesAreDeclared();
    void roundTripThroughABag();
    void emptyBagGivesTheDefaults();
    void savesInItsOrder();
    void loadingStoresWithoutRedrawOrNotice();
    void damagedValuesReadAsDefaults();
    void storedValuesByTheBagRule_data();
    void storedValuesByTheBagRule();
    void savedBagReadsAndWritesTheSame();
    void resizeKeepsTheControlSquare_data();
    void resizeKeepsTheControlSquare();
};

void tst_TamselClockProperties::createdThroughTheRegistry()
{
    QWidget host;
    QString error;
    HostedControl *control =
        ControlRegistry::instance().create(QStringLiteral("Tamsel_Clock.TamselClock"), &host, &error);
    QVERIFY2(control, qPrintable(error));
    QVERIFY(qobject_cast<TamselClock *>(control));
    QCOMPARE(control->parentWidget(), &host);

    const QMetaObject *meta = control->metaObject();
    const int description = meta->indexOfClassInfo("LibraryDescription");
    QVERIFY(description >= 0);
    QCOMPARE(QString::fromLatin1(meta->classInfo(description).value()), QStringLiteral("Tamsel - Analog-Uhr"));
}

void tst_TamselClockProperties::newClockHasItsDefaults()
{
    TamselClock clock;
    QCOMPARE(clock.autosize(), false);
    QCOMPARE(clock.backColor(), ValueRules::ButtonFace);
    QCOMPARE(clock.faceColor(), ValueRules::ButtonFace);
    QCOMPARE(clock.smallUnits(), 60);
    QCOMPARE(clock.bigUnits(), 12);
    QCOMPARE(clock.unitColor(), 0u);
    QCOMPARE(clock.unitPosition(), 100);
    QCOMPARE(clock.minuteNeedleLength(), 85);
    QCOMPARE(clock.secondNeedleLength(), 90);
    QCOMPARE(clock.hourNeedleLength(), 50);
    QCOMPARE(clock.minuteNeedleWidth(), 3);
    QCOMPARE(clock.secondNeedleWidth(), 1);
    QCOMPARE(clock.hourNeedleWidth(), 5);
    QCOMPARE(clock.unitWidth(), 1);
    QVERIFY(clock.showSeconds());
    QVERIFY(clock.showFace());
    QVERIFY(clock.minuteFineAdjust());
    QVERIFY(clock.showActualTime());
    QVERIFY(!clock.ignoreErrors());
    QVERIFY(clock.picture().isNull());
    QCOMPARE(clock.startTime(), 0.0f);
    QCOMPARE(clock.stopTime(), 0.0f);
    QCOMPARE(clock.stoppedTime(), QStringLiteral("00:00:00,00"));
    const QTimer *timer = clock.findChild<QTimer *>(QStringLiteral("timClock"));
    QVERIFY(timer && timer->isActive());
    // Due just after the next second of the system clock begins.
    QVERIFY2(timer->interval() > 0 && timer->interval() <= 1010, qPrintable(QString::number(timer->interval())));
}

void tst_TamselClockProperties::assignmentsSendTheirNotice_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<int>("redraws");

    QTest::newRow("Autosize on") << QByteArray("Autosize") << QVariant(true) << QStringLiteral("Autosize") << 1;
    QTest::newRow("Autosize off") << QByteArray("Autosize") << QVariant(false) << QStringLiteral("Autosize") << 0;
    QTest::newRow("IgnoreErrors") << QByteArray("IgnoreErrors") << QVariant(true) << QStringLiteral("IgnoreErrors")
                                  << 0;
    for (const char *name :
         {"SmallUnits", "BigUnits", "UnitPosition", "MinuteNeedleLength", "HourNeedleLength", "SecondNeedleLength",
          "MinuteNeedleWidth", "HourNeedleWidth", "SecondNeedleWidth", "UnitWidth"})
        QTest::newRow(name) << QByteArray(name) << QVariant(7) << QString::fromLatin1(name) << 1;
    for (const char *name : {"UnitColor", "HourColor", "MinuteColor", "SecondColor", "BackColor", "FaceColor"})
        QTest::newRow(name) << QByteArray(name) << QVariant(0x00FF8040u) << QString::fromLatin1(name) << 1;
    for (const char *name : {"ShowSeconds", "ShowFace", "MinuteFineAdjust", "ShowActualTime"})
        QTest::newRow(name) << QByteArray(name) << QVariant(false) << QString::fromLatin1(name) << 1;
    QImage picture(50, 50, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QTest::newRow("Picture") << QByteArray("Picture") << QVariant(picture) << QStringLiteral("Picture") << 1;
}

void tst_TamselClockProperties::assignmentsSendTheirNotice()
{
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);
    QFETCH(QString, notice);
    QFETCH(int, redraws);

    ManualTimeSource time;
    TamselClock clock(&time);
    QSignalSpy notices(&clock, &TamselClock::propertyChanged);
    QSignalSpy refreshes(&clock, &TamselClock::faceRefreshed);
    QVERIFY(clock.setProperty(property.constData(), value));
    QCOMPARE(clock.property(property.constData()), value);
    QCOMPARE(notices.size(), 1);
    QCOMPARE(notices.first().first().toString(), notice);
    QCOMPARE(refreshes.size(), redraws);
}

void tst_TamselClockProperties::integersOutsideTheirRangeAreRefused()
{
    TamselClock clock;
    QSignalSpy notices(&clock, &TamselClock::propertyChanged);
    clock.setProperty("SmallUnits", 32768);
    clock.setUnitPosition(-32769);
    clock.setHourNeedleWidth(100000);
    QCOMPARE(clock.smallUnits(), 60);
    QCOMPARE(clock.unitPosition(), 100);
    QCOMPARE(clock.hourNeedleWidth(), 5);
    QCOMPARE(notices.size(), 0);
    clock.setProperty("SmallUnits", -32768);
    QCOMPARE(clock.smallUnits(), -32768);
}

void tst_TamselClockProperties::membersAreReachableByName()
{
    ManualTimeSource time(QDateTime(QDate(2026, 2, 1), QTime(9, 0)));
    TamselClock clock(&time);
    QVERIFY(clock.setProperty("ShowActualTime", false));
    QVERIFY(QMetaObject::invokeMethod(&clock, "StartClock"));
    time.advance(1500);
    QVERIFY(QMetaObject::invokeMethod(&clock, "StopClock"));
    QCOMPARE(clock.property("StoppedTime").toString(), QStringLiteral("00:00:01,50"));
    QCOMPARE(clock.property("Seconds").toFloat(), 1.5f);
    QCOMPARE(clock.property("StartTime").toFloat(), 32400.0f);
    QCOMPARE(clock.property("StopTime").toFloat(), 32401.5f);
    QVERIFY(QMetaObject::invokeMethod(&clock, "Reset"));
    QCOMPARE(clock.property("StoppedTime").toString(), QStringLiteral("00:00:00,00"));

    float fixed = 90000.0f;
    QVERIFY(QMetaObject::invokeMethod(&clock, "DisplayTime", Q_ARG(float &, fixed)));
    QCOMPARE(fixed, 3600.0f);
    QCOMPARE(clock.property("Seconds").toFloat(), 3600.0f);
    QVERIFY(QMetaObject::invokeMethod(&clock, "Refresh"));
    // Read-only members stay read-only.
    QVERIFY(!clock.setProperty("Seconds", 5.0f));
    QVERIFY(!clock.setProperty("StoppedTime", QStringLiteral("x")));
}

// The names a host uses are the clock's properties, in the clock's order, and it reaches them
// through the checked access of the hosting layer.
void tst_TamselClockProperties::publishedNamesAreDeclared()
{
    using P = TamselClock::Property;
    const QStringList constants{P::Picture,           P::StoppedTime,        P::Autosize,
                                P::SmallUnits,        P::BigUnits,           P::UnitColor,
                                P::UnitPosition,      P::ShowSeconds,        P::MinuteNeedleLength,
                                P::HourNeedleLength,  P::SecondNeedleLength, P::ShowFace,
                                P::Seconds,           P::MinuteNeedleWidth,  P::HourNeedleWidth,
                                P::SecondNeedleWidth, P::HourColor,          P::MinuteColor,
                                P::SecondColor,       P::BackColor,          P::MinuteFineAdjust,
                                P::ShowActualTime,    P::StartTime,          P::StopTime,
                                P::UnitWidth,         P::FaceColor,          P::IgnoreErrors};
    TamselClock clock;
    QStringList declared;
    for (int i = clock.metaObject()->propertyOffset(); i < clock.metaObject()->propertyCount(); ++i)
        declared.append(QString::fromLatin1(clock.metaObject()->property(i).name()));
    QCOMPARE(constants, declared);

    HostedControl &control = clock;
    QSignalSpy notices(&clock, &TamselClock::propertyChanged);
    QVERIFY(control.setPublishedProperty(P::MinuteFineAdjust, false));
    QCOMPARE(control.publishedProperty(P::MinuteFineAdjust), QVariant(false));
    QCOMPARE(notices.size(), 1);
    QCOMPARE(notices.first().first().toString(), QString::fromLatin1(P::MinuteFineAdjust));
    QVERIFY(clock.dynamicPropertyNames().isEmpty());
}

void tst_TamselClockProperties::roundTripThroughABag()
{
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(QColor(10, 200, 30));

    TamselClock original;
    original.setIgnoreErrors(true);
    original.setMinuteFineAdjust(false);
    original.setBackColor(0x40);
    original.setFaceColor(0x00112233);
    original.setHourNeedleWidth(10);
    original.setMinuteNeedleWidth(5);
    original.setSecondNeedleWidth(2);
    original.setUnitWidth(6);
    original.setSmallUnits(-3);
    original.setBigUnits(24);
    original.setShowSeconds(false);
    original.setUnitColor(0x0080C0FF);
    original.setUnitPosition(93);
    original.setMinuteNeedleLength(75);
    original.setHourNeedleLength(48);
    original.setSecondNeedleLength(86);
    original.setMinuteColor(0x40C0);
    original.setSecondColor(0x80FF);
    original.setHourColor(0x8000000Fu);
    original.setShowFace(false);
    original.setShowActualTime(false);
    original.setPicture(picture);

    PropertyBag bag;
    original.writeProperties(bag);
    PropertyBag reloaded;
    QVERIFY(reloaded.fromJson(bag.toJson()));

    TamselClock copy;
    copy.readProperties(reloaded);
    for (int i = copy.metaObject()->propertyOffset(); i < copy.metaObject()->propertyCount(); ++i) {
        const QMetaProperty property = copy.metaObject()->property(i);
        if (!property.isWritable() || qstrcmp(property.name(), "Picture") == 0)
            continue;
        QCOMPARE(copy.property(property.name()), original.property(property.name()));
    }
    QCOMPARE(copy.picture().convertToFormat(QImage::Format_RGB32), picture);

    // Saving again gives the same bag.
    PropertyBag again;
    copy.writeProperties(again);
    QCOMPARE(again.toJson(), bag.toJson());
}

void tst_TamselClockProperties::emptyBagGivesTheDefaults()
{
    TamselClock defaults;
    PropertyBag stored;
    defaults.writeProperties(stored);
    QVERIFY(stored.isEmpty()); // every value equals its default

    TamselClock changed;
    changed.setSmallUnits(5);
    changed.setIgnoreErrors(true);
    changed.setFaceColor(0);
    changed.setShowActualTime(false);
    changed.readProperties(PropertyBag());
    for (int i = changed.metaObject()->propertyOffset(); i < changed.metaObject()->propertyCount(); ++i) {
        const QMetaProperty property = changed.metaObject()->property(i);
        if (property.isWritable())
            QCOMPARE(changed.property(property.name()), defaults.property(property.name()));
    }
}

void tst_TamselClockProperties::savesInItsOrder()
{
    TamselClock clock;
    clock.setIgnoreErrors(true);
    clock.setShowActualTime(false);
    clock.setBackColor(1);
    clock.setFaceColor(2);
    clock.setAutosize(true);
    clock.setHourNeedleWidth(6);
    clock.setMinuteNeedleWidth(4);
    clock.setSecondNeedleWidth(2);
    clock.setUnitWidth(2);
    clock.setMinuteFineAdjust(false);
    clock.setSmallUnits(30);
    clock.setBigUnits(6);
    clock.setShowSeconds(false);
    clock.setUnitColor(3);
    clock.setUnitPosition(90);
    clock.setMinuteNeedleLength(70);
    clock.setHourNeedleLength(40);
    clock.setSecondNeedleLength(80);
    clock.setMinuteColor(4);
    clock.setSecondColor(5);
    clock.setHourColor(6);
    clock.setShowFace(false);
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    clock.setPicture(picture);

    PropertyBag bag;
    clock.writeProperties(bag);
    const QStringList order{QStringLiteral("IgnoreErrors"),
                            QStringLiteral("ShowActualTime"),
                            QStringLiteral("BackColor"),
                            QStringLiteral("FaceColor"),
                            QStringLiteral("AutoSize"),
                            QStringLiteral("HourNeedleWidth"),
                            QStringLiteral("MinuteNeedleWidth"),
                            QStringLiteral("SecondNeedleWidth"),
                            QStringLiteral("UnitWidth"),
                            QStringLiteral("MinuteFineAdjust"),
                            QStringLiteral("SmallUnits"),
                            QStringLiteral("BigUnits"),
                            QStringLiteral("ShowSeconds"),
                            QStringLiteral("UnitColor"),
                            QStringLiteral("UnitPosition"),
                            QStringLiteral("MinuteNeedleLength"),
                            QStringLiteral("HourNeedleLength"),
                            QStringLiteral("SecondNeedleLength"),
                            QStringLiteral("MinuteColor"),
                            QStringLiteral("SecondColor"),
                            QStringLiteral("HourColor"),
                            QStringLiteral("ShowFace"),
                            QStringLiteral("Picture")};
    QCOMPARE(bag.names(), order);
}

void tst_TamselClockProperties::loadingStoresWithoutRedrawOrNotice()
{
    ManualTimeSource time(QDateTime(QDate(2026, 2, 1), QTime(9, 30)));
    TamselClock clock(&time);
    PropertyBag bag;
    bag.writeProperty(QStringLiteral("ShowSeconds"), false, true);
    bag.writeProperty(QStringLiteral("ShowActualTime"), false, true);
    bag.writeProperty(QStringLiteral("SmallUnits"), 30, 60);

    QSignalSpy notices(&clock, &TamselClock::propertyChanged);
    QSignalSpy redraws(&clock, &TamselClock::faceRefreshed);
    clock.readProperties(bag);
    // Only the picture, assigned last, redraws and tells the host.
    QCOMPARE(redraws.size(), 1);
    QCOMPARE(notices.size(), 1);
    QCOMPARE(notices.first().first().toString(), QStringLiteral("Picture"));
    QVERIFY(!clock.showSeconds());
    QCOMPARE(clock.smallUnits(), 30);
    // The timer is left as it was, waking after each new second, and the stopwatch is ready
    // showing 12:00:00.
    const QTimer *timer = clock.findChild<QTimer *>(QStringLiteral("timClock"));
    QVERIFY(timer->isActive());
    QVERIFY2(timer->interval() > 1000 && timer->interval() <= 1010, qPrintable(QString::number(timer->interval())));
    QVERIFY(!clock.showActualTime());
    QCOMPARE(clock.seconds(), 0.0f);
}

void tst_TamselClockProperties::damagedValuesReadAsDefaults()
{
    PropertyBag bag;
    bag.writeProperty(QStringLiteral("SmallUnits"), 70000);
    bag.writeProperty(QStringLiteral("BackColor"), QStringLiteral("red"));
    bag.writeProperty(QStringLiteral("ShowFace"), 5);
    bag.writeProperty(QStringLiteral("Picture"), QByteArray("not a picture"));
    TamselClock clock;
    clock.readProperties(bag);
    QCOMPARE(clock.smallUnits(), 60);
    QCOMPARE(clock.backColor(), ValueRules::ButtonFace);
    QVERIFY(clock.showFace());
    QVERIFY(clock.picture().isNull());
}

void tst_TamselClockProperties::storedValuesByTheBagRule_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("expected");

    // A form's whole numbers are signed: a system colour arrives as a negative number.
    QTest::newRow("signed system colour")
        << "BackColor" << QVariant(-2147483633) << QByteArray("BackColor") << QVariant(0x8000000Fu);
    QTest::newRow("-1 colour") << "UnitColor" << QVariant(-1) << QByteArray("UnitColor") << QVariant(0xFFFFFFFFu);
    QTest::newRow("largest colour") << "HourColor" << QVariant(Q_INT64_C(4294967295)) << QByteArray("HourColor")
                                    << QVariant(0xFFFFFFFFu);
    QTest::newRow("colour beyond 32 bits")
        << "FaceColor" << QVariant(Q_INT64_C(4294967296)) << QByteArray("FaceColor") << QVariant(0x8000000Fu);
    QTest::newRow("half to even") << "SmallUnits" << QVariant(2.5) << QByteArray("SmallUnits") << QVariant(2);
    QTest::newRow("numeric text") << "BigUnits" << QVariant(QStringLiteral("30")) << QByteArray("BigUnits")
                                  << QVariant(30);
    QTest::newRow("beyond 16 bits") << "UnitWidth" << QVariant(32768) << QByteArray("UnitWidth") << QVariant(1);
    QTest::newRow("flag as text") << "ShowFace" << QVariant(QStringLiteral("False")) << QByteArray("ShowFace")
                                  << QVariant(false);
    QTest::newRow("flag as number") << "MinuteFineAdjust" << QVariant(0) << QByteArray("MinuteFineAdjust")
                                    << QVariant(false);
    QTest::newRow("flag as bytes") << "ShowSeconds" << QVariant(QByteArray("0")) << QByteArray("ShowSeconds")
                                   << QVariant(true);
    QTest::newRow("AutoSize key") << "AutoSize" << QVariant(true) << QByteArray("Autosize") << QVariant(true);
    QTest::newRow("Autosize is not the key")
        << "Autosize" << QVariant(true) << QByteArray("Autosize") << QVariant(false);
}

// The clock reads its stored values by the property bag's one rule for flags, whole numbers and
// colours, the rule Spanfield reads by too.
void tst_TamselClockProperties::storedValuesByTheBagRule()
{
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, expected);
    PropertyBag bag;
    QVERIFY(bag.writeProperty(key, stored));
    TamselClock clock;
    clock.readProperties(bag);
    const QVariant actual = clock.property(property.constData());
    QVERIFY(expected.convert(actual.metaType()));
    QCOMPARE(actual, expected);
}

// A bag that earlier versions of the clock saved reads to the values it was saved from and is
// written again the same, in the same order.
void tst_TamselClockProperties::savedBagReadsAndWritesTheSame()
{
    const QByteArray saved = R"({
    "format": "vesperon-property-bag",
    "properties": [
        { "name": "IgnoreErrors", "type": "bool", "value": true },
        { "name": "ShowActualTime", "type": "bool", "value": false },
        { "name": "BackColor", "type": "int", "value": 64 },
        { "name": "FaceColor", "type": "int", "value": 1122867 },
        { "name": "AutoSize", "type": "bool", "value": true },
        { "name": "HourNeedleWidth", "type": "int", "value": 10 },
        { "name": "MinuteNeedleWidth", "type": "int", "value": 5 },
        { "name": "SecondNeedleWidth", "type": "int", "value": 2 },
        { "name": "UnitWidth", "type": "int", "value": 6 },
        { "name": "MinuteFineAdjust", "type": "bool", "value": false },
        { "name": "SmallUnits", "type": "int", "value": -3 },
        { "name": "BigUnits", "type": "int", "value": 24 },
        { "name": "ShowSeconds", "type": "bool", "value": false },
        { "name": "UnitColor", "type": "int", "value": 8438015 },
        { "name": "UnitPosition", "type": "int", "value": 93 },
        { "name": "MinuteNeedleLength", "type": "int", "value": 75 },
        { "name": "HourNeedleLength", "type": "int", "value": 48 },
        { "name": "SecondNeedleLength", "type": "int", "value": 86 },
        { "name": "MinuteColor", "type": "int", "value": 16576 },
        { "name": "SecondColor", "type": "int", "value": 33023 },
        { "name": "HourColor", "type": "int", "value": 2147483663 },
        { "name": "ShowFace", "type": "bool", "value": false }
    ],
    "version": 1
}
)";
    PropertyBag bag;
    QVERIFY(bag.fromJson(saved));
    TamselClock clock;
    clock.readProperties(bag);
    QCOMPARE(clock.ignoreErrors(), true);
    QCOMPARE(clock.showActualTime(), false);
    QCOMPARE(clock.backColor(), 0x40u);
    QCOMPARE(clock.faceColor(), 0x00112233u);
    QCOMPARE(clock.autosize(), true);
    QCOMPARE(clock.hourNeedleWidth(), 10);
    QCOMPARE(clock.minuteNeedleWidth(), 5);
    QCOMPARE(clock.secondNeedleWidth(), 2);
    QCOMPARE(clock.unitWidth(), 6);
    QCOMPARE(clock.minuteFineAdjust(), false);
    QCOMPARE(clock.smallUnits(), -3);
    QCOMPARE(clock.bigUnits(), 24);
    QCOMPARE(clock.showSeconds(), false);
    QCOMPARE(clock.unitColor(), 0x0080C0FFu);
    QCOMPARE(clock.unitPosition(), 93);
    QCOMPARE(clock.minuteNeedleLength(), 75);
    QCOMPARE(clock.hourNeedleLength(), 48);
    QCOMPARE(clock.secondNeedleLength(), 86);
    QCOMPARE(clock.minuteColor(), 0x40C0u);
    QCOMPARE(clock.secondColor(), 0x80FFu);
    QCOMPARE(clock.hourColor(), 0x8000000Fu);
    QCOMPARE(clock.showFace(), false);

    PropertyBag again;
    clock.writeProperties(again);
    QCOMPARE(again.toJson(), bag.toJson());
}

void tst_TamselClockProperties::resizeKeepsTheControlSquare_data()
{
    QTest::addColumn<QSize>("twips");
    QTest::addColumn<QSize>("expectedTwips");

    QTest::newRow("wider") << QSize(3000, 2000) << QSize(2000, 2000);
    QTest::newRow("taller") << QSize(2000, 3000) << QSize(2000, 2000);
    QTest::newRow("square") << QSize(5370, 5370) << QSize(5370, 5370);
}

void tst_TamselClockProperties::resizeKeepsTheControlSquare()
{
    QFETCH(QSize, twips);
    QFETCH(QSize, expectedTwips);

    QWidget host;
    host.resize(600, 600);
    TamselClock clock(&host);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    clock.resize(ValueRules::twipsToPixels(twips.width()), ValueRules::twipsToPixels(twips.height()));
    const QSize expected(ValueRules::twipsToPixels(expectedTwips.width()),
                         ValueRules::twipsToPixels(expectedTwips.height()));
    QCOMPARE(clock.size(), expected);
    const QWidget *face = clock.findChild<QWidget *>(QStringLiteral("picMain"));
    QVERIFY(face);
    QCOMPARE(face->geometry(), QRect(QPoint(0, 0), expected));
}

QTEST_MAIN(tst_TamselClockProperties)
#include "tst_tamselclockproperties.moc"
