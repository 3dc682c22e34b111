// SPDX-License-Identifier: GPL-3.0-or-later
#include <spanfield.h>

#include <controlregistry.h>
#include <messageboxhook.h>
#include <propertybag.h>
#include <valuerules.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMetaClassInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

const QString Marker3(3, QChar(0x00A7));
const QString Marker2(2, QChar(0x00A7));

// Answers every message box with OK and remembers what it was asked.
struct RecordedBoxes
{
    RecordedBoxes()
    {
        previous = MessageBoxHook::setHandler([this](const MessageBoxRequest &request) {
            requests.append(request);
            return QMessageBox::Ok;
        });
    }
    ~RecordedBoxes() { MessageBoxHook::setHandler(previous); }
    QList<MessageBoxRequest> requests;
    MessageBoxHook::Handler previous;
};

QStringList fieldTexts(const Spanfield &control)
{
    QStringList texts;
    for (int i = 0; i < 4; ++i)
        texts.append(control.findChild<QLineEdit *>(QStringLiteral("txtTime%1").arg(i))->text());
    return texts;
}

QLineEdit *field(const Spanfield &control, int i)
{
    return control.findChild<QLineEdit *>(QStringLiteral("txtTime%1").arg(i));
}

QLabel *label(const Spanfield &control, int i)
{
    return control.findChild<QLabel *>(QStringLiteral("lblSeperator%1").arg(i));
}

QString classInfo(const QMetaObject *meta, const char *name)
{
    const int i = meta->indexOfClassInfo(name);
    return i < 0 ? QString() : QString::fromUtf8(meta->classInfo(i).value());
}

} // namespace

class tst_Spanfield : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void publishedInterface();
    void createdThroughTheRegistry();
    void secondsWrites_data();
    void secondsWrites();
    void overflowMarker();
    void dayCountWrites_data();
    void dayCountWrites();
    void hiddenFieldsAreIgnoredWhenRead();
    void overflowingWriteChangesNothing();
    void captionLists_data();
    void captionLists();
    void arrangement_data();
    void arrangement();
    void resizeSnapsBack();
    void colors();
    void persistenceRoundTrip();
    void bagWithMissingOrOddEntries();
    void longDigitStringCostsOnlyItsOwnValue();
    void bagWithADamagedEntry();

private:
    QStringList unexpectedBoxes;
};

// No test may leave a real box waiting for a person.
void tst_Spanfield::initTestCase()
{
    MessageBoxHook::setHandler([this](const MessageBoxRequest &request) {
        unexpectedBoxes.append(request.text);
        return QMessageBox::Ok;
    });
}

void tst_Spanfield::cleanup()
{
    QCOMPARE(unexpectedBoxes, QStringList());
}

void tst_Spanfield::publishedInterface()
{
    Spanfield control;
    QCOMPARE(fieldTexts(control), (QStringList{"0", "00", "00", "00"}));
    const QMetaObject *meta = control.metaObject();
    QStringList names;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        names.append(QString::fromLatin1(meta->property(i).name()));
    QCOMPARE(names,
             (QStringList{"ShowDays", "ShowSeconds", "LabelSeperator", "BackColor", "SecondsPastMidnight", "Locked",
                          "DayCount", "ForeColor"}));
    // The names a host uses.
    using P = Spanfield::Property;
    QCOMPARE(names,
             (QStringList{P::ShowDays, P::ShowSeconds, P::LabelSeperator, P::BackColor, P::SecondsPastMidnight,
                          P::Locked, P::DayCount, P::ForeColor}));
    QCOMPARE(control.property("ShowDays"), QVariant(false));
    QCOMPARE(control.property("ShowSeconds"), QVariant(true));
    QCOMPARE(control.property("LabelSeperator").toString(), QStringLiteral("T;h;m;s"));
    QCOMPARE(control.property("BackColor").toUInt(), 0x8000000Fu);
    QCOMPARE(control.property("ForeColor").toUInt(), 0x80000008u);
    QCOMPARE(control.property("DayCount").toInt(), 0);
    QCOMPARE(control.property("SecondsPastMidnight").toFloat(), 0.0f);

    QCOMPARE(classInfo(meta, "TypeLibraryDescription"), QStringLiteral("Tamsel - Spanfield"));
    QCOMPARE(classInfo(meta, "DispId:ShowDays"), QStringLiteral("0x68030008"));
    QCOMPARE(classInfo(meta, "DispId:ForeColor"), QStringLiteral("0x68030001"));
    QCOMPARE(classInfo(meta, "Description:ShowDays"),
             QStringLiteral("Legt fest, ob die Eingabemöglichkeit von Tagen ermöglicht ist, oder gibt diese zurück."));
    QCOMPARE(classInfo(meta, "Description:Error"), QStringLiteral("Tritt bei Fehlengaben seitens des Benutzers auf."));
    QVERIFY(classInfo(meta, "Description:ForeColor").isEmpty());
    QVERIFY(meta->indexOfSignal("Error(qint16&,QString&)") >= 0);
    QVERIFY(meta->indexOfSignal("DayOverflow(qint16&)") >= 0);
    QVERIFY(meta->indexOfSignal("Change()") >= 0);
}

