// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Single values of Vesperon's settings file, "Vesperon.Ini" in the program folder. Names match
// without regard to case; a missing file, section or key reads as "".
class IniHandler final
{
public:
    explicit IniHandler(const QString &programFolder);

    // The settings file; set once at start-up, before the first read.
    QString SettingsFilePath() const { return m_settingsFilePath; }
    void setSettingsFilePath(const QString &path) { m_settingsFilePath = path; }

    // "ORVELL.INI" in the program folder, which only WriteIniValue can be told to use.
    QString alternativeFilePath() const;

    // The value, at most 256 characters of it, without the blanks in front; "" when none.
    QString ReadIniValue(const QString &section, const QString &key) const;

    // False only when a non-empty value could not be written.
    bool WriteIniValue(const QString &section, const QString &key, const QString &value,
                       bool alternativeFile = false) const;

private:
    QString m_programFolder;
    QString m_settingsFilePath;
};
