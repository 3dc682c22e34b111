// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Private-profile (INI) files, read as the Windows private-profile functions read them: "[section]"
// lines, each followed by "key=value" lines. A line ends at CR LF, LF or a lone CR. Section and key
// names match without regard to case and to the blanks and tabs around them. A file that begins
// with a UTF-16 byte-order mark (little or big endian) is UTF-16 text; any other file is 8-bit
// text in the local encoding (a UTF-8 mark at its start is passed over).
//
// A key's value is the text after the first "=" without the blanks and tabs around it, up to a
// NUL, and without one pair of matching double or single quotes around it. A line that holds a
// key name alone, without "=", is that key with an empty value. Only the first section of a name
// counts, and in it the first line of a key: later ones are hidden.
//
// Reading never fails: a missing or unreadable file, section or key gives the default. Writing
// creates the file, the section and the key as needed and replaces the value of the key line that
// reading finds; every other byte of the file (comments, other sections, their order, the line
// endings, the encoding) stays as it was, and the new file replaces the old one in a single step,
// so a failed write leaves the old file whole.
//
// On Windows the system's own functions read and write (WindowsProfile), and their rules hold
// there; the rows of profilereadcases.h say where the two answer differently.
class PrivateProfile final
{
public:
    PrivateProfile() = delete;

    // The value of key in section of file, or else defaultValue without its trailing blanks; either
    // cut to at most maxLength characters.
    static QString readString(const QString &section, const QString &key, const QString &defaultValue, int maxLength,
                              const QString &file);

    // Sets key in section of file to value, in the file's encoding; a new key line or section takes
    // the line ending of the file's first line. False when the file could not be read or written,
    // or when a name or the value would not fit on its line (a line break or a NUL, a "=" in the
    // key, a "]" in the section name, an empty name) or the key line would read as a section ("["
    // first).
    static bool writeString(const QString &section, const QString &key, const QString &value, const QString &file);
};
