// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindowfixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace MainWindowTest;

namespace {
constexpr quint32 Windows95 = 0x80000000u;
constexpr quint32 WindowsNT = 0x0A280105u;

// Counts the paint events of the widget it watches.
class PaintCounter final : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};
} // namespace

// The main window from its load to its first activation: caption, system family and help, the
// command-line switches and the session-end actions, the sound setting and PlayWave, the proposed
// deadline, the disarmed look, the layout and the focus.
class tst_WindowStartup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadSetsCaptionHelpAndFamily_data();
    void loadSetsCaptionHelpAndFamily();
    void switchesEndTheSessionDuringLoad_data();
    void switchesEndTheSessionDuringLoad();
    void sessionEndActions_data();
    void sessionEndActions();
    void proposedDeadline_data();
    void proposedDeadline();
    void disarmedAtStart();

    void soundSettingAtLoad_data();
    void soundSettingAtLoad();
    void soundMenuWritesTheSetting();

    void playWave_data();
    void playWave();
    void greetingOnFirstActivationOnly();
    void greetingSuppressed();
    void firstDrawnComesOnceAfterTheFirstPicture();
    void noMessagesSilencesTheSoundFailureBox_data();
    void noMessagesSilencesTheSoundFailureBox();
    void layoutAndFocus();
    void menuSeparatorsShowOnlyTheLine();

private:
    std::unique_ptr<frmShutdown> makeWindow(quint32 version = WindowsNT);
    void writeFile(const QString &relativePath, const QByteArray &content);
    QString sound(const QString &name) const;

    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<RecordingSessionBackend> m_session;
    std::unique_ptr<RecordingSoundPlayer> m_player;
    MessageBoxHook::Handler m_previousHandler;
    QList<MessageBoxRequest> m_boxes;
};

void tst_WindowStartup::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_player = std::make_unique<RecordingSoundPlayer>();
    m_boxes.clear();
    m_previousHandler = MessageBoxHook::setHandler([this](const MessageBoxRequest &request) {
        m_boxes.append(request);
        return QMessageBox::Ignore;
    });
}

void tst_WindowStartup::cleanup()
{
    MessageBoxHook::setHandler(std::move(m_previousHandler));
}

std::unique_ptr<frmShutdown> tst_WindowStartup::makeWindow(quint32 version)
{
    m_session = std::make_unique<RecordingSessionBackend>(version);
    return std::make_unique<frmShutdown>(*m_session, *m_player, m_folder->path());
}

