// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

// The web link on Windows, without Qt: the browser is the program that the registered command for
// HTML documents names (BrowserCommand), and it is started on a command line of its program path,
// one blank and the address. Windows reads the program back out of that line; the path is not put
// back in quotes, even where it holds blanks, and nothing else of the registered command (its
// arguments, a placeholder for the document) is passed on. Text is in the ANSI code page.
namespace ClickAndBrowse {

// Starts a program from a command line and leaves it running; true when it was started.
using CommandLineStarter = std::function<bool(const std::string &commandLine)>;

// The unnamed value of HKEY_CLASSES_ROOT\htmlfile\shell\open\command; "" when there is none or it
// is not a plain string.
std::string registeredBrowserCommand();

// True when the length of the file at path can be read (zero bytes too); false for no such file, a
// folder, an empty path or a piece of command-line text.
bool FileExists(const std::string &path);

// The command line that opens address in the browser; "" when the registered command names no
// existing program.
std::string browserCommandLine(const std::string &address);

// Hands browserCommandLine(address) to start, when there is one. Nothing is reported: a missing
// command, one without a usable program and a start that fails all end silently.
void OpenInBrowser(const std::string &address, const CommandLineStarter &start) noexcept;

// The system's start: the command line's program in a normal window that receives the focus.
bool startCommandLine(const std::string &commandLine);

} // namespace ClickAndBrowse
