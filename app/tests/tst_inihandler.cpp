// SPDX-License-Identifier: GPL-3.0-or-later
#include "inihandler.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class tst_IniHandler : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void readIniValue_data();
    void readIniValue();
    void writeIniValue();
    void writeToTheAlternativeFile();
    void writeResult_data();
    void writeResult();
    void fileNameInAnyCase_data();
    void fileNameInAnyCase();

private:
    void writeSettings(const QByteArray &content);
    QByteArray fileContent(const QString &path) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<IniHandler> m_ini;
};

void tst_IniHandler::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_ini = std::make_unique<IniHandler>(m_dir->path());
    m_ini->setSettingsFilePath(m_dir->filePath(QStringLiteral("Vesperon.Ini")));
}

void tst_IniHandler::writeSettings(const QByteArray &content)
{
    QFile file(m_ini->SettingsFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

QByteArray tst_IniHandler::fileContent(const QString &path) const
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void tst_IniHandler::readIniValue_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");

    QTest::newRow("TRUE") << QByteArray("[Global]\r\nSuppressSound=TRUE\r\n") << "TRUE";
    QTest::newRow("written by hand in lower case") << QByteArray("[global]\nsuppresssound=true\n") << "true";
    QTest::newRow("blanks around the value are dropped") << QByteArray("[Global]\nSuppressSound=   TRUE  \n") << "TRUE";
    QTest::newRow("TRUE with a blank behind, as edited by hand")
        << QByteArray("[Global]\nSuppressSound=TRUE \n") << "TRUE";
    QTest::newRow("TRUE after a tab") << QByteArray("[Global]\r\nSuppressSound=\tTRUE\r\n") << "TRUE";
    QTest::newRow("TRUE in quotes") << QByteArray("[Global]\nSuppressSound=\"TRUE\"\n") << "TRUE";
    // Inside quotes the blanks reach the buffer, whose trimming drops those in front only.
    QTest::newRow("quoted blanks: those in front are dropped, those behind stay")
        << QByteArray("[Global]\nSuppressSound=\"  TRUE  \"\n") << "TRUE  ";
    QStringEncoder toUtf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    const QByteArray utf16 = toUtf16(QStringLiteral("[Global]\r\nSuppressSound=TRUE\r\n"));
    QTest::newRow("UTF-16 file") << utf16 << "TRUE";
    QTest::newRow("blanks only") << QByteArray("[Global]\nSuppressSound=    \n") << "";
    QTest::newRow("empty value") << QByteArray("[Global]\nSuppressSound=\n") << "";
    QTest::newRow("missing key") << QByteArray("[Global]\n") << "";
    QTest::newRow("300 characters: the first 256")
        << QByteArray("[Global]\nSuppressSound=" + QByteArray(200, 'a') + QByteArray(100, 'b') + "\n")
        << QString(200, u'a') + QString(56, u'b');
    QTest::newRow("256 characters, all of them")
        << QByteArray("[Global]\nSuppressSound=" + QByteArray(256, 'c') + "\n") << QString(256, u'c');
    QTest::newRow("no file") << QByteArray("<missing>") << "";
}

void tst_IniHandler::readIniValue()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    if (content != "<missing>")
        writeSettings(content);
    QCOMPARE(m_ini->ReadIniValue(QStringLiteral("Global"), QStringLiteral("SuppressSound")), expected);
}

void tst_IniHandler::writeIniValue()
{
    writeSettings("; Vesperon\r\n[Other]\r\nA=1\r\n[Global]\r\nSuppressSound=FALSE\r\nB=2\r\n");
    QVERIFY(m_ini->WriteIniValue(QStringLiteral("GLOBAL"), QStringLiteral("SUPPRESSSOUND"), QStringLiteral("TRUE")));
    QCOMPARE(fileContent(m_ini->SettingsFilePath()),
             QByteArray("; Vesperon\r\n[Other]\r\nA=1\r\n[Global]\r\nSuppressSound=TRUE\r\nB=2\r\n"));
    QCOMPARE(m_ini->ReadIniValue(QStringLiteral("Global"), QStringLiteral("SuppressSound")), QStringLiteral("TRUE"));
}

