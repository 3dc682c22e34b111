// SPDX-License-Identifier: GPL-3.0-or-later
#include <propertybag.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class tst_PropertyBag : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultsAreNotStored();
    void fileRoundTripKeepsOrderAndTypes();
    void damagedTextIsRefused_data();
    void damagedTextIsRefused();
    void unreadableFilesAreReported();
    void failedSaveKeepsTheOldFile();
    void typedReads_data();
    void typedReads();
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

void tst_PropertyBag::damagedTextIsRefused_data()
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
    QTest::newRow("entry not object") << head + "[3]}"
                                      << "not an object";
    QTest::newRow("nameless") << head + R"([{"type": "bool", "value": true}]})"
                              << "no name";
    QTest::newRow("unknown type") << head + R"([{"name": "A", "type": "date", "value": 1}]})"
                                  << "unknown type";
    QTest::newRow("bool as text") << head + R"([{"name": "A", "type": "bool", "value": "yes"}]})"
                                  << "\"A\"";
    QTest::newRow("fraction as int") << head + R"([{"name": "A", "type": "int", "value": 1.5}]})"
                                     << "\"A\"";
    QTest::newRow("huge int") << head + R"([{"name": "A", "type": "int", "value": 1e300}]})"
                              << "\"A\"";
    QTest::newRow("bad base64") << head + R"([{"name": "A", "type": "bytes", "value": "@@@"}]})"
                                << "\"A\"";
    QTest::newRow("twice") << head + R"([{"name": "A", "type": "int", "value": 1},
                                         {"name": "A", "type": "int", "value": 2}]})"
                           << "twice";
}

void tst_PropertyBag::damagedTextIsRefused()
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

QTEST_GUILESS_MAIN(tst_PropertyBag)
#include "tst_propertybag.moc"
