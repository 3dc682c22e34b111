// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Vesperon's command line. The switches are looked for as plain substrings of the argument
// text, anywhere and with no separator required: "x-1y" contains "-1", "-12" contains "-1" but
// not "-2". Several switches in one start are all honoured, always in the order -1, -2, -3, -4.
class CommandLine final
{
public:
    struct Switches
    {
        bool noMessages = false;    // "/NOMSG"
        bool logOff = false;        // "-1"
        bool forceLogOff = false;   // "-2"
        bool shutDown = false;      // "-3"
        bool forceShutDown = false; // "-4"
    };

    CommandLine() = delete;

    static Switches parse(const QString &argumentText);

    // The arguments after the program's own name, joined by blanks.
    static QString argumentText(const QStringList &arguments);

    // A dry run asks nothing of the system: "--dry-run" among the arguments, or the environment
    // variable VESPERON_DRY_RUN set to 1.
    static bool isDryRun(const QStringList &arguments, const QByteArray &dryRunVariable);

    // The six lines that list the switches, joined by CR LF.
    static QString helpText();
};
