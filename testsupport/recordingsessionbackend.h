// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sessionbackend.h"

#include <string>
#include <vector>

// A session backend for tests: it keeps every step, in order, in the words of the dry run
// ("enable shutdown privilege", "force shut down", ...) together with the flags of each request,
// and pretends to be whichever system family it is told.
class RecordingSessionBackend final : public SessionBackend
{
public:
    struct Step
    {
        std::string name;
        bool privilege = false;
        std::uint32_t flags = 0;
    };

    explicit RecordingSessionBackend(std::uint32_t version = 0);

    std::uint32_t version() const override { return m_version; }
    void enableShutdownPrivilege() override;
    void exitWindows(std::uint32_t flags) override;

    const std::vector<Step> &steps() const { return m_steps; }
    // The step names joined by ", ", "" when nothing was asked.
    std::string summary() const;

private:
    std::uint32_t m_version;
    std::vector<Step> m_steps;
};
