// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowsprofile.h"

#include <windows.h>

#include <algorithm>

namespace WindowsProfile {

std::string readString(const std::string &section, const std::string &key, const std::string &defaultValue,
                       int maxLength, const std::string &file)
{
    std::string buffer(static_cast<std::size_t>(std::max(maxLength, 0)) + 1, ' ');
    const DWORD copied = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                                  DWORD(buffer.size()), file.c_str());
    buffer.resize(std::min<std::size_t>(copied, buffer.size() - 1));
    return buffer;
}

bool writeString(const std::string &section, const std::string &key, const std::string &value, const std::string &file)
{
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != 0;
}

} // namespace WindowsProfile
