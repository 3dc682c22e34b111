// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmshutdown.h"
#include "ui_frmshutdown.h"

#include "appresources.h"
#include "commandline.h"
#include "countdownmath.h"
#include "fontfallbacks.h"
#include "frmsplash.h"
#include "sessionbackend.h"

#include <dateedit.h>
#include <hostedcontrol.h>
#include <imagelist.h>
#include <messageboxhook.h>
#include <perchlet.h>
#include <placeholderloader.h>
#include <spanfield.h>
#include <tamselclock.h>
#include <taskbarhint.h>
#include <timesource.h>
#include <valuerules.h>

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLayout>
#include <QScopeGuard>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>
#include <QWindow>

#include <cmath>
#include <limits>

namespace {
const QString Title = QStringLiteral("The Vesperon");
} // namespace

frmShutdown::frmShutdown(SessionBackend &session, SoundPlayer &player, const QString &programFolder, TimeSource *time,
                         QWidget *parent)
    : QMainWindow(parent,
                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                      | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , ui(std::make_unique<Ui::frmShutdown>())
    , m_session(session)
    , m_time(time ? time : TimeSource::system())
    , m_sound(player, this)
    , m_ini(programFolder)
    , m_programFolder(programFolder)
{
    AppResources::ensureLoaded();
    FontFallbacks::install();
    ui->setupUi(this);
    placeControls();

    connect(ui->menSound, &QAction::triggered, this, &frmShutdown::menSound_Click);
    connect(ui->menInfo, &QAction::triggered, this, &frmShutdown::menInfo_Click);
    connect(ui->menExit, &QAction::triggered, this, &frmShutdown::menExit_Click);
    // A caption of "-" stands for a separator, which shows only its line.
    for (QAction *separator : {ui->SeperatorB, ui->Seperator}) {
        separator->setSeparator(true);
        separator->setText(QString());
    }

    const std::array<std::pair<QPushButton *, void (frmShutdown::*)()>, 6> sessionButtons{{
        {ui->cmdLogoff, &frmShutdown::cmdLogoff_Click},
        {ui->cmdForceLogoff, &frmShutdown::cmdForceLogoff_Click},
        {ui->cmdShutdown, &frmShutdown::cmdShutdown_Click},
        {ui->cmdForceShutdown, &frmShutdown::cmdForceShutdown_Click},
        {ui->cmdRestart, &frmShutdown::cmdRestart_Click},
        {ui->cmdForceRestart, &frmShutdown::cmdForceRestart_Click},
    }};
    for (const auto &[button, handler] : sessionButtons)
        connect(button, &QPushButton::clicked, this, handler);

    m_optShutdown = {ui->optShutdown_0, ui->optShutdown_1, ui->optShutdown_2};
    for (int i = 0; i < 3; ++i) {
        connect(m_optShutdown[size_t(i)], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                optShutdown_Click(i);
        });
    }

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("timTControl"));
    connect(m_timer, &QTimer::timeout, this, &frmShutdown::timTControl_Timer);

    m_imlTray = new ImageList(this);
    m_imlTray->setObjectName(QStringLiteral("imlTray"));
    m_imlTray->add(QIcon(QStringLiteral(":/images/tray-natural.png")));
    m_imlTray->add(QIcon(QStringLiteral(":/images/tray-red.png")));
    m_sysTray = new Perchlet(this);
    m_sysTray->setObjectName(QStringLiteral("SysTray"));
    m_sysTray->setImagelist(m_imlTray);
    m_sysTray->setImagenumber(1);
    connect(m_sysTray, &Perchlet::IconEvent, this, [this](int &) { SysTray_IconEvent(); });
    // The window keeps its taskbar button unless its tray icon stands in a tray: never a lost window.
    connect(m_sysTray, &Perchlet::inTrayChanged, this,
            [this](bool inTray) { TaskbarHint::keepOutOfTaskbar(this, inTray); });

    ui->imgPistol->installEventFilter(this);

    // The end of the desktop session closes the window without a question.
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager &) { m_closeWithoutQuestion = true; });

    setWindowIcon(QIcon(QStringLiteral(":/images/tray-natural.png")));
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

