// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vesperon_common_export.h"

#include <QDate>
#include <QDateTime>

// Where Vesperon and its controls take the time of day and today's date from. Production code uses
// the system source; tests hand in a ManualTimeSource and move it on instead of waiting.
class VESPERON_COMMON_EXPORT TimeSource
{
public:
    virtual ~TimeSource();

    virtual QDateTime currentDateTime() const = 0;

    QDate today() const { return currentDateTime().date(); }
    // Seconds since local midnight, with the fraction of the clock's milliseconds.
    double secondsPastMidnight() const { return secondsPastMidnight(currentDateTime()); }

    static double secondsPastMidnight(const QDateTime &dateTime);

    // The process-wide source that reads the system clock.
    static TimeSource *system();
};
