// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "durix_export.h"

#include <QString>

#include <array>

// The arithmetic behind Spanfield: the value rules of its four fields (0 days, 1 hours, 2 minutes,
// 3 seconds), the conversion of seconds past midnight into fields and back, and the arrangement of
// fields and labels. Free of widgets, so it can be checked on its own.
namespace DurationValue {

enum FieldIndex : qint16 { DaysField = 0, HoursField = 1, MinutesField = 2, SecondsField = 3 };
constexpr int FieldCount = 4;

// Days at most 365, hours at most 23, minutes and seconds at most 59; only upper limits apply.
DURIX_EXPORT bool IsValidFieldValue(qint16 index, qint16 value);
// The same rule for a value that may lie beyond the 16-bit range (which no field accepts).
DURIX_EXPORT bool isAcceptableFieldValue(qint16 index, double value);

// How many characters the user may enter into a field: three for the days, two for the others.
DURIX_EXPORT int inputLength(qint16 index);

// Whether a change the user makes to a field's text, from before to after, keeps to the typing
// rules: it adds no character but the digits 0 to 9 (characters already there may stay, such as the
// minus sign or the overflow marker of a text the control wrote), leaves a value the field accepts,
// and leaves no more characters than the field's input length unless it only took characters away.
DURIX_EXPORT bool isAcceptableEdit(qint16 index, const QString &before, const QString &after);

// The number formed by the leading digits of a field's text (after an optional minus sign, which
// negative values written to a field carry). Anything else, the overflow marker included, is 0.
DURIX_EXPORT double numericValue(const QString &text);

// What a field shows for a value: the days as a plain number, the others in two-digit form.
DURIX_EXPORT QString fieldText(qint16 index, qint64 value);

// The characters a field shows while the day count is above its limit.
DURIX_EXPORT QString overflowMarker(qint16 index);

// The effect of writing a number of seconds: whole days carried out (while 86400 or more remain,
// in single precision), the rest that is stored and its split into hours, minutes and seconds with
// the seconds rounded halves to even. A rest that rounds to 60 seconds carries into the minutes and
// hours when the seconds are shown; one that reaches 24 hours counts as a further carried day.
// Throws std::overflow_error beyond 32767 carried days or outside the 32-bit split, before anything
// is stored by the caller.
struct SecondsWrite
{
    float rest = 0.0f;
    qint16 carriedDays = 0;
    qint32 hours = 0;
    qint32 minutes = 0;
    qint32 seconds = 0;
};
DURIX_EXPORT SecondsWrite planSecondsWrite(float seconds, bool secondsShown);

// The seconds the fields stand for: h * 3600 + m * 60, plus s when the seconds are shown.
DURIX_EXPORT float joinFields(double hours, double minutes, double seconds, bool secondsShown);

// Left positions and the control's size, in twips, for fields and labels placed left to right
// without gaps, each at the right edge of its left neighbour. Field 0 keeps left 0; hidden days
// put field 1 at 0. Sums are in single precision.
struct Arrangement
{
    std::array<float, FieldCount> fieldLeft{};
    std::array<float, FieldCount> labelLeft{};
    float width = 0.0f;
    float height = 0.0f;
};
DURIX_EXPORT Arrangement arrange(const std::array<float, FieldCount> &fieldWidth,
                                 const std::array<float, FieldCount> &labelWidth, float fieldHeight, bool daysShown,
                                 bool secondsShown);

} // namespace DurationValue
