// SPDX-License-Identifier: GPL-3.0-or-later
#include "clickandbrowse.h"

#ifndef Q_OS_WIN
#include "mimeassociations.h"
#endif

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Started
{
    QString program;
    QStringList arguments;
    friend bool operator==(const Started &a, const Started &b)
    {
        return a.program == b.program && a.arguments == b.arguments;
    }
};

bool writeFile(const QString &path, const QByteArray &content, bool executable = false)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        return false;
    if (executable)
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return true;
}

// Keeps the environment variables it changes and puts them back.
class EnvironmentGuard
{
public:
    ~EnvironmentGuard()
    {
        for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
            if (it.value().isNull())
                qunsetenv(it.key().constData());
            else
                qputenv(it.key().constData(), it.value());
        }
    }
    void set(const char *name, const QString &value)
    {
        if (!m_saved.contains(name))
            m_saved.insert(name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray());
        qputenv(name, value.toLocal8Bit());
    }

private:
    QMap<QByteArray, QByteArray> m_saved;
};

} // namespace

using FileList = QList<QPair<QString, QString>>;
Q_DECLARE_METATYPE(FileList)

class tst_ClickAndBrowse : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void splitCommand_data();
    void splitCommand();
    void fileExists_data();
    void fileExists();
    void browserFromCommand_data();
    void browserFromCommand();
#ifndef Q_OS_WIN
    void execArguments_data();
    void execArguments();
    void defaultHtmlHandler_data();
    void defaultHtmlHandler();
    void addressIsOneArgument_data();
    void addressIsOneArgument();
    void startsTheProgramForReal();
#endif

private:
    QString path(const QString &relative) const
    {
        return m_root->path() + QLatin1Char('/') + relative;
    }

    std::unique_ptr<QTemporaryDir> m_root;
    QList<Started> m_started;
};

void tst_ClickAndBrowse::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    m_started.clear();
#ifndef Q_OS_WIN
    ClickAndBrowse::setProcessStarter([this](const QString &program, const QStringList &arguments) {
        m_started.append({program, arguments});
        return true;
    });
#endif
}

void tst_ClickAndBrowse::cleanup()
{
#ifndef Q_OS_WIN
    ClickAndBrowse::setProcessStarter({});
#endif
    m_root.reset();
}

void tst_ClickAndBrowse::splitCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("pieces");

    QTest::newRow("quoted program, arguments")
        << R"("C:\Program Files\Web\browse.exe" -nohome "%1")"
        << QStringList{"", R"(C:\Program Files\Web\browse.exe)", " -nohome ", "%1", ""};
    QTest::newRow("no quotes") << "/usr/bin/browse --new %u" << QStringList{"/usr/bin/browse --new %u"};
    QTest::newRow("empty") << "" << QStringList{""};
    QTest::newRow("quotes next to each other") << R"(""x)" << QStringList{"", "", "x"};
    QTest::newRow("unbalanced quote") << R"("/usr/bin/browse %u)" << QStringList{"", "/usr/bin/browse %u"};
}

void tst_ClickAndBrowse::splitCommand()
{
    QFETCH(QString, command);
    QFETCH(QStringList, pieces);
    QCOMPARE(ClickAndBrowse::splitCommand(command), pieces);
}

void tst_ClickAndBrowse::fileExists_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("exists");
    QTest::newRow("program") << "Web Browser/browse" << true;
    QTest::newRow("empty file") << "empty" << true;
    QTest::newRow("no such file") << "Web Browser/missing" << false;
    QTest::newRow("folder") << "Web Browser" << false;
    QTest::newRow("command text") << "Web Browser/browse --new-window" << false;
}

void tst_ClickAndBrowse::fileExists()
{
    QFETCH(QString, relative);
    QFETCH(bool, exists);
    QVERIFY(writeFile(path("Web Browser/browse"), "#!/bin/sh\n", true));
    QVERIFY(writeFile(path("empty"), QByteArray()));
    QCOMPARE(ClickAndBrowse::FileExists(path(relative)), exists);
    QVERIFY(!ClickAndBrowse::FileExists(QString()));
}

