// SPDX-License-Identifier: GPL-3.0-or-later
#include "clickandbrowse.h"

#include "browsercommand.h"

#if defined(Q_OS_WIN)
#include "windowsbrowser.h"
#else
#include "mimeassociations.h"

#include <QFileInfo>
#include <QProcess>

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
#endif

namespace ClickAndBrowse {

void OpenInBrowser(const QString &address) noexcept
{
#if defined(Q_OS_WIN)
    OpenInBrowser(address.toLocal8Bit().toStdString(), startCommandLine);
#else
    try {
        const QString program = programFromCommand(browserCommand());
        if (!program.isEmpty())
            processStarter()(program, {address});
    } catch (...) {
    }
#endif
}

bool FileExists(const QString &path)
{
#if defined(Q_OS_WIN)
    return FileExists(path.toLocal8Bit().toStdString());
#else
    if (path.isEmpty())
        return false;
    const QFileInfo file(path);
    return file.isFile();
#endif
}

QStringList splitCommand(const QString &command)
{
    QStringList pieces;
    for (const std::string &piece : BrowserCommand::splitCommand(command.toStdString()))
        pieces.append(QString::fromStdString(piece));
    return pieces;
}

QString programFromCommand(const QString &command)
{
    const auto fileExists = [](const std::string &piece) { return FileExists(QString::fromStdString(piece)); };
    return QString::fromStdString(BrowserCommand::programFromCommand(command.toStdString(), fileExists));
}

QString browserCommand()
{
#if defined(Q_OS_WIN)
    return QString::fromLocal8Bit(registeredBrowserCommand().c_str());
#else
    return MimeAssociations::commandFor(QStringLiteral("text/html"));
#endif
}

#ifndef Q_OS_WIN
void setProcessStarter(ProcessStarter starter)
{
    processStarter() = starter ? std::move(starter) : ProcessStarter(startDetached);
}
#endif

} // namespace ClickAndBrowse