frmShutdown::~frmShutdown() = default;

// The clock, the time entry and the date entry stand in the form as placeholders.
void frmShutdown::placeControls()
{
    QFont windowFont = font();
    windowFont.setPointSizeF(9.75);
    setFont(windowFont);
    for (QWidget *small : std::initializer_list<QWidget *>{
             ui->optShutdown_0, ui->optShutdown_1, ui->optShutdown_2, ui->cmdLogoff, ui->cmdForceLogoff,
             ui->cmdShutdown, ui->cmdForceShutdown, ui->cmdRestart, ui->cmdForceRestart, ui->txtHelp, ui->lblStatus}) {
        QFont smallFont = small->font();
        smallFont.setPointSizeF(8.25);
        small->setFont(smallFont);
    }

    QPalette client = ui->clientArea->palette();
    client.setColor(QPalette::Window, ValueRules::resolveColor(0x00000040));
    ui->clientArea->setPalette(client);
    // The lower panel is in the standard control colours, whatever the window around it has.
    QPalette standard = QApplication::palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = QPalette::ColorRole(role);
        if (r != QPalette::NoRole)
            standard.setColor(r, standard.color(r));
    }
    standard.setColor(QPalette::Window, standard.color(QPalette::Button));
    ui->frmdummy->setPalette(standard);
    QPalette remains = ui->lblRemains->palette();
    remains.setColor(QPalette::Window, ValueRules::resolveColor(0x00000040));
    remains.setColor(QPalette::WindowText, ValueRules::resolveColor(0x000080FF));
    ui->lblRemains->setPalette(remains);

    QString error;
    for (HostedControl *control : PlaceholderLoader::replacePlaceholders(this, &error)) {
        if (control->objectName() == QLatin1String("TamselClock"))
            m_clock = control;
        else if (control->objectName() == QLatin1String("TimeEdit"))
            m_timeEdit = control;
        else if (control->objectName() == QLatin1String("DateEdit"))
            m_dateEdit = control;
    }
    Q_ASSERT_X(m_clock && m_timeEdit && m_dateEdit, "frmShutdown", qPrintable(error));
    QFont entryFont(QStringLiteral("MS Sans Serif"));
    entryFont.setPointSizeF(8.25);
    entryFont.setResolveMask(QFont::AllPropertiesResolved);
    m_dateEdit->setFont(entryFont);

    // The controls came after the form: give them their place in the tab order.
    QWidget::setTabOrder(m_dateEdit, m_timeEdit);
    QWidget *last = m_timeEdit;
    for (QWidget *w = m_timeEdit->nextInFocusChain(); w != m_timeEdit && m_timeEdit->isAncestorOf(w);
         w = w->nextInFocusChain())
        last = w;
    QWidget::setTabOrder(last, ui->optShutdown_2);
    QWidget::setTabOrder(ui->optShutdown_2, ui->optShutdown_0);
    QWidget::setTabOrder(ui->optShutdown_0, ui->optShutdown_1);
}

void frmShutdown::load(const QString &argumentText)
{
    setWindowTitle(Title);
    const quint32 version = m_session.version();
    ui->txtHelp->setPlainText(CommandLine::helpText());
    if (version & 0x80000000u) {
        m_whichWindows32 = 0;
        ui->lblStatus->setText(QStringLiteral("Running Windows 95"));
    } else {
        m_whichWindows32 = 1;
        ui->lblStatus->setText(QStringLiteral("Running Windows NT"));
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

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        adjustSize();
        move(screen->availableGeometry().center() - rect().center());
    }
}

void frmShutdown::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_drawn && windowHandle())
        windowHandle()->installEventFilter(this);
}

void frmShutdown::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        activate();
    if (event->type() == QEvent::WindowStateChange && m_clock)
        m_clock->setPublishedProperty(TamselClock::Property::MinuteFineAdjust, !(windowState() & Qt::WindowMinimized));
}

void frmShutdown::activate()
{
    if (m_activated)
        return;
    m_activated = true;
    repaint();
    PlayWave(soundPath(QStringLiteral("shereIam.wav")), false);
    m_timeEdit->setFocus(Qt::OtherFocusReason);
}

