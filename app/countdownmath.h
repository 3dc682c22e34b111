// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// The arithmetic of Vesperon's countdown, apart from the window that shows it.
namespace CountdownMath {

// "1 Tg. 02:03:04" for 93784 seconds; the days only when there is at least one.
QString FormatRemaining(qint32 seconds);

// The deadline proposed at start, one hour from now: the time of day in whole seconds (rounded
// halves to even) and its date, tomorrow when the hour runs past midnight. Exactly 86400 stays
// on today's date.
struct Proposal
{
    QDate date;
    qint32 secondsPastMidnight = 0;
};
Proposal proposeDeadline(const QDateTime &now);

// Seconds from the processed second to the deadline given by the time entry and the date entry.
// Throws std::overflow_error when the rest does not fit 32 bits.
qint32 remainingSeconds(float entrySeconds, qint32 processedSecond, const QDate &entryDate, const QDate &today);

} // namespace CountdownMath
