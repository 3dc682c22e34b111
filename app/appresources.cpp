// SPDX-License-Identifier: GPL-3.0-or-later
#include "appresources.h"

#include <QtGlobal>

static void registerVesperonResources()
{
    Q_INIT_RESOURCE(vesperon);
}

namespace AppResources {

void ensureLoaded()
{
    static const bool loaded = (registerVesperonResources(), true);
    Q_UNUSED(loaded);
}

} // namespace AppResources
