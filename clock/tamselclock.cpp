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

constexpr int SecondsInterval = 250;
constexpr int MinutesInterval = 15000;
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

// Stored values of the wrong type or outside their range read as their default.
bool readFlag(const PropertyBag &bag, const QString &key, bool defaultValue)
{
    const QVariant value = bag.readProperty(key, defaultValue);
    return value.metaType().id() == QMetaType::Bool ? value.toBool() : defaultValue;
}

qint16 readInteger(const PropertyBag &bag, const QString &key, qint16 defaultValue)
{
    bool ok = false;
    const qlonglong value = bag.readProperty(key, int(defaultValue)).toLongLong(&ok);
    if (!ok || value < std::numeric_limits<qint16>::min() || value > std::numeric_limits<qint16>::max())
        return defaultValue;
    return qint16(value);
}

quint32 readColor(const PropertyBag &bag, const QString &key, quint32 defaultValue)
{
    bool ok = false;
    const qlonglong value = bag.readProperty(key, qlonglong(defaultValue)).toLongLong(&ok);
    if (!ok || value < 0 || value > qlonglong(std::numeric_limits<quint32>::max()))
        return defaultValue;
    return quint32(value);
}

void writeColor(PropertyBag &bag, const QString &key, quint32 value, quint32 defaultValue)
{
    bag.writeProperty(key, qlonglong(value), qlonglong(defaultValue));
}

void writeInteger(PropertyBag &bag, const QString &key, qint16 value, qint16 defaultValue)
{
    bag.writeProperty(key, int(value), int(defaultValue));
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

    connect(m_timClock, &QTimer::timeout, this, &TamselClock::handleClockTick);
    m_timClock->start(SecondsInterval);
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
    notify("Picture");
}

void TamselClock::setAutosize(bool autosize)
{
    m_autosize = autosize;
    if (m_autosize)
        applyAutoSize();
    notify("Autosize");
}

void TamselClock::setSmallUnits(int count)
{
    storeInteger(m_smallUnits, count, "SmallUnits");
}
void TamselClock::setBigUnits(int count)
{
    storeInteger(m_bigUnits, count, "BigUnits");
}
void TamselClock::setUnitColor(quint32 color)
{
    storeColor(m_unitColor, color, "UnitColor");
}
void TamselClock::setUnitPosition(int percent)
{
    storeInteger(m_unitPosition, percent, "UnitPosition");
}

void TamselClock::setShowSeconds(bool show)
{
    m_showSeconds = show;
    m_timClock->stop();
    m_timClock->setInterval(show ? SecondsInterval : MinutesInterval);
    m_timClock->start();
    Refresh();
    notify("ShowSeconds");
}

void TamselClock::setMinuteNeedleLength(int percent)
{
    storeInteger(m_minuteNeedleLength, percent, "MinuteNeedleLength");
}

void TamselClock::setHourNeedleLength(int percent)
{
    storeInteger(m_hourNeedleLength, percent, "HourNeedleLength");
}

void TamselClock::setSecondNeedleLength(int percent)
{
    storeInteger(m_secondNeedleLength, percent, "SecondNeedleLength");
}

void TamselClock::setShowFace(bool show)
{
    storeFlag(m_showFace, show, "ShowFace");
}

float TamselClock::seconds() const
{
    return m_shownSeconds < 0.01f ? 0.0f : m_shownSeconds;
}

void TamselClock::setMinuteNeedleWidth(int pixels)
{
    storeInteger(m_minuteNeedleWidth, pixels, "MinuteNeedleWidth");
}

void TamselClock::setHourNeedleWidth(int pixels)
{
    storeInteger(m_hourNeedleWidth, pixels, "HourNeedleWidth");
}

void TamselClock::setSecondNeedleWidth(int pixels)
{
    storeInteger(m_secondNeedleWidth, pixels, "SecondNeedleWidth");
}

void TamselClock::setHourColor(quint32 color)
{
    storeColor(m_hourColor, color, "HourColor");
}
void TamselClock::setMinuteColor(quint32 color)
{
    storeColor(m_minuteColor, color, "MinuteColor");
}
void TamselClock::setSecondColor(quint32 color)
{
    storeColor(m_secondColor, color, "SecondColor");
}

void TamselClock::setBackColor(quint32 color)
{
    m_backColor = color;
    update();
    Refresh();
    notify("BackColor");
}

void TamselClock::setMinuteFineAdjust(bool fineAdjust)
{
    storeFlag(m_minuteFineAdjust, fineAdjust, "MinuteFineAdjust");
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
        m_timClock->start();
    } else {
        m_timClock->stop();
        m_shownSeconds = m_accumulatedSeconds;
    }
    Refresh();
    notify("ShowActualTime");
}

void TamselClock::setUnitWidth(int pixels)
{
    storeInteger(m_unitWidth, pixels, "UnitWidth");
}
void TamselClock::setFaceColor(quint32 color)
{
    storeColor(m_faceColor, color, "FaceColor");
}

