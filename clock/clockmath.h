// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tamsel_clock_export.h"

#include <QLineF>
#include <QList>
#include <QPointF>
#include <QString>
#include <QtGlobal>

// The arithmetic of the analog clock, apart from any widget: face coordinates, tick positions,
// hand angles and the texts of the stopwatch.
//
// Angles are in minute units: 60 make a full turn, 0 is twelve o'clock, angles grow clockwise.
// Radial lengths are percentages of the face radius. Face coordinates have their origin at the
// centre of the face, x to the right and y downward, in twips.
namespace ClockMath {

// The pi of the face geometry; the clock's angles are computed with exactly this value.
constexpr double Pi = 3.14159265358979;

// The user coordinates of a face surface whose width is widthTwips, for a pixel of pixelTwips.
struct FaceCoordinates
{
    float radius = 0.0f;  // half the surface's width
    double left = 0.0;    // -radius
    double top = 0.0;     // -radius
    double width = 0.0;   // 2 radius + one pixel
    double height = 0.0;  // 2 radius + one pixel
    float centreX = 0.0f; // width / 2: the circle the face is clipped to, from the top-left corner
    float centreY = 0.0f;
};
TAMSEL_CLOCK_EXPORT FaceCoordinates faceCoordinates(double widthTwips, double pixelTwips);

// The angles of one kind of tick: from 0 in steps of 60 / count, summed in single precision,
// while the angle is at most 59. A count of 0 or less gives none.
TAMSEL_CLOCK_EXPORT QList<float> tickAngles(qint16 count);

// The inner and outer end of one kind of tick, in percent, for a kind whose inner end lies
// innerOffset percent inside unitPosition: both ends move inward by half the pen width and are
// rounded to the even neighbour. Ends that leave the Integer range are held at its limits.
struct TickEnds
{
    qint16 inner = 0;
    qint16 outer = 0;
};
TAMSEL_CLOCK_EXPORT TickEnds tickEnds(qint16 unitPosition, qint16 unitWidth, qint16 innerOffset);

// Inner offsets of the three kinds of tick.
constexpr qint16 SmallTickOffset = 2;
constexpr qint16 BigTickOffset = 5;
constexpr qint16 QuarterTickOffset = 10;

// The angles of the three hands for seconds past midnight. The hours and minutes move on by
// a sixty-fifth per unit below them, so the hands jump onto the next mark at the full unit.
struct HandAngles
{
    float hour = 0.0f;
    float minute = 0.0f;
    float second = 0.0f;
};
TAMSEL_CLOCK_EXPORT HandAngles handAngles(float shownSeconds, bool minuteFineAdjust);

// A point on the radius at angle, percent of radius from the centre, in face coordinates.
TAMSEL_CLOCK_EXPORT QPointF radialPoint(float angle, qint16 percent, float radius);
// The line along the radius at angle from inner to outer percent, as radialPoint gives their
// points; an inner end below 1 percent starts the line at the centre.
TAMSEL_CLOCK_EXPORT QLineF radialLine(float angle, qint16 inner, qint16 outer, float radius);

// Elapsed stopwatch time as hh:mm:ss,cc (hundredths cut off, not rounded).
TAMSEL_CLOCK_EXPORT QString stoppedTimeText(double seconds);
// A time of day as hh:mm or hh:mm:ss.
TAMSEL_CLOCK_EXPORT QString timeOfDayText(float seconds, bool withSeconds);

// A fixed time to show: whole days taken off until it is at most 86400. Smaller values, and
// values that are no number, stay as they are.
TAMSEL_CLOCK_EXPORT float reducedDisplaySeconds(float seconds);

} // namespace ClockMath
