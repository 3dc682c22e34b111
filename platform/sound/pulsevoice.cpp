// SPDX-License-Identifier: GPL-3.0-or-later
#include "pulsevoice.h"

#include "waveinfo.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibrary>

#include <pulse/simple.h>

namespace {

// The few functions of libpulse-simple the voice uses, found when the first voice is made.
struct PulseSimple
{
    decltype(&pa_simple_new) open = nullptr;
    decltype(&pa_simple_write) write = nullptr;
    decltype(&pa_simple_drain) drain = nullptr;
    decltype(&pa_simple_flush) flush = nullptr;
    decltype(&pa_simple_get_latency) latency = nullptr;
    decltype(&pa_simple_free) close = nullptr;

    bool isComplete() const { return open && write && drain && flush && latency && close; }
};

const PulseSimple &pulseSimple()
{
    static const PulseSimple functions = [] {
        PulseSimple found;
        QLibrary library(QStringLiteral("pulse-simple"), 0);
        if (!library.load())
            return found;
        found.open = reinterpret_cast<decltype(found.open)>(library.resolve("pa_simple_new"));
        found.write = reinterpret_cast<decltype(found.write)>(library.resolve("pa_simple_write"));
        found.drain = reinterpret_cast<decltype(found.drain)>(library.resolve("pa_simple_drain"));
        found.flush = reinterpret_cast<decltype(found.flush)>(library.resolve("pa_simple_flush"));
        found.latency = reinterpret_cast<decltype(found.latency)>(library.resolve("pa_simple_get_latency"));
        found.close = reinterpret_cast<decltype(found.close)>(library.resolve("pa_simple_free"));
        return found;
    }();
    return functions;
}

pa_sample_format_t sampleFormat(const WaveInfo &wave)
{
    if (wave.floatingPoint)
        return wave.bitsPerSample == 32 ? PA_SAMPLE_FLOAT32LE : PA_SAMPLE_INVALID;
    switch (wave.bitsPerSample) {
    case 8:
        return PA_SAMPLE_U8;
    case 16:
        return PA_SAMPLE_S16LE;
    case 24:
        return PA_SAMPLE_S24LE;
    case 32:
        return PA_SAMPLE_S32LE;
    default:
        return PA_SAMPLE_INVALID;
    }
}

} // namespace

std::unique_ptr<PulseVoice> PulseVoice::create(QObject *parent)
{
    if (!pulseSimple().isComplete())
        return nullptr;
    return std::unique_ptr<PulseVoice>(new PulseVoice(parent));
}

PulseVoice::PulseVoice(QObject *parent)
    : SoundVoice(parent)
{
    m_feed.setSingleShot(true);
    m_played.setSingleShot(true);
    m_played.setTimerType(Qt::PreciseTimer);
    connect(&m_feed, &QTimer::timeout, this, &PulseVoice::writeSome);
    connect(&m_played, &QTimer::timeout, this, &PulseVoice::end);
}

PulseVoice::~PulseVoice()
{
    stop();
}

void PulseVoice::start(const QString &path)
{
    stop();
    const std::optional<WaveInfo> wave = WaveInfo::read(path);
    QFile file(path);
    const pa_sample_format_t format = wave ? sampleFormat(*wave) : PA_SAMPLE_INVALID;
    if (format == PA_SAMPLE_INVALID || wave->channels > int(PA_CHANNELS_MAX) || !file.open(QIODevice::ReadOnly)
        || !file.seek(wave->dataOffset)) {
        emit finished();
        return;
    }
    m_data = file.read(wave->dataBytes);
    const qsizetype frameBytes = qsizetype(wave->channels) * (wave->bitsPerSample / 8);
    m_partBytes = qMax<qsizetype>(frameBytes, qsizetype(wave->sampleRate) / 10 * frameBytes);
    const pa_sample_spec sample{format, quint32(wave->sampleRate), quint8(wave->channels)};
    // Playback from the first frame on: a sound shorter than the server's usual prebuffer would
    // otherwise wait for a drain.
    const quint32 serverDefault = quint32(-1);
    const pa_buffer_attr buffer{serverDefault, serverDefault, quint32(frameBytes), serverDefault, serverDefault};
    const QByteArray name = QCoreApplication::applicationName().toUtf8();
    m_stream = pulseSimple().open(nullptr, name.isEmpty() ? "Vesperon" : name.constData(), PA_STREAM_PLAYBACK, nullptr,
                                  "sound", &sample, nullptr, &buffer, nullptr);
    if (!m_stream || m_data.isEmpty()) {
        stop();
        emit finished();
        return;
    }
    m_written = 0;
    writeSome();
}

void PulseVoice::writeSome()
{
    // A write blocks only while the server's buffer is full, a tenth of a second at most.
    const qsizetype part = qMin(m_partBytes, m_data.size() - m_written);
    if (pulseSimple().write(m_stream, m_data.constData() + m_written, size_t(part), nullptr) < 0) {
        stop();
        emit finished();
        return;
    }
    m_written += part;
    if (m_written < m_data.size()) {
        m_feed.start(0);
        return;
    }
    const pa_usec_t latency = pulseSimple().latency(m_stream, nullptr);
    m_played.start(latency == pa_usec_t(-1) ? 0 : int(latency / 1000) + 1);
}

void PulseVoice::end()
{
    pulseSimple().drain(m_stream, nullptr);
    pulseSimple().close(m_stream);
    m_stream = nullptr;
    m_data.clear();
    emit finished();
}

void PulseVoice::stop()
{
    m_feed.stop();
    m_played.stop();
    if (m_stream) {
        pulseSimple().flush(m_stream, nullptr);
        pulseSimple().close(m_stream);
        m_stream = nullptr;
    }
    m_data.clear();
}
