// SPDX-License-Identifier: GPL-3.0-or-later
#include <propertybag.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

class tst_PropertyBag : public QObject
{
    Q_OBJECT

private slots:
    void defaultsAreNotStored();
    void fileRoundTripKeepsOrderAndTypes();
    void textThatIsNoBagIsRefused_data();
    void textThatIsNoBagIsRefused();
    void damagedEntryIsLeftOut_data();
    void damagedEntryIsLeftOut();
    void unstorableValuesAreRefused_data();
    void unstorableValuesAreRefused();
    void unreadableFilesAreReported();
    void failedSaveKeepsTheOldFile();
    void typedReads_data();
    void typedReads();
    void keysWriteTheirKind();
};

void tst_PropertyBag::defaultsAreNotStored()
{
    PropertyBag bag;
    bag.writeProperty(QStringLiteral("ShowDays"), false, false);
    bag.writeProperty(QStringLiteral("Count"), 7, 7);
    bag.writeProperty(QStringLiteral("Seconds"), 0.0f, qint16(0));
    QVERIFY(bag.isEmpty());
    QCOMPARE(bag.readProperty(QStringLiteral("ShowDays"), true), QVariant(true));

    bag.writeProperty(QStringLiteral("Count"), 8, 7);
    QCOMPARE(bag.readProperty(QStringLiteral("Count"), 7).toInt(), 8);
    // Writing the default again takes the entry away instead of storing the default.
    bag.writeProperty(QStringLiteral("Count"), 7, 7);
    QVERIFY(!bag.contains(QStringLiteral("Count")));
}

void tst_PropertyBag::fileRoundTripKeepsOrderAndTypes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("control.bag"));
    PropertyBag bag;
    bag.writeProperty(QStringLiteral("Zeta"), QStringLiteral("T;h;m;s\n\"ü\""));
    bag.writeProperty(QStringLiteral("Alpha"), true);
    bag.writeProperty(QStringLiteral("Color"), quint32(0x8000000F));
    bag.writeProperty(QStringLiteral("Small"), qint16(-32768));
    bag.writeProperty(QStringLiteral("Seconds"), 3599.5f);
    bag.writeProperty(QStringLiteral("Picture"), QByteArray("\x89PNG\0\x01", 6));
    QString error;
    QVERIFY2(bag.save(path, &error), qPrintable(error));

    PropertyBag loaded;
    QVERIFY2(loaded.load(path, &error), qPrintable(error));
    QCOMPARE(loaded.names(), bag.names());
    QCOMPARE(loaded.readString(QStringLiteral("Zeta"), {}), QStringLiteral("T;h;m;s\n\"ü\""));
    QCOMPARE(loaded.readBool(QStringLiteral("Alpha"), false), true);
    QCOMPARE(loaded.readColor(QStringLiteral("Color"), 0), quint32(0x8000000F));
    QCOMPARE(loaded.readInt16(QStringLiteral("Small"), 0), qint16(-32768));
    QCOMPARE(loaded.readSingle(QStringLiteral("Seconds"), 0), 3599.5f);
    QCOMPARE(loaded.readProperty(QStringLiteral("Picture")).toByteArray(), QByteArray("\x89PNG\0\x01", 6));
}

void tst_PropertyBag::textThatIsNoBagIsRefused_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("errorPart");
    const QByteArray head = R"({"format": "vesperon-property-bag", "version": 1, "properties": )";
    QTest::newRow("empty") << QByteArray() << "not a property bag";
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe garbage", 11) << "not a property bag";
    QTest::newRow("truncated") << head + R"([{"name": "A", "type": "bool", "val)"
                               << "not a property bag";
    QTest::newRow("other json") << QByteArray(R"({"hello": 1})") << "format name";
    QTest::newRow("array root") << QByteArray("[1, 2]") << "format name";
    QTest::newRow("future version") << QByteArray(
        R"({"format": "vesperon-property-bag", "version": 2, "properties": []})")
                                    << "version";
    QTest::newRow("no list") << head + "{}}"
                             << "no property list";
}

void tst_PropertyBag::textThatIsNoBagIsRefused()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, errorPart);
    PropertyBag bag;
    bag.writeProperty(QStringLiteral("Kept"), 1);
    QString error;
    QVERIFY(!bag.fromJson(text, &error));
    QVERIFY2(error.contains(errorPart), qPrintable(error));
    // A refused text leaves the bag as it was.
    QCOMPARE(bag.names(), QStringList{QStringLiteral("Kept")});
}

