// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// What went wrong when the player itself could not be used (not when a file could not be played).
struct SoundPlayerFailure
{
    int number = 0;
    QString message;
};

// Plays one wave file at a time. A new sound cuts off one still playing. A file that cannot be
// played (missing, empty, not a wave file) is skipped without a word, like a sound the system
// refuses; only a player that cannot work at all reports a failure.
class SoundPlayer
{
public:
    virtual ~SoundPlayer();

    // wait true: return when the sound has ended; false: return at once while it plays on.
    virtual std::optional<SoundPlayerFailure> play(const QString &path, bool wait) = 0;
};
