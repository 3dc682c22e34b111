// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sessionbackend.h"

// The session end as Windows offers it: ExitWindowsEx with the request's flags, and the shutdown
// privilege of the process's own token. No result is examined.
class Win32SessionBackend final : public SessionBackend
{
public:
    void enableShutdownPrivilege() override;
    void exitWindows(std::uint32_t flags) override;
};