void tst_WindowStartup::writeFile(const QString &relativePath, const QByteArray &content)
{
    const QString path = m_folder->filePath(relativePath);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

QString tst_WindowStartup::sound(const QString &name) const
{
    return m_folder->path() + QStringLiteral("/sound/") + name;
}

void tst_WindowStartup::loadSetsCaptionHelpAndFamily_data()
{
    QTest::addColumn<quint32>("version");
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("status");
    QTest::newRow("NT family") << WindowsNT << 1 << "Running Windows NT";
    QTest::newRow("95 family") << (Windows95 | 0x0A04u) << 0 << "Running Windows 95";
    QTest::newRow("no GetVersion: counts as NT") << 0u << 1 << "Running Windows NT";
}

void tst_WindowStartup::loadSetsCaptionHelpAndFamily()
{
    QFETCH(quint32, version);
    QFETCH(int, family);
    QFETCH(QString, status);
    const auto window = makeWindow(version);
    window->load(QString());
    QCOMPARE(window->windowTitle(), QStringLiteral("The Vesperon"));
    QCOMPARE(window->glngWhichWindows32(), family);
    QCOMPARE(window->property("glngWhichWindows32").toInt(), family);
    const auto *lblStatus = window->findChild<QLabel *>(QStringLiteral("lblStatus"));
    QVERIFY(lblStatus);
    QCOMPARE(lblStatus->text(), status);
    QVERIFY(lblStatus->isHidden());
    const auto *txtHelp = window->findChild<QPlainTextEdit *>(QStringLiteral("txtHelp"));
    QVERIFY(txtHelp);
    QVERIFY(txtHelp->isHidden());
    QVERIFY(txtHelp->toPlainText().startsWith(QStringLiteral("Parameters for Start:\n-1  ")));
    QVERIFY(txtHelp->toPlainText().endsWith(QStringLiteral("\n/NOMSG   Show no messages.")));
    QCOMPARE(m_session->summary(), std::string());
}

void tst_WindowStartup::switchesEndTheSessionDuringLoad_data()
{
    QTest::addColumn<QString>("argumentText");
    QTest::addColumn<quint32>("version");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no arguments") << "" << WindowsNT << "";
    QTest::newRow("-1") << "-1" << WindowsNT << "log off";
    QTest::newRow("-2") << "-2" << WindowsNT << "force log off";
    QTest::newRow("-3 NT") << "-3" << WindowsNT << "enable shutdown privilege, shut down";
    QTest::newRow("-3 95") << "-3" << Windows95 << "shut down";
    QTest::newRow("-4 NT") << "-4" << WindowsNT << "enable shutdown privilege, force shut down";
    QTest::newRow("-4 95") << "-4" << Windows95 << "force shut down";
    QTest::newRow("-12") << "-12" << WindowsNT << "log off";
    QTest::newRow("x-1y") << "x-1y" << WindowsNT << "log off";
    QTest::newRow("-3 -1: log off first") << "-3 -1" << WindowsNT << "log off, enable shutdown privilege, shut down";
    QTest::newRow("all four, backwards") << "-4 -3 -2 -1" << WindowsNT
                                         << "log off, force log off, enable shutdown privilege, shut down, "
                                            "enable shutdown privilege, force shut down";
    QTest::newRow("/NOMSG with -2") << "/NOMSG -2" << WindowsNT << "force log off";
}

void tst_WindowStartup::switchesEndTheSessionDuringLoad()
{
    QFETCH(QString, argumentText);
    QFETCH(quint32, version);
    QFETCH(QString, expected);
    const auto window = makeWindow(version);
    window->load(argumentText);
    QCOMPARE(QString::fromStdString(m_session->summary()), expected);
    // The load goes on after the actions: the sound setting is read.
    QCOMPARE(window->iniHandler().SettingsFilePath(), m_folder->path() + QStringLiteral("/Vesperon.Ini"));
}

void tst_WindowStartup::sessionEndActions_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<quint32>("version");
    QTest::addColumn<bool>("privilege");
    QTest::addColumn<quint32>("flags");

    const struct
    {
        const char *button;
        bool privilegeOnNT;
        quint32 flags;
    } actions[] = {
        {"cmdLogoff", false, 0},       {"cmdForceLogoff", false, 4}, {"cmdShutdown", true, 1},
        {"cmdForceShutdown", true, 5}, {"cmdRestart", true, 2},      {"cmdForceRestart", true, 6},
    };
    for (const auto &action : actions) {
        QTest::addRow("%s NT", action.button) << action.button << WindowsNT << action.privilegeOnNT << action.flags;
        QTest::addRow("%s 95", action.button) << action.button << Windows95 << false << action.flags;
    }
}

void tst_WindowStartup::sessionEndActions()
{
    QFETCH(QString, button);
    QFETCH(quint32, version);
    QFETCH(bool, privilege);
    QFETCH(quint32, flags);
    const auto window = makeWindow(version);
    window->load(QString());
    auto *command = window->findChild<QPushButton *>(button);
    QVERIFY(command);
    QVERIFY(command->isHidden());
    command->click();

    const std::vector<RecordingSessionBackend::Step> &steps = m_session->steps();
    QCOMPARE(steps.size(), size_t(privilege ? 2 : 1));
    if (privilege)
        QVERIFY(steps.front().privilege);
    QVERIFY(!steps.back().privilege);
    QCOMPARE(steps.back().flags, flags);
    QVERIFY(m_boxes.isEmpty());
}

void tst_WindowStartup::proposedDeadline_data()
{
    QTest::addColumn<QTime>("start");
    QTest::addColumn<int>("dayOffset");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("22:30") << QTime(22, 30) << 0 << QStringList{"23", "30", "00"};
    QTest::newRow("23:30") << QTime(23, 30) << 1 << QStringList{"00", "30", "00"};
    QTest::newRow("23:00") << QTime(23, 0) << 0 << QStringList{"00", "00", "00"};
}

