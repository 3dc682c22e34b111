// SPDX-License-Identifier: GPL-3.0-or-later
#include "browsercommand.h"

namespace BrowserCommand {

std::vector<std::string> splitCommand(const std::string &command)
{
    std::vector<std::string> pieces;
    std::string::size_type begin = 0;
    for (;;) {
        const std::string::size_type quote = command.find('"', begin);
        pieces.push_back(command.substr(begin, quote == std::string::npos ? std::string::npos : quote - begin));
        if (quote == std::string::npos)
            return pieces;
        begin = quote + 1;
    }
}

std::string programFromCommand(const std::string &command, const FileTest &fileExists)
{
    for (const std::string &piece : splitCommand(command)) {
        if (fileExists(piece))
            return piece;
    }
    return {};
}

} // namespace BrowserCommand
