// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QStringView>

#include <optional>

// Deadlines and spans as a user types them on Vesperon's command line.
namespace DeadlineText {

// A span of time: "90s", "45m", "2h", "1h30m", "1h30m15s", or a bare number of minutes ("45").
// Units may come in any order but each at most once. Nothing, a negative or an unknown unit, or a
// span beyond a year (so that a deadline always stays countable) gives no value.
std::optional<qint64> parseSpan(QStringView text);

// A deadline: an ISO 8601 local date and time ("2026-12-24T18:00", "2026-12-24T18:00:30", a blank
// in place of the T), or a time of day alone ("23:30", "23:30:15"), which means its next
// occurrence after now: today, or tomorrow when it has passed. Seconds are whole; an invalid text
// gives an invalid date-time.
QDateTime parseDeadline(QStringView text, const QDateTime &now);

} // namespace DeadlineText
