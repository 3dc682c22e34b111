// SPDX-License-Identifier: GPL-3.0-or-later
// The web link on Windows: which registered commands name a browser, the command line it is started
// with, and one real start of a stand-in browser. The registered command is written into a key of
// the test's own that HKEY_CLASSES_ROOT points at while a case runs (RegOverridePredefKey); the
// programs are files in a folder of the test's own, one of them with blanks in its path.
#include "windowsbrowser.h"
#include "wintest.h"

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace ClickAndBrowse;

namespace {

const char *const RecordVariable = "VESPERON_STAND_IN_BROWSER_RECORD";
const std::string Address = "https://example.org/a b?c=1&d=\"2\"";

std::string replaced(std::string text, const std::string &from, const std::string &to)
{
    for (std::string::size_type at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The folder ROOT with the programs "Web Browser\browse.exe" and "other.exe", an empty file
// "empty" and the folder "Web Browser", and HKEY_CLASSES_ROOT pointed at a key of the test's own.
class Scratch
{
public:
    Scratch()
    {
        char temp[MAX_PATH];
        CHECK(GetTempPathA(MAX_PATH, temp) > 0);
        root = std::string(temp) + "vesperon browser " + std::to_string(GetCurrentProcessId());
        CHECK(CreateDirectoryA(root.c_str(), nullptr));
        CHECK(CreateDirectoryA((root + "\\Web Browser").c_str(), nullptr));
        CHECK(WinTest::writeFile(root + "\\Web Browser\\browse.exe", "MZ"));
        CHECK(WinTest::writeFile(root + "\\other.exe", "MZ"));
        CHECK(WinTest::writeFile(root + "\\empty", ""));

        CHECK_EQUAL(RegCreateKeyExA(HKEY_CURRENT_USER, m_keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    &m_classes, nullptr),
                    long(ERROR_SUCCESS));
        CHECK_EQUAL(RegOverridePredefKey(HKEY_CLASSES_ROOT, m_classes), long(ERROR_SUCCESS));
    }

    ~Scratch()
    {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        if (m_classes)
            RegCloseKey(m_classes);
        RegDeleteTreeA(HKEY_CURRENT_USER, m_keyPath.c_str());
        for (const char *file : {"\\Web Browser\\browse.exe", "\\other.exe", "\\empty", "\\record"})
            DeleteFileA((root + file).c_str());
        RemoveDirectoryA((root + "\\Web Browser").c_str());
        RemoveDirectoryA(root.c_str());
    }

    // Registers command, with ROOT standing for the folder, as the command for HTML documents;
    // nullptr removes the key.
    void registerCommand(const char *command, DWORD type = REG_SZ)
    {
        RegDeleteTreeA(m_classes, "htmlfile");
        if (!command)
            return;
        HKEY key = nullptr;
        CHECK_EQUAL(RegCreateKeyExA(m_classes, "htmlfile\\shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    &key, nullptr),
                    long(ERROR_SUCCESS));
        const std::string text = replaced(command, "ROOT", root);
        if (type == REG_DWORD) {
            const DWORD number = 4000000000u;
            CHECK_EQUAL(RegSetValueExA(key, "", 0, type, reinterpret_cast<const BYTE *>(&number), sizeof number),
                        long(ERROR_SUCCESS));
        } else if (type != REG_NONE) {
            CHECK_EQUAL(
                RegSetValueExA(key, "", 0, type, reinterpret_cast<const BYTE *>(text.c_str()), DWORD(text.size() + 1)),
                long(ERROR_SUCCESS));
        }
        RegCloseKey(key);
    }

    std::string root;

private:
    const std::string m_keyPath = "Software\\Vesperon tests\\browser " + std::to_string(GetCurrentProcessId());
    HKEY m_classes = nullptr;
};

} // namespace

WINTEST_CASE(fileExists)
{
    struct Row
    {
        const char *path;
        bool exists;
    };
    const Row rows[] = {
        {"ROOT\\Web Browser\\browse.exe", true},
        {"ROOT\\empty", true},
        {"ROOT\\other.exe", true},
        {"ROOT\\missing.exe", false},
        {"ROOT\\Web Browser", false},
        {"ROOT\\Web Browser\\browse.exe -nohome", false},
        {"", false},
    };
    Scratch scratch;
    for (const Row &row : rows) {
        WinTest::Row name(row.path);
        CHECK_EQUAL(FileExists(replaced(row.path, "ROOT", scratch.root)), row.exists);
    }
}

// The command as it is registered (ROOT: the test's folder) and the command line that OpenInBrowser
// starts, "" where it starts nothing.
WINTEST_CASE(commandLineFromTheRegisteredCommand)
{
    struct Row
    {
        const char *name;
        const char *command; // nullptr: no key
        DWORD type;
        const char *started;
    };
    const Row rows[] = {
        {"quoted path with blanks, blank, arguments", "\"ROOT\\Web Browser\\browse.exe\" -nohome", REG_SZ,
         "ROOT\\Web Browser\\browse.exe ADDRESS"},
        {"quoted path, quoted placeholder", "\"ROOT\\Web Browser\\browse.exe\" -osint -url \"%1\"", REG_SZ,
         "ROOT\\Web Browser\\browse.exe ADDRESS"},
        {"quoted path alone", "\"ROOT\\other.exe\"", REG_SZ, "ROOT\\other.exe ADDRESS"},
        {"path without quotes, alone", "ROOT\\other.exe", REG_SZ, "ROOT\\other.exe ADDRESS"},
        {"path without quotes, with arguments", "ROOT\\other.exe -url %1", REG_SZ, ""},
        {"path with blanks, without quotes", "ROOT\\Web Browser\\browse.exe %1", REG_SZ, ""},
        {"quoted missing program, then an existing one", "\"ROOT\\missing.exe\" \"ROOT\\other.exe\"", REG_SZ,
         "ROOT\\other.exe ADDRESS"},
        {"quoted folder", "\"ROOT\\Web Browser\" %1", REG_SZ, ""},
        {"empty command", "", REG_SZ, ""},
        {"expandable string", "\"ROOT\\other.exe\" %1", REG_EXPAND_SZ, ""},
        {"a number", "", REG_DWORD, ""},
        {"key without its value", "", REG_NONE, ""},
        {"no key", nullptr, REG_SZ, ""},
    };
    Scratch scratch;
    for (const Row &row : rows) {
        WinTest::Row name(row.name);
        scratch.registerCommand(row.command, row.type);
        const std::string expected = replaced(replaced(row.started, "ROOT", scratch.root), "ADDRESS", Address);
        std::vector<std::string> started;
        OpenInBrowser(Address, [&started](const std::string &commandLine) {
            started.push_back(commandLine);
            return true;
        });
        CHECK_EQUAL(started, expected.empty() ? std::vector<std::string>{} : std::vector<std::string>{expected});
        CHECK_EQUAL(browserCommandLine(Address), expected);
    }
}

// Nothing of a failing start reaches the caller, not even an exception.
WINTEST_CASE(failingStartPassesSilently)
{
    Scratch scratch;
    scratch.registerCommand("\"ROOT\\other.exe\" %1");
    int starts = 0;
    OpenInBrowser(Address, [&starts](const std::string &) {
        ++starts;
        return false;
    });
    OpenInBrowser(Address, [&starts](const std::string &) -> bool {
        ++starts;
        throw std::runtime_error("no browser");
    });
    CHECK_EQUAL(starts, 2);
}

// The system's start: this test program, copied to a path with blanks, stands in for the browser
// and writes down the command line it was started with.
WINTEST_CASE(startsTheBrowserForReal)
{
    Scratch scratch;
    char self[MAX_PATH];
    CHECK(GetModuleFileNameA(nullptr, self, MAX_PATH) > 0);
    const std::string browser = scratch.root + "\\Web Browser\\browse.exe";
    CHECK(CopyFileA(self, browser.c_str(), FALSE));
    scratch.registerCommand("\"ROOT\\Web Browser\\browse.exe\" -nohome \"%1\"");
    const std::string record = scratch.root + "\\record";
    CHECK(SetEnvironmentVariableA(RecordVariable, record.c_str()));

    OpenInBrowser(Address, startCommandLine);
    SetEnvironmentVariableA(RecordVariable, nullptr);
    // The stand-in writes its record under another name and then renames it: once the record is
    // there, it is whole.
    for (int waited = 0; waited < 30000 && GetFileAttributesA(record.c_str()) == INVALID_FILE_ATTRIBUTES; waited += 20)
        Sleep(20);
    // Windows hands the program its command line as it was made; Wine puts the path in quotes.
    const std::string program = WinTest::runsUnderWine() ? '"' + browser + '"' : browser;
    CHECK_EQUAL(WinTest::readFile(record), program + " " + Address);
    // The stand-in may still be on its way out; its file is copied over or deleted only then.
    for (int waited = 0; waited < 30000 && !DeleteFileA(browser.c_str()); waited += 20)
        Sleep(20);
}

int main()
{
    char record[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA(RecordVariable, record, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        const std::string part = std::string(record) + ".part";
        return WinTest::writeFile(part, GetCommandLineA())
                && MoveFileExA(part.c_str(), record, MOVEFILE_REPLACE_EXISTING)
            ? 0
            : 1;
    }
    return WinTest::run("tst_windowsbrowser");
}