void tst_WindowStartup::proposedDeadline()
{
    QFETCH(QTime, start);
    QFETCH(int, dayOffset);
    QFETCH(QStringList, fields);
    Fixture f(start);
    QCOMPARE(f.window->dateEdit()->property("Value").toDate(), Today.addDays(dayOffset));
    QStringList shown;
    for (int i = 1; i <= 3; ++i)
        shown.append(f.window->timeEdit()->findChild<QLineEdit *>(QStringLiteral("txtTime%1").arg(i))->text());
    QCOMPARE(shown, fields);
    QCOMPARE(f.window->tamselClock()->property("ShowActualTime").toBool(), true);
    QCOMPARE(f.remainsText(), QString());
}

void tst_WindowStartup::disarmedAtStart()
{
    Fixture f(QTime(12, 0));
    QVERIFY(f.option(2)->isChecked());
    QVERIFY(!f.window->timTControl()->isActive());
    QVERIFY(f.pistol()->isHidden());
    QCOMPARE(f.window->sysTray()->imagenumber(), qint16(1));
    QCOMPARE(f.window->sysTray()->toolTip(), QStringLiteral("The Vesperon"));
    QVERIFY(f.window->sysTray()->showIcon());
    QCOMPARE(f.window->imgSkull(0).size(), QSize(500, 500));
    QCOMPARE(f.window->imgSkull(1).size(), QSize(500, 500));
    QCOMPARE(f.window->tamselClock()->property("Picture").value<QImage>(), f.window->imgSkull(0));
    QCOMPARE(f.requests(), QString());
}

void tst_WindowStartup::soundSettingAtLoad_data()
{
    QTest::addColumn<QByteArray>("settings"); // "<missing>": no file
    QTest::addColumn<bool>("suppressed");

    QTest::newRow("true") << QByteArray("[Global]\nSuppressSound=true\n") << true;
    QTest::newRow("True") << QByteArray("[Global]\nSuppressSound=True\n") << true;
    QTest::newRow("TRUE, as the program writes it") << QByteArray("[GLOBAL]\r\nSUPPRESSSOUND=TRUE\r\n") << true;
    QTest::newRow("lower-case names by hand") << QByteArray("[global]\nsuppresssound=true\n") << true;
    QTest::newRow("TRUE with a blank behind, by hand") << QByteArray("[Global]\nSuppressSound=TRUE \n") << true;
    QTest::newRow("TRUE after a tab, by hand") << QByteArray("[Global]\r\nSuppressSound=\tTRUE\r\n") << true;
    QTest::newRow("yes") << QByteArray("[Global]\nSuppressSound=yes\n") << false;
    QTest::newRow("1") << QByteArray("[Global]\nSuppressSound=1\n") << false;
    QTest::newRow("empty") << QByteArray("[Global]\nSuppressSound=\n") << false;
    QTest::newRow("FALSE") << QByteArray("[Global]\nSuppressSound=FALSE\n") << false;
    QTest::newRow("no file") << QByteArray("<missing>") << false;
}

void tst_WindowStartup::soundSettingAtLoad()
{
    QFETCH(QByteArray, settings);
    QFETCH(bool, suppressed);
    if (settings != "<missing>")
        writeFile(QStringLiteral("Vesperon.Ini"), settings);
    writeFile(QStringLiteral("sound/skill.wav"), "RIFF....");

    const auto window = makeWindow();
    window->load(QString());
    QCOMPARE(window->blnSuppressSound(), suppressed);
    const auto *menSound = window->findChild<QAction *>(QStringLiteral("menSound"));
    QVERIFY(menSound);
    QCOMPARE(menSound->isChecked(), !suppressed);
    window->PlayWave(sound(QStringLiteral("skill.wav")), false);
    QCOMPARE(m_player->requests().size(), suppressed ? 0 : 1);
}

