// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sessionbackend.h"

#include <cstdio>

// A session backend that asks nothing of the system: each step is printed as one line
// "vesperon: dry run: <step>" and flushed at once, so that a reader of the output sees it even
// if the program is killed right after.
class DrySessionBackend final : public SessionBackend
{
public:
    explicit DrySessionBackend(std::FILE *out = stdout);

    void enableShutdownPrivilege() override;
    void exitWindows(std::uint32_t flags) override;

private:
    void print(const char *step);

    std::FILE *m_out;
};
