// SPDX-License-Identifier: GPL-3.0-or-later
#include "recordingsoundplayer.h"

std::optional<SoundPlayerFailure> RecordingSoundPlayer::play(const QString &path, bool wait)
{
    m_requests.append({path, wait});
    if (m_whilePlaying)
        m_whilePlaying(m_requests.constLast());
    if (m_failures > 0) {
        --m_failures;
        return m_failure;
    }
    return std::nullopt;
}

void RecordingSoundPlayer::failNext(int count, SoundPlayerFailure failure)
{
    m_failures = count;
    m_failure = std::move(failure);
}
