// SPDX-License-Identifier: GPL-3.0-or-later
#include "privateprofile.h"
#include "profilereadcases.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <string_view>

using namespace std::string_view_literals;

namespace {
QByteArray bytes(std::string_view text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

// A UTF-16 file with its byte-order mark.
QByteArray utf16(const QString &text, bool littleEndian)
{
    QByteArray file = littleEndian ? QByteArray("\xff\xfe") : QByteArray("\xfe\xff");
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8);
        const char low = char(c.unicode() & 0xff);
        file += littleEndian ? low : high;
        file += littleEndian ? high : low;
    }
    return file;
}
} // namespace

class tst_PrivateProfile : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void read_data();
    void read();
    void readCutsToMaxLength();
    void readOfMissingFileGivesDefault();

    void write_data();
    void write();
    void writeRefusesWhatWouldBreakTheFile_data();
    void writeRefusesWhatWouldBreakTheFile();
    void writeThatFailsLeavesNothingBehind();
    void unusablePlaces_data();
    void unusablePlaces();

private:
    QString writeFile(const QByteArray &content);
    QByteArray readFile() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;
};

void tst_PrivateProfile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_file = m_dir->filePath(QStringLiteral("Vesperon.Ini"));
}

QString tst_PrivateProfile::writeFile(const QByteArray &content)
{
    QFile file(m_file);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write the test file");
    return m_file;
}

QByteArray tst_PrivateProfile::readFile() const
{
    QFile file(m_file);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void tst_PrivateProfile::read_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<QString>("expected");

    for (const ProfileReadCases::ReadCase &row : ProfileReadCases::readCases) {
        const std::string bytes = ProfileReadCases::fileBytes(row);
        QTest::newRow(row.name) << QByteArray(bytes.data(), qsizetype(bytes.size())) << QString::fromUtf8(row.section)
                                << QString::fromUtf8(row.key) << QString::fromUtf8(row.defaultValue)
                                << QString::fromUtf8(row.expected);
    }
}

void tst_PrivateProfile::read()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, defaultValue);
    QFETCH(QString, expected);
    writeFile(content);
    QCOMPARE(PrivateProfile::readString(section, key, defaultValue, ProfileReadCases::readBufferSize - 1, m_file),
             expected);
}

void tst_PrivateProfile::readCutsToMaxLength()
{
    writeFile("[Global]\nLong=" + QByteArray(300, 'x') + "\n");
    QCOMPARE(PrivateProfile::readString(QStringLiteral("Global"), QStringLiteral("Long"), {}, 256, m_file),
             QString(256, u'x'));
}

void tst_PrivateProfile::readOfMissingFileGivesDefault()
{
    QCOMPARE(
        PrivateProfile::readString(QStringLiteral("Global"), QStringLiteral("Key"), QStringLiteral("d"), 256, m_file),
        QStringLiteral("d"));
    QCOMPARE(PrivateProfile::readString(QStringLiteral("Global"), QStringLiteral("Key"), {}, 256, m_dir->path()),
             QString());
}