void tst_Spanfield::createdThroughTheRegistry()
{
    QWidget window;
    HostedControl *control = ControlRegistry::instance().create(QStringLiteral("Durix.Spanfield"), &window);
    QVERIFY(qobject_cast<Spanfield *>(control));
    QCOMPARE(control->parentWidget(), &window);
    QVERIFY(control->setPublishedProperty(Spanfield::Property::SecondsPastMidnight, 3600.0f));
    QCOMPARE(control->publishedProperty(Spanfield::Property::SecondsPastMidnight), QVariant(3600.0f));
}

void tst_Spanfield::secondsWrites_data()
{
    QTest::addColumn<bool>("showDays");
    QTest::addColumn<bool>("showSeconds");
    QTest::addColumn<int>("storedDays");
    QTest::addColumn<float>("seconds");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("dayCount");
    QTest::addColumn<float>("readBack");
    QTest::addColumn<QList<int>>("overflows");

    using L = QStringList;
    QTest::newRow("3599") << false << true << 0 << 3599.0f << L{"0", "00", "59", "59"} << 0 << 3599.0f << QList<int>{};
    QTest::newRow("one day shown") << true << true << 0 << 86400.0f << L{"1", "00", "00", "00"} << 1 << 0.0f
                                   << QList<int>{1};
    QTest::newRow("one day hidden") << false << true << 0 << 86400.0f << L{"1", "00", "00", "00"} << 0 << 0.0f
                                    << QList<int>{1};
    QTest::newRow("90061") << true << true << 0 << 90061.0f << L{"1", "01", "01", "01"} << 1 << 3661.0f
                           << QList<int>{1};
    QTest::newRow("200000 onto 3") << true << true << 3 << 200000.0f << L{"5", "07", "33", "20"} << 5 << 27200.0f
                                   << QList<int>{2};
    QTest::newRow("seconds hidden") << false << false << 0 << 59.0f << L{"0", "00", "00", "00"} << 0 << 0.0f
                                    << QList<int>{};
    QTest::newRow("365 and a day") << true << true << 365 << 86400.0f << L{Marker3, "00", "00", "00"} << -1 << 0.0f
                                   << QList<int>{1};
    QTest::newRow("0.5") << false << true << 0 << 0.5f << L{"0", "00", "00", "00"} << 0 << 0.0f << QList<int>{};
    QTest::newRow("1.5") << false << true << 0 << 1.5f << L{"0", "00", "00", "02"} << 0 << 2.0f << QList<int>{};
    QTest::newRow("2.5") << false << true << 0 << 2.5f << L{"0", "00", "00", "02"} << 0 << 2.0f << QList<int>{};
    QTest::newRow("59.5 carries") << false << true << 0 << 59.5f << L{"0", "00", "01", "00"} << 0 << 60.0f
                                  << QList<int>{};
    QTest::newRow("86399.6 carries a day")
        << true << true << 0 << 86399.6f << L{"1", "00", "00", "00"} << 1 << 0.0f << QList<int>{1};
    QTest::newRow("negative") << false << true << 0 << -5.0f << L{"0", "-01", "59", "55"} << 0 << -5.0f << QList<int>{};
}

