// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The pictures of Vesperon's windows are compiled into the program's library; a static library's
// resources must be registered before the first window asks for them.
namespace AppResources {
void ensureLoaded();
}
