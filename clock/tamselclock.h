// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tamsel_clock_export.h"

#include "hostedcontrol.h"
#include "propertybag.h"

#include <QColor>
#include <QDate>
#include <QImage>
#include <QString>

#include <optional>

class FaceSurface;
class QTimer;
class Quillory;
class TimeSource;

// An analog clock: a disc in FaceColor, optionally carrying a picture, with small, big and
// quarter ticks and hour, minute and second hands, on a surround in BackColor. It shows the
// current time of day (ShowActualTime true), works as a stopwatch (ShowActualTime false, then
// StartClock, StopClock and Reset) or shows a fixed time (DisplayTime).
//
// Integers are 16-bit: a write of a value outside -32768..32767 is refused and changes nothing.
// Colours are 32-bit values, RGB with red in the low byte or a system colour with the top bit set.
// Percentages are of the face radius; widths are in pixels. Most assignments redraw the whole
// face and then send the property-changed notice under the property's name ("Autosize" for
// Autosize, whose stored key is "AutoSize").
//
// Commands that the clock's rules refuse change nothing and raise Error; then, unless
// IgnoreErrors is set, a message box titled "Tamsel - Clock " shows the error text. Directly
// connected Error handlers may change the text or set IgnoreErrors before the box is shown.
//
// The face (the child "picMain") keeps what Refresh drew; paint events only show it. Refresh
// draws the dial (colours, picture and ticks) only when something it shows has changed, and
// otherwise lays the hands anew over the dial it kept. The timer "timClock" redraws once per
// shown second (or minute) in every mode: it wakes just after each new second of the time source
// while the second hand is shown, and every 15 s while it is hidden, never more often. Time and
// date come from a TimeSource, the system clock unless another is handed in.
class TAMSEL_CLOCK_EXPORT TamselClock final : public HostedControl
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TamselClock)
    Q_CLASSINFO("ProgrammaticId", "Tamsel_Clock.TamselClock")
    Q_CLASSINFO("LibraryDescription", "Tamsel - Analog-Uhr")

    Q_PROPERTY(QImage Picture READ picture WRITE setPicture)
    Q_PROPERTY(QString StoppedTime READ stoppedTime)
    Q_PROPERTY(bool Autosize READ autosize WRITE setAutosize)
    Q_PROPERTY(int SmallUnits READ smallUnits WRITE setSmallUnits)
    Q_PROPERTY(int BigUnits READ bigUnits WRITE setBigUnits)
    Q_PROPERTY(quint32 UnitColor READ unitColor WRITE setUnitColor)
    Q_PROPERTY(int UnitPosition READ unitPosition WRITE setUnitPosition)
    Q_PROPERTY(bool ShowSeconds READ showSeconds WRITE setShowSeconds)
    Q_PROPERTY(int MinuteNeedleLength READ minuteNeedleLength WRITE setMinuteNeedleLength)
    Q_PROPERTY(int HourNeedleLength READ hourNeedleLength WRITE setHourNeedleLength)
    Q_PROPERTY(int SecondNeedleLength READ secondNeedleLength WRITE setSecondNeedleLength)
    Q_PROPERTY(bool ShowFace READ showFace WRITE setShowFace)
    Q_PROPERTY(float Seconds READ seconds)
    Q_PROPERTY(int MinuteNeedleWidth READ minuteNeedleWidth WRITE setMinuteNeedleWidth)
    Q_PROPERTY(int HourNeedleWidth READ hourNeedleWidth WRITE setHourNeedleWidth)
    Q_PROPERTY(int SecondNeedleWidth READ secondNeedleWidth WRITE setSecondNeedleWidth)
    Q_PROPERTY(quint32 HourColor READ hourColor WRITE setHourColor)
    Q_PROPERTY(quint32 MinuteColor READ minuteColor WRITE setMinuteColor)
    Q_PROPERTY(quint32 SecondColor READ secondColor WRITE setSecondColor)
    Q_PROPERTY(quint32 BackColor READ backColor WRITE setBackColor)
    Q_PROPERTY(bool MinuteFineAdjust READ minuteFineAdjust WRITE setMinuteFineAdjust)
    Q_PROPERTY(bool ShowActualTime READ showActualTime WRITE setShowActualTime)
    Q_PROPERTY(float StartTime READ startTime)
    Q_PROPERTY(float StopTime READ stopTime)
    Q_PROPERTY(int UnitWidth READ unitWidth WRITE setUnitWidth)
    Q_PROPERTY(quint32 FaceColor READ faceColor WRITE setFaceColor)
    Q_PROPERTY(bool IgnoreErrors READ ignoreErrors WRITE setIgnoreErrors)

