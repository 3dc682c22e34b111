// SPDX-License-Identifier: GPL-3.0-or-later
#include "audiothreadplayer.h"

#include "waveinfo.h"

#ifdef Q_OS_WIN
#include "soundeffectvoice.h"
#else
#include "pulsevoice.h"
#endif

#include <chrono>

namespace {
std::unique_ptr<SoundVoice> systemVoice()
{
#ifdef Q_OS_WIN
    return std::make_unique<SoundEffectVoice>();
#else
    return PulseVoice::create();
#endif
}
} // namespace

AudioThreadPlayer::AudioThreadPlayer(VoiceFactory voiceFactory, int marginMs)
    : m_voiceFactory(std::move(voiceFactory))
    , m_anchor(std::make_unique<QObject>())
    , m_marginMs(marginMs)
{
    if (!m_voiceFactory)
        m_voiceFactory = [] { return systemVoice(); };
    m_thread.setObjectName(QStringLiteral("Vesperon audio"));
}

bool AudioThreadPlayer::ensureVoice()
{
    if (m_voice)
        return true;
    if (!m_thread.isRunning()) {
        m_anchor->moveToThread(&m_thread);
        m_thread.start();
    }
    QMetaObject::invokeMethod(
        m_anchor.get(),
        [this] {
            std::unique_ptr<SoundVoice> voice = m_voiceFactory();
            if (!voice)
                return;
            m_voice = voice.release();
            m_voice->setParent(m_anchor.get());
            QObject::connect(m_voice, &SoundVoice::finished, m_anchor.get(), [this] { onVoiceFinished(); });
        },
        Qt::BlockingQueuedConnection);
    return m_voice != nullptr;
}

AudioThreadPlayer::~AudioThreadPlayer()
{
    if (m_thread.isRunning()) {
        // The voice and its anchor are taken down in their own thread; the anchor then comes
        // home so that it can be deleted here.
        QThread *home = QThread::currentThread();
        QMetaObject::invokeMethod(
            m_anchor.get(),
            [this, home] {
                delete m_voice;
                m_voice = nullptr;
                m_anchor->moveToThread(home);
            },
            Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
}

std::optional<SoundPlayerFailure> AudioThreadPlayer::play(const QString &path, bool wait)
{
    if (!ensureVoice())
        return SoundPlayerFailure{1, QStringLiteral("The audio player could not be started.")};

    const std::optional<WaveInfo> wave = WaveInfo::read(path);

    quint64 number = 0;
    {
        std::lock_guard lock(m_mutex);
        number = ++m_started;
    }
    QMetaObject::invokeMethod(m_anchor.get(), [this, number, path, playable = wave.has_value()] {
        {
            std::lock_guard lock(m_mutex);
            m_playing = number;
        }
        if (playable)
            m_voice->start(path);
        else
            m_voice->stop();
    });

    if (!wave) {
        std::lock_guard lock(m_mutex);
        m_finished = qMax(m_finished, number);
        return std::nullopt;
    }
    if (!wait)
        return std::nullopt;

    std::unique_lock lock(m_mutex);
    const auto limit = std::chrono::milliseconds(wave->durationMs + m_marginMs);
    if (!m_ended.wait_for(lock, limit, [this, number] { return m_finished >= number; })) {
        lock.unlock();
        // Past its length the sound has ended in all but the voice's own view.
        QMetaObject::invokeMethod(m_anchor.get(), [this, number] {
            bool current = false;
            {
                std::lock_guard lock(m_mutex);
                current = m_playing == number;
            }
            if (current)
                m_voice->stop();
        });
    }
    return std::nullopt;
}

void AudioThreadPlayer::onVoiceFinished()
{
    {
        std::lock_guard lock(m_mutex);
        m_finished = qMax(m_finished, m_playing);
    }
    m_ended.notify_all();
}
