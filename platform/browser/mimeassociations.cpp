// SPDX-License-Identifier: GPL-3.0-or-later
#include "mimeassociations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStandardPaths>
#include <QTextStream>

namespace {

using Groups = QHash<QString, QHash<QString, QString>>;

// Desktop-entry style key files. Keys keep their case and may hold slashes ("text/html").
Groups readKeyFile(const QString &path)
{
    Groups groups;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return groups;
    QTextStream in(&file);
    QString group;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            group = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0 || group.isEmpty())
            continue;
        const QString key = line.left(equals).trimmed();
        if (!groups[group].contains(key)) // the first of repeated keys holds
            groups[group].insert(key, line.mid(equals + 1).trimmed());
    }
    return groups;
}

QStringList listValue(const Groups &groups, const QString &group, const QString &key)
{
    return groups.value(group).value(key).split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

QString environmentPath(const char *name, const QString &fallback)
{
    const QString value = qEnvironmentVariable(name);
    return QDir::isAbsolutePath(value) ? value : fallback;
}

QStringList environmentPaths(const char *name, const QStringList &fallback)
{
    QStringList paths;
    for (const QString &path : qEnvironmentVariable(name).split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(path))
            paths.append(path);
    }
    return paths.isEmpty() ? fallback : paths;
}

QStringList applicationFolders()
{
    QStringList folders{environmentPath("XDG_DATA_HOME", QDir::homePath() + QLatin1String("/.local/share"))};
    folders += environmentPaths("XDG_DATA_DIRS", {QStringLiteral("/usr/local/share"), QStringLiteral("/usr/share")});
    for (QString &folder : folders)
        folder += QLatin1String("/applications");
    return folders;
}

QStringList mimeappsLists()
{
    QStringList desktops;
    for (const QString &desktop :
         qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        desktops.append(desktop.toLower());

    QStringList folders{environmentPath("XDG_CONFIG_HOME", QDir::homePath() + QLatin1String("/.config"))};
    folders += environmentPaths("XDG_CONFIG_DIRS", {QStringLiteral("/etc/xdg")});
    folders += applicationFolders();

    QStringList lists;
    for (const QString &folder : std::as_const(folders)) {
        for (const QString &desktop : std::as_const(desktops))
            lists.append(folder + QLatin1Char('/') + desktop + QLatin1String("-mimeapps.list"));
        lists.append(folder + QLatin1String("/mimeapps.list"));
    }
    return lists;
}

// The file of a desktop id below folder; a '-' in the id may stand for a subfolder.
QString findDesktopFile(const QString &folder, const QString &id)
{
    const QString direct = folder + QLatin1Char('/') + id;
    if (QFileInfo(direct).isFile())
        return direct;
    for (qsizetype dash = id.indexOf(QLatin1Char('-')); dash > 0; dash = id.indexOf(QLatin1Char('-'), dash + 1)) {
        const QString subfolder = folder + QLatin1Char('/') + id.left(dash);
        if (QFileInfo(subfolder).isDir()) {
            const QString found = findDesktopFile(subfolder, id.mid(dash + 1));
            if (!found.isEmpty())
                return found;
        }
    }
    return {};
}

bool programExists(const QString &program)
{
    if (program.contains(QLatin1Char('/')))
        return QFileInfo(program).isExecutable();
    return !QStandardPaths::findExecutable(program).isEmpty();
}

// The desktop file of an installed application with that id; empty if it is not installed.
QString installedDesktopFile(const QString &id)
{
    for (const QString &folder : applicationFolders()) {
        const QString path = findDesktopFile(folder, id);
        if (path.isEmpty())
            continue;
        // The first file of an id hides those of lower folders, also when it is no application.
        const auto entry = readKeyFile(path).value(QStringLiteral("Desktop Entry"));
        if (entry.value(QStringLiteral("Type")) != QLatin1String("Application")
            || entry.value(QStringLiteral("Hidden")) == QLatin1String("true")
            || entry.value(QStringLiteral("Exec")).isEmpty())
            return {};
        const QString tryExec = entry.value(QStringLiteral("TryExec"));
        if (!tryExec.isEmpty() && !programExists(tryExec))
            return {};
        return QFileInfo(path).absoluteFilePath();
    }
    return {};
}

// Undoes the escapes of a desktop entry's string values.
QString unescapeString(const QString &value)
{
    QString result;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            result.append(c);
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            result.append(QLatin1Char(' '));
            break;
        case 'n':
            result.append(QLatin1Char('\n'));
            break;
        case 't':
            result.append(QLatin1Char('\t'));
            break;
        case 'r':
            result.append(QLatin1Char('\r'));
            break;
        case '\\':
            result.append(QLatin1Char('\\'));
            break;
        default:
            result.append(QLatin1Char('\\')).append(next);
            break;
        }
    }
    return result;
}

} // namespace

namespace MimeAssociations {

QString defaultDesktopFile(const QString &mimeType)
{
    const QStringList lists = mimeappsLists();
    QList<Groups> files;
    for (const QString &list : lists)
        files.append(readKeyFile(list));

    for (const Groups &groups : std::as_const(files)) {
        for (const QString &id : listValue(groups, QStringLiteral("Default Applications"), mimeType)) {
            const QString path = installedDesktopFile(id);
            if (!path.isEmpty())
                return path;
        }
    }

    QSet<QString> removed;
    for (const Groups &groups : std::as_const(files)) {
        for (const QString &id : listValue(groups, QStringLiteral("Removed Associations"), mimeType))
            removed.insert(id);
        for (const QString &id : listValue(groups, QStringLiteral("Added Associations"), mimeType)) {
            if (removed.contains(id))
                continue;
            const QString path = installedDesktopFile(id);
            if (!path.isEmpty())
                return path;
        }
    }

    for (const QString &folder : applicationFolders()) {
        const Groups cache = readKeyFile(folder + QLatin1String("/mimeinfo.cache"));
        for (const QString &id : listValue(cache, QStringLiteral("MIME Cache"), mimeType)) {
            if (removed.contains(id))
                continue;
            const QString path = installedDesktopFile(id);
            if (!path.isEmpty())
                return path;
        }
    }
    return {};
}

QStringList execArguments(const QString &exec)
{
    const QString line = unescapeString(exec);
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < line.size()) {
                current.append(line.at(++i));
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                current.append(c);
            }
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inArgument)
                arguments.append(current);
            current.clear();
            inArgument = false;
        } else {
            inArgument = true;
            if (c == QLatin1Char('"'))
                quoted = true;
            else
                current.append(c);
        }
    }
    if (inArgument)
        arguments.append(current);
    return arguments;
}

QString commandFor(const QString &mimeType)
{
    const QString desktopFile = defaultDesktopFile(mimeType);
    if (desktopFile.isEmpty())
        return {};
    const QString exec = readKeyFile(desktopFile).value(QStringLiteral("Desktop Entry")).value(QStringLiteral("Exec"));
    QStringList arguments = execArguments(exec);
    if (arguments.isEmpty())
        return {};

    const QString program = arguments.takeFirst();
    QString path;
    if (program.contains(QLatin1Char('/')))
        path = QDir::isAbsolutePath(program) ? QDir::cleanPath(program) : QString();
    else
        path = QStandardPaths::findExecutable(program);
    if (path.isEmpty() || path.contains(QLatin1Char('"')))
        return {};

    QString command = QLatin1Char('"') + path + QLatin1Char('"');
    if (!arguments.isEmpty())
        command += QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
    return command;
}

} // namespace MimeAssociations
