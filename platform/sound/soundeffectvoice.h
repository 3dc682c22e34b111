// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "soundvoice.h"

#include <memory>

class QSoundEffect;

// A voice that plays wave files through Qt Multimedia's QSoundEffect, one effect per sound, so
// that nothing a cut-off sound reports later can be taken for the new one.
class SoundEffectVoice final : public SoundVoice
{
    Q_OBJECT

public:
    explicit SoundEffectVoice(QObject *parent = nullptr);
    ~SoundEffectVoice() override;

    void start(const QString &path) override;
    void stop() override;

private:
    struct EffectDeleter
    {
        void operator()(QSoundEffect *effect) const;
    };

    std::unique_ptr<QSoundEffect, EffectDeleter> m_effect;
    bool m_started = false;
};
