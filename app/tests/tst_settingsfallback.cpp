// SPDX-License-Identifier: GPL-3.0-or-later
#include "inihandler.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

// The settings of an installed Vesperon, whose program folder its user cannot write: a real
// read-only folder on disk. Started as root, the test runs in a child process that has given up
// root for good, since root writes into read-only folders.
class tst_SettingsFallback : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void writableFolderKeepsTheFileBesideTheProgram();
    void readOnlyFolderWithoutFile();
    void readOnlyFolderReadsItsFileUntilTheFirstWrite();
    void userCopyWinsOnceItExists();
    void readOnlyFolderWithTheFileNamedInCapitals();
    void defaultUserCopyIsInTheUsersConfiguration();

private:
    void writeFile(const QString &path, const QByteArray &content);
    QByteArray fileContent(const QString &path) const;
    void makeProgramFolderReadOnly();

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_programFolder;
    QString m_settingsFile;
    QString m_userFile;
    std::unique_ptr<IniHandler> m_ini;
};

void tst_SettingsFallback::initTestCase()
{
    QVERIFY(::geteuid() != 0);
}

void tst_SettingsFallback::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_programFolder = m_dir->filePath(QStringLiteral("lib/vesperon"));
    QVERIFY(QDir().mkpath(m_programFolder));
    m_settingsFile = m_programFolder + QStringLiteral("/Vesperon.Ini");
    m_userFile = m_dir->filePath(QStringLiteral("home/.config/Vesperon/Vesperon.Ini"));
    m_ini = std::make_unique<IniHandler>(m_programFolder);
    m_ini->setSettingsFilePath(m_settingsFile);
    m_ini->setUserFilePath(m_userFile);
}

