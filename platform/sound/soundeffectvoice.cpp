// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundeffectvoice.h"

#include <QSoundEffect>
#include <QUrl>

void SoundEffectVoice::EffectDeleter::operator()(QSoundEffect *effect) const
{
    effect->disconnect();
    effect->stop();
    delete effect;
}

SoundEffectVoice::SoundEffectVoice(QObject *parent)
    : SoundVoice(parent)
{
}

SoundEffectVoice::~SoundEffectVoice() = default;

void SoundEffectVoice::start(const QString &path)
{
    m_effect.reset(new QSoundEffect);
    m_started = false;
    QSoundEffect *effect = m_effect.get();
    connect(effect, &QSoundEffect::statusChanged, this, [this, effect] {
        if (effect->status() == QSoundEffect::Error)
            emit finished();
    });
    connect(effect, &QSoundEffect::playingChanged, this, [this, effect] {
        if (effect->isPlaying())
            m_started = true;
        else if (m_started)
            emit finished();
    });
    effect->setSource(QUrl::fromLocalFile(path));
    effect->play();
}

void SoundEffectVoice::stop()
{
    m_effect.reset();
}
