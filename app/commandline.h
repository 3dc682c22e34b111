// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Vesperon's legacy switches. They are looked for as plain substrings of the argument text (the
// arguments that are not the program's own long options, see StartOptions), anywhere and with no
// separator required: "x-1y" contains "-1", "-12" contains "-1" but not "-2". Several switches in one start are all
// honoured, always in the order -1, -2, -3, -4.
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

    // The six lines that list the switches, joined by CR LF.
    static QString helpText();
};
