// SPDX-License-Identifier: GPL-3.0-or-later
#include "tamselclock.h"

#include "clockmath.h"
#include "controlregistry.h"
#include "facesurface.h"
#include "messageboxhook.h"
#include "propertybag.h"
#include "quillory.h"
#include "timesource.h"
#include "valuerules.h"

#include <QBuffer>
#include <QResizeEvent>
#include <QTimer>

#include <cmath>
#include <limits>

namespace {

const ControlRegistration registration(TamselClock::programmaticId(),
                                       [](QWidget *parent) { return new TamselClock(parent); });

constexpr int MinutesInterval = 15000;
// Past the start of a second, so that the tick finds the new second even when the wall clock runs
// a little behind the timers' own.
constexpr int NewSecondMargin = 2;
constexpr double SecondsPerDay = 86400.0;

QString errorText(qint16 number)
{
    switch (number) {
    case 1:
        return QStringLiteral("Stopuhr läuft momentan - Umschaltung in Realzeit-Modus nicht möglich.");
    case 2:
        return QStringLiteral("Stopuhr wurde bereits gestartet.");
    case 3:
        return QStringLiteral("Uhr befindet sich im Realzeitmodus - Stopuhr kann nicht gestartet werden.");
    case 4:
        return QStringLiteral("Stop-Befehl erhalten, ohne dass die Stopuhr zuvor gestartet wurde.");
    case 5:
        return QStringLiteral("Uhr befindet sich im Realzeitmodus - Stopuhr kann nicht gestoppt werden.");
    case 6:
        return QStringLiteral("Stopuhr kann nicht während des Laufens zurückgestellt werden.");
    case 7:
        return QStringLiteral("Start-Befehl nicht möglich, wenn die Uhr eine statische Zeit anzeigt.");
    case 8:
        return QStringLiteral("Stop-Befehl nicht möglich, wenn die Uhr eine statische Zeit anzeigt.");
    case 9:
        return QStringLiteral("Kann statische Zeit nicht anzeigen, wenn Stopuhr noch läuft.");
    default:
        return QString();
    }
}

float secondsOf(const QDateTime &now)
{
    return float(TimeSource::secondsPastMidnight(now));
}

QByteArray encodedPicture(const QImage &picture)
{
    QByteArray bytes;
    if (picture.isNull())
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

} // namespace

TamselClock::TamselClock(QWidget *parent)
    : TamselClock(TimeSource::system(), parent)
{
}

TamselClock::TamselClock(TimeSource *timeSource, QWidget *parent)
    : HostedControl(parent)
    , m_timeSource(timeSource ? timeSource : TimeSource::system())
    , m_picMain(new FaceSurface(this))
    , m_picBG(new FaceSurface(this))
    , m_timClock(new QTimer(this))
    , m_region(new Quillory(this))
{
    m_picMain->setObjectName(QStringLiteral("picMain"));
    m_picBG->setObjectName(QStringLiteral("picBG"));
    m_picBG->hide();
    m_timClock->setObjectName(QStringLiteral("timClock"));
    m_region->setObjectName(QStringLiteral("Quillory"));

    setAutoFillBackground(true);
    QPalette surround = palette();
    surround.setColor(QPalette::Window, ValueRules::resolveColor(m_backColor));
    setPalette(surround);

    resize(240, 240);
    m_picMain->setGeometry(rect());

    connect(m_timClock, &QTimer::timeout, this, [this] {
        handleClockTick();
        if (m_tickEverySecond && m_timClock->isActive())
            m_timClock->start(clockTimerDelay());
    });
    startClockTimer();
}

TamselClock::~TamselClock() = default;

QString TamselClock::programmaticId()
{
    return QStringLiteral("Tamsel_Clock.TamselClock");
}

void TamselClock::setTimeSource(TimeSource *timeSource)
{
    m_timeSource = timeSource ? timeSource : TimeSource::system();
}

void TamselClock::notify(const char *propertyName)
{
    Q_EMIT propertyChanged(QString::fromLatin1(propertyName));
}

bool TamselClock::storeInteger(qint16 &member, int value, const char *propertyName)
{
    if (value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        return false;
    member = qint16(value);
    Refresh();
    notify(propertyName);
    return true;
}

void TamselClock::storeColor(quint32 &member, quint32 value, const char *propertyName)
{
    member = value;
    Refresh();
    notify(propertyName);
}

void TamselClock::storeFlag(bool &member, bool value, const char *propertyName)
{
    member = value;
    Refresh();
    notify(propertyName);
}

QImage TamselClock::picture() const
{
    return m_picBG->picture();
}

void TamselClock::setPicture(const QImage &picture)
{
    m_picBG->setPicture(picture);
    if (m_autosize)
        applyAutoSize();
    Refresh();
    notify(Property::Picture);
}

void TamselClock::setAutosize(bool autosize)
{
    m_autosize = autosize;
    if (m_autosize)
        applyAutoSize();
    notify(Property::Autosize);
}

void TamselClock::setSmallUnits(int count)
{
    storeInteger(m_smallUnits, count, Property::SmallUnits);
}
void TamselClock::setBigUnits(int count)
{
    storeInteger(m_bigUnits, count, Property::BigUnits);
}
void TamselClock::setUnitColor(quint32 color)
{
    storeColor(m_unitColor, color, Property::UnitColor);
}
void TamselClock::setUnitPosition(int percent)
{
    storeInteger(m_unitPosition, percent, Property::UnitPosition);
}

void TamselClock::setShowSeconds(bool show)
{
    m_showSeconds = show;
    m_tickEverySecond = show;
    startClockTimer();
    Refresh();
    notify(Property::ShowSeconds);
}

void TamselClock::setMinuteNeedleLength(int percent)
{
    storeInteger(m_minuteNeedleLength, percent, Property::MinuteNeedleLength);
}

void TamselClock::setHourNeedleLength(int percent)
{
    storeInteger(m_hourNeedleLength, percent, Property::HourNeedleLength);
}

void TamselClock::setSecondNeedleLength(int percent)
{
    storeInteger(m_secondNeedleLength, percent, Property::SecondNeedleLength);
}

void TamselClock::setShowFace(bool show)
{
    storeFlag(m_showFace, show, Property::ShowFace);
}

float TamselClock::seconds() const
{
    return m_shownSeconds < 0.01f ? 0.0f : m_shownSeconds;
}

void TamselClock::setMinuteNeedleWidth(int pixels)
{
    storeInteger(m_minuteNeedleWidth, pixels, Property::MinuteNeedleWidth);
}

void TamselClock::setHourNeedleWidth(int pixels)
{
    storeInteger(m_hourNeedleWidth, pixels, Property::HourNeedleWidth);
}

void TamselClock::setSecondNeedleWidth(int pixels)
{
    storeInteger(m_secondNeedleWidth, pixels, Property::SecondNeedleWidth);
}

void TamselClock::setHourColor(quint32 color)
{
    storeColor(m_hourColor, color, Property::HourColor);
}
void TamselClock::setMinuteColor(quint32 color)
{
    storeColor(m_minuteColor, color, Property::MinuteColor);
}
void TamselClock::setSecondColor(quint32 color)
{
    storeColor(m_secondColor, color, Property::SecondColor);
}

void TamselClock::setBackColor(quint32 color)
{
    m_backColor = color;
    update();
    Refresh();
    notify(Property::BackColor);
}

void TamselClock::setMinuteFineAdjust(bool fineAdjust)
{
    storeFlag(m_minuteFineAdjust, fineAdjust, Property::MinuteFineAdjust);
}

void TamselClock::setShowActualTime(bool actualTime)
{
    if (!m_showActualTime && m_stopwatchRunning) {
        raiseClockError(1);
        return;
    }
    m_staticDisplay = false;
    m_showActualTime = actualTime;
    if (actualTime) {
        startClockTimer();
    } else {
        m_timClock->stop();
        m_shownSeconds = m_accumulatedSeconds;
    }
    Refresh();
    notify(Property::ShowActualTime);
}

void TamselClock::setUnitWidth(int pixels)
{
    storeInteger(m_unitWidth, pixels, Property::UnitWidth);
}
void TamselClock::setFaceColor(quint32 color)
{
    storeColor(m_faceColor, color, Property::FaceColor);
}

void TamselClock::setIgnoreErrors(bool ignore)
{
    m_ignoreErrors = ignore;
    notify(Property::IgnoreErrors);
}

QString TamselClock::stoppedTime() const
{
    const double elapsed =
        m_stopwatchRunning ? runningSeconds(m_timeSource->currentDateTime()) : double(m_accumulatedSeconds);
    return ClockMath::stoppedTimeText(elapsed);
}

double TamselClock::runningSeconds(const QDateTime &now) const
{
    // Counting the days since the start keeps a run across midnight from going negative.
    const qint64 days = m_startDate.isValid() ? m_startDate.daysTo(now.date()) : 0;
    return double(days) * SecondsPerDay + double(secondsOf(now)) - double(m_startTime) + double(m_accumulatedSeconds);
}

void TamselClock::StartClock()
{
    if (m_staticDisplay) {
        raiseClockError(7);
        return;
    }
    if (m_stopwatchRunning) {
        raiseClockError(2);
        return;
    }
    if (m_showActualTime) {
        raiseClockError(3);
        return;
    }
    const QDateTime now = m_timeSource->currentDateTime();
    m_stopTime = 0.0f;
    m_shownSeconds = m_accumulatedSeconds;
    m_startTime = secondsOf(now);
    m_startDate = now.date();
    m_stopwatchRunning = true;
    m_staticDisplay = false;
    startClockTimer();
    QDate startDate = m_startDate;
    QString startSeconds = ClockMath::timeOfDayText(m_startTime, true);
    Q_EMIT Started(startDate, startSeconds);
    Refresh();
}

void TamselClock::StopClock()
{
    if (m_staticDisplay) {
        raiseClockError(8);
        return;
    }
    if (!m_stopwatchRunning) {
        raiseClockError(4);
        return;
    }
    if (m_showActualTime) {
        raiseClockError(5);
        return;
    }
    const QDateTime now = m_timeSource->currentDateTime();
    m_timClock->stop();
    m_stopTime = secondsOf(now);
    m_stopDate = now.date();
    m_stopwatchRunning = false;
    const double elapsed =
        double(m_startDate.daysTo(m_stopDate)) * SecondsPerDay + double(m_stopTime) - double(m_startTime);
    m_shownSeconds = float(elapsed);
    m_accumulatedSeconds = float(double(m_accumulatedSeconds) + elapsed);
    QDate stopDate = m_stopDate;
    QString stopSeconds = ClockMath::timeOfDayText(m_stopTime, true);
    Q_EMIT Stopped(stopDate, stopSeconds);
    m_shownSeconds = m_accumulatedSeconds;
    Refresh();
}

void TamselClock::Reset()
{
    if (m_stopwatchRunning) {
        raiseClockError(6);
        return;
    }
    m_staticDisplay = false;
    m_accumulatedSeconds = 0.0f;
    m_startTime = 0.0f;
    m_stopTime = 0.0f;
    m_shownSeconds = 0.0f;
    Refresh();
}

void TamselClock::DisplayTime(float &DisplaySeconds)
{
    if (m_stopwatchRunning) {
        raiseClockError(9);
        return;
    }
    DisplaySeconds = ClockMath::reducedDisplaySeconds(DisplaySeconds);
    m_staticDisplay = true;
    m_timClock->stop();
    m_showActualTime = false;
    m_shownSeconds = DisplaySeconds;
    Refresh();
}

void TamselClock::raiseClockError(qint16 number)
{
    qint16 errNum = number;
    QString errMsg = errorText(number);
    Q_EMIT Error(errNum, errMsg);
    if (m_ignoreErrors)
        return;
    MessageBoxRequest request;
    request.parent = this;
    request.title = QStringLiteral("Tamsel - Clock ");
    request.text = QStringLiteral("Fehlerhafte Ansteuerung.\r\r") + errMsg;
    request.icon = QMessageBox::NoIcon;
    request.buttons = QMessageBox::Ok;
    MessageBoxHook::show(request);
}

void TamselClock::handleClockTick()
{
    const float second = std::floor(secondsOf(m_timeSource->currentDateTime()));
    if (m_showSeconds || m_minuteFineAdjust) {
        if (second != m_lastSecond) {
            m_lastSecond = second;
            Refresh();
        }
        return;
    }
    const float minute = std::floor(second / 60.0f);
    if (minute != m_lastMinute) {
        m_lastMinute = minute;
        Refresh();
    }
}

// Polling four times a second would find each new second up to a quarter of a second late; the
// timer rather wakes once, just after it has begun.
void TamselClock::startClockTimer()
{
    m_timClock->setTimerType(m_tickEverySecond ? Qt::PreciseTimer : Qt::CoarseTimer);
    m_timClock->start(clockTimerDelay());
}

int TamselClock::clockTimerDelay() const
{
    if (!m_tickEverySecond)
        return MinutesInterval;
    return 1000 - m_timeSource->currentDateTime().time().msec() + NewSecondMargin;
}

void TamselClock::readProperties(const PropertyBag &bag)
{
    m_ignoreErrors = bag.read(Stored::IgnoreErrors);
    m_minuteFineAdjust = bag.read(Stored::MinuteFineAdjust);
    m_autosize = bag.read(Stored::Autosize);
    m_backColor = bag.read(Stored::BackColor);
    m_faceColor = bag.read(Stored::FaceColor);
    m_hourNeedleWidth = bag.read(Stored::HourNeedleWidth);
    m_minuteNeedleWidth = bag.read(Stored::MinuteNeedleWidth);
    m_secondNeedleWidth = bag.read(Stored::SecondNeedleWidth);
    m_unitWidth = bag.read(Stored::UnitWidth);
    m_smallUnits = bag.read(Stored::SmallUnits);
    m_bigUnits = bag.read(Stored::BigUnits);
    m_showSeconds = bag.read(Stored::ShowSeconds);
    m_unitColor = bag.read(Stored::UnitColor);
    m_unitPosition = bag.read(Stored::UnitPosition);
    m_minuteNeedleLength = bag.read(Stored::MinuteNeedleLength);
    m_hourNeedleLength = bag.read(Stored::HourNeedleLength);
    m_secondNeedleLength = bag.read(Stored::SecondNeedleLength);
    m_minuteColor = bag.read(Stored::MinuteColor);
    m_secondColor = bag.read(Stored::SecondColor);
    m_hourColor = bag.read(Stored::HourColor);
    m_showFace = bag.read(Stored::ShowFace);
    m_showActualTime = bag.read(Stored::ShowActualTime);

    const QByteArray pictureBytes = bag.read(Stored::Picture);
    setPicture(pictureBytes.isEmpty() ? QImage() : QImage::fromData(pictureBytes));
}

void TamselClock::writeProperties(PropertyBag &bag) const
{
    bag.write(Stored::IgnoreErrors, m_ignoreErrors);
    bag.write(Stored::ShowActualTime, m_showActualTime);
    bag.write(Stored::BackColor, m_backColor);
    bag.write(Stored::FaceColor, m_faceColor);
    bag.write(Stored::Autosize, m_autosize);
    bag.write(Stored::HourNeedleWidth, m_hourNeedleWidth);
    bag.write(Stored::MinuteNeedleWidth, m_minuteNeedleWidth);
    bag.write(Stored::SecondNeedleWidth, m_secondNeedleWidth);
    bag.write(Stored::UnitWidth, m_unitWidth);
    bag.write(Stored::MinuteFineAdjust, m_minuteFineAdjust);
    bag.write(Stored::SmallUnits, m_smallUnits);
    bag.write(Stored::BigUnits, m_bigUnits);
    bag.write(Stored::ShowSeconds, m_showSeconds);
    bag.write(Stored::UnitColor, m_unitColor);
    bag.write(Stored::UnitPosition, m_unitPosition);
    bag.write(Stored::MinuteNeedleLength, m_minuteNeedleLength);
    bag.write(Stored::HourNeedleLength, m_hourNeedleLength);
    bag.write(Stored::SecondNeedleLength, m_secondNeedleLength);
    bag.write(Stored::MinuteColor, m_minuteColor);
    bag.write(Stored::SecondColor, m_secondColor);
    bag.write(Stored::HourColor, m_hourColor);
    bag.write(Stored::ShowFace, m_showFace);
    bag.write(Stored::Picture, encodedPicture(m_picBG->picture()));
}

void TamselClock::applyAutoSize()
{
    // Handing the face its picture cannot fail here, so the face always takes the picture's size.
    m_picMain->setPicture(m_picBG->picture());
    m_picMain->setAutoSize(true);
    m_resizeInProgress = true;
    resize(width(), m_picMain->height());
    resize(m_picMain->width(), height());
    m_resizeInProgress = false;
    Refresh();
}

void TamselClock::resizeEvent(QResizeEvent *event)
{
    HostedControl::resizeEvent(event);
    m_picMain->move(0, 0);
    if (!m_resizeInProgress) {
        if (m_autosize) {
            m_resizeInProgress = true;
            resize(m_picMain->width(), height());
            resize(width(), m_picMain->height());
            m_resizeInProgress = false;
        } else {
            if (width() != height()) {
                if (height() > width())
                    resize(width(), width());
                else
                    resize(height(), height());
            }
            m_picMain->resize(size());
        }
    }
    computeFaceRadius();
    prepareFace();
    Refresh();
}

void TamselClock::computeFaceRadius()
{
    m_picMain->setScaleModeTwips();
    m_faceRadius = float(m_picMain->widthTwips() / 2.0);
}

void TamselClock::prepareFace()
{
    const double pixelTwips = ValueRules::TwipsPerPixel;
    computeFaceRadius();
    const ClockMath::FaceCoordinates face = ClockMath::faceCoordinates(m_picMain->widthTwips(), pixelTwips);
    m_picMain->setScale(face.left, face.top, face.width, face.height);
    float centreX = face.centreX;
    float centreY = face.centreY;
    m_region->attach(m_picMain);
    m_region->setCircle(centreX, centreY, centreX);
    m_region->apply(m_picMain);
}

bool TamselClock::DialLook::operator==(const DialLook &other) const
{
    return face == other.face && picture == other.picture && autosize == other.autosize && showFace == other.showFace
        && smallUnits == other.smallUnits && bigUnits == other.bigUnits && unitPosition == other.unitPosition
        && unitWidth == other.unitWidth && unit == other.unit && faceRadius == other.faceRadius;
}

TamselClock::DialLook TamselClock::dialLook() const
{
    DialLook look;
    look.face = ValueRules::resolveColor(m_faceColor);
    look.picture = m_picBG->picture().cacheKey();
    look.autosize = m_autosize;
    look.showFace = m_showFace;
    look.smallUnits = m_smallUnits;
    look.bigUnits = m_bigUnits;
    look.unitPosition = m_unitPosition;
    look.unitWidth = m_unitWidth;
    look.unit = ValueRules::resolveColor(m_unitColor);
    look.faceRadius = m_faceRadius;
    return look;
}

void TamselClock::Refresh()
{
    const DialLook dial = dialLook();
    if (m_keptDial == dial && m_picMain->restoreBackdrop()) {
        drawSurround();
        m_picMain->setBackColor(dial.face);
        m_picMain->setScaleModeTwips();
        prepareFace();
    } else {
        drawBackground();
        drawTicks();
        m_picMain->keepBackdrop();
        m_keptDial = dial;
    }
    drawHands();
    Q_EMIT faceRefreshed();
}

void TamselClock::drawSurround()
{
    QPalette surround = palette();
    const QColor back = ValueRules::resolveColor(m_backColor);
    if (surround.color(QPalette::Window) != back) {
        surround.setColor(QPalette::Window, back);
        setPalette(surround);
    }
}

void TamselClock::drawBackground()
{
    drawSurround();
    m_picMain->setBackColor(ValueRules::resolveColor(m_faceColor));
    m_picMain->clear();
    m_picMain->setScaleModeTwips();
    if (m_autosize)
        m_picMain->setPicture(m_picBG->picture());
    else
        m_picMain->paintPicture(m_picBG->picture(), 0.0, 0.0, m_picMain->scaleWidth(), m_picMain->scaleHeight());
    prepareFace();
}

void TamselClock::drawTicks()
{
    if (!m_showFace || (m_smallUnits == 0 && m_bigUnits == 0))
        return;
    m_picMain->setDrawWidth(m_unitWidth);
    const QColor color = ValueRules::resolveColor(m_unitColor);
    qint16 lastCount = 0;
    ClockMath::TickEnds lastEnds;
    const auto drawKind = [&](qint16 count, qint16 innerOffset) {
        const ClockMath::TickEnds ends = ClockMath::tickEnds(m_unitPosition, m_unitWidth, innerOffset);
        // A kind that repeats the one before it tick for tick lands on the same pixels.
        if (count == lastCount && ends.inner == lastEnds.inner && ends.outer == lastEnds.outer)
            return;
        lastCount = count;
        lastEnds = ends;
        QList<QLineF> ticks;
        for (const float angle : ClockMath::tickAngles(count))
            ticks.append(ClockMath::radialLine(angle, ends.inner, ends.outer, m_faceRadius));
        m_picMain->drawRadialLines(QPointF(0, 0), ticks, color);
    };
    if (m_smallUnits > 0)
        drawKind(m_smallUnits, ClockMath::SmallTickOffset);
    if (m_bigUnits > 0)
        drawKind(m_bigUnits, ClockMath::BigTickOffset);
    drawKind(4, ClockMath::QuarterTickOffset);
}

void TamselClock::updateShownSeconds()
{
    const QDateTime now = m_timeSource->currentDateTime();
    if (m_showActualTime)
        m_shownSeconds = secondsOf(now);
    else if (m_stopwatchRunning)
        m_shownSeconds = float(runningSeconds(now));
}

void TamselClock::drawHands()
{
    updateShownSeconds();
    const ClockMath::HandAngles angles = ClockMath::handAngles(m_shownSeconds, m_minuteFineAdjust);
    m_picMain->setDrawWidth(m_hourNeedleWidth);
    drawRadialLine(angles.hour, 0, m_hourNeedleLength, ValueRules::resolveColor(m_hourColor));
    m_picMain->setDrawWidth(m_minuteNeedleWidth);
    drawRadialLine(angles.minute, 0, m_minuteNeedleLength, ValueRules::resolveColor(m_minuteColor));
    if (m_showSeconds) {
        m_picMain->setDrawWidth(m_secondNeedleWidth);
        drawRadialLine(angles.second, 0, m_secondNeedleLength, ValueRules::resolveColor(m_secondColor));
    }
}

void TamselClock::drawRadialLine(float angle, qint16 inner, qint16 outer, const QColor &color)
{
    const QLineF line = ClockMath::radialLine(angle, inner, outer, m_faceRadius);
    m_picMain->drawLine(line.p1(), line.p2(), color);
}
