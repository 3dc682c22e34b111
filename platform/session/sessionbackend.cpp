// SPDX-License-Identifier: GPL-3.0-or-later
#include "sessionbackend.h"

#ifdef _WIN32
#include <windows.h>
#endif

SessionBackend::~SessionBackend() = default;

std::uint32_t SessionBackend::version() const
{
    return systemVersion();
}

void SessionBackend::endSession(std::uint32_t flags, std::int32_t whichWindows32)
{
    if ((flags & (ShutDown | Reboot)) != 0 && whichWindows32 == 1)
        enableShutdownPrivilege();
    exitWindows(flags);
}

const char *SessionBackend::describe(std::uint32_t flags)
{
    const bool forced = (flags & Force) != 0;
    if (flags & ShutDown)
        return forced ? "force shut down" : "shut down";
    if (flags & Reboot)
        return forced ? "force restart" : "restart";
    return forced ? "force log off" : "log off";
}

std::uint32_t SessionBackend::systemVersion()
{
#ifdef _WIN32
    // GetVersion is deprecated, but its bit 31 is exactly the family test we need.
#ifdef _MSC_VER
#pragma warning(suppress : 4996)
#endif
    return static_cast<std::uint32_t>(::GetVersion());
#else
    return 0;
#endif
}
