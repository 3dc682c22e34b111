// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <vector>

// The browser's program in the command line that the system keeps for opening HTML documents.
// The command is split at every double quote, empty pieces kept, and the first piece that names an
// existing file is the program; nothing else of the command counts. A command whose program path
// is not in quotes, with arguments after it, is one piece that names no file: it has no program.
// Free of Qt, so that the Windows web link and its tests build without it.
namespace BrowserCommand {

// Whether a path names an existing file.
using FileTest = std::function<bool(const std::string &path)>;

// "\"C:\\b.exe\" -n" gives "", "C:\\b.exe" and " -n".
std::vector<std::string> splitCommand(const std::string &command);

// The first piece of the command for which fileExists is true; "" when none is.
std::string programFromCommand(const std::string &command, const FileTest &fileExists);

} // namespace BrowserCommand