// The command as the system stores it; ROOT stands for the test's folder, which has a program
// "Web Browser/browse" (blanks in its path) and "other".
void tst_ClickAndBrowse::browserFromCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("program");

    QTest::newRow("quoted path, blank, arguments") << R"("ROOT/Web Browser/browse" -osint -url "%1")"
                                                   << "ROOT/Web Browser/browse";
    QTest::newRow("quoted path alone") << R"("ROOT/other")"
                                       << "ROOT/other";
    QTest::newRow("path without quotes, with arguments") << "ROOT/other -url %1"
                                                         << "";
    QTest::newRow("path with blanks, without quotes") << "ROOT/Web Browser/browse %1"
                                                      << "";
    QTest::newRow("path without quotes, alone") << "ROOT/other"
                                                << "ROOT/other";
    QTest::newRow("nothing read (missing key, other value type)") << ""
                                                                  << "";
    QTest::newRow("quoted missing program, then an existing one") << R"("ROOT/missing" "ROOT/other")"
                                                                  << "ROOT/other";
    QTest::newRow("quoted folder") << R"("ROOT/Web Browser" %1)"
                                   << "";
}

void tst_ClickAndBrowse::browserFromCommand()
{
    QFETCH(QString, command);
    QFETCH(QString, program);
    QVERIFY(writeFile(path("Web Browser/browse"), "#!/bin/sh\n", true));
    QVERIFY(writeFile(path("other"), "#!/bin/sh\n", true));
    command.replace(QLatin1String("ROOT"), m_root->path());
    program.replace(QLatin1String("ROOT"), m_root->path());
    QCOMPARE(ClickAndBrowse::programFromCommand(command), program);
}

#ifndef Q_OS_WIN

void tst_ClickAndBrowse::execArguments_data()
{
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("plain") << "browse --new-window %u" << QStringList{"browse", "--new-window", "%u"};
    QTest::newRow("quoted path with blanks")
        << R"("/opt/Web Browser/browse" %U)" << QStringList{"/opt/Web Browser/browse", "%U"};
    QTest::newRow("escaped quote inside quotes")
        << R"(browse "--title=say \\"hi\\"")" << QStringList{"browse", R"(--title=say "hi")"};
    QTest::newRow("escaped blank in quotes") << R"("/opt/web\sbrowse" %u)" << QStringList{"/opt/web browse", "%u"};
    QTest::newRow("backslash in quotes") << R"("/opt/a\\\\b" %u)" << QStringList{R"(/opt/a\b)", "%u"};
    QTest::newRow("extra blanks") << "  browse   %u  " << QStringList{"browse", "%u"};
    QTest::newRow("empty") << "" << QStringList{};
}

void tst_ClickAndBrowse::execArguments()
{
    QFETCH(QString, exec);
    QFETCH(QStringList, arguments);
    QCOMPARE(MimeAssociations::execArguments(exec), arguments);
}