void tst_PropertyBag::damagedEntryIsLeftOut_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("problemPart");
    // What a writer that let a non-finite number through left behind.
    QTest::newRow("real as null") << QByteArray(R"({"name": "Seconds", "type": "real", "value": null})") << "Seconds"
                                  << "real";
    QTest::newRow("not an object") << QByteArray("3") << QString() << "not an object";
    QTest::newRow("nameless") << QByteArray(R"({"type": "bool", "value": true})") << QString() << "no name";
    QTest::newRow("unknown type") << QByteArray(R"({"name": "A", "type": "date", "value": 1})") << "A"
                                  << "unknown type";
    QTest::newRow("bool as text") << QByteArray(R"({"name": "A", "type": "bool", "value": "yes"})") << "A"
                                  << "bool";
    QTest::newRow("fraction as int") << QByteArray(R"({"name": "A", "type": "int", "value": 1.5})") << "A"
                                     << "int";
    QTest::newRow("huge int") << QByteArray(R"({"name": "A", "type": "int", "value": 1e300})") << "A"
                              << "int";
    QTest::newRow("bad base64") << QByteArray(R"({"name": "A", "type": "bytes", "value": "@@@"})") << "A"
                                << "bytes";
    QTest::newRow("twice") << QByteArray(R"({"name": "First", "type": "int", "value": 2})") << "First"
                           << "twice";
}

// One entry that cannot be read costs only that entry: the others load, the damaged one is named,
// and its name reads as whatever default the reader gives.
void tst_PropertyBag::damagedEntryIsLeftOut()
{
    QFETCH(QByteArray, entry);
    QFETCH(QString, name);
    QFETCH(QString, problemPart);
    const QByteArray text = R"({"format": "vesperon-property-bag", "version": 1, "properties": [
        {"name": "First", "type": "int", "value": 1},
        )"
        + entry + R"(,
        {"name": "Last", "type": "string", "value": "kept"}]})";

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("control.bag"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    PropertyBag bag;
    bag.writeProperty(QStringLiteral("Earlier"), 5);
    QString error;
    QVERIFY2(bag.load(path, &error), qPrintable(error));
    QCOMPARE(bag.names(), (QStringList{QStringLiteral("First"), QStringLiteral("Last")}));
    QCOMPARE(bag.readInt16(QStringLiteral("First"), 0), qint16(1));
    QCOMPARE(bag.readString(QStringLiteral("Last"), {}), QStringLiteral("kept"));

    const QList<PropertyBag::DamagedEntry> damaged = bag.damagedEntries();
    QCOMPARE(damaged.size(), 1);
    QCOMPARE(damaged.first().position, 2);
    QCOMPARE(damaged.first().name, name);
    QVERIFY2(damaged.first().problem.contains(problemPart), qPrintable(damaged.first().problem));
    // The message names the file and the entry.
    QVERIFY2(error.contains(QLatin1String("control.bag")), qPrintable(error));
    QVERIFY2(error.contains(name.isEmpty() ? QStringLiteral("entry 2") : QStringLiteral("\"%1\"").arg(name)),
             qPrintable(error));
    if (name != QLatin1String("First"))
        QCOMPARE(bag.readSingle(name, 1.5f), 1.5f);

    // Saved again, the bag holds only what it could read, and loads cleanly.
    PropertyBag again;
    QVERIFY2(again.fromJson(bag.toJson(), &error), qPrintable(error));
    QVERIFY(error.isEmpty());
    QVERIFY(again.damagedEntries().isEmpty());
    QCOMPARE(again.names(), bag.names());
}

void tst_PropertyBag::unstorableValuesAreRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("problemPart");
    const QString x = QStringLiteral("X");
    QTest::newRow("float infinity") << x << QVariant(std::numeric_limits<float>::infinity()) << "inf";
    QTest::newRow("double -infinity") << x << QVariant(-std::numeric_limits<double>::infinity()) << "inf";
    QTest::newRow("NaN") << x << QVariant(std::numeric_limits<double>::quiet_NaN()) << "nan";
    QTest::newRow("beyond 2^53") << x << QVariant(Q_INT64_C(9007199254740993)) << "9007199254740993";
    QTest::newRow("unsigned beyond 2^53") << x << QVariant(std::numeric_limits<quint64>::max()) << "exactly";
    QTest::newRow("no value") << x << QVariant() << "no value";
    QTest::newRow("a date") << x << QVariant(QDate(2026, 1, 1)) << "QDate";
    QTest::newRow("no name") << QString() << QVariant(1) << "no name";
}

