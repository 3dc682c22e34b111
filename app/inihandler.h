// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Single values of Vesperon's settings file, "Vesperon.Ini" in the program folder, read and written
// as the Windows private-profile functions do (see PrivateProfile). Names match without regard to
// case; a missing file, section or key reads as "". A file carried over from Windows may have its
// name in another letter case ("VESPERON.INI", "vesperon.ini"): where no file has the name as
// written, the first file of the program folder whose name differs from it only in case is the
// settings file, read and written (the same holds for "ORVELL.INI").
//
// An installed program folder (under /usr) cannot be written by its users. Where the settings
// file there cannot be written, a per-user copy stands in for it: values are read from the user
// copy once it exists, else from the file in the program folder, and are written to the user
// copy, which starts as a copy of the program-folder file.
class IniHandler final
{
public:
    explicit IniHandler(const QString &programFolder);

    // The settings file; set once at start-up, before the first read.
    QString SettingsFilePath() const { return m_settingsFilePath; }
    void setSettingsFilePath(const QString &path) { m_settingsFilePath = path; }

    // The per-user copy: "Vesperon.Ini" in the user's configuration folder for the program.
    QString userFilePath() const;
    void setUserFilePath(const QString &path) { m_userFilePath = path; }

    // The file that values are read from and written to now, with its name as found on disk.
    QString effectiveFilePath() const;

    // "ORVELL.INI" in the program folder, which only WriteIniValue can be told to use.
    QString alternativeFilePath() const;

    // The value, at most 256 characters of it, as it comes out of a blank-filled buffer: blanks in
    // front dropped, blanks behind kept (only quotes around a value can keep any); "" when none.
    QString ReadIniValue(const QString &section, const QString &key) const;

    // False only when a non-empty value could not be written.
    bool WriteIniValue(const QString &section, const QString &key, const QString &value,
                       bool alternativeFile = false) const;

private:
    QString m_programFolder;
    QString m_settingsFilePath;
    QString m_userFilePath;
};
