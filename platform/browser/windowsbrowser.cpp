// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowsbrowser.h"

#include "browsercommand.h"
#include "windowsregistry.h"

#include <vector>

namespace ClickAndBrowse {

std::string registeredBrowserCommand()
{
    return ReadRegistryString(HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command", "");
}

bool FileExists(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (path.empty() || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string browserCommandLine(const std::string &address)
{
    const std::string program = BrowserCommand::programFromCommand(registeredBrowserCommand(), FileExists);
    return program.empty() ? std::string() : program + ' ' + address;
}

void OpenInBrowser(const std::string &address, const CommandLineStarter &start) noexcept
{
    try {
        const std::string commandLine = browserCommandLine(address);
        if (!commandLine.empty())
            start(commandLine);
    } catch (...) {
    }
}

bool startCommandLine(const std::string &commandLine)
{
    // CreateProcessA may write into the command line it is given.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

} // namespace ClickAndBrowse