// The bag stores nothing that it could not read back from its file.
void tst_PropertyBag::unstorableValuesAreRefused()
{
    QFETCH(QString, name);
    QFETCH(QVariant, value);
    QFETCH(QString, problemPart);
    PropertyBag bag;
    bag.writeProperty(QStringLiteral("X"), 7);
    const QByteArray before = bag.toJson();

    QString error;
    QVERIFY(!bag.writeProperty(name, value, QVariant(0), &error));
    QVERIFY2(error.contains(problemPart), qPrintable(error));
    if (!name.isEmpty())
        QVERIFY2(error.contains(QStringLiteral("\"%1\"").arg(name)), qPrintable(error));
    QCOMPARE(bag.toJson(), before);
    QVERIFY(!bag.writeProperty(name, value));

    // The largest whole numbers that the file keeps exactly are taken.
    QVERIFY(bag.writeProperty(QStringLiteral("Big"), Q_INT64_C(9007199254740992), {}, &error));
    QVERIFY(bag.writeProperty(QStringLiteral("Small"), Q_INT64_C(-9007199254740992), {}, &error));
    PropertyBag reread;
    QVERIFY(reread.fromJson(bag.toJson(), &error));
    QCOMPARE(reread.readProperty(QStringLiteral("Big")).toLongLong(), Q_INT64_C(9007199254740992));
    QCOMPARE(reread.readProperty(QStringLiteral("Small")).toLongLong(), Q_INT64_C(-9007199254740992));
}

void tst_PropertyBag::unreadableFilesAreReported()
{
    QTemporaryDir dir;
    PropertyBag bag;
    QString error;
    QVERIFY(!bag.load(dir.filePath(QStringLiteral("missing.bag")), &error));
    QVERIFY(error.contains(QLatin1String("missing.bag")));
    QVERIFY(!bag.load(dir.path(), &error)); // a directory
    QVERIFY(!bag.save(dir.path(), &error));
}

void tst_PropertyBag::failedSaveKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("control.bag"));
    PropertyBag old;
    old.writeProperty(QStringLiteral("A"), 1);
    QVERIFY(old.save(path));
    const QByteArray before = [&] {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();

    // A save that cannot complete (here: the file's folder is read-only, as for a program folder
    // under /usr) leaves the previous file whole. Root may write anyway; then the save succeeds.
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    PropertyBag bigger;
    bigger.writeProperty(QStringLiteral("B"), QString(100000, u'x'));
    const bool saved = bigger.save(path);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    PropertyBag reread;
    QVERIFY(reread.load(path));
    QCOMPARE(reread.names(), saved ? QStringList{QStringLiteral("B")} : QStringList{QStringLiteral("A")});
    if (!saved) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("control.bag")});
}

void tst_PropertyBag::typedReads_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("asBool");
    QTest::addColumn<int>("asInt16");
    QTest::addColumn<quint32>("asColor");
    QTest::addColumn<float>("asSingle");
    QTest::addColumn<QString>("asString");
    // Defaults used below: true, 42, 0x11, 1.5f, "dflt".
    QTest::newRow("missing") << QVariant() << true << 42 << quint32(0x11) << 1.5f << "dflt";
    QTest::newRow("false") << QVariant(false) << false << 0 << quint32(0) << 0.0f << "dflt";
    QTest::newRow("whole") << QVariant(qint64(300)) << true << 300 << quint32(300) << 300.0f << "dflt";
    QTest::newRow("half to even") << QVariant(2.5) << true << 2 << quint32(2) << 2.5f << "dflt";
    QTest::newRow("beyond 16 bits") << QVariant(qint64(40000)) << true << 42 << quint32(40000) << 40000.0f << "dflt";
    QTest::newRow("signed colour") << QVariant(qint64(-2147483633)) << true << 42 << quint32(0x8000000F)
                                   << -2147483633.0f << "dflt";
    QTest::newRow("text TRUE") << QVariant(QStringLiteral("TRUE")) << true << 42 << quint32(0x11) << 1.5f << "TRUE";
    QTest::newRow("numeric text") << QVariant(QStringLiteral("12")) << true << 12 << quint32(12) << 12.0f << "12";
    QTest::newRow("words") << QVariant(QStringLiteral("hello")) << true << 42 << quint32(0x11) << 1.5f << "hello";
    QTest::newRow("bytes") << QVariant(QByteArray("12")) << true << 42 << quint32(0x11) << 1.5f << "dflt";
    QTest::newRow("bytes 0") << QVariant(QByteArray("0")) << true << 42 << quint32(0x11) << 1.5f << "dflt";
    QTest::newRow("text false") << QVariant(QStringLiteral(" False ")) << false << 42 << quint32(0x11) << 1.5f
                                << " False ";
    QTest::newRow("text 2.5") << QVariant(QStringLiteral("2.5")) << true << 2 << quint32(2) << 2.5f << "2.5";
    QTest::newRow("true") << QVariant(true) << true << 1 << quint32(1) << 1.0f << "dflt";
    QTest::newRow("zero") << QVariant(0.0) << false << 0 << quint32(0) << 0.0f << "dflt";
    QTest::newRow("-1") << QVariant(qint64(-1)) << true << -1 << quint32(0xFFFFFFFF) << -1.0f << "dflt";
    QTest::newRow("largest colour") << QVariant(qint64(4294967295)) << true << 42 << quint32(0xFFFFFFFF)
                                    << 4294967295.0f << "dflt";
    QTest::newRow("beyond colours") << QVariant(qint64(4294967296)) << true << 42 << quint32(0x11) << 4294967296.0f
                                    << "dflt";
    QTest::newRow("below colours") << QVariant(qint64(-2147483649)) << true << 42 << quint32(0x11) << -2147483649.0f
                                   << "dflt";
    QTest::newRow("huge real") << QVariant(1e300) << true << 42 << quint32(0x11) << 1.5f << "dflt";
}