void tst_SettingsFallback::cleanup()
{
    // Let the temporary folder go again.
    QFile::setPermissions(m_programFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void tst_SettingsFallback::writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

QByteArray tst_SettingsFallback::fileContent(const QString &path) const
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void tst_SettingsFallback::makeProgramFolderReadOnly()
{
    QVERIFY(QFile::setPermissions(m_programFolder,
                                  QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
    QFile probe(m_programFolder + QStringLiteral("/probe"));
    QVERIFY(!probe.open(QIODevice::WriteOnly));
}

void tst_SettingsFallback::writableFolderKeepsTheFileBesideTheProgram()
{
    QVERIFY(m_ini->WriteIniValue(QStringLiteral("GLOBAL"), QStringLiteral("SUPPRESSSOUND"), QStringLiteral("TRUE")));
    QCOMPARE(fileContent(m_settingsFile), QByteArray("[GLOBAL]\nSUPPRESSSOUND=TRUE\n"));
    QVERIFY(!QFile::exists(m_userFile));
    QCOMPARE(m_ini->effectiveFilePath(), m_settingsFile);
    QCOMPARE(m_ini->ReadIniValue(QStringLiteral("Global"), QStringLiteral("SuppressSound")), QStringLiteral("TRUE"));
}

void tst_SettingsFallback::readOnlyFolderWithoutFile()
{
    makeProgramFolderReadOnly();
    QCOMPARE(m_ini->ReadIniValue(QStringLiteral("Global"), QStringLiteral("SuppressSound")), QString());

    // The setting is kept, in the user's copy, and read back from there.
    QVERIFY(m_ini->WriteIniValue(QStringLiteral("GLOBAL"), QStringLiteral("SUPPRESSSOUND"), QStringLiteral("TRUE")));
    QVERIFY(!QFile::exists(m_settingsFile));
    QCOMPARE(fileContent(m_userFile), QByteArray("[GLOBAL]\nSUPPRESSSOUND=TRUE\n"));
    QCOMPARE(m_ini->effectiveFilePath(), m_userFile);
    QCOMPARE(m_ini->ReadIniValue(QStringLiteral("Global"), QStringLiteral("SuppressSound")), QStringLiteral("TRUE"));

    QVERIFY(m_ini->WriteIniValue(QStringLiteral("GLOBAL"), QStringLiteral("SUPPRESSSOUND"), QStringLiteral("FALSE")));
    QCOMPARE(m_ini->ReadIniValue(QStringLiteral("Global"), QStringLiteral("SuppressSound")), QStringLiteral("FALSE"));
}

void tst_SettingsFallback::readOnlyFolderReadsItsFileUntilTheFirstWrite()
{
    const QByteArray shipped("; set up by the administrator\r\n[Global]\r\nSuppressSound=TRUE\r\n"
                             "[Other]\r\nKept=1\r\n");
    writeFile(m_settingsFile, shipped);
    QVERIFY(QFile::setPermissions(m_settingsFile, QFile::ReadOwner | QFile::ReadOther));
    makeProgramFolderReadOnly();

    QCOMPARE(m_ini->effectiveFilePath(), m_settingsFile);
    QCOMPARE(m_ini->ReadIniValue(QStringLiteral("Global"), QStringLiteral("SuppressSound")), QStringLiteral("TRUE"));

    QVERIFY(m_ini->WriteIniValue(QStringLiteral("GLOBAL"), QStringLiteral("SUPPRESSSOUND"), QStringLiteral("FALSE")));
    QCOMPARE(fileContent(m_settingsFile), shipped);
    QCOMPARE(fileContent(m_userFile),
             QByteArray("; set up by the administrator\r\n[Global]\r\nSuppressSound=FALSE\r\n"
                        "[Other]\r\nKept=1\r\n"));
    QVERIFY(QFileInfo(m_userFile).isWritable());
    QCOMPARE(m_ini->ReadIniValue(QStringLiteral("Global"), QStringLiteral("SuppressSound")), QStringLiteral("FALSE"));
    QCOMPARE(m_ini->ReadIniValue(QStringLiteral("Other"), QStringLiteral("Kept")), QStringLiteral("1"));
}

void tst_SettingsFallback::userCopyWinsOnceItExists()
{
    writeFile(m_settingsFile, "[Global]\nSuppressSound=TRUE\n");
    QVERIFY(QDir().mkpath(QFileInfo(m_userFile).absolutePath()));
    writeFile(m_userFile, "[Global]\nSuppressSound=FALSE\n");
    makeProgramFolderReadOnly();

    QCOMPARE(m_ini->ReadIniValue(QStringLiteral("Global"), QStringLiteral("SuppressSound")), QStringLiteral("FALSE"));
}

// Carried over from Windows as VESPERON.INI: read from there, and the user copy starts from it.
void tst_SettingsFallback::readOnlyFolderWithTheFileNamedInCapitals()
{
    const QString shipped = m_programFolder + QStringLiteral("/VESPERON.INI");
    writeFile(shipped, "[GLOBAL]\r\nSUPPRESSSOUND=TRUE\r\n[Other]\r\nKept=1\r\n");
    makeProgramFolderReadOnly();

    QCOMPARE(m_ini->effectiveFilePath(), shipped);
    QCOMPARE(m_ini->ReadIniValue(QStringLiteral("Global"), QStringLiteral("SuppressSound")), QStringLiteral("TRUE"));

    QVERIFY(m_ini->WriteIniValue(QStringLiteral("GLOBAL"), QStringLiteral("SUPPRESSSOUND"), QStringLiteral("FALSE")));
    QCOMPARE(fileContent(shipped), QByteArray("[GLOBAL]\r\nSUPPRESSSOUND=TRUE\r\n[Other]\r\nKept=1\r\n"));
    QCOMPARE(fileContent(m_userFile), QByteArray("[GLOBAL]\r\nSUPPRESSSOUND=FALSE\r\n[Other]\r\nKept=1\r\n"));
    QCOMPARE(m_ini->ReadIniValue(QStringLiteral("Global"), QStringLiteral("SuppressSound")), QStringLiteral("FALSE"));
}

void tst_SettingsFallback::defaultUserCopyIsInTheUsersConfiguration()
{
    const IniHandler ini(m_programFolder);
    QCOMPARE(ini.userFilePath(),
             QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/Vesperon.Ini"));
}

namespace {
int runTests(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    tst_SettingsFallback test;
    return QTest::qExec(&test, argc, argv);
}
} // namespace

int main(int argc, char *argv[])
{
    if (::geteuid() != 0)
        return runTests(argc, argv);

    const pid_t child = ::fork();
    if (child < 0)
        return 1;
    if (child > 0) {
        int status = 0;
        if (::waitpid(child, &status, 0) != child)
            return 1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    }
    constexpr gid_t nogroup = 65534;
    constexpr uid_t nobody = 65534;
    if (::setgroups(0, nullptr) != 0 || ::setgid(nogroup) != 0 || ::setuid(nobody) != 0)
        ::_exit(1);
    const int result = runTests(argc, argv);
    std::fflush(nullptr);
    // The parent's exit handlers (and checks) are the parent's alone.
    ::_exit(result);
}

#include "tst_settingsfallback.moc"
