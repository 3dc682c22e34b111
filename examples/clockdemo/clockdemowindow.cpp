// SPDX-License-Identifier: GPL-3.0-or-later
#include "clockdemowindow.h"

#include "controlregistry.h"
#include "tamselclock.h"
#include "valuerules.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTime>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A face picture like the program's: a soft disc with a ring, 500 by 500 pixels.
QImage facePicture()
{
    QImage picture(500, 500, QImage::Format_RGB32);
    picture.fill(QColor(0x40, 0, 0));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(250, 250, 250);
    glow.setColorAt(0.0, QColor(0x90, 0x20, 0x10));
    glow.setColorAt(1.0, QColor(0x40, 0, 0));
    p.setBrush(glow);
    p.setPen(QPen(QColor(0xC0, 0x40, 0), 8));
    p.drawEllipse(QPointF(250, 250), 200, 200);
    return picture;
}

} // namespace

ClockDemoWindow::ClockDemoWindow(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(tr("Analog clock"));

    QString error;
    m_clock =
        qobject_cast<TamselClock *>(ControlRegistry::instance().create(TamselClock::programmaticId(), this, &error));
    if (!m_clock)
        m_clock = new TamselClock(this);
    m_clock->setMinimumSize(358, 358);
    m_clock->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto *modes = new QGroupBox(tr("Mode"), this);
    m_realTime = new QRadioButton(tr("&Real time"), modes);
    m_stopwatch = new QRadioButton(tr("&Stopwatch"), modes);
    m_fixedTime = new QRadioButton(tr("&Fixed time"), modes);
    m_realTime->setChecked(true);

    m_start = new QPushButton(tr("S&tart"), modes);
    m_stop = new QPushButton(tr("St&op"), modes);
    m_reset = new QPushButton(tr("R&eset"), modes);
    m_stoppedTime = new QLabel(modes);
    m_stoppedTime->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_fixedTimeEdit = new QTimeEdit(QTime(10, 8, 37), modes);
    m_fixedTimeEdit->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    auto *showFixed = new QPushButton(tr("S&how"), modes);

    auto *ignoreErrors = new QCheckBox(tr("&Ignore errors (no message box)"), this);
    auto *programLook = new QCheckBox(tr("The &program's look"), this);

    m_log = new QPlainTextEdit(this);
    m_log->setReadOnly(true);
    m_log->setMinimumWidth(380);

    auto *stopwatchRow = new QHBoxLayout;
    stopwatchRow->addWidget(m_start);
    stopwatchRow->addWidget(m_stop);
    stopwatchRow->addWidget(m_reset);
    stopwatchRow->addWidget(m_stoppedTime, 1);
    auto *fixedRow = new QHBoxLayout;
    fixedRow->addWidget(m_fixedTimeEdit);
    fixedRow->addWidget(showFixed);
    fixedRow->addStretch();
    auto *modeLayout = new QVBoxLayout(modes);
    modeLayout->addWidget(m_realTime);
    modeLayout->addWidget(m_stopwatch);
    modeLayout->addLayout(stopwatchRow);
    modeLayout->addWidget(m_fixedTime);
    modeLayout->addLayout(fixedRow);

    auto *side = new QVBoxLayout;
    side->addWidget(modes);
    side->addWidget(ignoreErrors);
    side->addWidget(programLook);
    side->addWidget(new QLabel(tr("Events:"), this));
    side->addWidget(m_log, 1);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_clock, 0, Qt::AlignTop);
    layout->addLayout(side, 1);

    connect(m_realTime, &QRadioButton::clicked, this, [this] { m_clock->setShowActualTime(true); });
    connect(m_stopwatch, &QRadioButton::clicked, this, [this] { m_clock->setShowActualTime(false); });
    const auto showFixedTime = [this] {
        float seconds = float(m_fixedTimeEdit->time().msecsSinceStartOfDay() / 1000.0);
        m_clock->DisplayTime(seconds);
        m_fixedTime->setChecked(!m_clock->showActualTime());
    };
    connect(m_fixedTime, &QRadioButton::clicked, this, showFixedTime);
    connect(showFixed, &QPushButton::clicked, this, showFixedTime);
    connect(m_start, &QPushButton::clicked, m_clock, &TamselClock::StartClock);
    connect(m_stop, &QPushButton::clicked, m_clock, &TamselClock::StopClock);
    connect(m_reset, &QPushButton::clicked, this, [this] {
        m_clock->Reset();
        log(tr("Reset"));
    });
    connect(ignoreErrors, &QCheckBox::toggled, m_clock, &TamselClock::setIgnoreErrors);
    connect(programLook, &QCheckBox::toggled, this, &ClockDemoWindow::applyProgramLook);

    connect(m_clock, &TamselClock::Error, this,
            [this](qint16 &number, QString &message) { log(tr("Error %1: %2").arg(number).arg(message)); });
    connect(m_clock, &TamselClock::Started, this, [this](QDate &date, QString &seconds) {
        log(tr("Started %1 %2").arg(date.toString(Qt::ISODate), seconds));
    });
    connect(m_clock, &TamselClock::Stopped, this, [this](QDate &date, QString &seconds) {
        log(tr("Stopped %1 %2, stopped time %3").arg(date.toString(Qt::ISODate), seconds, m_clock->stoppedTime()));
    });
    connect(m_clock, &TamselClock::propertyChanged, this,
            [this](const QString &name) { log(tr("Property changed: %1").arg(name)); });
    // The refused mode switch leaves the clock as it was: show that in the buttons too.
    connect(m_clock, &TamselClock::propertyChanged, this, [this](const QString &name) {
        if (name == QLatin1String("ShowActualTime"))
            (m_clock->showActualTime() ? m_realTime : m_stopwatch)->setChecked(true);
    });

    auto *stoppedTimeTimer = new QTimer(this);
    connect(stoppedTimeTimer, &QTimer::timeout, this, &ClockDemoWindow::showStoppedTime);
    stoppedTimeTimer->start(50);
    showStoppedTime();
    if (!error.isEmpty())
        log(error);
}

