// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundplayer.h"

SoundPlayer::~SoundPlayer() = default;