void tst_Spanfield::secondsWrites()
{
    QFETCH(bool, showDays);
    QFETCH(bool, showSeconds);
    QFETCH(int, storedDays);
    QFETCH(float, seconds);
    Spanfield control;
    control.setShowDays(showDays);
    control.setShowSeconds(showSeconds);
    control.setDayCount(qint16(storedDays));
    QList<int> overflows;
    connect(&control, &Spanfield::DayOverflow, this, [&](qint16 &diffDays) {
        overflows.append(diffDays);
        diffDays = 999; // ignored by the control
    });

    control.setSecondsPastMidnight(seconds);
    QTEST(fieldTexts(control), "texts");
    QTEST(overflows, "overflows");
    QTEST(control.secondsPastMidnight(), "readBack");
    QTEST(int(control.dayCount()), "dayCount");
}

void tst_Spanfield::overflowMarker()
{
    Spanfield control;
    control.setShowDays(true);
    control.setSecondsPastMidnight(3661);
    control.setDayCount(366);
    QCOMPARE(fieldTexts(control), (QStringList{Marker3, Marker2, Marker2, Marker2}));
    QCOMPARE(control.dayCount(), qint16(-1));
    QCOMPARE(control.secondsPastMidnight(), 0.0f);

    control.setDayCount(5);
    QCOMPARE(fieldTexts(control), (QStringList{"5", Marker2, Marker2, Marker2}));
    QCOMPARE(control.dayCount(), qint16(5));
    control.setSecondsPastMidnight(60);
    QCOMPARE(fieldTexts(control), (QStringList{"5", "00", "01", "00"}));

    // A day count above 365 keeps the stored count, which a write then carries on from.
    control.setDayCount(400);
    control.setDayCount(-3);
    QCOMPARE(fieldTexts(control).first(), QStringLiteral("-3"));
    QCOMPARE(control.dayCount(), qint16(-3));
}

void tst_Spanfield::dayCountWrites_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("daysShown"); // empty: the write is refused
    QTest::addColumn<int>("dayCount");

    QTest::newRow("7") << QVariant(7) << "7" << 7;
    QTest::newRow("-32768") << QVariant(-32768) << "-32768" << -32768;
    QTest::newRow("32767 shows the marker") << QVariant(32767) << Marker3 << -1;
    QTest::newRow("2.5 halves to even") << QVariant(2.5) << "2" << 2;
    QTest::newRow("text") << QVariant(QStringLiteral("40")) << "40" << 40;
    QTest::newRow("32768") << QVariant(32768) << QString() << 12;
    QTest::newRow("40000") << QVariant(40000) << QString() << 12;
    QTest::newRow("-32769") << QVariant(-32769) << QString() << 12;
    QTest::newRow("32767.5") << QVariant(32767.5) << QString() << 12;
    QTest::newRow("NaN") << QVariant(std::numeric_limits<double>::quiet_NaN()) << QString() << 12;
    QTest::newRow("infinity") << QVariant(std::numeric_limits<double>::infinity()) << QString() << 12;
    QTest::newRow("1e10") << QVariant(1e10) << QString() << 12;
    QTest::newRow("2^32 + 5") << QVariant(Q_INT64_C(4294967301)) << QString() << 12;
    QTest::newRow("words") << QVariant(QStringLiteral("many")) << QString() << 12;
    QTest::newRow("a date") << QVariant(QDate(2026, 1, 1)) << QString() << 12;
}

