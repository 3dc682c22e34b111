// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sessionbackend.h"

#include <windows.h>

// The session end as Windows offers it: ExitWindowsEx with the request's flags and the reserved
// value 0xFFFFFFFF, and the shutdown privilege of the process's own token. No result is examined:
// when a step of the privilege fails, the next steps run all the same.
//
// The backend reaches Windows only through the table of functions it is given. The program gives
// it the system's own (SessionBackend::createSystem()); tests give it functions that record the
// calls, so that no test can reach the system's ExitWindowsEx.
class Win32SessionBackend final : public SessionBackend
{
public:
    struct Calls
    {
        HANDLE(WINAPI *GetCurrentProcess)();
        BOOL(WINAPI *OpenProcessToken)(HANDLE process, DWORD desiredAccess, PHANDLE token);
        BOOL(WINAPI *LookupPrivilegeValueA)(LPCSTR systemName, LPCSTR name, PLUID luid);
        BOOL(WINAPI *AdjustTokenPrivileges)
        (HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES newState, DWORD bufferLength, PTOKEN_PRIVILEGES previousState,
         PDWORD returnLength);
        BOOL(WINAPI *CloseHandle)(HANDLE handle);
        BOOL(WINAPI *ExitWindowsEx)(UINT flags, DWORD reason);
    };

    // The access the token is opened with: TOKEN_ADJUST_PRIVILEGES + TOKEN_QUERY.
    static constexpr DWORD TokenAccess = 0x28;
    static constexpr DWORD Reserved = 0xFFFFFFFFu;

    explicit Win32SessionBackend(const Calls &calls);

    // GetCurrentProcess, OpenProcessToken with TokenAccess, LookupPrivilegeValueA of
    // "SeShutdownPrivilege" on the local system (""), AdjustTokenPrivileges with the one
    // privilege enabled (a 16-byte record) and room for the previous state, then CloseHandle on
    // the token when one was opened.
    void enableShutdownPrivilege() override;
    void exitWindows(std::uint32_t flags) override;

private:
    Calls m_calls;
};