void tst_PrivateProfile::write_data()
{
    QTest::addColumn<QByteArray>("before"); // "<missing>": no file
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("new file") << QByteArray("<missing>") << "GLOBAL"
                              << "SUPPRESSSOUND"
                              << "TRUE" << QByteArray("[GLOBAL]\nSUPPRESSSOUND=TRUE\n");
    QTest::newRow("empty file") << QByteArray() << "GLOBAL"
                                << "SUPPRESSSOUND"
                                << "TRUE" << QByteArray("[GLOBAL]\nSUPPRESSSOUND=TRUE\n");
    QTest::newRow("replaced in place, names kept as written")
        << QByteArray("; my settings\r\n[Global]\r\nSuppressSound = FALSE\r\nOther=x\r\n\r\n"
                      "[More]\r\nA=1\r\n")
        << "GLOBAL"
        << "SUPPRESSSOUND"
        << "TRUE"
        << QByteArray("; my settings\r\n[Global]\r\nSuppressSound =TRUE\r\nOther=x\r\n\r\n"
                      "[More]\r\nA=1\r\n");
    QTest::newRow("key added at the end of its section, before the blank line")
        << QByteArray("[Global]\nOther=x\n\n[More]\nA=1\n") << "GLOBAL"
        << "SUPPRESSSOUND"
        << "TRUE" << QByteArray("[Global]\nOther=x\nSUPPRESSSOUND=TRUE\n\n[More]\nA=1\n");
    QTest::newRow("key added to a last line without end")
        << QByteArray("[global]\r\nOther=x") << "GLOBAL"
        << "SUPPRESSSOUND"
        << "FALSE" << QByteArray("[global]\r\nOther=x\r\nSUPPRESSSOUND=FALSE\r\n");
    QTest::newRow("section appended after the others")
        << QByteArray("[More]\r\nA=1") << "GLOBAL"
        << "SUPPRESSSOUND"
        << "TRUE" << QByteArray("[More]\r\nA=1\r\n[GLOBAL]\r\nSUPPRESSSOUND=TRUE\r\n");
    QTest::newRow("only the first repeated section changes") << QByteArray("[Global]\nK=1\n[Global]\nK=2\n") << "GLOBAL"
                                                             << "K"
                                                             << "3" << QByteArray("[Global]\nK=3\n[Global]\nK=2\n");
    QTest::newRow("empty value") << QByteArray("[Global]\nSuppressSound=TRUE\n") << "Global"
                                 << "SuppressSound"
                                 << "" << QByteArray("[Global]\nSuppressSound=\n");
    QTest::newRow("text outside sections and odd bytes kept")
        << QByteArray("\xef\xbb\xbfloose text\n[Global]\n\tkey\t=\t\xe4\n") << "Global"
        << "Key"
        << "v" << QByteArray("\xef\xbb\xbfloose text\n[Global]\n\tkey\t=v\n");
    QTest::newRow("names given with blanks around them find the entry")
        << QByteArray("[Global]\nSuppressSound=FALSE\n") << " Global\t"
        << " SuppressSound "
        << "TRUE" << QByteArray("[Global]\nSuppressSound=TRUE\n");
    QTest::newRow("a first section after a byte-order mark")
        << QByteArray("\xef\xbb\xbf[Global]\nSuppressSound=FALSE\n") << "GLOBAL"
        << "SUPPRESSSOUND"
        << "TRUE" << QByteArray("\xef\xbb\xbf[Global]\nSuppressSound=TRUE\n");

    QTest::newRow("CR alone: replaced in place") << QByteArray("[Global]\rSuppressSound=FALSE\rOther=1\r") << "GLOBAL"
                                                 << "SUPPRESSSOUND"
                                                 << "TRUE" << QByteArray("[Global]\rSuppressSound=TRUE\rOther=1\r");
    QTest::newRow("CR alone: key added, ending in CR")
        << QByteArray("[Global]\rOther=1") << "GLOBAL"
        << "SUPPRESSSOUND"
        << "TRUE" << QByteArray("[Global]\rOther=1\rSUPPRESSSOUND=TRUE\r");
    QTest::newRow("CR alone: section added, ending in CR")
        << QByteArray("[Other]\rA=1\r") << "GLOBAL"
        << "SUPPRESSSOUND"
        << "TRUE" << QByteArray("[Other]\rA=1\r[GLOBAL]\rSUPPRESSSOUND=TRUE\r");
    QTest::newRow("CR CR LF kept") << QByteArray("[Global]\r\r\nSuppressSound=FALSE\r\r\nOther=1\r\r\n") << "GLOBAL"
                                   << "SUPPRESSSOUND"
                                   << "TRUE" << QByteArray("[Global]\r\r\nSuppressSound=TRUE\r\r\nOther=1\r\r\n");

    const QString beyond8Bits = QStringLiteral("Name=\u00e4\u20ac\U0001F600\r\n");
    for (const bool little : {true, false}) {
        const char *const order = little ? "LE" : "BE";
        QTest::addRow("UTF-16 %s: replaced in place, other lines kept", order)
            << utf16(QStringLiteral("; x\r\n[Global]\r\n") + beyond8Bits
                         + QStringLiteral("SuppressSound=FALSE\r\nOther=1\r\n"),
                     little)
            << "GLOBAL"
            << "SUPPRESSSOUND"
            << "TRUE"
            << utf16(QStringLiteral("; x\r\n[Global]\r\n") + beyond8Bits
                         + QStringLiteral("SuppressSound=TRUE\r\nOther=1\r\n"),
                     little);
        QTest::addRow("UTF-16 %s: key added", order)
            << utf16(QStringLiteral("[Global]\r\nOther=1"), little) << "GLOBAL"
            << "SUPPRESSSOUND"
            << "TRUE" << utf16(QStringLiteral("[Global]\r\nOther=1\r\nSUPPRESSSOUND=TRUE\r\n"), little);
        QTest::addRow("UTF-16 %s: section added, ending in CR", order)
            << utf16(QStringLiteral("[Other]\rA=1\r"), little) << "GLOBAL"
            << "SUPPRESSSOUND"
            << "TRUE" << utf16(QStringLiteral("[Other]\rA=1\r[GLOBAL]\rSUPPRESSSOUND=TRUE\r"), little);
        QTest::addRow("UTF-16 %s: a byte-order mark alone", order)
            << utf16(QString(), little) << "GLOBAL"
            << "SUPPRESSSOUND"
            << "TRUE" << utf16(QStringLiteral("[GLOBAL]\nSUPPRESSSOUND=TRUE\n"), little);
        QTest::addRow("UTF-16 %s: a value beyond 8 bits", order)
            << utf16(QStringLiteral("[Global]\r\nName=x\r\n"), little) << "Global"
            << "Name" << QStringLiteral("\u00e4\u20ac\U0001F600")
            << utf16(QStringLiteral("[Global]\r\n") + beyond8Bits, little);
    }
    QTest::newRow("UTF-16 LE: an odd byte at the end stays at the end")
        << utf16(QStringLiteral("[Global]\r\nOther=1\r\n"), true) + 'x' << "GLOBAL"
        << "SUPPRESSSOUND"
        << "TRUE" << utf16(QStringLiteral("[Global]\r\nOther=1\r\nSUPPRESSSOUND=TRUE\r\n"), true) + 'x';

    QTest::newRow("key name alone is replaced")
        << QByteArray("[Global]\nSuppressSound\nSuppressSound=FALSE\n") << "GLOBAL"
        << "SUPPRESSSOUND"
        << "TRUE" << QByteArray("[Global]\nSuppressSound=TRUE\nSuppressSound=FALSE\n");
    QTest::newRow("key name alone with blanks is replaced")
        << QByteArray("[Global]\n SuppressSound \r\n") << "GLOBAL"
        << "SUPPRESSSOUND"
        << "TRUE" << QByteArray("[Global]\n SuppressSound =TRUE\r\n");
    QTest::newRow("key only in the second section of the name: added to the first")
        << QByteArray("[Global]\nA=1\n[Global]\nK=2\n") << "GLOBAL"
        << "K"
        << "3" << QByteArray("[Global]\nA=1\nK=3\n[Global]\nK=2\n");
    QTest::newRow("the value after a NUL goes with the value")
        << bytes("[Global]\nSuppressSound=TRUE\0junk\n"sv) << "GLOBAL"
        << "SUPPRESSSOUND"
        << "FALSE" << QByteArray("[Global]\nSuppressSound=FALSE\n");
    QTest::newRow("quoted value replaced") << QByteArray("[Global]\nSuppressSound = \"TRUE\" \n") << "GLOBAL"
                                           << "SUPPRESSSOUND"
                                           << "FALSE" << QByteArray("[Global]\nSuppressSound =FALSE\n");
}

