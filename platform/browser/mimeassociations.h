// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The freedesktop associations of MIME types with applications: which desktop entry opens a type
// by default, as the desktop's file manager and xdg-mime name it.
//
// The mimeapps.list files are searched in their order of precedence: in XDG_CONFIG_HOME, each of
// XDG_CONFIG_DIRS, XDG_DATA_HOME/applications and each of XDG_DATA_DIRS/applications, each folder's
// desktop-specific lists (for the desktops of XDG_CURRENT_DESKTOP) before its mimeapps.list. The
// default is the first entry of a [Default Applications] list that is installed; failing that, the
// first installed one of the [Added Associations] not removed by a [Removed Associations] of the
// same or a higher file; failing that, the first of the mimeinfo.cache files. An entry is installed
// when the first desktop file of its id in the applications folders is an application that is not
// hidden, has an Exec line and, where it names a TryExec program, that program exists.
namespace MimeAssociations {

// The absolute path of the desktop file of the default application for the type; empty if none.
QString defaultDesktopFile(const QString &mimeType);

// The arguments of a desktop entry's Exec line, with its escapes and quoting undone.
QStringList execArguments(const QString &exec);

// The command of the default application for the type, its program resolved through PATH to an
// absolute path and put in double quotes, followed by the rest of its Exec line: "\"/usr/bin/b\" %u".
// Empty when there is no default or its program cannot be found.
QString commandFor(const QString &mimeType);

} // namespace MimeAssociations
