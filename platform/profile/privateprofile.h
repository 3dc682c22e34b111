// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Private-profile (INI) files: "[section]" lines, each followed by "key=value" lines. Section and
// key names match without regard to case and to the blanks around them; the value is the text
// after the first "=" up to the end of the line, as written.
//
// Reading never fails: a missing or unreadable file, section or key gives the default. Writing
// creates the file, the section and the key as needed and replaces an existing value in place;
// every other byte of the file (comments, other sections, their order, the line endings) stays
// as it was, and the new file replaces the old one in a single step, so a failed write leaves
// the old file whole.
class PrivateProfile final
{
public:
    PrivateProfile() = delete;

    // The value of key in section of file, or defaultValue, cut to at most maxLength characters.
    static QString readString(const QString &section, const QString &key, const QString &defaultValue, int maxLength,
                              const QString &file);

    // Sets key in section of file to value. False when the file could not be read or written, or
    // when a name or the value would not fit on its line (a line break, a "=" in the key, a "]"
    // in the section name, an empty name) or the key line would read as a section ("[" first).
    static bool writeString(const QString &section, const QString &key, const QString &value, const QString &file);
};