void tst_PrivateProfile::write()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    if (before != "<missing>")
        writeFile(before);
    QVERIFY(PrivateProfile::writeString(section, key, value, m_file));
    QCOMPARE(readFile(), after);
    QCOMPARE(PrivateProfile::readString(section, key, QStringLiteral("default"), 256, m_file), value);
}

void tst_PrivateProfile::writeRefusesWhatWouldBreakTheFile_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("line break in value") << "Global"
                                         << "Key"
                                         << "TRUE\n[Other]";
    QTest::newRow("carriage return in key") << "Global"
                                            << "Ke\ry"
                                            << "TRUE";
    QTest::newRow("= in key") << "Global"
                              << "K=ey"
                              << "TRUE";
    QTest::newRow("] in section") << "Glo]bal"
                                  << "Key"
                                  << "TRUE";
    QTest::newRow("empty key") << "Global"
                               << " "
                               << "TRUE";
    QTest::newRow("empty section") << ""
                                   << "Key"
                                   << "TRUE";
    QTest::newRow("key that would read as a section") << "Global"
                                                      << " [Other]"
                                                      << "TRUE";
    QTest::newRow("NUL in value") << "Global"
                                  << "Key" << QStringLiteral("TR\0UE");
    QTest::newRow("NUL in key") << "Global" << QStringLiteral("K\0ey") << "TRUE";
    QTest::newRow("NUL in section") << QStringLiteral("Glo\0bal") << "Key"
                                    << "TRUE";
}

