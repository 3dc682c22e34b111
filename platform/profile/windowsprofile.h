// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// Private-profile (INI) files through Windows' own functions, GetPrivateProfileStringA and
// WritePrivateProfileStringA, without Qt: the half of PrivateProfile that Vesperon uses on Windows.
// Names, values and the file's path are text in the ANSI code page; the file is read and written as
// Windows reads and writes it.
namespace WindowsProfile {

// The value of key in section of file, or else defaultValue without its trailing blanks; either
// cut to at most maxLength characters (the buffer handed to Windows holds maxLength characters and
// the NUL).
std::string readString(const std::string &section, const std::string &key, const std::string &defaultValue,
                       int maxLength, const std::string &file);

// Sets key in section of file to value, creating the file, the section and the key as needed;
// false when Windows reports that the write failed.
bool writeString(const std::string &section, const std::string &key, const std::string &value, const std::string &file);

} // namespace WindowsProfile
