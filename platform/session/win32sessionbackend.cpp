// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32sessionbackend.h"

static_assert(sizeof(TOKEN_PRIVILEGES) == 16, "one privilege: count, identifier and attributes");

Win32SessionBackend::Win32SessionBackend(const Calls &calls)
    : m_calls(calls)
{
}

void Win32SessionBackend::enableShutdownPrivilege()
{
    HANDLE process = m_calls.GetCurrentProcess();
    HANDLE token = nullptr;
    m_calls.OpenProcessToken(process, TokenAccess, &token);

    LUID shutdownPrivilege = {};
    m_calls.LookupPrivilegeValueA("", "SeShutdownPrivilege", &shutdownPrivilege);

    TOKEN_PRIVILEGES wanted = {};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Luid = shutdownPrivilege;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;

    // Each step runs whether the one before worked or not; a missing privilege shows up only as
    // a refused session end.
    TOKEN_PRIVILEGES previous = {};
    DWORD returnedLength = 0;
    m_calls.AdjustTokenPrivileges(token, FALSE, &wanted, sizeof(TOKEN_PRIVILEGES), &previous, &returnedLength);
    if (token)
        m_calls.CloseHandle(token);
}

void Win32SessionBackend::exitWindows(std::uint32_t flags)
{
    m_calls.ExitWindowsEx(flags, Reserved);
}
