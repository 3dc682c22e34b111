// SPDX-License-Identifier: GPL-3.0-or-later
#include "countdown.h"

#include "countdownmath.h"

#include <valuerules.h>

#include <cmath>

void Countdown::arm()
{
    m_timeWasLeft = false;
}

void Countdown::disarm()
{
    m_warned3Min = false;
    m_warned1Min = false;
    m_remaining = -1;
}

void Countdown::postpone()
{
    m_warned3Min = false;
    m_warned1Min = false;
}

qint32 Countdown::remainingFor(const Reading &reading) const
{
    qint32 remaining = -1;
    if (reading.entryDate.isValid()) {
        // A rest beyond 32 bits cannot be counted down; it is refused like a wrong entry.
        ValueRules::withoutOverflow([&] {
            remaining =
                CountdownMath::remainingSeconds(reading.entrySeconds, m_lastSecond, reading.entryDate, reading.today);
        });
    }
    return remaining;
}

Countdown::Answer Countdown::tick(const Reading &reading)
{
    Answer answer;
    if (qint64(std::floor(reading.secondsPastMidnight)) == m_lastSecond)
        return answer;
    m_lastSecond = ValueRules::toInt32(reading.secondsPastMidnight);

    const qint32 remaining = remainingFor(reading);
    const bool entriesUnchanged = reading.entrySeconds == m_lastEntrySeconds && reading.entryDate == m_lastEntryDate;
    const bool passedWhileArmed = remaining < 0 && m_timeWasLeft && entriesUnchanged;
    m_lastEntrySeconds = reading.entrySeconds;
    m_lastEntryDate = reading.entryDate;
    m_timeWasLeft = remaining >= 0;

    if (passedWhileArmed) {
        m_remaining = 0;
        answer.kind = Answer::CarryOut;
        answer.remaining = 0;
        return answer;
    }
    if (remaining < 0) {
        m_remaining = -1;
        answer.kind = Answer::Refuse;
        return answer;
    }

    m_remaining = remaining;
    answer.kind = remaining == 0 ? Answer::CarryOut : Answer::Show;
    answer.remaining = remaining;
    answer.text = QStringLiteral("Time until ")
        + (reading.action == Action::ShutDown ? QStringLiteral("Shutdown") : QStringLiteral("Restart"))
        + QStringLiteral(": ") + CountdownMath::FormatRemaining(remaining);
    m_blink = !m_blink;
    answer.trayImage = m_blink ? 2 : 1;
    if (remaining <= 180 && remaining > 60 && !m_warned3Min) {
        m_warned3Min = true;
        answer.warning = Warning::ThreeMinutes;
    }
    if (remaining <= 60 && remaining > 10 && !m_warned1Min) {
        m_warned1Min = true;
        answer.warning = Warning::OneMinute;
    }
    return answer;
}