public:
    // The published property names, for hosts that address the clock by name
    // (HostedControl::setPublishedProperty); the change notices carry the same names.
    struct Property
    {
        static constexpr char Picture[] = "Picture";
        static constexpr char StoppedTime[] = "StoppedTime";
        static constexpr char Autosize[] = "Autosize";
        static constexpr char SmallUnits[] = "SmallUnits";
        static constexpr char BigUnits[] = "BigUnits";
        static constexpr char UnitColor[] = "UnitColor";
        static constexpr char UnitPosition[] = "UnitPosition";
        static constexpr char ShowSeconds[] = "ShowSeconds";
        static constexpr char MinuteNeedleLength[] = "MinuteNeedleLength";
        static constexpr char HourNeedleLength[] = "HourNeedleLength";
        static constexpr char SecondNeedleLength[] = "SecondNeedleLength";
        static constexpr char ShowFace[] = "ShowFace";
        static constexpr char Seconds[] = "Seconds";
        static constexpr char MinuteNeedleWidth[] = "MinuteNeedleWidth";
        static constexpr char HourNeedleWidth[] = "HourNeedleWidth";
        static constexpr char SecondNeedleWidth[] = "SecondNeedleWidth";
        static constexpr char HourColor[] = "HourColor";
        static constexpr char MinuteColor[] = "MinuteColor";
        static constexpr char SecondColor[] = "SecondColor";
        static constexpr char BackColor[] = "BackColor";
        static constexpr char MinuteFineAdjust[] = "MinuteFineAdjust";
        static constexpr char ShowActualTime[] = "ShowActualTime";
        static constexpr char StartTime[] = "StartTime";
        static constexpr char StopTime[] = "StopTime";
        static constexpr char UnitWidth[] = "UnitWidth";
        static constexpr char FaceColor[] = "FaceColor";
        static constexpr char IgnoreErrors[] = "IgnoreErrors";
    };

    explicit TamselClock(QWidget *parent = nullptr);
    explicit TamselClock(TimeSource *timeSource, QWidget *parent = nullptr);
    ~TamselClock() override;

    static QString programmaticId();

    // Where the clock takes the time of day and today's date from; never null.
    TimeSource *timeSource() const { return m_timeSource; }
    void setTimeSource(TimeSource *timeSource);

    // The background picture, shared with whoever assigned it; a null image when none was set.
    // A picture that is not 32-bit RGB or ARGB is converted once, when assigned, and the converted
    // copy is held; one that cannot be converted counts as no picture. With Autosize on the
    // control takes the picture's size, otherwise the picture is stretched over the face.
    QImage picture() const;
    void setPicture(const QImage &picture);

    // hh:mm:ss,cc of the stopwatch: the running time, or the total since the last Reset.
    QString stoppedTime() const;

    // On: the control takes the size of its picture. Turning it off changes nothing at once.
    bool autosize() const { return m_autosize; }
    void setAutosize(bool autosize);

    qint16 smallUnits() const { return m_smallUnits; }
    void setSmallUnits(int count);
    qint16 bigUnits() const { return m_bigUnits; }
    void setBigUnits(int count);
    quint32 unitColor() const { return m_unitColor; }
    void setUnitColor(quint32 color);
    // How far the ticks reach toward the rim.
    qint16 unitPosition() const { return m_unitPosition; }
    void setUnitPosition(int percent);

    // The second hand; also sets the timer to wake after each new second (shown) or every 15 s
    // (hidden) and restarts it.
    bool showSeconds() const { return m_showSeconds; }
    void setShowSeconds(bool show);

    qint16 minuteNeedleLength() const { return m_minuteNeedleLength; }
    void setMinuteNeedleLength(int percent);
    qint16 hourNeedleLength() const { return m_hourNeedleLength; }
    void setHourNeedleLength(int percent);
    qint16 secondNeedleLength() const { return m_secondNeedleLength; }
    void setSecondNeedleLength(int percent);

    // All ticks drawn.
    bool showFace() const { return m_showFace; }
    void setShowFace(bool show);

    // The seconds past midnight of the time last drawn (current, stopwatch or fixed time);
    // below 0.01 it reads 0.
    float seconds() const;

    qint16 minuteNeedleWidth() const { return m_minuteNeedleWidth; }
    void setMinuteNeedleWidth(int pixels);
    qint16 hourNeedleWidth() const { return m_hourNeedleWidth; }
    void setHourNeedleWidth(int pixels);
    qint16 secondNeedleWidth() const { return m_secondNeedleWidth; }
    void setSecondNeedleWidth(int pixels);

    quint32 hourColor() const { return m_hourColor; }
    void setHourColor(quint32 color);
    quint32 minuteColor() const { return m_minuteColor; }
    void setMinuteColor(quint32 color);
    quint32 secondColor() const { return m_secondColor; }
    void setSecondColor(quint32 color);
    // The colour of the control around the face disc.
    quint32 backColor() const { return m_backColor; }
    void setBackColor(quint32 color);

    // The minute hand moves on within the minute.
    bool minuteFineAdjust() const { return m_minuteFineAdjust; }
    void setMinuteFineAdjust(bool fineAdjust);

    // True: the current time of day. False: a stopwatch, ready to start, showing its total.
    // Refused with error 1 while the stopwatch runs.
    bool showActualTime() const { return m_showActualTime; }
    void setShowActualTime(bool actualTime);

    // Seconds past midnight at the last start and the last stop of the stopwatch.
    float startTime() const { return m_startTime; }
    float stopTime() const { return m_stopTime; }

    qint16 unitWidth() const { return m_unitWidth; }
    void setUnitWidth(int pixels);
    quint32 faceColor() const { return m_faceColor; }
    void setFaceColor(quint32 color);

    // Refused commands raise only Error, without a message box.
    bool ignoreErrors() const { return m_ignoreErrors; }
    void setIgnoreErrors(bool ignore);

    void readProperties(const PropertyBag &bag) override;
    void writeProperties(PropertyBag &bag) const override;

    // Redraws the whole face now.
    Q_INVOKABLE void Refresh();
    // Starts the stopwatch, continuing from its total; only in stopwatch mode.
    Q_INVOKABLE void StartClock();
    // Stops the running stopwatch and adds the run to its total.
    Q_INVOKABLE void StopClock();
    // Sets the stopwatch back to 0; a fixed time gives way to a stopwatch ready at 0.
    Q_INVOKABLE void Reset();
    // Shows a fixed time of day. Values above 86400 lose whole days, in the caller's variable too.
    Q_INVOKABLE void DisplayTime(float &DisplaySeconds);

    // What timClock runs on every tick: redraws when the second (or, with neither the second
    // hand nor the fine-adjusted minute hand, the minute) of the time of day has moved on.
    void handleClockTick();

