// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The small harness of the plain C++ tests of Vesperon's Windows parts, which are cross-built with
// MinGW-w64 and run under Wine, where no Qt is at hand.
//
// A test file defines its cases with WINTEST_CASE(name) { ... } and ends with WINTEST_MAIN (or
// calls WinTest::run() from a main of its own). A case checks with CHECK(condition) and
// CHECK_EQUAL(actual, expected), which report a failure and go on; a WinTest::Row alive in a loop
// over a table names the row in every failure. The program prints each failure with its place,
// one line per case, and at the end "<program>: N passed, N failed"; it exits with 1 when a case
// failed.

#include <cstdint>
#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <io.h>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include <windows.h>

namespace WinTest {

struct Case
{
    const char *name;
    void (*body)();
};

inline std::vector<Case> &cases()
{
    static std::vector<Case> all;
    return all;
}

inline int &failedChecks()
{
    static int count = 0;
    return count;
}

inline std::vector<std::string> &rows()
{
    static std::vector<std::string> names;
    return names;
}

struct Registration
{
    Registration(const char *name, void (*body)()) { cases().push_back({name, body}); }
};

// Names the row of a table that the checks made while it lives belong to.
class Row
{
public:
    explicit Row(std::string name) { rows().push_back(std::move(name)); }
    ~Row() { rows().pop_back(); }
    Row(const Row &) = delete;
    Row &operator=(const Row &) = delete;
};

// Text with its unprintable bytes escaped, in double quotes.
inline std::string quoted(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte >= 0x20 && byte < 0x7f) {
            out += c;
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            out += escape;
        }
    }
    return out + "\"";
}

template<typename T>
std::string show(const T &value);

// A list one item to a line.
template<typename T>
std::string show(const std::vector<T> &values)
{
    std::string out = "{";
    for (const T &value : values)
        out += "\n        " + show(value);
    return out + "\n      }";
}

template<typename T>
std::string show(const T &value)
{
    if constexpr (std::is_convertible_v<const T &, std::string_view>) {
        return quoted(std::string_view(value));
    } else if constexpr (std::is_same_v<T, bool>) {
        return value ? "true" : "false";
    } else if constexpr (std::is_integral_v<T>) {
        std::ostringstream out;
        out << +value;
        if (value < 0 || value > 9)
            out << " (0x" << std::hex << static_cast<std::uint64_t>(value) << ")";
        return out.str();
    } else if constexpr (std::is_pointer_v<T>) {
        std::ostringstream out;
        out << static_cast<const void *>(value);
        return out.str();
    } else {
        std::ostringstream out;
        out << value;
        return out.str();
    }
}

// A whole file written or read through Windows' own calls; a missing file reads as "<missing>".
inline bool writeFile(const std::string &path, const std::string &content)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, content.data(), DWORD(content.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == content.size();
}

inline std::string readFile(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string content;
    char buffer[512];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        content.append(buffer, read);
    CloseHandle(file);
    return content;
}

// Whether the program runs under Wine rather than on Windows itself.
inline bool runsUnderWine()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

inline void fail(const char *file, int line, const std::string &what)
{
    ++failedChecks();
    std::string where;
    for (const std::string &row : rows())
        where += " [" + row + "]";
    std::printf("    %s:%d%s: %s\n", file, line, where.c_str(), what.c_str());
    std::fflush(stdout);
}

template<typename A, typename B>
void checkEqual(const A &actual, const B &expected, const char *actualText, const char *expectedText, const char *file,
                int line)
{
    if (actual == expected)
        return;
    fail(file, line,
         std::string(actualText) + " == " + expectedText + "\n      actual:   " + show(actual)
             + "\n      expected: " + show(expected));
}

inline int run(const char *program)
{
    // Lines end in LF alone, as everywhere else in the test output.
    _setmode(_fileno(stdout), _O_BINARY);
    int passed = 0;
    int failed = 0;
    for (const Case &test : cases()) {
        const int before = failedChecks();
        try {
            test.body();
        } catch (const std::exception &error) {
            fail(__FILE__, __LINE__, std::string("exception: ") + error.what());
        } catch (...) {
            fail(__FILE__, __LINE__, "unknown exception");
        }
        const bool ok = failedChecks() == before;
        (ok ? passed : failed)++;
        std::printf("%s %s\n", ok ? "PASS" : "FAIL", test.name);
        std::fflush(stdout);
    }
    std::printf("%s: %d passed, %d failed\n", program, passed, failed);
    return failed == 0 ? 0 : 1;
}

} // namespace WinTest

#define WINTEST_CASE(name) \
    static void name(); \
    static const WinTest::Registration name##Registration{#name, name}; \
    static void name()

#define CHECK(condition) \
    do { \
        if (!(condition)) \
            WinTest::fail(__FILE__, __LINE__, "CHECK(" #condition ")"); \
    } while (false)

#define CHECK_EQUAL(actual, expected) WinTest::checkEqual((actual), (expected), #actual, #expected, __FILE__, __LINE__)

#define WINTEST_MAIN(program) \
    int main() \
    { \
        return WinTest::run(program); \
    }
