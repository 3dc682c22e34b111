// SPDX-License-Identifier: GPL-3.0-or-later
#include "clickandbrowse.h"

#include <QFileInfo>
#include <QProcess>

#if defined(Q_OS_WIN)
#include "windowsregistry.h"
#elif defined(Q_OS_UNIX)
#include "mimeassociations.h"
#endif

namespace {

bool startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

ClickAndBrowse::ProcessStarter &processStarter()
{
    static ClickAndBrowse::ProcessStarter starter = startDetached;
    return starter;
}

} // namespace

namespace ClickAndBrowse {

void OpenInBrowser(const QString &address) noexcept
{
    try {
        const QString program = programFromCommand(browserCommand());
        if (!program.isEmpty())
            processStarter()(program, {address});
    } catch (...) {
    }
}

bool FileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo file(path);
    return file.isFile();
}

QStringList splitCommand(const QString &command)
{
    return command.split(QLatin1Char('"'), Qt::KeepEmptyParts);
}

QString programFromCommand(const QString &command)
{
    for (const QString &piece : splitCommand(command)) {
        if (FileExists(piece))
            return piece;
    }
    return {};
}

QString browserCommand()
{
#if defined(Q_OS_WIN)
    return QString::fromLocal8Bit(ReadRegistryString(HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command", "").c_str());
#elif defined(Q_OS_UNIX)
    return MimeAssociations::commandFor(QStringLiteral("text/html"));
#else
    return {};
#endif
}

void setProcessStarter(ProcessStarter starter)
{
    processStarter() = starter ? std::move(starter) : ProcessStarter(startDetached);
}

} // namespace ClickAndBrowse