QString frmShutdown::soundPath(const QString &name) const
{
    return m_programFolder + QStringLiteral("/sound/") + name;
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
    m_session.endSession(SessionBackend::LogOff, m_whichWindows32);
}

void frmShutdown::cmdForceLogoff_Click()
{
    m_session.endSession(SessionBackend::LogOff | SessionBackend::Force, m_whichWindows32);
}

void frmShutdown::cmdShutdown_Click()
{
    m_session.endSession(SessionBackend::ShutDown, m_whichWindows32);
}

void frmShutdown::cmdForceShutdown_Click()
{
    m_session.endSession(SessionBackend::ShutDown | SessionBackend::Force, m_whichWindows32);
}

void frmShutdown::cmdRestart_Click()
{
    m_session.endSession(SessionBackend::Reboot, m_whichWindows32);
}

void frmShutdown::cmdForceRestart_Click()
{
    m_session.endSession(SessionBackend::Reboot | SessionBackend::Force, m_whichWindows32);
}

void frmShutdown::loadSoundSetting()
{
    m_ini.setSettingsFilePath(m_programFolder + QStringLiteral("/Vesperon.Ini"));
    m_suppressSound = m_ini.ReadIniValue(QStringLiteral("Global"), QStringLiteral("SuppressSound")).toUpper()
        == QStringLiteral("TRUE");
    ui->menSound->setChecked(!m_suppressSound);
}

void frmShutdown::menSound_Click()
{
    // The action has already turned its check mark over.
    m_suppressSound = !ui->menSound->isChecked();
    m_ini.WriteIniValue(QStringLiteral("GLOBAL"), QStringLiteral("SUPPRESSSOUND"),
                        ui->menSound->isChecked() ? QStringLiteral("FALSE") : QStringLiteral("TRUE"));
}

void frmShutdown::InitDeadline()
{
    m_clock->setPublishedProperty(TamselClock::Property::ShowActualTime, true);
    ui->lblRemains->setText(QString());
    const CountdownMath::Proposal proposal = CountdownMath::proposeDeadline(m_time->currentDateTime());
    m_dateEdit->setPublishedProperty(DateEdit::Property::Value,
                                     QLocale().toString(proposal.date, QLocale::ShortFormat));
    m_timeEdit->setPublishedProperty(Spanfield::Property::SecondsPastMidnight, float(proposal.secondsPastMidnight));
}

void frmShutdown::setUpDisarmedLook()
{
    m_clock->setPublishedProperty(TamselClock::Property::Picture, imgSkull(0));
    m_sysTray->setImagenumber(1);
    m_sysTray->setToolTip(Title);
    m_sysTray->setShowIcon(true);
}

QImage frmShutdown::imgSkull(int index) const
{
    // Decoded when assigned, so that only the face the clock shows is held in memory.
    return QImage(index == 0 ? QStringLiteral(":/images/face-disarmed.png")
                             : QStringLiteral(":/images/face-armed.png"));
}

void frmShutdown::setTimerInterval(int milliseconds)
{
    // An interval of 0 stands for a timer that does not fire.
    if (milliseconds == 0)
        m_timer->stop();
    else
        m_timer->start(milliseconds);
}

void frmShutdown::optShutdown_Click(int index)
{
    if (index == 2) {
        m_sysTray->setImagenumber(1);
        setTimerInterval(0);
        m_clock->setPublishedProperty(TamselClock::Property::Picture, imgSkull(0));
        ui->imgPistol->hide();
        ui->lblRemains->setText(QString());
        repaint();
        PlayWave(soundPath(QStringLiteral("ssurvive.wav")), false);
        m_countdown.disarm();
        emit countdownChanged();
        emit disarmed();
        return;
    }
    m_countdown.arm();
    m_sysTray->setImagenumber(2);
    m_clock->setPublishedProperty(TamselClock::Property::Picture, imgSkull(1));
    ui->imgPistol->show();
    repaint();
    PlayWave(soundPath(QStringLiteral("skill.wav")), false);
    setTimerInterval(500);
    emit countdownChanged();
    emit armed(index == 0 ? Countdown::Action::ShutDown : Countdown::Action::Restart);
}

