// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "timesource.h"

// A clock for tests: it stands still until it is set or moved on, so a test moves time on instead
// of waiting for it.
class ManualTimeSource final : public TimeSource
{
public:
    explicit ManualTimeSource(const QDateTime &start = QDateTime(QDate(2026, 1, 1), QTime(12, 0)));

    QDateTime currentDateTime() const override { return m_now; }

    void setCurrentDateTime(const QDateTime &now) { m_now = now; }
    void advance(qint64 milliseconds) { m_now = m_now.addMSecs(milliseconds); }

private:
    QDateTime m_now;
};
