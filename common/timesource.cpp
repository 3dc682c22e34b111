// SPDX-License-Identifier: GPL-3.0-or-later
#include "timesource.h"

namespace {
class SystemTimeSource final : public TimeSource
{
public:
    QDateTime currentDateTime() const override { return QDateTime::currentDateTime(); }
};
} // namespace

TimeSource::~TimeSource() = default;

double TimeSource::secondsPastMidnight(const QDateTime &dateTime)
{
    return dateTime.time().msecsSinceStartOfDay() / 1000.0;
}

TimeSource *TimeSource::system()
{
    static SystemTimeSource source;
    return &source;
}
