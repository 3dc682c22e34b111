// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>

// The requests that end the user's session, behind one seam: the Windows calls, the freedesktop
// services, a dry run that only prints, or a recording for tests. Kept free of Qt so that the
// Windows half builds on its own.
//
// A request is described by the flags of ExitWindowsEx; the result of a request is never
// reported, because Vesperon has nothing useful to do when the system refuses.
class SessionBackend
{
public:
    enum Flag : std::uint32_t {
        LogOff = 0x0,
        ShutDown = 0x1,
        Reboot = 0x2,
        Force = 0x4,
    };

    virtual ~SessionBackend();

    // The GetVersion value of the system: bit 31 set on the Windows 95 family, clear on the NT
    // family and on every other system (where the privilege step is a no-op).
    virtual std::uint32_t version() const;

    virtual void enableShutdownPrivilege() = 0;
    virtual void exitWindows(std::uint32_t flags) = 0;

    // One session-end action: for shut down and restart, the shutdown privilege first when
    // whichWindows32 is 1 (the NT family); then the request. Log off never asks for the privilege,
    // and no step waits for the one before to succeed.
    void endSession(std::uint32_t flags, std::int32_t whichWindows32);

    // "log off", "force log off", "shut down", "force shut down", "restart", "force restart".
    static const char *describe(std::uint32_t flags);

    // The GetVersion value of the machine we run on.
    static std::uint32_t systemVersion();

    // The backend that really asks this machine to end the session. Defined on its own
    // (systemsessionbackend.cpp), so that nothing but the program links a way to the system's
    // session end.
    static std::unique_ptr<SessionBackend> createSystem();
};