// Through the property system, a day count outside the 16-bit range changes nothing; it does not
// wrap around into it.
void tst_Spanfield::dayCountWrites()
{
    QFETCH(QVariant, value);
    QFETCH(QString, daysShown);
    Spanfield control;
    control.setShowDays(true);
    control.setDayCount(12);
    control.setSecondsPastMidnight(3661);
    const QStringList before = fieldTexts(control);
    int changes = 0;
    connect(&control, &Spanfield::Change, this, [&] { ++changes; });

    control.setProperty("DayCount", value);
    if (daysShown.isEmpty()) {
        QCOMPARE(fieldTexts(control), before);
        QCOMPARE(changes, 0);
    } else {
        QCOMPARE(fieldTexts(control).first(), daysShown);
    }
    QTEST(int(control.dayCount()), "dayCount");
    QTEST(control.property("DayCount").toInt(), "dayCount");
}

void tst_Spanfield::hiddenFieldsAreIgnoredWhenRead()
{
    Spanfield control;
    field(control, 0)->setText(QStringLiteral("17"));
    QCOMPARE(control.dayCount(), qint16(0));
    control.setShowDays(true);
    QCOMPARE(control.dayCount(), qint16(17));

    control.setShowSeconds(false);
    field(control, 3)->setText(QStringLiteral("42"));
    field(control, 2)->setText(QStringLiteral("3"));
    QCOMPARE(control.secondsPastMidnight(), 180.0f);
    control.setShowSeconds(true);
    QCOMPARE(control.secondsPastMidnight(), 222.0f);
}

void tst_Spanfield::overflowingWriteChangesNothing()
{
    Spanfield control;
    PropertyBag bag;
    bag.writeProperty(QStringLiteral("DayCount"), 32767);
    bag.writeProperty(QStringLiteral("ShowDays"), true);
    control.readProperties(bag);
    control.setSecondsPastMidnight(3600);
    const QStringList before = fieldTexts(control);
    int overflows = 0;
    connect(&control, &Spanfield::DayOverflow, this, [&] { ++overflows; });

    QVERIFY_THROWS_EXCEPTION(std::overflow_error, control.setSecondsPastMidnight(86400));
    QCOMPARE(fieldTexts(control), before);
    QCOMPARE(overflows, 0);

    // Through the property system the write has no effect and no exception reaches Qt.
    QVERIFY(control.setProperty("SecondsPastMidnight", 86400.0f));
    QVERIFY(control.setProperty("SecondsPastMidnight", std::numeric_limits<float>::infinity()));
    QCOMPARE(fieldTexts(control), before);
    QCOMPARE(overflows, 0);
    PropertyBag saved;
    control.writeProperties(saved);
    QCOMPARE(saved.readInt16(QStringLiteral("DayCount"), 0), qint16(32767));
    QCOMPARE(saved.readSingle(QStringLiteral("SecondsPastMidnight"), 0), 3600.0f);
}

void tst_Spanfield::captionLists_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("captions");
    const QStringList unchanged{"T", "h", "m", "s"};
    QTest::newRow("three") << "a;b;c" << unchanged;
    QTest::newRow("empty") << "" << unchanged;
    QTest::newRow("five") << "a;b;c;d;e" << unchanged;
    QTest::newRow("doubled separator") << "a;;b;c;d" << QStringList{"a", "b", "c", "d"};
    QTest::newRow("closing separator") << "T;h;m;" << QStringList{"T", "h", "m", ""};
    QTest::newRow("colons") << "d;:;:;" << QStringList{"d", ":", ":", ""};
    QTest::newRow("words") << "Tage;Std.;Min.;Sek." << QStringList{"Tage", "Std.", "Min.", "Sek."};
}

void tst_Spanfield::captionLists()
{
    QFETCH(QString, list);
    QFETCH(QStringList, captions);
    RecordedBoxes boxes;
    Spanfield control;
    control.setShowDays(true);
    const QString before = control.labelSeperator();
    control.setProperty("LabelSeperator", list);

    QStringList shown;
    for (int i = 0; i < 4; ++i)
        shown.append(label(control, i)->text());
    QCOMPARE(shown, captions);
    const bool refused = captions == QStringList{"T", "h", "m", "s"};
    QCOMPARE(control.labelSeperator(), refused ? before : list);
    QCOMPARE(boxes.requests.size(), refused ? 1 : 0);
    if (refused) {
        const MessageBoxRequest &box = boxes.requests.first();
        QCOMPARE(box.title, QStringLiteral("Spanfield"));
        QCOMPARE(box.text,
                 QStringLiteral("Ungültiges Argument. Vier Seperatoren erforderlich; durch Semikolon getrennt."));
        QCOMPARE(box.icon, QMessageBox::Information);
        QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(box.parent.data(), &control);
    }
}

