// SPDX-License-Identifier: GPL-3.0-or-later
#include "inihandler.h"

#include "privateprofile.h"

namespace {
constexpr int BufferSize = 257;

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}
} // namespace

IniHandler::IniHandler(const QString &programFolder)
    : m_programFolder(programFolder)
{
}

QString IniHandler::alternativeFilePath() const
{
    return m_programFolder + QStringLiteral("/ORVELL.INI");
}

QString IniHandler::ReadIniValue(const QString &section, const QString &key) const
{
    // The value arrives as in a blank-filled buffer: the text, a NUL, then blanks. Trimming the
    // whole buffer keeps blanks between the text and the NUL, and the NUL is dropped last.
    const QString value =
        PrivateProfile::readString(section, key, QString(), BufferSize - 1, m_settingsFilePath);
    if (value.isEmpty())
        return QString();
    QString buffer(BufferSize, u' ');
    buffer.replace(0, value.size() + 1, value + QChar(u'\0'));
    QString result = trimBlanks(buffer);
    result.chop(1);
    return result;
}

bool IniHandler::WriteIniValue(const QString &section, const QString &key, const QString &value,
                               bool alternativeFile) const
{
    const QString file = alternativeFile ? alternativeFilePath() : m_settingsFilePath;
    const bool written = PrivateProfile::writeString(section, key, value, file);
    return written || value.isEmpty();
}
