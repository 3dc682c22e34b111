// SPDX-License-Identifier: GPL-3.0-or-later
#include "inihandler.h"

#include "privateprofile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

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

// A settings file is replaced as a whole through a new file beside it, so its folder must be
// writable too.
bool canWrite(const QString &file)
{
    const QFileInfo info(file);
    return QFileInfo(info.absolutePath()).isWritable() && (!info.exists() || info.isWritable());
}
} // namespace

IniHandler::IniHandler(const QString &programFolder)
    : m_programFolder(programFolder)
{
}

QString IniHandler::userFilePath() const
{
    if (!m_userFilePath.isEmpty())
        return m_userFilePath;
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/Vesperon.Ini");
}

QString IniHandler::effectiveFilePath() const
{
    if (m_settingsFilePath.isEmpty() || canWrite(m_settingsFilePath))
        return m_settingsFilePath;
    const QString userFile = userFilePath();
    return QFileInfo::exists(userFile) || !QFileInfo::exists(m_settingsFilePath) ? userFile : m_settingsFilePath;
}

QString IniHandler::alternativeFilePath() const
{
    return m_programFolder + QStringLiteral("/ORVELL.INI");
}

QString IniHandler::ReadIniValue(const QString &section, const QString &key) const
{
    // The value arrives as in a blank-filled buffer: the text, a NUL, then blanks. Trimming the
    // whole buffer keeps blanks between the text and the NUL, and the NUL is dropped last.
    const QString value = PrivateProfile::readString(section, key, QString(), BufferSize - 1, effectiveFilePath());
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
    QString file = alternativeFile ? alternativeFilePath() : m_settingsFilePath;
    if (!alternativeFile && !file.isEmpty() && !canWrite(file)) {
        // The user copy starts from what the program folder holds, so nothing set there is lost.
        file = userFilePath();
        if (!QFileInfo::exists(file)) {
            QDir().mkpath(QFileInfo(file).absolutePath());
            if (QFile::copy(m_settingsFilePath, file))
                QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        }
    }
    const bool written = PrivateProfile::writeString(section, key, value, file);
    return written || value.isEmpty();
}