ClockDemoWindow::~ClockDemoWindow() = default;

void ClockDemoWindow::log(const QString &line)
{
    m_log->appendPlainText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz  ")) + line);
}

void ClockDemoWindow::showStoppedTime()
{
    m_stoppedTime->setText(m_clock->stoppedTime());
}

void ClockDemoWindow::applyProgramLook(bool on)
{
    // The stored look of the clock in Vesperon's main window, or the control's defaults.
    const quint32 darkRed = ValueRules::rgbColor(0x40, 0, 0);
    m_clock->setBackColor(on ? darkRed : ValueRules::ButtonFace);
    m_clock->setFaceColor(on ? darkRed : ValueRules::ButtonFace);
    m_clock->setHourNeedleWidth(on ? 10 : 5);
    m_clock->setMinuteNeedleWidth(on ? 5 : 3);
    m_clock->setSecondNeedleWidth(on ? 2 : 1);
    m_clock->setUnitWidth(on ? 6 : 1);
    m_clock->setUnitColor(on ? ValueRules::rgbColor(255, 192, 128) : 0);
    m_clock->setMinuteNeedleLength(on ? 75 : 85);
    m_clock->setHourNeedleLength(on ? 48 : 50);
    m_clock->setSecondNeedleLength(on ? 86 : 90);
    m_clock->setMinuteColor(on ? ValueRules::rgbColor(192, 64, 0) : 0);
    m_clock->setSecondColor(on ? ValueRules::rgbColor(255, 128, 0) : 0);
    m_clock->setHourColor(on ? ValueRules::rgbColor(192, 64, 0) : 0);
    m_clock->setPicture(on ? facePicture() : QImage());
}
