// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

// The part of a player that makes the sound. It lives in the audio thread, is created and used
// only there, and plays one file at a time: start() cuts off whatever is still playing.
class SoundVoice : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void start(const QString &path) = 0;
    virtual void stop() = 0;

signals:
    // The sound that was started last has ended, or could not be played after all. Not emitted
    // for a sound that was cut off or stopped.
    void finished();
};
