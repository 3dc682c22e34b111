// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "countdown.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// What one start of Vesperon asks for through its own long options:
//
//   --shutdown-at TIME, --restart-at TIME    arm for a time of day or an ISO 8601 local date-time
//   --shutdown-in SPAN, --restart-in SPAN    arm for now plus a span ("45m", "90s", "1h30m")
//   --postpone SPAN, --cancel, --status      talk to the running Vesperon
//   --dry-run, --help, --version
//
// The program's own options and their values are taken out of the arguments before the legacy
// switches "-1".."-4" and "/NOMSG" are looked for in the rest, so that no date, time or span given
// to an option (such as "2026-12-11") can ever be read as one of them. An argument is the
// program's own when it begins with "--" and a letter, or is "-h" or "-v"; an option that takes a
// value takes the next argument whatever it looks like, unless it is given as "--option=value".
class StartOptions final
{
public:
    enum class Request { Open, Arm, Postpone, Cancel, Status, Help, Version };
    using Action = Countdown::Action;

    // Reads the arguments (the program's name first); now anchors times of day and spans.
    static StartOptions read(const QStringList &arguments, const QDateTime &now);

    // The full usage, for --help.
    static QString usage();

    Request request() const { return m_request; }
    Action action() const { return m_action; }
    // The deadline to arm for (Request::Arm).
    QDateTime deadline() const { return m_deadline; }
    // The seconds to postpone by (Request::Postpone).
    qint64 postponeSeconds() const { return m_postponeSeconds; }
    bool isDryRun() const { return m_dryRun; }
    // The arguments that are not the program's own options, joined by blanks: where the legacy
    // switches are looked for.
    QString legacyText() const { return m_legacyText; }
    // Empty when the arguments were understood; otherwise one line that says what was wrong.
    QString errorText() const { return m_error; }

private:
    Request m_request = Request::Open;
    Action m_action = Action::ShutDown;
    QDateTime m_deadline;
    qint64 m_postponeSeconds = 0;
    bool m_dryRun = false;
    QString m_legacyText;
    QString m_error;
};
