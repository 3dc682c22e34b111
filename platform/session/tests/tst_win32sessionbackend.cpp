// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows session end, through tables of functions that record each call: the six actions on
// both system families, steps that fail, and the real privilege calls of the system the test runs
// on. ExitWindowsEx is recorded in every case; this executable holds no way to the system's own.
#include "win32sessionbackend.h"
#include "wintest.h"

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

// What the recording functions were called with, one line per call, in order.
std::vector<std::string> calls;
// Whether the recording functions answer as if every step succeeded.
bool stepsSucceed = true;
// The results of the real privilege calls, in order.
std::vector<BOOL> realResults;
DWORD adjustError = ERROR_SUCCESS;

HANDLE const RecordedProcess = reinterpret_cast<HANDLE>(0x1111);
HANDLE const RecordedToken = reinterpret_cast<HANDLE>(0x2222);
constexpr LUID RecordedLuid = {0x13, 0x7};

std::string hex(std::uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

std::string handleName(HANDLE handle)
{
    if (handle == RecordedProcess)
        return "process";
    if (handle == RecordedToken)
        return "token";
    if (handle == nullptr)
        return "null";
    return "handle " + hex(reinterpret_cast<std::uintptr_t>(handle));
}

// The 16 bytes of a one-privilege record as count, identifier and attributes.
std::string record(const TOKEN_PRIVILEGES *state)
{
    unsigned char bytes[16];
    std::memcpy(bytes, state, sizeof bytes);
    std::uint32_t count = 0;
    std::uint32_t low = 0;
    std::int32_t high = 0;
    std::uint32_t attributes = 0;
    std::memcpy(&count, bytes, 4);
    std::memcpy(&low, bytes + 4, 4);
    std::memcpy(&high, bytes + 8, 4);
    std::memcpy(&attributes, bytes + 12, 4);
    return "{" + std::to_string(count) + ", " + hex(low) + ":" + hex(std::uint32_t(high)) + ", "
        + std::to_string(attributes) + "}";
}

HANDLE WINAPI recordGetCurrentProcess()
{
    calls.push_back("GetCurrentProcess()");
    return RecordedProcess;
}

BOOL WINAPI recordOpenProcessToken(HANDLE process, DWORD access, PHANDLE token)
{
    calls.push_back("OpenProcessToken(" + handleName(process) + ", " + hex(access) + ")");
    if (!stepsSucceed)
        return FALSE;
    *token = RecordedToken;
    return TRUE;
}

BOOL WINAPI recordLookupPrivilegeValueA(LPCSTR systemName, LPCSTR name, PLUID luid)
{
    calls.push_back("LookupPrivilegeValueA(" + WinTest::quoted(systemName ? systemName : "<null>") + ", "
                    + WinTest::quoted(name) + ")");
    if (!stepsSucceed)
        return FALSE;
    *luid = RecordedLuid;
    return TRUE;
}

BOOL WINAPI recordAdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES newState, DWORD length,
                                        PTOKEN_PRIVILEGES previous, PDWORD returnLength)
{
    std::string previousText = previous == nullptr ? "null" : previous == newState ? "the new state" : "room";
    calls.push_back("AdjustTokenPrivileges(" + handleName(token) + ", " + std::to_string(disableAll) + ", "
                    + record(newState) + ", " + std::to_string(length) + ", " + previousText + ", "
                    + (returnLength ? "room" : "null") + ")");
    return stepsSucceed;
}

BOOL WINAPI recordCloseHandle(HANDLE handle)
{
    calls.push_back("CloseHandle(" + handleName(handle) + ")");
    return TRUE;
}

BOOL WINAPI recordExitWindowsEx(UINT flags, DWORD reason)
{
    calls.push_back("ExitWindowsEx(" + std::to_string(flags) + ", " + hex(reason) + ")");
    return stepsSucceed;
}

const Win32SessionBackend::Calls Recording = {
    recordGetCurrentProcess,     recordOpenProcessToken, recordLookupPrivilegeValueA,
    recordAdjustTokenPrivileges, recordCloseHandle,      recordExitWindowsEx,
};

// The system's own privilege calls, each answer kept; the session end itself is recorded.
HANDLE WINAPI realGetCurrentProcess()
{
    calls.push_back("GetCurrentProcess()");
    return ::GetCurrentProcess();
}

BOOL WINAPI realOpenProcessToken(HANDLE process, DWORD access, PHANDLE token)
{
    calls.push_back("OpenProcessToken(" + hex(access) + ")");
    realResults.push_back(::OpenProcessToken(process, access, token));
    return realResults.back();
}

BOOL WINAPI realLookupPrivilegeValueA(LPCSTR systemName, LPCSTR name, PLUID luid)
{
    calls.push_back("LookupPrivilegeValueA(" + WinTest::quoted(systemName) + ", " + WinTest::quoted(name) + ")");
    realResults.push_back(::LookupPrivilegeValueA(systemName, name, luid));
    return realResults.back();
}

BOOL WINAPI realAdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES newState, DWORD length,
                                      PTOKEN_PRIVILEGES previous, PDWORD returnLength)
{
    calls.push_back("AdjustTokenPrivileges(" + record(newState) + ", " + std::to_string(length) + ")");
    ::SetLastError(0xDEAD);
    realResults.push_back(::AdjustTokenPrivileges(token, disableAll, newState, length, previous, returnLength));
    // Success may still mean that the token lacks the privilege: ERROR_NOT_ALL_ASSIGNED.
    adjustError = ::GetLastError();
    return realResults.back();
}

BOOL WINAPI realCloseHandle(HANDLE handle)
{
    calls.push_back("CloseHandle()");
    realResults.push_back(::CloseHandle(handle));
    return realResults.back();
}

