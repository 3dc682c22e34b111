// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <QtGlobal>

// The deadline countdown of Vesperon's main window, without the window: what each tick of the armed
// countdown means, given the time of day, today's date and the deadline entries as they are now.
//
// A tick processes at most one new second: a tick within the second already processed is skipped.
// A processed tick works out the seconds left until the deadline (the time entry minus the current
// second rounded to the nearest, plus the days between today and the date entry) and answers:
// - refuse: the deadline lies in the past, or the entries give no deadline (no date, or a rest beyond
//   32 bits). The window says so and disarms.
// - show: the rest as the text under the clock, the tray image of this blink phase, and the warning
//   that falls due now. Each warning is given once per arming, the three-minute one with more than
//   60 and at most 180 seconds left, the one-minute one with more than 10 and at most 60.
// - carry out: nothing is left; the armed action is due. Also when a deadline that was still ahead at
//   the last processed tick has passed meanwhile with the entries unchanged (the machine slept over
//   it, the clock jumped): a countdown that ran acts late rather than never. A deadline that was
//   past when armed, or that the user moves into the past, is refused instead.
//
// The warnings given stay given when the countdown is armed again for the other action; only
// disarming clears them. The blink phase and the processed second carry over from one arming to the
// next.
class Countdown final
{
public:
    enum class Action { ShutDown, Restart };
    enum class Warning { None, ThreeMinutes, OneMinute };

    // What the window reads once per tick.
    struct Reading
    {
        double secondsPastMidnight = 0.0; // the time of day, with its fraction
        QDate today;
        float entrySeconds = 0.0f; // the time entry
        QDate entryDate;           // the date entry; invalid when it holds no date
        Action action = Action::ShutDown;
    };

    struct Answer
    {
        enum Kind { Skip, Refuse, Show, CarryOut };
        Kind kind = Skip;
        // Show, and CarryOut when this tick found nothing left: the text under the clock and the
        // tray image (1 or 2). Empty and 0 when the tick changes neither.
        QString text;
        qint16 trayImage = 0;
        Warning warning = Warning::None; // the warning that fell due in this tick
        qint32 remaining = -1;           // Show and CarryOut: the seconds left
    };

    Countdown() = default;
    Q_DISABLE_COPY_MOVE(Countdown)

    // The countdown starts, or goes on for the other action: a deadline that passes from now on is
    // judged against this arming's ticks only.
    void arm();
    // The user disarmed or the deadline was refused: the warnings are due again at the next arming.
    void disarm();
    // The deadline was postponed: the warnings fall due again for the new deadline.
    void postpone();

    Answer tick(const Reading &reading);

    // The seconds left as of the last processed tick of this arming, 0 once the action is due;
    // -1 while disarmed, before the first processed tick and after a refusal.
    qint32 lngRemaining() const { return m_remaining; }
    bool blnWarned3Min() const { return m_warned3Min; }
    bool blnWarned1Min() const { return m_warned1Min; }

private:
    qint32 remainingFor(const Reading &reading) const;

    qint32 m_lastSecond = 0;
    bool m_blink = false;
    bool m_warned3Min = false;
    bool m_warned1Min = false;
    qint32 m_remaining = -1;

    // What the last processed tick of this arming read, so that a deadline that passed while the
    // countdown ran is told apart from one that was already past or that the user moved there.
    float m_lastEntrySeconds = 0.0f;
    QDate m_lastEntryDate;
    bool m_timeWasLeft = false;
};
