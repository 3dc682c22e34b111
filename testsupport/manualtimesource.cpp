// SPDX-License-Identifier: GPL-3.0-or-later
#include "manualtimesource.h"

ManualTimeSource::ManualTimeSource(const QDateTime &start)
    : m_now(start)
{
}
