// SPDX-License-Identifier: GPL-3.0-or-later
// PrivateProfile on Windows: the system's own private-profile functions (WindowsProfile), with the
// text in the ANSI code page as they take it.
#include "privateprofile.h"

#include "windowsprofile.h"

QString PrivateProfile::readString(const QString &section, const QString &key, const QString &defaultValue,
                                   int maxLength, const QString &file)
{
    return QString::fromLocal8Bit(WindowsProfile::readString(section.toLocal8Bit().toStdString(),
                                                             key.toLocal8Bit().toStdString(),
                                                             defaultValue.toLocal8Bit().toStdString(), maxLength,
                                                             file.toLocal8Bit().toStdString())
                                      .c_str());
}

bool PrivateProfile::writeString(const QString &section, const QString &key, const QString &value, const QString &file)
{
    return WindowsProfile::writeString(section.toLocal8Bit().toStdString(), key.toLocal8Bit().toStdString(),
                                       value.toLocal8Bit().toStdString(), file.toLocal8Bit().toStdString());
}