void tst_WindowStartup::soundMenuWritesTheSetting()
{
    const QString settings = m_folder->filePath(QStringLiteral("Vesperon.Ini"));
    writeFile(QStringLiteral("sound/skill.wav"), "RIFF....");
    {
        const auto window = makeWindow();
        window->load(QString());
        auto *menSound = window->findChild<QAction *>(QStringLiteral("menSound"));
        QVERIFY(menSound->isChecked());
        QVERIFY(!QFile::exists(settings));

        menSound->trigger();
        QVERIFY(!menSound->isChecked());
        QVERIFY(window->blnSuppressSound());
        QFile file(settings);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("[GLOBAL]\nSUPPRESSSOUND=TRUE\n"));
        window->PlayWave(sound(QStringLiteral("skill.wav")), false);
        QVERIFY(m_player->requests().isEmpty());
    }
    {
        // The choice survives a restart; switching sound on again writes FALSE.
        const auto window = makeWindow();
        window->load(QString());
        QVERIFY(window->blnSuppressSound());
        auto *menSound = window->findChild<QAction *>(QStringLiteral("menSound"));
        QVERIFY(!menSound->isChecked());
        menSound->trigger();
        QVERIFY(!window->blnSuppressSound());
        window->PlayWave(sound(QStringLiteral("skill.wav")), false);
        QCOMPARE(m_player->requests().size(), 1);
    }
    const auto window = makeWindow();
    window->load(QString());
    QVERIFY(!window->blnSuppressSound());
    QCOMPARE(window->iniHandler().ReadIniValue(QStringLiteral("global"), QStringLiteral("suppresssound")),
             QStringLiteral("FALSE"));
}

void tst_WindowStartup::playWave_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("wait");
    QTest::addColumn<bool>("played");

    QTest::newRow("waiting") << "sound/s1min.wav" << true << true;
    QTest::newRow("not waiting") << "sound/skill.wav" << false << true;
    QTest::newRow("empty file") << "sound/empty.wav" << true << false;
    QTest::newRow("missing file") << "sound/missing.wav" << true << false;
    QTest::newRow("missing folder") << "nowhere/s1min.wav" << true << false;
    QTest::newRow("a folder") << "sound" << true << false;
}

void tst_WindowStartup::playWave()
{
    QFETCH(QString, file);
    QFETCH(bool, wait);
    QFETCH(bool, played);
    writeFile(QStringLiteral("sound/s1min.wav"), "RIFF....");
    writeFile(QStringLiteral("sound/skill.wav"), "RIFF....");
    writeFile(QStringLiteral("sound/empty.wav"), QByteArray());

    const auto window = makeWindow();
    window->load(QString());
    const QString path = m_folder->path() + u'/' + file;
    window->PlayWave(path, wait);
    QCOMPARE(m_player->requests().size(), played ? 1 : 0);
    if (played) {
        QCOMPARE(m_player->requests().constFirst().path, path);
        QCOMPARE(m_player->requests().constFirst().wait, wait);
    }
    QVERIFY(m_boxes.isEmpty());
}

void tst_WindowStartup::greetingOnFirstActivationOnly()
{
    writeFile(QStringLiteral("sound/shereIam.wav"), "RIFF....");
    const auto window = makeWindow();
    window->load(QString());
    QVERIFY(m_player->requests().isEmpty());

    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCOMPARE(m_player->requests().size(), 1);
    QCOMPARE(m_player->requests().constFirst().path, sound(QStringLiteral("shereIam.wav")));
    QVERIFY(!m_player->requests().constFirst().wait);

    // Another window in front and back again, minimised and restored: no second greeting.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->showMinimized();
    window->showNormal();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCOMPARE(m_player->requests().size(), 1);
}

void tst_WindowStartup::greetingSuppressed()
{
    writeFile(QStringLiteral("Vesperon.Ini"), "[Global]\nSuppressSound=TRUE\n");
    writeFile(QStringLiteral("sound/shereIam.wav"), "RIFF....");
    const auto window = makeWindow();
    window->load(QString());
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QVERIFY(m_player->requests().isEmpty());
}