// Each case lays out user and system configuration and data folders (config/, etc1/, etc2/,
// data/, share1/, share2/) and a PATH folder bin/ with the programs "browse", "other" and
// "Web Browser/browse"; ROOT stands for the test's folder.
void tst_ClickAndBrowse::defaultHtmlHandler_data()
{
    QTest::addColumn<FileList>("files");
    QTest::addColumn<QString>("desktops");
    QTest::addColumn<QString>("program");

    const QString entry = QStringLiteral("[Desktop Entry]\nType=Application\nName=B\nExec=%1\n");
    const auto entryFor = [&entry](const QString &exec) { return entry.arg(exec); };
    const QString defaults = QStringLiteral("[Default Applications]\ntext/html=%1\n");

    QTest::newRow("user default, program found on PATH")
        << FileList{{"config/mimeapps.list", defaults.arg("browse.desktop;")},
                    {"data/applications/browse.desktop", entryFor("browse %u")}}
        << ""
        << "ROOT/bin/browse";
    QTest::newRow("absolute Exec path with blanks")
        << FileList{{"config/mimeapps.list", defaults.arg("web.desktop")},
                    {"share1/applications/web.desktop", entryFor(R"("ROOT/bin/Web Browser/browse" --new-window %u)")}}
        << ""
        << "ROOT/bin/Web Browser/browse";
    QTest::newRow("user configuration over the system's")
        << FileList{{"config/mimeapps.list", defaults.arg("other.desktop")},
                    {"etc1/mimeapps.list", defaults.arg("browse.desktop")},
                    {"share1/applications/browse.desktop", entryFor("browse %u")},
                    {"share1/applications/other.desktop", entryFor("other %u")}}
        << ""
        << "ROOT/bin/other";
    QTest::newRow("earlier system folder first")
        << FileList{{"etc1/mimeapps.list", defaults.arg("other.desktop")},
                    {"etc2/mimeapps.list", defaults.arg("browse.desktop")},
                    {"share1/applications/browse.desktop", entryFor("browse %u")},
                    {"share1/applications/other.desktop", entryFor("other %u")}}
        << ""
        << "ROOT/bin/other";
    QTest::newRow("desktop's own list first") << FileList{{"config/mimeapps.list", defaults.arg("browse.desktop")},
                                                          {"config/deskb-mimeapps.list", defaults.arg("other.desktop")},
                                                          {"share1/applications/browse.desktop", entryFor("browse %u")},
                                                          {"share1/applications/other.desktop", entryFor("other %u")}}
                                              << "DeskA:DeskB"
                                              << "ROOT/bin/other";
    QTest::newRow("list of another desktop ignored")
        << FileList{{"config/mimeapps.list", defaults.arg("browse.desktop")},
                    {"config/deskc-mimeapps.list", defaults.arg("other.desktop")},
                    {"share1/applications/browse.desktop", entryFor("browse %u")},
                    {"share1/applications/other.desktop", entryFor("other %u")}}
        << "DeskA"
        << "ROOT/bin/browse";
    QTest::newRow("uninstalled default passed over")
        << FileList{{"config/mimeapps.list", defaults.arg("gone.desktop;other.desktop;")},
                    {"share2/applications/other.desktop", entryFor("other %u")}}
        << ""
        << "ROOT/bin/other";
    QTest::newRow("hidden entry hides the system's")
        << FileList{{"config/mimeapps.list", defaults.arg("browse.desktop;other.desktop")},
                    {"data/applications/browse.desktop", entry.arg("browse %u") + "Hidden=true\n"},
                    {"share1/applications/browse.desktop", entryFor("browse %u")},
                    {"share1/applications/other.desktop", entryFor("other %u")}}
        << ""
        << "ROOT/bin/other";
    QTest::newRow("missing TryExec program")
        << FileList{{"config/mimeapps.list", defaults.arg("browse.desktop;other.desktop")},
                    {"share1/applications/browse.desktop", entry.arg("browse %u") + "TryExec=gone\n"},
                    {"share1/applications/other.desktop", entryFor("other %u")}}
        << ""
        << "ROOT/bin/other";
    QTest::newRow("desktop id naming a subfolder")
        << FileList{{"config/mimeapps.list", defaults.arg("vendor-browse.desktop")},
                    {"share1/applications/vendor/browse.desktop", entryFor("browse %u")}}
        << ""
        << "ROOT/bin/browse";
    QTest::newRow("added association when no default")
        << FileList{{"config/mimeapps.list", "[Added Associations]\ntext/html=other.desktop;\n"},
                    {"share1/applications/other.desktop", entryFor("other %u")}}
        << ""
        << "ROOT/bin/other";
    QTest::newRow("removed association passed over")
        << FileList{{"config/mimeapps.list", "[Removed Associations]\ntext/html=browse.desktop;\n"},
                    {"etc1/mimeapps.list", "[Added Associations]\ntext/html=browse.desktop;other.desktop;\n"},
                    {"share1/applications/browse.desktop", entryFor("browse %u")},
                    {"share1/applications/other.desktop", entryFor("other %u")}}
        << ""
        << "ROOT/bin/other";
    QTest::newRow("mime cache last") << FileList{{"share2/applications/mimeinfo.cache",
                                                  "[MIME Cache]\ntext/html=other.desktop;\n"},
                                                 {"share2/applications/other.desktop", entryFor("other %u")}}
                                     << ""
                                     << "ROOT/bin/other";
    QTest::newRow("other types only") << FileList{{"config/mimeapps.list",
                                                   "[Default Applications]\ntext/plain=browse.desktop\n"},
                                                  {"share1/applications/browse.desktop", entryFor("browse %u")}}
                                      << ""
                                      << "";
    QTest::newRow("program not on PATH") << FileList{{"config/mimeapps.list", defaults.arg("gone.desktop")},
                                                     {"share1/applications/gone.desktop",
                                                      entryFor("no-such-browser %u")}}
                                         << ""
                                         << "";
    QTest::newRow("no associations at all") << FileList{} << ""
                                            << "";
}

