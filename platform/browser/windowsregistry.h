// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <variant>

// Reading one value of the Windows registry, without Qt. Part of the web link: the command that
// opens HTML documents is the unnamed value of HKEY_CLASSES_ROOT\htmlfile\shell\open\command.
namespace ClickAndBrowse {

// A value as it was read: nothing yet, a string, or a 32-bit number.
using RegistryValue = std::variant<std::monostate, std::string, std::uint32_t>;

// The value of valueName ("" for the key's unnamed value) under rootKey\subKeyPath as text: a
// string unchanged, a number as its decimal digits; "" when it cannot be read or has another type.
std::string ReadRegistryString(HKEY rootKey, const std::string &subKeyPath, const std::string &valueName);

// Fills value from valueName of the open key. Returns 0 on success, -1 for a type other than
// string (1) and 32-bit number (4), otherwise the registry's error code; value stays as it was
// when the value cannot be found, and a string that fails to read leaves it empty.
long QueryRegistryValue(HKEY key, const std::string &valueName, RegistryValue &value);

} // namespace ClickAndBrowse