void tst_PropertyBag::typedReads()
{
    QFETCH(QVariant, stored);
    PropertyBag bag;
    if (stored.isValid())
        bag.writeProperty(QStringLiteral("X"), stored);
    const QString x = QStringLiteral("X");
    QTEST(bag.readBool(x, true), "asBool");
    QTEST(int(bag.readInt16(x, 42)), "asInt16");
    QTEST(bag.readColor(x, 0x11), "asColor");
    QTEST(bag.readSingle(x, 1.5f), "asSingle");
    QTEST(bag.readString(x, QStringLiteral("dflt")), "asString");
}

// A control's items go into the file as their own kind, with a colour as its unsigned value, and
// come back as they were; an item at its default is not stored.
void tst_PropertyBag::keysWriteTheirKind()
{
    static constexpr PropertyKey<bool> Flag{"Flag", true};
    static constexpr PropertyKey<qint16> Small{"Small", 3};
    static constexpr PropertyKey<quint32> Colour{"Colour", 0x8000000Fu};
    static constexpr PropertyKey<float> Single{"Single", 0.0f};
    static constexpr PropertyKey<QLatin1String> Text{"Text", QLatin1String("T;h;m;s")};
    static constexpr PropertyKey<QByteArrayView> Bytes{"Bytes", {}};

    PropertyBag bag;
    QVERIFY(bag.write(Flag, false));
    QVERIFY(bag.write(Small, -32768));
    QVERIFY(bag.write(Colour, 0x80000008u));
    QVERIFY(bag.write(Single, 3599.5f));
    QVERIFY(bag.write(Text, QStringLiteral("a;b;c;d")));
    QVERIFY(bag.write(Bytes, QByteArray("\x89PNG", 4)));
    const QByteArray json = QJsonDocument::fromJson(bag.toJson()).toJson(QJsonDocument::Compact);
    QVERIFY2(json.contains(R"({"name":"Flag","type":"bool","value":false})"), json.constData());
    QVERIFY2(json.contains(R"({"name":"Small","type":"int","value":-32768})"), json.constData());
    QVERIFY2(json.contains(R"({"name":"Colour","type":"int","value":2147483656})"), json.constData());
    QVERIFY2(json.contains(R"({"name":"Single","type":"real","value":3599.5})"), json.constData());
    QVERIFY2(json.contains(R"({"name":"Text","type":"string","value":"a;b;c;d"})"), json.constData());
    QVERIFY2(json.contains(R"({"name":"Bytes","type":"bytes","value":"iVBORw=="})"), json.constData());

    PropertyBag reread;
    QVERIFY(reread.fromJson(json));
    QCOMPARE(reread.read(Flag), false);
    QCOMPARE(reread.read(Small), qint16(-32768));
    QCOMPARE(reread.read(Colour), 0x80000008u);
    QCOMPARE(reread.read(Single), 3599.5f);
    QCOMPARE(reread.read(Text), QStringLiteral("a;b;c;d"));
    QCOMPARE(reread.read(Bytes), QByteArray("\x89PNG", 4));

    QVERIFY(bag.write(Flag, true));
    QVERIFY(bag.write(Small, 3));
    QVERIFY(bag.write(Colour, 0x8000000Fu));
    QVERIFY(bag.write(Single, 0.0f));
    QVERIFY(bag.write(Text, QStringLiteral("T;h;m;s")));
    QVERIFY(bag.write(Bytes, QByteArray()));
    QVERIFY(bag.isEmpty());
    QCOMPARE(bag.read(Small), qint16(3));
    QCOMPARE(bag.read(Text), QStringLiteral("T;h;m;s"));

    QString error;
    QVERIFY(!bag.write(Single, std::numeric_limits<float>::infinity(), &error));
    QVERIFY2(error.contains(QLatin1String("\"Single\"")), qPrintable(error));
    QVERIFY(bag.isEmpty());
}

QTEST_GUILESS_MAIN(tst_PropertyBag)
#include "tst_propertybag.moc"
