// SPDX-License-Identifier: GPL-3.0-or-later
// Windows' own private-profile functions behind WindowsProfile: the rows of profilereadcases.h,
// which the layer that stands in for them elsewhere is checked against too, and the writes that
// the settings file sees.
#include "profilereadcases.h"
#include "windowsprofile.h"
#include "wintest.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

using namespace std::string_view_literals;

namespace {

// A folder of the test's own. Every file gets a name of its own: Windows keeps the files it has
// read and may not notice a file rewritten under the same name within the same second.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        char temp[MAX_PATH];
        CHECK(GetTempPathA(MAX_PATH, temp) > 0);
        m_path = std::string(temp) + "vesperon profile " + std::to_string(GetCurrentProcessId());
        CHECK(CreateDirectoryA(m_path.c_str(), nullptr));
    }
    ~ScratchFolder()
    {
        for (const std::string &file : m_files)
            DeleteFileA(file.c_str());
        RemoveDirectoryA(m_path.c_str());
    }

    std::string newFile(const std::string &name)
    {
        m_files.push_back(m_path + "\\" + std::to_string(m_files.size()) + " " + name);
        return m_files.back();
    }

private:
    std::string m_path;
    std::vector<std::string> m_files;
};

} // namespace

WINTEST_CASE(readTable)
{
    using namespace ProfileReadCases;
    const bool wine = WinTest::runsUnderWine();
    ScratchFolder folder;
    for (const ReadCase &row : readCases) {
        WinTest::Row name(row.name);
        const std::string file = folder.newFile("Vesperon.Ini");
        CHECK(WinTest::writeFile(file, fileBytes(row)));
        const char *expected = wine && row.wineExpected ? row.wineExpected
            : row.windowsExpected                       ? row.windowsExpected
                                                        : row.expected;
        CHECK_EQUAL(WindowsProfile::readString(row.section, row.key, row.defaultValue, readBufferSize - 1, file),
                    std::string(expected));
    }
}

// A value longer than the buffer comes back cut to the buffer; a missing file, or a folder in its
// place, reads as the default.
WINTEST_CASE(readLimits)
{
    ScratchFolder folder;
    const std::string file = folder.newFile("Vesperon.Ini");
    CHECK(WinTest::writeFile(file, "[Global]\r\nLong=" + std::string(300, 'x') + "\r\n"));
    CHECK_EQUAL(WindowsProfile::readString("Global", "Long", "", 256, file), std::string(256, 'x'));
    CHECK_EQUAL(WindowsProfile::readString("Global", "Long", "", 10, file), std::string(10, 'x'));
    CHECK_EQUAL(WindowsProfile::readString("Global", "Key", "d", 256, folder.newFile("missing.ini")), std::string("d"));
    const std::string folderInPlace = folder.newFile("folder.ini");
    CHECK(CreateDirectoryA(folderInPlace.c_str(), nullptr));
    CHECK_EQUAL(WindowsProfile::readString("Global", "Key", "d", 256, folderInPlace), std::string("d"));
    RemoveDirectoryA(folderInPlace.c_str());
}