void tst_ClickAndBrowse::defaultHtmlHandler()
{
    QFETCH(FileList, files);
    QFETCH(QString, desktops);
    QFETCH(QString, program);

    for (const char *name : {"browse", "other", "Web Browser/browse"})
        QVERIFY(writeFile(path(QStringLiteral("bin/") + QLatin1String(name)), "#!/bin/sh\n", true));
    for (const auto &[relative, content] : std::as_const(files))
        QVERIFY(writeFile(path(relative), QString(content).replace("ROOT", m_root->path()).toUtf8()));

    EnvironmentGuard environment;
    environment.set("HOME", path("home"));
    environment.set("XDG_CONFIG_HOME", path("config"));
    environment.set("XDG_CONFIG_DIRS", path("etc1") + ':' + path("etc2"));
    environment.set("XDG_DATA_HOME", path("data"));
    environment.set("XDG_DATA_DIRS", path("share1") + ':' + path("share2"));
    environment.set("XDG_CURRENT_DESKTOP", desktops);
    environment.set("PATH", path("bin"));

    const QString address = QStringLiteral("https://example.org/");
    ClickAndBrowse::OpenInBrowser(address);

    program.replace(QLatin1String("ROOT"), m_root->path());
    if (program.isEmpty()) {
        QCOMPARE(m_started, QList<Started>{});
        QCOMPARE(ClickAndBrowse::browserCommand(), QString());
    } else {
        QCOMPARE(m_started, (QList<Started>{{program, {address}}}));
        QVERIFY(ClickAndBrowse::browserCommand().startsWith('"' + program + '"'));
    }
}

void tst_ClickAndBrowse::addressIsOneArgument_data()
{
    QTest::addColumn<QString>("address");
    QTest::newRow("plain") << "https://example.org/";
    QTest::newRow("blanks") << "https://example.org/a b c";
    QTest::newRow("shell characters") << "https://example.org/?a=1&b=2;rm -rf $HOME `x` \"q\" 'r'";
    QTest::newRow("empty") << "";
}

void tst_ClickAndBrowse::addressIsOneArgument()
{
    QFETCH(QString, address);
    QVERIFY(writeFile(path("bin/Web Browser/browse"), "#!/bin/sh\n", true));
    QVERIFY(writeFile(path("config/mimeapps.list"), "[Default Applications]\ntext/html=web.desktop\n"));
    QVERIFY(writeFile(path("data/applications/web.desktop"),
                      QStringLiteral("[Desktop Entry]\nType=Application\nExec=\"%1\" %u\n")
                          .arg(path("bin/Web Browser/browse"))
                          .toUtf8()));
    EnvironmentGuard environment;
    environment.set("XDG_CONFIG_HOME", path("config"));
    environment.set("XDG_CONFIG_DIRS", path("none"));
    environment.set("XDG_DATA_HOME", path("data"));
    environment.set("XDG_DATA_DIRS", path("none"));

    ClickAndBrowse::OpenInBrowser(address);
    QCOMPARE(m_started, (QList<Started>{{path("bin/Web Browser/browse"), {address}}}));
}

// The starter that the program uses: a real process, a stand-in for the browser that writes down
// its arguments, one to a line.
void tst_ClickAndBrowse::startsTheProgramForReal()
{
    ClickAndBrowse::setProcessStarter({});
    const QString record = path("arguments");
    QVERIFY(writeFile(path("bin/Web Browser/browse"),
                      QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"%1.part\" && mv \"%1.part\" \"%1\"\n")
                          .arg(record)
                          .toUtf8(),
                      true));
    QVERIFY(writeFile(path("config/mimeapps.list"), "[Default Applications]\ntext/html=web.desktop\n"));
    QVERIFY(writeFile(path("data/applications/web.desktop"),
                      QStringLiteral("[Desktop Entry]\nType=Application\nExec=\"%1\" --new-window %u\n")
                          .arg(path("bin/Web Browser/browse"))
                          .toUtf8()));
    EnvironmentGuard environment;
    environment.set("XDG_CONFIG_HOME", path("config"));
    environment.set("XDG_CONFIG_DIRS", path("none"));
    environment.set("XDG_DATA_HOME", path("data"));
    environment.set("XDG_DATA_DIRS", path("none"));

    ClickAndBrowse::OpenInBrowser(QStringLiteral("https://example.org/a b"));
    QTRY_VERIFY(QFile::exists(record));
    QFile file(record);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("1\nhttps://example.org/a b\n"));
}

#endif

QTEST_GUILESS_MAIN(tst_ClickAndBrowse)
#include "tst_clickandbrowse.moc"