void tst_Spanfield::arrangement_data()
{
    QTest::addColumn<bool>("showDays");
    QTest::addColumn<bool>("showSeconds");
    QTest::addColumn<QString>("captions");
    QTest::newRow("time") << false << true << "T;h;m;s";
    QTest::newRow("hours and minutes") << false << false << "T;h;m;s";
    QTest::newRow("all four, long captions") << true << true << "Tage;Stunden;Minuten;Sekunden";
    QTest::newRow("days, no seconds, empty caption") << true << false << ";h;m;s";
}

void tst_Spanfield::arrangement()
{
    QFETCH(bool, showDays);
    QFETCH(bool, showSeconds);
    QFETCH(QString, captions);
    QWidget window;
    Spanfield control(&window);
    control.setShowDays(showDays);
    control.setShowSeconds(showSeconds);
    control.setLabelSeperator(captions);
    window.show();

    QCOMPARE(field(control, 0)->x(), 0);
    QCOMPARE(label(control, 0)->x(), field(control, 0)->geometry().right() + 1);
    QCOMPARE(field(control, 1)->x(), showDays ? label(control, 0)->geometry().right() + 1 : 0);
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            QCOMPARE(label(control, i)->x(), field(control, i)->x() + field(control, i)->width());
        if (i > 1)
            QCOMPARE(field(control, i)->x(), label(control, i - 1)->x() + label(control, i - 1)->width());
        // A label is as wide as its caption needs: nothing is cut off, and no caption means no width.
        const QString caption = label(control, i)->text();
        QCOMPARE(label(control, i)->width() == 0, caption.isEmpty());
        QVERIFY(label(control, i)->width() >= label(control, i)->fontMetrics().horizontalAdvance(caption));
        QCOMPARE(field(control, i)->width(), i == 0 ? 24 : 18); // as designed: 360 and 270 twips
    }
    QCOMPARE(field(control, 0)->isVisibleTo(&control), showDays);
    QCOMPARE(label(control, 0)->isVisibleTo(&control), showDays);
    QCOMPARE(field(control, 3)->isVisibleTo(&control), showSeconds);
    QCOMPARE(label(control, 3)->isVisibleTo(&control), showSeconds);
    QLabel *last = label(control, showSeconds ? 3 : 2);
    QCOMPARE(control.width(), last->x() + last->width());
    QCOMPARE(control.height(), field(control, 1)->height());
    QCOMPARE(control.sizeHint(), control.size());
}

void tst_Spanfield::resizeSnapsBack()
{
    QWidget window;
    Spanfield control(&window);
    window.show();
    const QSize fitted = control.size();
    control.resize(500, 100);
    QCOMPARE(control.size(), fitted);
    control.setGeometry(10, 10, 5, 5);
    QCOMPARE(control.size(), fitted);
    QCOMPARE(control.pos(), QPoint(10, 10));
    control.setShowSeconds(false);
    QVERIFY(control.width() < fitted.width());
}

