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

// The file of that name in its folder whatever the letter case of the name, as Windows finds it:
// the name as given when that file exists, else the first file whose name differs only in case.
QString existingSpelling(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || info.exists())
        return path;
    const QDir folder = info.dir();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &name : names) {
        if (name.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return folder.filePath(name);
    }
    return path;
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
    const QString settingsFile = existingSpelling(m_settingsFilePath);
    if (settingsFile.isEmpty() || canWrite(settingsFile))
        return settingsFile;
    const QString userFile = userFilePath();
    return QFileInfo::exists(userFile) || !QFileInfo::exists(settingsFile) ? userFile : settingsFile;
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
    const QString settingsFile = existingSpelling(alternativeFile ? alternativeFilePath() : m_settingsFilePath);
    QString file = settingsFile;
    if (!alternativeFile && !file.isEmpty() && !canWrite(file)) {
        // The user copy starts from what the program folder holds, so nothing set there is lost.
        file = userFilePath();
        if (!QFileInfo::exists(file)) {
            QDir().mkpath(QFileInfo(file).absolutePath());
            if (QFile::copy(settingsFile, file))
                QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        }
    }
    const bool written = PrivateProfile::writeString(section, key, value, file);
    return written || value.isEmpty();
}
