// SPDX-License-Identifier: GPL-3.0-or-later
#include "countdownmath.h"

#include <timesource.h>
#include <valuerules.h>

namespace CountdownMath {

QString FormatRemaining(qint32 seconds)
{
    const qint32 days = seconds / 86400;
    qint32 rest = seconds - days * 86400;
    const qint32 hours = rest / 3600;
    rest -= hours * 3600;
    const qint32 minutes = rest / 60;
    const qint32 secs = rest - minutes * 60;
    QString text;
    if (days > 0)
        text = QString::number(days) + QStringLiteral(" Tg. ");
    return text + ValueRules::twoDigits(hours) + u':' + ValueRules::twoDigits(minutes) + u':'
        + ValueRules::twoDigits(secs);
}

Proposal proposeDeadline(const QDateTime &now)
{
    Proposal proposal{now.date(), ValueRules::toInt32(TimeSource::secondsPastMidnight(now) + 3600.0)};
    if (proposal.secondsPastMidnight > 86400) {
        proposal.secondsPastMidnight -= 86400;
        proposal.date = now.date().addDays(1);
    }
    return proposal;
}

qint32 remainingSeconds(float entrySeconds, qint32 processedSecond, const QDate &entryDate, const QDate &today)
{
    qint32 remaining = ValueRules::toInt32(double(entrySeconds) - processedSecond);
    if (entryDate != today)
        remaining = ValueRules::toInt32(double(remaining) + double(today.daysTo(entryDate)) * 86400.0);
    return remaining;
}

} // namespace CountdownMath