const Win32SessionBackend::Calls RealPrivilege = {
    realGetCurrentProcess,     realOpenProcessToken, realLookupPrivilegeValueA,
    realAdjustTokenPrivileges, realCloseHandle,      recordExitWindowsEx,
};

void reset(bool succeed)
{
    calls.clear();
    realResults.clear();
    stepsSucceed = succeed;
}

const std::vector<std::string> PrivilegeSteps = {
    "GetCurrentProcess()",
    "OpenProcessToken(process, 0x28)",
    "LookupPrivilegeValueA(\"\", \"SeShutdownPrivilege\")",
    "AdjustTokenPrivileges(token, 0, {1, 0x13:0x7, 2}, 16, room, room)",
    "CloseHandle(token)",
};

// Whether the token of this process has the shutdown privilege enabled now.
bool shutdownPrivilegeEnabled()
{
    LUID shutdown = {};
    if (!::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &shutdown))
        return false;
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    DWORD size = 0;
    ::GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    bool enabled = false;
    if (size > 0 && ::GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
        const auto *privileges = reinterpret_cast<const TOKEN_PRIVILEGES *>(buffer.data());
        for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
            const LUID_AND_ATTRIBUTES &entry = privileges->Privileges[i];
            if (entry.Luid.LowPart == shutdown.LowPart && entry.Luid.HighPart == shutdown.HighPart)
                enabled = (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
        }
    }
    ::CloseHandle(token);
    return enabled;
}

} // namespace

// Each action on the NT family (1) and the Windows 95 family (0): the privilege steps only for
// shut down and restart on NT, and one ExitWindowsEx with the action's flags in every case.
WINTEST_CASE(sixActionsOnBothFamilies)
{
    struct Action
    {
        const char *name;
        std::uint32_t flags;
        bool privilegeOnNt;
    };
    const Action actions[] = {
        {"log off", SessionBackend::LogOff, false},
        {"force log off", SessionBackend::LogOff | SessionBackend::Force, false},
        {"shut down", SessionBackend::ShutDown, true},
        {"force shut down", SessionBackend::ShutDown | SessionBackend::Force, true},
        {"restart", SessionBackend::Reboot, true},
        {"force restart", SessionBackend::Reboot | SessionBackend::Force, true},
    };
    const std::uint32_t expectedFlags[] = {0, 4, 1, 5, 2, 6};
    for (std::size_t i = 0; i < std::size(actions); ++i) {
        const Action &action = actions[i];
        for (const std::int32_t family : {1, 0}) {
            WinTest::Row row(std::string(action.name) + (family == 1 ? ", NT family" : ", Windows 95 family"));
            reset(true);
            Win32SessionBackend backend(Recording);
            backend.endSession(action.flags, family);

            std::vector<std::string> expected;
            if (action.privilegeOnNt && family == 1)
                expected = PrivilegeSteps;
            expected.push_back("ExitWindowsEx(" + std::to_string(expectedFlags[i]) + ", 0xffffffff)");
            CHECK_EQUAL(calls, expected);
            CHECK_EQUAL(std::string(SessionBackend::describe(action.flags)), std::string(action.name));
        }
    }
}

// No step looks at the one before: with every call failing (no token, no identifier) the
// privilege is still asked for and the session end still requested.
WINTEST_CASE(failingStepsDoNotStopTheNext)
{
    reset(false);
    Win32SessionBackend backend(Recording);
    backend.endSession(SessionBackend::ShutDown | SessionBackend::Force, 1);
    const std::vector<std::string> expected = {
        "GetCurrentProcess()",
        "OpenProcessToken(process, 0x28)",
        "LookupPrivilegeValueA(\"\", \"SeShutdownPrivilege\")",
        "AdjustTokenPrivileges(null, 0, {1, 0x0:0x0, 2}, 16, room, room)",
        "ExitWindowsEx(5, 0xffffffff)",
    };
    CHECK_EQUAL(calls, expected);
}

// The real GetCurrentProcess, OpenProcessToken, LookupPrivilegeValueA and AdjustTokenPrivileges
// of the system the test runs on: each succeeds, the privilege ends up enabled, and the session
// end that follows is recorded only.
WINTEST_CASE(realPrivilegeCallsSucceed)
{
    reset(true);
    Win32SessionBackend backend(RealPrivilege);
    backend.endSession(SessionBackend::ShutDown | SessionBackend::Force, 1);

    LUID shutdown = {};
    CHECK(::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &shutdown));
    const std::vector<std::string> expected = {
        "GetCurrentProcess()",
        "OpenProcessToken(0x28)",
        "LookupPrivilegeValueA(\"\", \"SeShutdownPrivilege\")",
        "AdjustTokenPrivileges({1, " + hex(shutdown.LowPart) + ":" + hex(std::uint32_t(shutdown.HighPart))
            + ", 2}, 16)",
        "CloseHandle()",
        "ExitWindowsEx(5, 0xffffffff)",
    };
    CHECK_EQUAL(calls, expected);
    CHECK_EQUAL(realResults, (std::vector<BOOL>{TRUE, TRUE, TRUE, TRUE}));
    CHECK_EQUAL(adjustError, DWORD(ERROR_SUCCESS));
    CHECK(shutdownPrivilegeEnabled());
}

// The program takes the system family from GetVersion: the system the tests run on is of the NT
// family, so the privilege step is taken there.
WINTEST_CASE(systemIsOfTheNtFamily)
{
    CHECK_EQUAL(SessionBackend::systemVersion() & 0x80000000u, 0u);
}

WINTEST_MAIN("tst_win32sessionbackend")