void TamselClock::setIgnoreErrors(bool ignore)
{
    m_ignoreErrors = ignore;
    notify("IgnoreErrors");
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
    m_timClock->start();
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

void TamselClock::readProperties(const PropertyBag &bag)
{
    using ValueRules::ButtonFace;
    m_ignoreErrors = readFlag(bag, QStringLiteral("IgnoreErrors"), false);
    m_minuteFineAdjust = readFlag(bag, QStringLiteral("MinuteFineAdjust"), true);
    m_autosize = readFlag(bag, QStringLiteral("AutoSize"), false);
    m_backColor = readColor(bag, QStringLiteral("BackColor"), ButtonFace);
    m_faceColor = readColor(bag, QStringLiteral("FaceColor"), ButtonFace);
    m_hourNeedleWidth = readInteger(bag, QStringLiteral("HourNeedleWidth"), 5);
    m_minuteNeedleWidth = readInteger(bag, QStringLiteral("MinuteNeedleWidth"), 3);
    m_secondNeedleWidth = readInteger(bag, QStringLiteral("SecondNeedleWidth"), 1);
    m_unitWidth = readInteger(bag, QStringLiteral("UnitWidth"), 1);
    m_smallUnits = readInteger(bag, QStringLiteral("SmallUnits"), 60);
    m_bigUnits = readInteger(bag, QStringLiteral("BigUnits"), 12);
    m_showSeconds = readFlag(bag, QStringLiteral("ShowSeconds"), true);
    m_unitColor = readColor(bag, QStringLiteral("UnitColor"), 0);
    m_unitPosition = readInteger(bag, QStringLiteral("UnitPosition"), 100);
    m_minuteNeedleLength = readInteger(bag, QStringLiteral("MinuteNeedleLength"), 85);
    m_hourNeedleLength = readInteger(bag, QStringLiteral("HourNeedleLength"), 50);
    m_secondNeedleLength = readInteger(bag, QStringLiteral("SecondNeedleLength"), 90);
    m_minuteColor = readColor(bag, QStringLiteral("MinuteColor"), 0);
    m_secondColor = readColor(bag, QStringLiteral("SecondColor"), 0);
    m_hourColor = readColor(bag, QStringLiteral("HourColor"), 0);
    m_showFace = readFlag(bag, QStringLiteral("ShowFace"), true);
    m_showActualTime = readFlag(bag, QStringLiteral("ShowActualTime"), true);

    const QByteArray pictureBytes = bag.readProperty(QStringLiteral("Picture"), QByteArray()).toByteArray();
    setPicture(pictureBytes.isEmpty() ? QImage() : QImage::fromData(pictureBytes));
}

void TamselClock::writeProperties(PropertyBag &bag) const
{
    using ValueRules::ButtonFace;
    bag.writeProperty(QStringLiteral("IgnoreErrors"), m_ignoreErrors, false);
    bag.writeProperty(QStringLiteral("ShowActualTime"), m_showActualTime, true);
    writeColor(bag, QStringLiteral("BackColor"), m_backColor, ButtonFace);
    writeColor(bag, QStringLiteral("FaceColor"), m_faceColor, ButtonFace);
    bag.writeProperty(QStringLiteral("AutoSize"), m_autosize, false);
    writeInteger(bag, QStringLiteral("HourNeedleWidth"), m_hourNeedleWidth, 5);
    writeInteger(bag, QStringLiteral("MinuteNeedleWidth"), m_minuteNeedleWidth, 3);
    writeInteger(bag, QStringLiteral("SecondNeedleWidth"), m_secondNeedleWidth, 1);
    writeInteger(bag, QStringLiteral("UnitWidth"), m_unitWidth, 1);
    bag.writeProperty(QStringLiteral("MinuteFineAdjust"), m_minuteFineAdjust, true);
    writeInteger(bag, QStringLiteral("SmallUnits"), m_smallUnits, 60);
    writeInteger(bag, QStringLiteral("BigUnits"), m_bigUnits, 12);
    bag.writeProperty(QStringLiteral("ShowSeconds"), m_showSeconds, true);
    writeColor(bag, QStringLiteral("UnitColor"), m_unitColor, 0);
    writeInteger(bag, QStringLiteral("UnitPosition"), m_unitPosition, 100);
    writeInteger(bag, QStringLiteral("MinuteNeedleLength"), m_minuteNeedleLength, 85);
    writeInteger(bag, QStringLiteral("HourNeedleLength"), m_hourNeedleLength, 50);
    writeInteger(bag, QStringLiteral("SecondNeedleLength"), m_secondNeedleLength, 90);
    writeColor(bag, QStringLiteral("MinuteColor"), m_minuteColor, 0);
    writeColor(bag, QStringLiteral("SecondColor"), m_secondColor, 0);
    writeColor(bag, QStringLiteral("HourColor"), m_hourColor, 0);
    bag.writeProperty(QStringLiteral("ShowFace"), m_showFace, true);
    bag.writeProperty(QStringLiteral("Picture"), encodedPicture(m_picBG->picture()), QByteArray());
}

void TamselClock::applyAutoSize()
{
    m_picMain->setPicture(m_picBG->picture());
    m_pictureLoaded = true;
    m_picMain->setAutoSize(m_pictureLoaded);
    if (m_pictureLoaded) {
        m_resizeInProgress = true;
        resize(width(), m_picMain->height());
        resize(m_picMain->width(), height());
        m_resizeInProgress = false;
    }
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
