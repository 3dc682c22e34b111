// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordingsessionbackend.h"

RecordingSessionBackend::RecordingSessionBackend(std::uint32_t version)
    : m_version(version)
{
}

void RecordingSessionBackend::enableShutdownPrivilege()
{
    m_steps.push_back({"enable shutdown privilege", true, 0});
}

void RecordingSessionBackend::exitWindows(std::uint32_t flags)
{
    m_steps.push_back({describe(flags), false, flags});
}

std::string RecordingSessionBackend::summary() const
{
    std::string text;
    for (const Step &step : m_steps) {
        if (!text.empty())
            text += ", ";
        text += step.name;
    }
    return text;
}
