// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The web link: opens an address in the user's web browser.
//
// The browser is found from the system's command for opening HTML documents (browserCommand()):
// the command is split at every double quote, and the first piece that names an existing file is
// the browser's program (BrowserCommand). Nothing else of the command is passed on. A command whose
// program path is not in quotes names no existing file and starts nothing. No failure is ever
// reported. On freedesktop systems the program is started on its own with the address as its one
// argument; on Windows the command line of the program path, a blank and the address is started
// (windowsbrowser.h).
namespace ClickAndBrowse {

void OpenInBrowser(const QString &address) noexcept;

// True when path names a file whose length can be read; false for no such file, a folder, an
// empty path or a piece of command-line text.
bool FileExists(const QString &path);

// The pieces of the command between double quotes, empty pieces kept: "\"C:\\b.exe\" -n" gives
// "", "C:\\b.exe" and " -n".
QStringList splitCommand(const QString &command);

// The first piece of the command that names an existing file; empty when none does.
QString programFromCommand(const QString &command);

// The command line with which this system opens HTML documents: on Windows the registered command
// of HTML files; on freedesktop systems the Exec line of the default application for text/html,
// with its program resolved to an absolute path in quotes. Empty when there is none.
QString browserCommand();

#ifndef Q_OS_WIN
// Starts program with arguments and leaves it running; true when it was started.
using ProcessStarter = std::function<bool(const QString &program, const QStringList &arguments)>;

// Replaces the starter of OpenInBrowser (tests record instead of starting); an empty starter puts
// back the one that starts a detached process.
void setProcessStarter(ProcessStarter starter);
#endif

} // namespace ClickAndBrowse
