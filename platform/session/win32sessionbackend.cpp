// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32sessionbackend.h"

#include <windows.h>

void Win32SessionBackend::enableShutdownPrivilege()
{
    HANDLE process = ::GetCurrentProcess();
    HANDLE token = nullptr;
    ::OpenProcessToken(process, TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token);

    LUID shutdownPrivilege = {};
    ::LookupPrivilegeValueA("", "SeShutdownPrivilege", &shutdownPrivilege);

    TOKEN_PRIVILEGES wanted = {};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Luid = shutdownPrivilege;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;

    // Each step runs whether the one before worked or not; a missing privilege shows up only as
    // a refused session end.
    TOKEN_PRIVILEGES previous = {};
    DWORD returnedLength = 0;
    ::AdjustTokenPrivileges(token, FALSE, &wanted, sizeof(TOKEN_PRIVILEGES), &previous, &returnedLength);
    if (token)
        ::CloseHandle(token);
}

void Win32SessionBackend::exitWindows(std::uint32_t flags)
{
    ::ExitWindowsEx(flags, 0xFFFFFFFFu);
}