void tst_WindowStartup::firstDrawnComesOnceAfterTheFirstPicture()
{
    const auto window = makeWindow();
    window->load(QString());
    PaintCounter face;
    window->tamselClock()->findChild<QWidget *>(QStringLiteral("picMain"))->installEventFilter(&face);
    int facePaintsAtSignal = -1;
    connect(window.get(), &frmShutdown::firstDrawn, this, [&] { facePaintsAtSignal = face.paints; });
    QSignalSpy drawn(window.get(), &frmShutdown::firstDrawn);

    window->show();
    QVERIFY(drawn.wait());
    QVERIFY(facePaintsAtSignal > 0);

    window->showMinimized();
    window->showNormal();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTest::qWait(50);
    QCOMPARE(drawn.size(), 1);
}

void tst_WindowStartup::noMessagesSilencesTheSoundFailureBox_data()
{
    QTest::addColumn<QString>("argumentText");
    QTest::addColumn<int>("boxes");
    QTest::newRow("messages") << "" << 1;
    QTest::newRow("/NOMSG") << "/NOMSG" << 0;
}

void tst_WindowStartup::noMessagesSilencesTheSoundFailureBox()
{
    QFETCH(QString, argumentText);
    QFETCH(int, boxes);
    writeFile(QStringLiteral("sound/skill.wav"), "RIFF....");
    const auto window = makeWindow();
    window->load(argumentText);
    QCOMPARE(window->blnNoMessages(), boxes == 0);
    m_player->failNext(1, {7, QStringLiteral("no audio")});
    window->PlayWave(sound(QStringLiteral("skill.wav")), false);
    QCOMPARE(m_boxes.size(), boxes);
    QCOMPARE(m_player->requests().size(), 1);
}

void tst_WindowStartup::layoutAndFocus()
{
    Fixture f(QTime(10, 0));
    f.window->show();
    QApplication::setActiveWindow(f.window.get());
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QCOMPARE(f.window->centralWidget()->size(), QSize(406, 544));
    QCOMPARE(f.window->tamselClock()->geometry(), QRect(24, 15, 358, 358));
    QVERIFY(f.window->size().width() == 406);
    // The first activation greets and puts the focus into the hours of the time entry.
    QCOMPARE(f.played(), QStringList{QStringLiteral("shereIam.wav")});
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtTime1"));

    // Tab runs through the date entry, the time fields and the selected option; the hidden panel
    // and the unselected options never take the focus.
    // (Inside the date entry Tab first steps through day, month and year.)
    QStringList order;
    for (int i = 0; i < 12 && order.size() < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focus = QApplication::focusWidget();
        const QString name =
            f.window->dateEdit()->isAncestorOf(focus) ? QStringLiteral("DateEdit") : focus->objectName();
        if (order.isEmpty() || order.last() != name)
            order.append(name);
    }
    QCOMPARE(order,
             (QStringList{"txtTime2", "txtTime3", "optShutdown_2", "DateEdit", "txtTime1", "txtTime2", "txtTime3",
                          "optShutdown_2"}));
    for (const char *hidden : {"cmdLogoff", "cmdForceShutdown", "txtHelp", "lblStatus"})
        QVERIFY(f.window->findChild<QWidget *>(QLatin1String(hidden))->isHidden());
}

void tst_WindowStartup::menuSeparatorsShowOnlyTheLine()
{
    Fixture f(QTime(10, 0));
    auto *options = f.window->findChild<QMenu *>(QStringLiteral("menOptions"));
    QVERIFY(options);
    // The same menu drawn with plain separators, which carry no caption.
    QMenu plain;
    plain.setFont(options->font());
    for (QAction *action : options->actions()) {
        if (action->isSeparator()) {
            plain.addSeparator();
            continue;
        }
        QAction *copy = plain.addAction(action->text());
        copy->setCheckable(action->isCheckable());
        copy->setChecked(action->isChecked());
    }
    options->adjustSize();
    plain.adjustSize();
    QCOMPARE(options->size(), plain.size());
    QCOMPARE(options->grab().toImage(), plain.grab().toImage());
}

QTEST_MAIN(tst_WindowStartup)
#include "tst_windowstartup.moc"
