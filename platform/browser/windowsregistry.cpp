// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowsregistry.h"

#include <new>
#include <vector>

namespace ClickAndBrowse {

std::string ReadRegistryString(HKEY rootKey, const std::string &subKeyPath, const std::string &valueName)
{
    HKEY key = nullptr;
    // The open is not checked: with no key the query fails in turn.
    RegOpenKeyExA(rootKey, subKeyPath.c_str(), 0, 0x3F, &key);
    RegistryValue value;
    QueryRegistryValue(key, valueName, value);
    if (key)
        RegCloseKey(key);

    if (const auto *text = std::get_if<std::string>(&value))
        return *text;
    if (const auto *number = std::get_if<std::uint32_t>(&value))
        return std::to_string(*number);
    return {};
}

long QueryRegistryValue(HKEY key, const std::string &valueName, RegistryValue &value)
{
    long status = ERROR_SUCCESS;
    try {
        DWORD type = 0;
        DWORD size = 0;
        status = RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS)
            return status;

        switch (type) {
        case REG_SZ: {
            const DWORD storedSize = size;
            std::vector<char> buffer(storedSize, '\0');
            status = RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE *>(buffer.data()),
                                      &size);
            if (status == ERROR_SUCCESS)
                value = std::string(buffer.data(), storedSize > 0 ? storedSize - 1 : 0);
            else
                value = std::string();
            return status;
        }
        case REG_DWORD: {
            DWORD number = 0;
            DWORD numberSize = sizeof(number);
            status = RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE *>(&number),
                                      &numberSize);
            if (status == ERROR_SUCCESS)
                value = static_cast<std::uint32_t>(number);
            return status;
        }
        default:
            return -1;
        }
    } catch (const std::bad_alloc &) {
        return status;
    }
}

} // namespace ClickAndBrowse
