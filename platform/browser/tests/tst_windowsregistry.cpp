// SPDX-License-Identifier: GPL-3.0-or-later
// The registry reading of the web link, against values that the test writes into a key of its own.
// HKEY_CLASSES_ROOT is pointed at that key while a case runs (RegOverridePredefKey), so the test
// reads through the same root as the web link and never changes the classes of the system it runs
// on.
#include "windowsregistry.h"
#include "wintest.h"

#include <string>

using ClickAndBrowse::QueryRegistryValue;
using ClickAndBrowse::ReadRegistryString;
using ClickAndBrowse::RegistryValue;

namespace {

// A key of the test's own under HKEY_CURRENT_USER, seen as HKEY_CLASSES_ROOT while it lives, with
// the values of one subkey "Vesperon\web" that the cases read.
class ScratchClasses
{
public:
    ScratchClasses()
    {
        CHECK_EQUAL(RegCreateKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_root,
                                    nullptr),
                    long(ERROR_SUCCESS));
        CHECK_EQUAL(RegOverridePredefKey(HKEY_CLASSES_ROOT, m_root), long(ERROR_SUCCESS));
        CHECK_EQUAL(RegCreateKeyExA(m_root, "Vesperon\\web", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr),
                    long(ERROR_SUCCESS));
        setText("", REG_SZ, "\"C:\\Program Files\\Web\\browse.exe\" -nohome");
        setText("plain", REG_SZ, "text");
        setText("expandable", REG_EXPAND_SZ, "%ProgramFiles%\\Web\\browse.exe");
        setText("empty", REG_SZ, "");
        setText("list", REG_MULTI_SZ, std::string("a\0b\0", 4));
        setNumber("number", 4000000000u);
        setNumber("zero", 0);
        const unsigned char bytes[] = {1, 2, 3};
        CHECK_EQUAL(RegSetValueExA(m_key, "binary", 0, REG_BINARY, bytes, sizeof bytes), long(ERROR_SUCCESS));
    }

    ~ScratchClasses()
    {
        if (m_key)
            RegCloseKey(m_key);
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        if (m_root)
            RegCloseKey(m_root);
        RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
    }

    HKEY key() const { return m_key; }

private:
    void setText(const char *name, DWORD type, const std::string &text)
    {
        CHECK_EQUAL(
            RegSetValueExA(m_key, name, 0, type, reinterpret_cast<const BYTE *>(text.c_str()), DWORD(text.size() + 1)),
            long(ERROR_SUCCESS));
    }
    void setNumber(const char *name, DWORD number)
    {
        CHECK_EQUAL(RegSetValueExA(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&number), sizeof number),
                    long(ERROR_SUCCESS));
    }

    const std::string m_path = "Software\\Vesperon tests\\registry " + std::to_string(GetCurrentProcessId());
    HKEY m_root = nullptr;
    HKEY m_key = nullptr;
};

std::string shown(const RegistryValue &value)
{
    if (const auto *text = std::get_if<std::string>(&value))
        return "string " + WinTest::quoted(*text);
    if (const auto *number = std::get_if<std::uint32_t>(&value))
        return "number " + std::to_string(*number);
    return "nothing";
}

} // namespace

// The status of each kind of value and what the value holds afterwards: strings and 32-bit numbers
// are read, other types give -1 and leave the value as it was, and so does a value that is not
// there (the registry's own error code).
WINTEST_CASE(queryRegistryValue)
{
    struct Row
    {
        const char *valueName;
        long status;
        const char *after; // as shown(); the value starts as the string "kept"
    };
    const Row rows[] = {
        {"", 0, "string \"\\\"C:\\\\Program Files\\\\Web\\\\browse.exe\\\" -nohome\""},
        {"plain", 0, "string \"text\""},
        {"empty", 0, "string \"\""},
        {"number", 0, "number 4000000000"},
        {"zero", 0, "number 0"},
        {"expandable", -1, "string \"kept\""},
        {"list", -1, "string \"kept\""},
        {"binary", -1, "string \"kept\""},
        {"missing", ERROR_FILE_NOT_FOUND, "string \"kept\""},
    };
    ScratchClasses classes;
    for (const Row &row : rows) {
        WinTest::Row name(row.valueName);
        RegistryValue value = std::string("kept");
        CHECK_EQUAL(QueryRegistryValue(classes.key(), row.valueName, value), row.status);
        CHECK_EQUAL(shown(value), std::string(row.after));
    }
}

// A key that failed to open stays 0; the query then fails with the registry's code for a bad key.
WINTEST_CASE(queryWithoutAnOpenKey)
{
    RegistryValue value = std::uint32_t(7);
    CHECK_EQUAL(QueryRegistryValue(nullptr, "", value), long(ERROR_INVALID_HANDLE));
    CHECK_EQUAL(shown(value), std::string("number 7"));
}

WINTEST_CASE(readRegistryString)
{
    struct Row
    {
        const char *subKey;
        const char *valueName;
        const char *expected;
    };
    const Row rows[] = {
        {"Vesperon\\web", "", "\"C:\\Program Files\\Web\\browse.exe\" -nohome"},
        {"vesperon\\WEB", "plain", "text"},
        {"Vesperon\\web", "empty", ""},
        {"Vesperon\\web", "number", "4000000000"},
        {"Vesperon\\web", "zero", "0"},
        {"Vesperon\\web", "expandable", ""},
        {"Vesperon\\web", "binary", ""},
        {"Vesperon\\web", "missing", ""},
        {"Vesperon\\missing", "", ""},
        {"Missing\\web", "plain", ""},
    };
    ScratchClasses classes;
    for (const Row &row : rows) {
        WinTest::Row name(std::string(row.subKey) + " " + WinTest::quoted(row.valueName));
        CHECK_EQUAL(ReadRegistryString(HKEY_CLASSES_ROOT, row.subKey, row.valueName), std::string(row.expected));
    }
}

WINTEST_MAIN("tst_windowsregistry")
