// SPDX-License-Identifier: GPL-3.0-or-later
#include "clockmath.h"

#include "valuerules.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ClockMath {

namespace {

qint16 clampedInt16(double value)
{
    const double rounded = ValueRules::roundHalfEven(value);
    return qint16(
        std::clamp(rounded, double(std::numeric_limits<qint16>::min()), double(std::numeric_limits<qint16>::max())));
}

// Hours, minutes and seconds of a number of seconds, each cut down to a whole number; the
// minutes and seconds are what is left over by the larger units, so they are never negative.
struct Clockwork
{
    qint64 hours = 0;
    qint64 minutes = 0;
    qint64 seconds = 0;
    double rest = 0.0; // the fraction of the last second
};

// Far more hours than any clock shows, yet exact in a double.
constexpr double LargestSeconds = 1.0e15;

Clockwork clockwork(double value)
{
    if (!std::isfinite(value))
        value = 0.0;
    value = std::clamp(value, -LargestSeconds, LargestSeconds);
    Clockwork parts;
    const double hours = std::floor(value / 3600.0);
    const double minutes = std::floor((value - 3600.0 * hours) / 60.0);
    const double seconds = std::floor(value - 3600.0 * hours - 60.0 * minutes);
    parts.hours = qint64(hours);
    parts.minutes = qint64(minutes);
    parts.seconds = qint64(seconds);
    parts.rest = value - 3600.0 * hours - 60.0 * minutes - seconds;
    return parts;
}

} // namespace

FaceCoordinates faceCoordinates(double widthTwips, double pixelTwips)
{
    FaceCoordinates face;
    face.radius = float(widthTwips / 2.0);
    face.left = -double(face.radius);
    face.top = -double(face.radius);
    face.width = 2.0 * double(face.radius) + pixelTwips;
    face.height = face.width;
    face.centreX = float(face.width / 2.0);
    face.centreY = float(face.height / 2.0);
    return face;
}

QList<float> tickAngles(qint16 count)
{
    QList<float> angles;
    if (count <= 0)
        return angles;
    const float step = float(60.0 / count);
    angles.reserve(qMin<int>(count, 60 * 1024));
    for (float angle = 0.0f; angle <= 59.0f; angle += step)
        angles.append(angle);
    return angles;
}

TickEnds tickEnds(qint16 unitPosition, qint16 unitWidth, qint16 innerOffset)
{
    // Below zero the difference would only be replaced by zero, so it cannot overflow here.
    const qint32 inside = qint32(unitPosition) - innerOffset;
    const double halfWidth = unitWidth / 2.0;
    TickEnds ends;
    ends.inner = clampedInt16((inside > 0 ? inside : 0) - halfWidth);
    ends.outer = clampedInt16(unitPosition - halfWidth);
    return ends;
}

HandAngles handAngles(float shownSeconds, bool minuteFineAdjust)
{
    double value = shownSeconds;
    // The hands turn with a period of twelve hours; values too large for a count of hours are
    // brought into range first, which leaves the angles as they are.
    if (std::isfinite(value) && std::fabs(value / 3600.0) > double(std::numeric_limits<qint32>::max()))
        value = std::fmod(value, 43200.0);
    const Clockwork parts = clockwork(value);
    qint64 hours = parts.hours;
    if (hours > 12)
        hours -= 12;
    HandAngles angles;
    angles.hour = float(5.0 * double(hours) + double(parts.minutes) / 65.0 * 5.0);
    angles.minute = float(double(parts.minutes) + (minuteFineAdjust ? double(parts.seconds) / 65.0 : 0.0));
    angles.second = float(parts.seconds);
    return angles;
}

namespace {

struct Radius
{
    float perPercent;
    double sine;
    double cosine;
};

Radius radiusAt(float angle, float radius)
{
    const float radians = float(double(angle) / 30.0 * Pi);
    return {float(double(radius) / 100.0), std::sin(double(radians)), std::cos(double(radians))};
}

QPointF pointOn(const Radius &along, qint16 percent)
{
    const float x = float(percent * double(along.perPercent) * along.sine);
    const float y = float(-(percent * double(along.perPercent) * along.cosine));
    return QPointF(x, y);
}

} // namespace

QPointF radialPoint(float angle, qint16 percent, float radius)
{
    return pointOn(radiusAt(angle, radius), percent);
}

QLineF radialLine(float angle, qint16 inner, qint16 outer, float radius)
{
    const Radius along = radiusAt(angle, radius);
    return QLineF(inner >= 1 ? pointOn(along, inner) : QPointF(0, 0), pointOn(along, outer));
}

QString stoppedTimeText(double seconds)
{
    const Clockwork parts = clockwork(seconds);
    const qint64 hundredths = qint64(std::floor(parts.rest * 100.0));
    return ValueRules::twoDigits(parts.hours) + u':' + ValueRules::twoDigits(parts.minutes) + u':'
        + ValueRules::twoDigits(parts.seconds) + u',' + ValueRules::twoDigits(hundredths);
}

QString timeOfDayText(float seconds, bool withSeconds)
{
    const Clockwork parts = clockwork(seconds);
    QString text = ValueRules::twoDigits(parts.hours) + u':' + ValueRules::twoDigits(parts.minutes);
    if (withSeconds)
        text += u':' + ValueRules::twoDigits(parts.seconds);
    return text;
}

float reducedDisplaySeconds(float seconds)
{
    constexpr double Day = 86400.0;
    if (!(seconds > Day) || !std::isfinite(seconds))
        return seconds;
    // Taking the days off one by one would never end for large values; the remainder is the same.
    const double rest = std::fmod(double(seconds), Day);
    return float(rest == 0.0 ? Day : rest);
}

} // namespace ClockMath