void tst_PrivateProfile::writeRefusesWhatWouldBreakTheFile()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QByteArray before = "[Global]\nKey=FALSE\n";
    writeFile(before);
    QVERIFY(!PrivateProfile::writeString(section, key, value, m_file));
    QCOMPARE(readFile(), before);
}

void tst_PrivateProfile::writeThatFailsLeavesNothingBehind()
{
    // A folder stands where the file should be: nothing can be written, and nothing is left.
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Vesperon.Ini")));
    QVERIFY(
        !PrivateProfile::writeString(QStringLiteral("GLOBAL"), QStringLiteral("K"), QStringLiteral("TRUE"), m_file));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList());

    // A file in a folder that does not exist.
    m_file = m_dir->filePath(QStringLiteral("missing/Vesperon.Ini"));
    QVERIFY(
        !PrivateProfile::writeString(QStringLiteral("GLOBAL"), QStringLiteral("K"), QStringLiteral("TRUE"), m_file));
}

void tst_PrivateProfile::unusablePlaces_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("settings file that is a folder") << "folder";
    QTest::newRow("program folder that is a file") << "under a file";
    QTest::newRow("program folder without write permission") << "read-only folder";
}

// Places where the settings file cannot be read or written: reading gives the default, a write
// reports whether it happened, and whatever else is there stays as it was.
void tst_PrivateProfile::unusablePlaces()
{
    QFETCH(QString, kind);
    QDir dir(m_dir->path());
    QString file;
    if (kind == QLatin1String("folder")) {
        file = dir.filePath(QStringLiteral("Vesperon.Ini"));
        QVERIFY(dir.mkdir(QStringLiteral("Vesperon.Ini")));
        QFile inside(file + QStringLiteral("/keep"));
        QVERIFY(inside.open(QIODevice::WriteOnly));
        inside.write("[Global]\nKey=x\n");
    } else if (kind == QLatin1String("under a file")) {
        QFile plain(dir.filePath(QStringLiteral("program")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("not a folder");
        file = dir.filePath(QStringLiteral("program/Vesperon.Ini"));
    } else {
        QVERIFY(dir.mkdir(QStringLiteral("program")));
        file = dir.filePath(QStringLiteral("program/Vesperon.Ini"));
        QFile settings(file);
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("; kept\n[Global]\nSuppressSound=FALSE\n");
        settings.close();
        QVERIFY(QFile::setPermissions(dir.filePath(QStringLiteral("program")),
                                      QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser));
    }

    const QString before = PrivateProfile::readString(QStringLiteral("Global"), QStringLiteral("SuppressSound"),
                                                      QStringLiteral("default"), 256, file);
    const bool written = PrivateProfile::writeString(QStringLiteral("GLOBAL"), QStringLiteral("SUPPRESSSOUND"),
                                                     QStringLiteral("TRUE"), file);
    const QString after = PrivateProfile::readString(QStringLiteral("Global"), QStringLiteral("SuppressSound"),
                                                     QStringLiteral("default"), 256, file);
    if (kind == QLatin1String("read-only folder")) {
        QCOMPARE(before, QStringLiteral("FALSE"));
        // The superuser may write anyway; either way the result tells what happened.
        QCOMPARE(after, written ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
        QFile settings(file);
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QVERIFY(settings.readAll().startsWith("; kept\n[Global]\n"));
        QFile::setPermissions(dir.filePath(QStringLiteral("program")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    } else {
        QCOMPARE(before, QStringLiteral("default"));
        QVERIFY(!written);
        QCOMPARE(after, QStringLiteral("default"));
    }
    if (kind == QLatin1String("folder")) {
        QVERIFY(QFileInfo(file).isDir());
        QFile inside(file + QStringLiteral("/keep"));
        QVERIFY(inside.open(QIODevice::ReadOnly));
        QCOMPARE(inside.readAll(), QByteArray("[Global]\nKey=x\n"));
    }
}

QTEST_GUILESS_MAIN(tst_PrivateProfile)
#include "tst_privateprofile.moc"