// What the "&Sound" menu writes, into files as the program or a person left them: afterwards the
// entry reads as written, whatever the case of its names, and every other entry reads as before.
// (Windows writes the whole file anew with CR LF line ends; the Linux layer keeps every other
// byte: both read the same.)
WINTEST_CASE(writeTable)
{
    struct Entry
    {
        const char *section;
        const char *key;
        const char *value;
    };
    struct Row
    {
        const char *name;
        bool fileExists;
        std::string_view before;
        const char *value;
        std::vector<Entry> after;
        std::string_view begins; // what the file still begins with
    };
    const Row rows[] = {
        {"new file",
         false,
         ""sv,
         "TRUE",
         {{"Global", "SuppressSound", "TRUE"}},
         "[GLOBAL]\r\nSUPPRESSSOUND=TRUE\r\n"sv},
        {"empty file", true, ""sv, "TRUE", {{"Global", "SuppressSound", "TRUE"}}, "[GLOBAL]"sv},
        {"value replaced, the rest kept",
         true,
         "; my settings\r\n[Global]\r\nSuppressSound = FALSE\r\nOther=x\r\n\r\n[More]\r\nA=1\r\n"sv,
         "TRUE",
         {{"Global", "SuppressSound", "TRUE"}, {"Global", "Other", "x"}, {"More", "A", "1"}},
         "; my settings"sv},
        {"names in lower case in the file",
         true,
         "[global]\nsuppresssound=true\n"sv,
         "FALSE",
         {{"Global", "SuppressSound", "FALSE"}},
         "[global]"sv},
        {"key added to its section",
         true,
         "[Global]\nOther=x\n\n[More]\nA=1\n"sv,
         "TRUE",
         {{"Global", "SuppressSound", "TRUE"}, {"Global", "Other", "x"}, {"More", "A", "1"}},
         "[Global]"sv},
        {"section added",
         true,
         "[More]\r\nA=1"sv,
         "TRUE",
         {{"Global", "SuppressSound", "TRUE"}, {"More", "A", "1"}},
         "[More]"sv},
        {"key added to the first section of the name",
         true,
         "[Global]\nK=1\n[Global]\nK=2\n"sv,
         "TRUE",
         {{"Global", "SuppressSound", "TRUE"}, {"Global", "K", "1"}},
         "[Global]"sv},
        {"key name alone replaced",
         true,
         "[Global]\nSuppressSound\nSuppressSound=FALSE\n"sv,
         "TRUE",
         {{"Global", "SuppressSound", "TRUE"}},
         "[Global]"sv},
        {"quoted value replaced",
         true,
         "[Global]\nSuppressSound = \"TRUE\" \n"sv,
         "FALSE",
         {{"Global", "SuppressSound", "FALSE"}},
         "[Global]"sv},
        {"CR alone",
         true,
         "[Global]\rSuppressSound=FALSE\rOther=1\r"sv,
         "TRUE",
         {{"Global", "SuppressSound", "TRUE"}, {"Global", "Other", "1"}},
         "[Global]"sv},
        {"UTF-8 mark kept",
         true,
         "\xef\xbb\xbf[Global]\nSuppressSound=FALSE\n"sv,
         "TRUE",
         {{"Global", "SuppressSound", "TRUE"}},
         "\xef\xbb\xbf[Global]"sv},
        {"empty value",
         true,
         "[Global]\r\nSuppressSound=TRUE\r\n"sv,
         "",
         {{"Global", "SuppressSound", ""}},
         "[Global]"sv},
        {"UTF-16 stays UTF-16",
         true,
         "\xff\xfe[\0G\0l\0o\0b\0a\0l\0]\0\r\0\n\0S\0u\0p\0p\0r\0e\0s\0s\0S\0o\0u\0n\0d\0=\0F\0A\0L\0S\0E\0\r\0\n\0"sv,
         "TRUE",
         {{"Global", "SuppressSound", "TRUE"}},
         "\xff\xfe[\0G\0"sv},
    };
    ScratchFolder folder;
    for (const Row &row : rows) {
        WinTest::Row name(row.name);
        const std::string file = folder.newFile("Vesperon.Ini");
        if (row.fileExists)
            CHECK(WinTest::writeFile(file, std::string(row.before)));
        CHECK(WindowsProfile::writeString("GLOBAL", "SUPPRESSSOUND", row.value, file));
        for (const Entry &entry : row.after) {
            WinTest::Row read(std::string(entry.section) + "/" + entry.key);
            CHECK_EQUAL(WindowsProfile::readString(entry.section, entry.key, "<none>", 256, file),
                        std::string(entry.value));
        }
        CHECK_EQUAL(WinTest::readFile(file).substr(0, row.begins.size()), std::string(row.begins));
    }
}

// A file that cannot be written: the write says so.
WINTEST_CASE(writeThatFails)
{
    ScratchFolder folder;
    const std::string file = folder.newFile("missing folder") + "\\Vesperon.Ini";
    CHECK(!WindowsProfile::writeString("GLOBAL", "SUPPRESSSOUND", "TRUE", file));
    CHECK_EQUAL(WinTest::readFile(file), std::string("<missing>"));
}

WINTEST_MAIN("tst_windowsprofile")
