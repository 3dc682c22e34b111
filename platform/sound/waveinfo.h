// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// What the header of a RIFF wave file says about its sound.
struct WaveInfo
{
    int formatTag = 0; // 1 integer PCM, 3 floating point, 0xFFFE extensible
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    bool floatingPoint = false; // samples are IEEE floats (format 3, or extensible with that subformat)
    qint64 dataOffset = 0;      // where the sound data begins in the file
    qint64 dataBytes = 0;       // as far as the file really holds them
    qint64 durationMs = 0;

    // The header of the file at path, or nothing when it is missing, unreadable, not a wave
    // file, of a format we do not play, or without sound data.
    static std::optional<WaveInfo> read(const QString &path);
};