void tst_Spanfield::colors()
{
    QWidget window;
    Spanfield control(&window);
    control.setBackColor(ValueRules::rgbColor(0, 0, 255));
    control.setForeColor(ValueRules::rgbColor(255, 0, 0));
    window.show();
    QImage image(control.size(), QImage::Format_ARGB32);
    control.render(&image);
    // Above the labels the control's own surface shows.
    const QLabel *hours = label(control, 1);
    QCOMPARE(image.pixelColor(hours->x() + hours->width() / 2, 0), QColor(0, 0, 255));
    QCOMPARE(field(control, 2)->palette().color(QPalette::Text), QColor(255, 0, 0));
    QCOMPARE(hours->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    // Any 32-bit value is taken; system colours follow the palette.
    control.setBackColor(0x8000000F);
    control.render(&image);
    QCOMPARE(image.pixelColor(hours->x() + hours->width() / 2, 0), QGuiApplication::palette().color(QPalette::Button));
    control.setProperty("ForeColor", 0xFFFFFFFFu);
    QCOMPARE(control.foreColor(), 0xFFFFFFFFu);
}

void tst_Spanfield::persistenceRoundTrip()
{
    PropertyBag empty;
    Spanfield fresh;
    fresh.writeProperties(empty);
    QVERIFY2(empty.isEmpty(), empty.toJson().constData());

    RecordedBoxes boxes;
    Spanfield original;
    original.setShowDays(true);
    original.setShowSeconds(false);
    original.setLabelSeperator(QStringLiteral("d;:;:;"));
    original.setBackColor(0x00112233);
    original.setForeColor(0x00445566);
    original.setLocked(true);
    original.setSecondsPastMidnight(2 * 86400 + 3660);
    PropertyBag bag;
    original.writeProperties(bag);
    QCOMPARE(bag.names(),
             (QStringList{"LabelSeperator", "ShowDays", "ShowSeconds", "BackColor", "DayCount", "Locked",
                          "SecondsPastMidnight", "TextColor"}));

    PropertyBag reread;
    QVERIFY(reread.fromJson(bag.toJson()));
    Spanfield loaded;
    loaded.readProperties(reread);
    QCOMPARE(loaded.showDays(), true);
    QCOMPARE(loaded.showSeconds(), false);
    QCOMPARE(loaded.labelSeperator(), QStringLiteral("d;:;:;"));
    QCOMPARE(loaded.backColor(), 0x00112233u);
    QCOMPARE(loaded.foreColor(), 0x00445566u);
    QCOMPARE(loaded.locked(), true);
    // The loaded control shows and reads back the time it was saved with.
    QCOMPARE(fieldTexts(loaded), (QStringList{"2", "01", "01", "00"}));
    QCOMPARE(loaded.dayCount(), qint16(2));
    QCOMPARE(loaded.secondsPastMidnight(), 3660.0f);
    PropertyBag again;
    loaded.writeProperties(again);
    QCOMPARE(again.toJson(), bag.toJson());
    QVERIFY(boxes.requests.isEmpty());
}

void tst_Spanfield::bagWithMissingOrOddEntries()
{
    RecordedBoxes boxes;
    PropertyBag bag;
    bag.writeProperty(QStringLiteral("LabelSeperator"), QStringLiteral("x;y"));
    bag.writeProperty(QStringLiteral("ForeColor"), 255); // the colour is stored as TextColor
    bag.writeProperty(QStringLiteral("ShowSeconds"), QStringLiteral("maybe"));
    bag.writeProperty(QStringLiteral("DayCount"), 1e9);
    bag.writeProperty(QStringLiteral("BackColor"), QByteArray("red"));
    bag.writeProperty(QStringLiteral("SecondsPastMidnight"), QStringLiteral("7200"));

    QWidget window;
    Spanfield control(&window);
    control.readProperties(bag);
    window.show();
    QVERIFY(boxes.requests.isEmpty()); // a stored caption list is taken without complaint
    QCOMPARE(control.labelSeperator(), QStringLiteral("x;y"));
    QCOMPARE(label(control, 1)->text(), QStringLiteral("y"));
    QCOMPARE(label(control, 2)->text(), QString());
    QCOMPARE(label(control, 3)->text(), QString());
    QCOMPARE(control.foreColor(), 0x80000008u);
    QCOMPARE(control.showSeconds(), true);
    QCOMPARE(control.backColor(), 0x8000000Fu);
    QCOMPARE(control.secondsPastMidnight(), 7200.0f);
    QCOMPARE(control.dayCount(), qint16(0));

    // A stored caption list beyond the 16-bit range cannot be split: the captions stay empty.
    PropertyBag huge;
    huge.writeProperty(QStringLiteral("LabelSeperator"), QString(40000, u';'));
    control.readProperties(huge);
    control.resize(1, 1);
    QCOMPARE(label(control, 1)->text(), QString());
    QVERIFY(control.width() > 0);
}

namespace {

// A control with every stored property away from its default.
void changeEverything(Spanfield &control)
{
    control.setShowDays(true);
    control.setShowSeconds(false);
    control.setLabelSeperator(QStringLiteral("d;:;:;"));
    control.setBackColor(0x00112233);
    control.setForeColor(0x00445566);
    control.setLocked(true);
    control.setSecondsPastMidnight(2 * 86400 + 3660);
}

void compareEverythingButTheTime(const Spanfield &loaded)
{
    QCOMPARE(loaded.showDays(), true);
    QCOMPARE(loaded.showSeconds(), false);
    QCOMPARE(loaded.labelSeperator(), QStringLiteral("d;:;:;"));
    QCOMPARE(loaded.backColor(), 0x00112233u);
    QCOMPARE(loaded.foreColor(), 0x00445566u);
    QCOMPARE(loaded.locked(), true);
    QCOMPARE(loaded.dayCount(), qint16(2));
}

} // namespace

// A field holding a digit string too long for a number makes the time read as infinite. Saving the
// control then leaves the time out, so that the bag loads again with the seven other values and the
// time at its default.
void tst_Spanfield::longDigitStringCostsOnlyItsOwnValue()
{
    Spanfield original;
    changeEverything(original);
    field(original, 1)->setText(QString(40, u'9'));
    QVERIFY(std::isinf(original.secondsPastMidnight()));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TimeEdit.bag"));
    PropertyBag bag;
    original.writeProperties(bag);
    QString error;
    QVERIFY2(bag.save(path, &error), qPrintable(error));

    PropertyBag reread;
    QVERIFY2(reread.load(path, &error), qPrintable(error));
    QVERIFY2(reread.damagedEntries().isEmpty(), qPrintable(error));
    QVERIFY(!reread.contains(QStringLiteral("SecondsPastMidnight")));
    Spanfield loaded;
    loaded.readProperties(reread);
    compareEverythingButTheTime(loaded);
    QCOMPARE(loaded.secondsPastMidnight(), 0.0f);
    QCOMPARE(fieldTexts(loaded), (QStringList{"2", "00", "00", "00"}));
}

// A bag whose time entry holds no number (as an earlier save of an infinite time left it) loads with
// the other seven values; the time falls back to its default.
void tst_Spanfield::bagWithADamagedEntry()
{
    const QByteArray saved = R"({
    "format": "vesperon-property-bag",
    "properties": [
        { "name": "LabelSeperator", "type": "string", "value": "d;:;:;" },
        { "name": "ShowDays", "type": "bool", "value": true },
        { "name": "ShowSeconds", "type": "bool", "value": false },
        { "name": "BackColor", "type": "int", "value": 1122867 },
        { "name": "DayCount", "type": "int", "value": 2 },
        { "name": "Locked", "type": "bool", "value": true },
        { "name": "SecondsPastMidnight", "type": "real", "value": null },
        { "name": "TextColor", "type": "int", "value": 4478310 }
    ],
    "version": 1
}
)";
    PropertyBag bag;
    QString error;
    QVERIFY2(bag.fromJson(saved, &error), qPrintable(error));
    QVERIFY2(error.contains(QLatin1String("\"SecondsPastMidnight\"")), qPrintable(error));
    QCOMPARE(bag.damagedEntries().size(), 1);
    QCOMPARE(bag.damagedEntries().first().name, QStringLiteral("SecondsPastMidnight"));

    Spanfield loaded;
    loaded.readProperties(bag);
    compareEverythingButTheTime(loaded);
    QCOMPARE(loaded.secondsPastMidnight(), 0.0f);
}

QTEST_MAIN(tst_Spanfield)
#include "tst_spanfield.moc"
