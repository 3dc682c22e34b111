// SPDX-License-Identifier: GPL-3.0-or-later
#include "drysessionbackend.h"

DrySessionBackend::DrySessionBackend(std::FILE *out)
    : m_out(out)
{
}

void DrySessionBackend::enableShutdownPrivilege()
{
    print("enable shutdown privilege");
}

void DrySessionBackend::exitWindows(std::uint32_t flags)
{
    print(describe(flags));
}

void DrySessionBackend::print(const char *step)
{
    std::fprintf(m_out, "vesperon: dry run: %s\n", step);
    std::fflush(m_out);
}
