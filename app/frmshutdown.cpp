// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmshutdown.h"

#include "commandline.h"
#include "sessionbackend.h"

#include <QAction>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmShutdown::frmShutdown(SessionBackend &session, SoundPlayer &player,
                         const QString &programFolder, QWidget *parent)
    : QWidget(parent)
    , m_session(session)
    , m_sound(player, this)
    , m_ini(programFolder)
    , m_programFolder(programFolder)
{
    setObjectName(QStringLiteral("frmShutdown"));

    m_menuBar = new QMenuBar(this);
    m_menOptions = m_menuBar->addMenu(tr("&Options"));
    m_menOptions->setObjectName(QStringLiteral("menOptions"));
    m_menSound = m_menOptions->addAction(tr("&Sound"));
    m_menSound->setObjectName(QStringLiteral("menSound"));
    m_menSound->setCheckable(true);
    connect(m_menSound, &QAction::triggered, this, &frmShutdown::menSound_Click);

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(m_menuBar);

    m_txtHelp = new QPlainTextEdit(this);
    m_txtHelp->setObjectName(QStringLiteral("txtHelp"));
    m_txtHelp->setReadOnly(true);
    m_txtHelp->hide();

    m_lblStatus = new QLabel(this);
    m_lblStatus->setObjectName(QStringLiteral("lblStatus"));
    m_lblStatus->hide();

    // The session-end buttons are never shown; the switches and the deadline press them.
    addSessionButton(QStringLiteral("cmdLogoff"), tr("Log Off"), &frmShutdown::cmdLogoff_Click);
    addSessionButton(QStringLiteral("cmdForceLogoff"), tr("Force Log Off"),
                     &frmShutdown::cmdForceLogoff_Click);
    addSessionButton(QStringLiteral("cmdShutdown"), tr("Shut Down"),
                     &frmShutdown::cmdShutdown_Click);
    addSessionButton(QStringLiteral("cmdForceShutdown"), tr("Force Shut Down"),
                     &frmShutdown::cmdForceShutdown_Click);
    addSessionButton(QStringLiteral("cmdRestart"), tr("Restart"), &frmShutdown::cmdRestart_Click);
    addSessionButton(QStringLiteral("cmdForceRestart"), tr("Force Restart"),
                     &frmShutdown::cmdForceRestart_Click);
}

frmShutdown::~frmShutdown() = default;

void frmShutdown::addSessionButton(const QString &name, const QString &caption,
                                    void (frmShutdown::*handler)())
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->hide();
    connect(button, &QPushButton::clicked, this, handler);
}

void frmShutdown::load(const QString &argumentText)
{
    setWindowTitle(QStringLiteral("The Vesperon"));
    const quint32 version = m_session.version();
    m_txtHelp->setPlainText(CommandLine::helpText());
    if (version & 0x80000000u) {
        m_whichWindows32 = 0;
        m_lblStatus->setText(QStringLiteral("Running Windows 95"));
    } else {
        m_whichWindows32 = 1;
        m_lblStatus->setText(QStringLiteral("Running Windows NT"));
    }

    const CommandLine::Switches switches = CommandLine::parse(argumentText);
    m_noMessages = switches.noMessages;
    m_sound.setMessagesShown(!m_noMessages);
    if (switches.logOff)
        cmdLogoff_Click();
    if (switches.forceLogOff)
        cmdForceLogoff_Click();
    if (switches.shutDown)
        cmdShutdown_Click();
    if (switches.forceShutDown)
        cmdForceShutdown_Click();

    loadSoundSetting();
    InitDeadline();
    setUpDisarmedLook();
}

void frmShutdown::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        activate();
}

void frmShutdown::activate()
{
    if (m_activated)
        return;
    m_activated = true;
    repaint();
    PlayWave(m_programFolder + QStringLiteral("/sound/shereIam.wav"), false);
    focusTimeEntry();
}

void frmShutdown::PlayWave(const QString &path, bool wait)
{
    if (m_suppressSound)
        return;
    // A folder or an unreadable path counts as an empty file.
    const QFileInfo file(path);
    const qint64 length = file.isFile() ? file.size() : 0;
    if (length > 0)
        m_sound.Playsound(path, wait);
}

void frmShutdown::cmdLogoff_Click()
{
    endSession(SessionBackend::LogOff, false);
}

void frmShutdown::cmdForceLogoff_Click()
{
    endSession(SessionBackend::LogOff | SessionBackend::Force, false);
}

void frmShutdown::cmdShutdown_Click()
{
    endSession(SessionBackend::ShutDown, true);
}

void frmShutdown::cmdForceShutdown_Click()
{
    endSession(SessionBackend::ShutDown | SessionBackend::Force, true);
}

void frmShutdown::cmdRestart_Click()
{
    endSession(SessionBackend::Reboot, true);
}

void frmShutdown::cmdForceRestart_Click()
{
    endSession(SessionBackend::Reboot | SessionBackend::Force, true);
}

void frmShutdown::EnableShutdownPrivilege()
{
    m_session.enableShutdownPrivilege();
}

void frmShutdown::endSession(quint32 flags, bool privilegeFirst)
{
    if (privilegeFirst && m_whichWindows32 == 1)
        EnableShutdownPrivilege();
    m_session.exitWindows(flags);
}

void frmShutdown::loadSoundSetting()
{
    m_ini.setSettingsFilePath(m_programFolder + QStringLiteral("/Vesperon.Ini"));
    m_suppressSound = m_ini.ReadIniValue(QStringLiteral("Global"), QStringLiteral("SuppressSound"))
                          .toUpper()
        == QStringLiteral("TRUE");
    m_menSound->setChecked(!m_suppressSound);
}

void frmShutdown::menSound_Click()
{
    // The action has already turned its check mark over.
    m_suppressSound = !m_menSound->isChecked();
    m_ini.WriteIniValue(QStringLiteral("GLOBAL"), QStringLiteral("SUPPRESSSOUND"),
                        m_menSound->isChecked() ? QStringLiteral("FALSE") : QStringLiteral("TRUE"));
}

void frmShutdown::InitDeadline()
{
}

void frmShutdown::setUpDisarmedLook()
{
}

void frmShutdown::focusTimeEntry()
{
}