void frmShutdown::timTControl_Timer()
{
    if (m_inTimer)
        return;
    m_inTimer = true;
    const auto leave = qScopeGuard([this] { m_inTimer = false; });

    const QDateTime now = m_time->currentDateTime();
    const Countdown::Answer answer =
        m_countdown.tick({TimeSource::secondsPastMidnight(now), now.date(),
                          m_timeEdit->publishedProperty(Spanfield::Property::SecondsPastMidnight).toFloat(),
                          m_dateEdit->publishedProperty(DateEdit::Property::Value).toDate(),
                          ui->optShutdown_0->isChecked() ? Countdown::Action::ShutDown : Countdown::Action::Restart});
    if (answer.kind == Countdown::Answer::Skip)
        return;
    emit countdownChanged();
    if (answer.kind == Countdown::Answer::Refuse) {
        if (!m_noMessages)
            MessageBoxHook::show({this, Title, QStringLiteral("*** Invalid Date/Time-Entries! ***"),
                                  QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok});
        ui->optShutdown_2->setChecked(true);
        return;
    }

    if (!answer.text.isEmpty())
        ui->lblRemains->setText(answer.text);
    if (answer.trayImage != 0)
        m_sysTray->setImagenumber(answer.trayImage);
    if (answer.warning != Countdown::Warning::None)
        emit warningGiven(answer.warning);
    if (answer.warning == Countdown::Warning::ThreeMinutes)
        PlayWave(soundPath(QStringLiteral("s3mins.wav")), true);
    if (answer.warning == Countdown::Warning::OneMinute)
        PlayWave(soundPath(QStringLiteral("s1min.wav")), true);
    if (answer.kind == Countdown::Answer::CarryOut)
        ExecuteKillJob();
}

bool frmShutdown::isArmed() const
{
    return ui->optShutdown_0->isChecked() || ui->optShutdown_1->isChecked();
}

Countdown::Action frmShutdown::armedAction() const
{
    return ui->optShutdown_1->isChecked() ? Countdown::Action::Restart : Countdown::Action::ShutDown;
}

QDateTime frmShutdown::deadline() const
{
    const QDate date = m_dateEdit->publishedProperty(DateEdit::Property::Value).toDate();
    const double seconds =
        std::floor(double(m_timeEdit->publishedProperty(Spanfield::Property::SecondsPastMidnight).toFloat()));
    if (!date.isValid() || !std::isfinite(seconds))
        return {};
    const double days = std::floor(seconds / 86400.0);
    if (std::abs(days) > 3650000.0)
        return {};
    return QDateTime(date.addDays(qint64(days)),
                     QTime::fromMSecsSinceStartOfDay(int((seconds - days * 86400.0) * 1000.0)));
}

qint64 frmShutdown::remainingSeconds() const
{
    if (!isArmed())
        return -1;
    if (m_countdown.lngRemaining() >= 0)
        return m_countdown.lngRemaining();
    const QDateTime end = deadline();
    return end.isValid() ? qMax<qint64>(0, m_time->currentDateTime().secsTo(end)) : -1;
}

void frmShutdown::writeDeadline(const QDateTime &deadline)
{
    m_dateEdit->setPublishedProperty(DateEdit::Property::Value,
                                     QLocale().toString(deadline.date(), QLocale::ShortFormat));
    m_timeEdit->setPublishedProperty(Spanfield::Property::SecondsPastMidnight,
                                     float(deadline.time().msecsSinceStartOfDay() / 1000));
}

