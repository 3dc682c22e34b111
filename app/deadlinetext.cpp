// SPDX-License-Identifier: GPL-3.0-or-later
#include "deadlinetext.h"

#include <QRegularExpression>

namespace DeadlineText {

namespace {
constexpr qint64 LongestSpan = 366LL * 86400;

QTime parseTimeOfDay(QStringView text)
{
    for (const char *format : {"HH:mm:ss", "HH:mm", "H:mm:ss", "H:mm"}) {
        const QTime time = QTime::fromString(text.toString(), QLatin1String(format));
        if (time.isValid())
            return time;
    }
    return {};
}
} // namespace

std::optional<qint64> parseSpan(QStringView text)
{
    static const QRegularExpression minutesOnly(QStringLiteral("^\\+?(\\d{1,9})$"));
    static const QRegularExpression part(QStringLiteral("(\\d{1,9})([hms])"));
    const QString span = text.trimmed().toString();
    if (const QRegularExpressionMatch match = minutesOnly.match(span); match.hasMatch()) {
        const qint64 seconds = match.captured(1).toLongLong() * 60;
        return seconds <= LongestSpan ? std::optional<qint64>(seconds) : std::nullopt;
    }
    qint64 seconds = 0;
    QString unitsSeen;
    qsizetype at = 0;
    while (at < span.size()) {
        const QRegularExpressionMatch match =
            part.match(span, at, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
        if (!match.hasMatch())
            return std::nullopt;
        const QChar unit = match.captured(2).at(0);
        if (unitsSeen.contains(unit))
            return std::nullopt;
        unitsSeen += unit;
        const qint64 factor = unit == u'h' ? 3600 : unit == u'm' ? 60 : 1;
        seconds += match.captured(1).toLongLong() * factor;
        if (seconds > LongestSpan)
            return std::nullopt;
        at = match.capturedEnd(0);
    }
    if (unitsSeen.isEmpty())
        return std::nullopt;
    return seconds;
}

QDateTime parseDeadline(QStringView text, const QDateTime &now)
{
    const QString trimmed = text.trimmed().toString();
    if (!trimmed.contains(u'-')) {
        const QTime time = parseTimeOfDay(trimmed);
        if (!time.isValid())
            return {};
        QDateTime deadline(now.date(), time);
        if (deadline <= now)
            deadline = QDateTime(now.date().addDays(1), time);
        return deadline;
    }
    QString iso = trimmed;
    if (iso.size() > 10 && iso.at(10) == u' ')
        iso[10] = u'T';
    const QStringList dateAndTime = iso.split(u'T');
    if (dateAndTime.size() != 2)
        return {};
    const QDate date = QDate::fromString(dateAndTime.at(0), Qt::ISODate);
    const QTime time = parseTimeOfDay(dateAndTime.at(1));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

} // namespace DeadlineText
