// SPDX-License-Identifier: GPL-3.0-or-later
#include "waveinfo.h"

#include <QFile>
#include <QtEndian>

namespace {
quint32 le32(const char *bytes)
{
    return qFromLittleEndian<quint32>(bytes);
}

quint16 le16(const char *bytes)
{
    return qFromLittleEndian<quint16>(bytes);
}
} // namespace

std::optional<WaveInfo> WaveInfo::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;

    char riff[12];
    if (file.read(riff, 12) != 12 || qstrncmp(riff, "RIFF", 4) != 0 || qstrncmp(riff + 8, "WAVE", 4) != 0)
        return std::nullopt;

    WaveInfo info;
    bool haveFormat = false;
    int sampleType = 0;
    char chunk[8];
    while (file.read(chunk, 8) == 8) {
        const qint64 size = le32(chunk + 4);
        const qint64 body = file.pos();
        if (qstrncmp(chunk, "fmt ", 4) == 0) {
            if (size < 16)
                return std::nullopt;
            // The extensible format names its sample type in the first two bytes of its subformat.
            char format[40];
            const qint64 wanted = size >= 40 ? 40 : 16;
            if (file.read(format, wanted) != wanted)
                return std::nullopt;
            info.formatTag = le16(format);
            info.channels = le16(format + 2);
            info.sampleRate = static_cast<int>(le32(format + 4));
            info.bitsPerSample = le16(format + 14);
            if (info.formatTag != 0xFFFE)
                sampleType = info.formatTag;
            else
                sampleType = wanted == 40 ? le16(format + 24) : 1; // without its subformat: integer samples
            info.floatingPoint = sampleType == 3;
            haveFormat = true;
        } else if (qstrncmp(chunk, "data", 4) == 0) {
            if (!haveFormat)
                return std::nullopt;
            info.dataOffset = body;
            info.dataBytes = qMin(size, file.size() - body);
            break;
        }
        // Chunks are padded to an even length.
        if (!file.seek(body + size + (size & 1)))
            return std::nullopt;
    }

    const bool knownFormat = sampleType == 1 || sampleType == 3;
    if (!haveFormat || !knownFormat || info.channels <= 0 || info.sampleRate <= 0 || info.bitsPerSample <= 0
        || info.bitsPerSample % 8 != 0 || info.dataBytes <= 0)
        return std::nullopt;

    const qint64 bytesPerSecond = qint64(info.sampleRate) * info.channels * (info.bitsPerSample / 8);
    info.durationMs = (info.dataBytes * 1000 + bytesPerSecond - 1) / bytesPerSecond;
    return info;
}