QString frmShutdown::armFor(Countdown::Action action, const QDateTime &deadline)
{
    const QDateTime now = m_time->currentDateTime();
    const QDateTime end = deadline.addMSecs(-deadline.time().msec());
    if (!end.isValid())
        return QStringLiteral("The deadline is not a date and time.");
    // The first tick comes half a second after arming and counts from the second it rounds to.
    if (now.msecsTo(end) < 1000)
        return QStringLiteral("The deadline %1 has passed.").arg(end.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    if (now.secsTo(end) > std::numeric_limits<qint32>::max())
        return QStringLiteral("The deadline %1 lies too far ahead.")
            .arg(end.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    writeDeadline(end);
    QRadioButton *option = action == Countdown::Action::ShutDown ? ui->optShutdown_0 : ui->optShutdown_1;
    // The option may be selected still after its action was carried out: arm it once more.
    if (option->isChecked() && !m_timer->isActive())
        optShutdown_Click(action == Countdown::Action::ShutDown ? 0 : 1);
    option->setChecked(true);
    emit countdownChanged();
    return {};
}

QString frmShutdown::postpone(qint64 seconds)
{
    const QDateTime end = deadline();
    if (!isArmed() || !m_timer->isActive() || !end.isValid())
        return QStringLiteral("Vesperon is not counting down.");
    if (seconds <= 0)
        return QStringLiteral("A deadline can only be postponed by a positive number of seconds.");
    const QDateTime later = end.addSecs(seconds);
    if (m_time->currentDateTime().secsTo(later) > std::numeric_limits<qint32>::max())
        return QStringLiteral("The deadline %1 lies too far ahead.")
            .arg(later.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    writeDeadline(later);
    m_countdown.postpone();
    emit countdownChanged();
    return {};
}

void frmShutdown::disarm()
{
    ui->optShutdown_2->setChecked(true);
}

void frmShutdown::bringForward()
{
    if (windowState() & Qt::WindowMinimized)
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void frmShutdown::resumedFromSleep()
{
    if (m_timer->isActive())
        timTControl_Timer();
}

void frmShutdown::ExecuteKillJob()
{
    setTimerInterval(0);
    emit countdownChanged();
    m_clock->setPublishedProperty(TamselClock::Property::ShowActualTime, false);
    const bool shutDown = ui->optShutdown_0->isChecked();
    ui->lblRemains->setText(shutDown ? QStringLiteral("SHUTDOWN!") : QStringLiteral("RESTARTING ..."));
    repaint();
    emit actionStarting();
    PlayWave(soundPath(QStringLiteral("s0mdown.wav")), true);
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    if (ui->optShutdown_0->isChecked())
        cmdForceShutdown_Click();
    if (ui->optShutdown_1->isChecked())
        cmdForceRestart_Click();
}

void frmShutdown::imgPistol_DblClick()
{
    const QMessageBox::StandardButton answer =
        MessageBoxHook::show({this, Title, QStringLiteral("Do you want me to do it right NOW?"), QMessageBox::Question,
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No});
    if (answer != QMessageBox::Yes)
        return;
    repaint();
    ExecuteKillJob();
}

bool frmShutdown::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->imgPistol && event->type() == QEvent::MouseButtonDblClick) {
        imgPistol_DblClick();
        return true;
    }
    if (watched == windowHandle() && event->type() == QEvent::Expose && !m_drawn && windowHandle()->isExposed()) {
        m_drawn = true;
        windowHandle()->removeEventFilter(this);
        // Qt draws the window while it handles this event: the signal comes once that is done.
        QMetaObject::invokeMethod(this, &frmShutdown::firstDrawn, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmShutdown::closeEvent(QCloseEvent *event)
{
    bool close = m_closeWithoutQuestion || !isArmed();
    if (!close) {
        close = MessageBoxHook::show({this, Title, QStringLiteral("Kill-Job is running! Do you want to cancel it?"),
                                      QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton})
            == QMessageBox::Yes;
    }
    if (!close) {
        event->ignore();
        return;
    }
    // A closed window ends the countdown with it, also while the program lingers on.
    setTimerInterval(0);
    event->accept();
}

void frmShutdown::menExit_Click()
{
    m_closeWithoutQuestion = true;
    close();
}

void frmShutdown::SysTray_IconEvent()
{
    if (!(windowState() & Qt::WindowMinimized))
        return;
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    lower();
    // A Wayland client can neither unminimise nor lower its window: activation brings it back, in front.
    if (QGuiApplication::platformName() == QLatin1String("wayland"))
        activateWindow();
}

void frmShutdown::menInfo_Click()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    frmSplash splash(this);
    QApplication::restoreOverrideCursor();
    splash.exec();
}