Q_SIGNALS:
    // The events; handlers connected directly may change the arguments. Only the changes that an
    // Error handler makes to ErrMsg are read back (for the message box).
    void Error(qint16 &ErrNum, QString &ErrMsg);
    void Started(QDate &StartDate, QString &StartSeconds);
    void Stopped(QDate &StopDate, QString &StopSeconds);

    // The face has been drawn anew.
    void faceRefreshed();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // The stored properties: each one's key in the host's property bag and its default, which is
    // also its initial value. readProperties and writeProperties give the orders of reading and
    // writing; the picture comes last in both.
    struct Stored
    {
        static constexpr PropertyKey<bool> IgnoreErrors{"IgnoreErrors", false};
        static constexpr PropertyKey<bool> MinuteFineAdjust{"MinuteFineAdjust", true};
        static constexpr PropertyKey<bool> Autosize{"AutoSize", false};            // the key has a capital S
        static constexpr PropertyKey<quint32> BackColor{"BackColor", 0x8000000Fu}; // the button face
        static constexpr PropertyKey<quint32> FaceColor{"FaceColor", 0x8000000Fu};
        static constexpr PropertyKey<qint16> HourNeedleWidth{"HourNeedleWidth", 5};
        static constexpr PropertyKey<qint16> MinuteNeedleWidth{"MinuteNeedleWidth", 3};
        static constexpr PropertyKey<qint16> SecondNeedleWidth{"SecondNeedleWidth", 1};
        static constexpr PropertyKey<qint16> UnitWidth{"UnitWidth", 1};
        static constexpr PropertyKey<qint16> SmallUnits{"SmallUnits", 60};
        static constexpr PropertyKey<qint16> BigUnits{"BigUnits", 12};
        static constexpr PropertyKey<bool> ShowSeconds{"ShowSeconds", true};
        static constexpr PropertyKey<quint32> UnitColor{"UnitColor", 0};
        static constexpr PropertyKey<qint16> UnitPosition{"UnitPosition", 100};
        static constexpr PropertyKey<qint16> MinuteNeedleLength{"MinuteNeedleLength", 85};
        static constexpr PropertyKey<qint16> HourNeedleLength{"HourNeedleLength", 50};
        static constexpr PropertyKey<qint16> SecondNeedleLength{"SecondNeedleLength", 90};
        static constexpr PropertyKey<quint32> MinuteColor{"MinuteColor", 0};
        static constexpr PropertyKey<quint32> SecondColor{"SecondColor", 0};
        static constexpr PropertyKey<quint32> HourColor{"HourColor", 0};
        static constexpr PropertyKey<bool> ShowFace{"ShowFace", true};
        static constexpr PropertyKey<bool> ShowActualTime{"ShowActualTime", true};
        static constexpr PropertyKey<QByteArrayView> Picture{"Picture", {}}; // PNG; none when empty
    };

    bool storeInteger(qint16 &member, int value, const char *propertyName);
    void storeColor(quint32 &member, quint32 value, const char *propertyName);
    void storeFlag(bool &member, bool value, const char *propertyName);
    void notify(const char *propertyName);

    // What the face shows under the hands. Refresh keeps the face as drawn without the hands
    // and, while this stays the same, lays only the hands over it anew.
    struct DialLook
    {
        QColor face;
        qint64 picture = 0;
        bool autosize = false;
        bool showFace = false;
        qint16 smallUnits = 0;
        qint16 bigUnits = 0;
        qint16 unitPosition = 0;
        qint16 unitWidth = 0;
        QColor unit;
        float faceRadius = 0.0f;

        bool operator==(const DialLook &other) const;
    };
    DialLook dialLook() const;

    void applyAutoSize();
    void computeFaceRadius();
    void prepareFace();
    void drawSurround();
    void drawBackground();
    void drawTicks();
    void drawHands();
    void drawRadialLine(float angle, qint16 inner, qint16 outer, const QColor &color);
    void updateShownSeconds();
    void raiseClockError(qint16 number);
    double runningSeconds(const QDateTime &now) const;
    void startClockTimer();
    int clockTimerDelay() const;

    TimeSource *m_timeSource = nullptr;
    FaceSurface *m_picMain = nullptr;
    FaceSurface *m_picBG = nullptr;
    QTimer *m_timClock = nullptr;
    bool m_tickEverySecond = true; // else every 15 s: the pace ShowSeconds last gave the timer
    Quillory *m_region = nullptr;

    bool m_autosize = Stored::Autosize.defaultValue;
    quint32 m_backColor = Stored::BackColor.defaultValue;
    qint16 m_smallUnits = Stored::SmallUnits.defaultValue;
    qint16 m_bigUnits = Stored::BigUnits.defaultValue;
    quint32 m_unitColor = Stored::UnitColor.defaultValue;
    qint16 m_unitPosition = Stored::UnitPosition.defaultValue;
    qint16 m_minuteNeedleLength = Stored::MinuteNeedleLength.defaultValue;
    qint16 m_secondNeedleLength = Stored::SecondNeedleLength.defaultValue;
    qint16 m_hourNeedleLength = Stored::HourNeedleLength.defaultValue;
    qint16 m_minuteNeedleWidth = Stored::MinuteNeedleWidth.defaultValue;
    qint16 m_secondNeedleWidth = Stored::SecondNeedleWidth.defaultValue;
    qint16 m_hourNeedleWidth = Stored::HourNeedleWidth.defaultValue;
    qint16 m_unitWidth = Stored::UnitWidth.defaultValue;
    bool m_showSeconds = Stored::ShowSeconds.defaultValue;
    bool m_showFace = Stored::ShowFace.defaultValue;
    float m_shownSeconds = 0.0f;
    quint32 m_minuteColor = Stored::MinuteColor.defaultValue;
    quint32 m_secondColor = Stored::SecondColor.defaultValue;
    quint32 m_hourColor = Stored::HourColor.defaultValue;
    bool m_minuteFineAdjust = Stored::MinuteFineAdjust.defaultValue;
    bool m_showActualTime = Stored::ShowActualTime.defaultValue;
    float m_startTime = 0.0f;
    float m_stopTime = 0.0f;
    quint32 m_faceColor = Stored::FaceColor.defaultValue;
    bool m_ignoreErrors = Stored::IgnoreErrors.defaultValue;
    bool m_resizeInProgress = false;
    float m_faceRadius = 0.0f;
    bool m_stopwatchRunning = false;
    QDate m_startDate;
    QDate m_stopDate;
    float m_accumulatedSeconds = 0.0f;
    bool m_staticDisplay = false;
    float m_lastSecond = 0.0f;
    float m_lastMinute = 0.0f;
    std::optional<DialLook> m_keptDial;
};
