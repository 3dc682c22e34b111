// SPDX-License-Identifier: GPL-3.0-or-later
#include "durationvalue.h"

#include <valuerules.h>

#include <cmath>
#include <stdexcept>

namespace DurationValue {

namespace {
constexpr float SecondsPerDay = 86400.0f;

double fieldLimit(qint16 index)
{
    switch (index) {
    case DaysField:
        return 365;
    case HoursField:
        return 23;
    case MinutesField:
    case SecondsField:
        return 59;
    default:
        return HUGE_VAL;
    }
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Whether after is before with some of its characters taken out.
bool isShortenedFrom(const QString &after, const QString &before)
{
    if (after.size() > before.size())
        return false;
    qsizetype next = 0;
    for (const QChar c : after) {
        next = before.indexOf(c, next);
        if (next < 0)
            return false;
        ++next;
    }
    return true;
}

bool addsOnlyDigits(const QString &before, const QString &after)
{
    for (const QChar c : after) {
        if (!isDigit(c) && after.count(c) > before.count(c))
            return false;
    }
    return true;
}
} // namespace

int inputLength(qint16 index)
{
    return index == DaysField ? 3 : 2;
}

bool isAcceptableEdit(qint16 index, const QString &before, const QString &after)
{
    if (!isAcceptableFieldValue(index, numericValue(after)))
        return false;
    if (isShortenedFrom(after, before))
        return true;
    return after.size() <= inputLength(index) && addsOnlyDigits(before, after);
}

bool IsValidFieldValue(qint16 index, qint16 value)
{
    return value <= fieldLimit(index);
}

bool isAcceptableFieldValue(qint16 index, double value)
{
    return value <= 32767.0 && value <= fieldLimit(index);
}

double numericValue(const QString &text)
{
    qsizetype i = 0;
    const bool negative = text.startsWith(u'-');
    if (negative)
        ++i;
    double value = 0.0;
    for (; i < text.size() && isDigit(text.at(i)); ++i)
        value = value * 10.0 + (text.at(i).unicode() - u'0');
    return negative ? -value : value;
}

QString fieldText(qint16 index, qint64 value)
{
    return index == DaysField ? QString::number(value) : ValueRules::twoDigits(value);
}

QString overflowMarker(qint16 index)
{
    return QString(index == DaysField ? 3 : 2, QChar(0x00A7));
}

SecondsWrite planSecondsWrite(float seconds, bool secondsShown)
{
    if (std::isnan(seconds))
        throw std::overflow_error("Overflow");
    SecondsWrite plan;
    plan.rest = seconds;
    while (plan.rest >= SecondsPerDay) {
        plan.rest = plan.rest - SecondsPerDay;
        plan.carriedDays = ValueRules::addInt16(plan.carriedDays, 1);
    }
    const double hours = std::floor(plan.rest / 3600.0f);
    if (!(hours >= -2147483648.0 && hours <= 2147483647.0))
        throw std::overflow_error("Overflow");
    plan.hours = qint32(hours);
    const float hourSeconds = float(double(plan.hours) * 3600.0);
    plan.minutes = ValueRules::toInt32(std::floor((plan.rest - hourSeconds) / 60.0f));
    plan.seconds = ValueRules::toInt32(double(plan.rest) - (double(plan.hours) * 3600.0 + plan.minutes * 60.0));

    if (secondsShown && plan.seconds == 60) {
        plan.seconds = 0;
        if (++plan.minutes == 60) {
            plan.minutes = 0;
            if (++plan.hours == 24) {
                plan.hours = 0;
                plan.rest = plan.rest - SecondsPerDay;
                plan.carriedDays = ValueRules::addInt16(plan.carriedDays, 1);
            }
        }
    }
    return plan;
}

float joinFields(double hours, double minutes, double seconds, bool secondsShown)
{
    double total = hours * 3600.0 + minutes * 60.0;
    if (secondsShown)
        total += seconds;
    return float(total);
}

Arrangement arrange(const std::array<float, FieldCount> &fieldWidth, const std::array<float, FieldCount> &labelWidth,
                    float fieldHeight, bool daysShown, bool secondsShown)
{
    Arrangement a;
    a.height = fieldHeight;
    a.fieldLeft[DaysField] = 0.0f;
    a.labelLeft[DaysField] = a.fieldLeft[DaysField] + fieldWidth[DaysField];
    a.fieldLeft[HoursField] = daysShown ? a.labelLeft[DaysField] + labelWidth[DaysField] : 0.0f;
    for (int i = HoursField; i < FieldCount; ++i) {
        if (i > HoursField)
            a.fieldLeft[i] = a.labelLeft[i - 1] + labelWidth[i - 1];
        a.labelLeft[i] = a.fieldLeft[i] + fieldWidth[i];
    }
    const int last = secondsShown ? SecondsField : MinutesField;
    a.width = a.labelLeft[last] + labelWidth[last];
    return a;
}

} // namespace DurationValue
