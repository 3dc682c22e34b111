// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "soundplayer.h"
#include "soundvoice.h"

#include <QThread>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

// Plays wave files in a thread of its own, with its own event loop, so that the caller's thread
// may block until a sound has ended. The thread and its voice are made by the first sound, so
// that a program costs nothing for sound until it plays one (and nothing at all while sounds are
// suppressed). A waiting call returns when the voice reports the end, and never later than the
// length written in the file's header plus a small margin: an audio system without an output
// device may never report an end. A file whose header is not that of a wave file we can play is
// skipped at once. When no voice can be made, each call reports a failure and tries again.
class AudioThreadPlayer final : public SoundPlayer
{
public:
    using VoiceFactory = std::function<std::unique_ptr<SoundVoice>()>;

    static constexpr int DefaultMarginMs = 500;

    // voiceFactory runs in the audio thread; without one the sound goes to the system's sound
    // server (PulseAudio or PipeWire; Qt Multimedia on Windows).
    explicit AudioThreadPlayer(VoiceFactory voiceFactory = {}, int marginMs = DefaultMarginMs);
    ~AudioThreadPlayer() override;

    Q_DISABLE_COPY_MOVE(AudioThreadPlayer)

    std::optional<SoundPlayerFailure> play(const QString &path, bool wait) override;

private:
    bool ensureVoice();
    void onVoiceFinished();

    VoiceFactory m_voiceFactory;
    QThread m_thread;
    std::unique_ptr<QObject> m_anchor; // lives in the audio thread; owns the voice
    SoundVoice *m_voice = nullptr;
    int m_marginMs;

    std::mutex m_mutex;
    std::condition_variable m_ended;
    quint64 m_started = 0;  // the number of the sound started last
    quint64 m_playing = 0;  // the number of the sound the voice plays now (audio thread)
    quint64 m_finished = 0; // the number of the last sound that has ended
};