void tst_IniHandler::writeToTheAlternativeFile()
{
    writeSettings("[Global]\nSuppressSound=FALSE\n");
    QVERIFY(
        m_ini->WriteIniValue(QStringLiteral("GLOBAL"), QStringLiteral("SUPPRESSSOUND"), QStringLiteral("TRUE"), true));
    QCOMPARE(fileContent(m_dir->filePath(QStringLiteral("ORVELL.INI"))), QByteArray("[GLOBAL]\nSUPPRESSSOUND=TRUE\n"));
    QCOMPARE(fileContent(m_ini->SettingsFilePath()), QByteArray("[Global]\nSuppressSound=FALSE\n"));
}

void tst_IniHandler::writeResult_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("expected");

    QTest::newRow("written") << "TRUE" << true << true;
    QTest::newRow("empty value written") << "" << true << true;
    QTest::newRow("not written") << "TRUE" << false << false;
    QTest::newRow("empty value not written") << "" << false << true;
}

void tst_IniHandler::writeResult()
{
    QFETCH(QString, value);
    QFETCH(bool, writable);
    QFETCH(bool, expected);
    if (!writable) // a folder where the file should be
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Vesperon.Ini")));
    QCOMPARE(m_ini->WriteIniValue(QStringLiteral("GLOBAL"), QStringLiteral("SUPPRESSSOUND"), value), expected);
    if (writable)
        QCOMPARE(m_ini->ReadIniValue(QStringLiteral("Global"), QStringLiteral("SuppressSound")), value);
}

void tst_IniHandler::fileNameInAnyCase_data()
{
    QTest::addColumn<QStringList>("files"); // in the program folder, each holding its own name as the value
    QTest::addColumn<bool>("alternativeFile");
    QTest::addColumn<QString>("used");

    QTest::newRow("VESPERON.INI") << QStringList{"VESPERON.INI"} << false << "VESPERON.INI";
    QTest::newRow("vesperon.ini") << QStringList{"vesperon.ini"} << false << "vesperon.ini";
    QTest::newRow("the name as written wins") << QStringList{"VESPERON.INI", "Vesperon.Ini"} << false << "Vesperon.Ini";
    QTest::newRow("another file beside it")
        << QStringList{"Vesperon.Ini.bak", "vesperon.ini"} << false << "vesperon.ini";
    QTest::newRow("Orvell.ini") << QStringList{"Orvell.ini"} << true << "Orvell.ini";
}

// A settings file carried over from Windows may have its name in any letter case; it is found
// and written, and no second file appears beside it.
void tst_IniHandler::fileNameInAnyCase()
{
    QFETCH(QStringList, files);
    QFETCH(bool, alternativeFile);
    QFETCH(QString, used);
    QDir folder(m_dir->path());
    for (const QString &name : files) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Global]\r\nSuppressSound=" + name.toLatin1() + "\r\n");
    }

    if (!alternativeFile)
        QCOMPARE(m_ini->ReadIniValue(QStringLiteral("Global"), QStringLiteral("SuppressSound")), used);
    QVERIFY(m_ini->WriteIniValue(QStringLiteral("GLOBAL"), QStringLiteral("SUPPRESSSOUND"), QStringLiteral("TRUE"),
                                 alternativeFile));
    for (const QString &name : files)
        QCOMPARE(fileContent(folder.filePath(name)),
                 "[Global]\r\nSuppressSound=" + (name == used ? QByteArray("TRUE") : name.toLatin1()) + "\r\n");
    QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden).size(), files.size());
    if (!alternativeFile)
        QCOMPARE(m_ini->ReadIniValue(QStringLiteral("Global"), QStringLiteral("SuppressSound")),
                 QStringLiteral("TRUE"));
}

QTEST_GUILESS_MAIN(tst_IniHandler)
#include "tst_inihandler.moc"
