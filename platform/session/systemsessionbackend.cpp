// SPDX-License-Identifier: GPL-3.0-or-later
// The one place that hands a backend the system's own session end. It stays in a file of its own
// that only the program links: the tests of the backends build without it, so no test executable
// holds a way to end the real session.
#include "sessionbackend.h"

#ifdef _WIN32
#include "win32sessionbackend.h"
#else
#include "freedesktopsessionbackend.h"
#endif

std::unique_ptr<SessionBackend> SessionBackend::createSystem()
{
#ifdef _WIN32
    static const Win32SessionBackend::Calls system = {
        ::GetCurrentProcess,     ::OpenProcessToken, ::LookupPrivilegeValueA,
        ::AdjustTokenPrivileges, ::CloseHandle,      ::ExitWindowsEx,
    };
    return std::make_unique<Win32SessionBackend>(system);
#else
    return std::make_unique<FreedesktopSessionBackend>();
#endif
}
