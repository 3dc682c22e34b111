// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Vesperon's windows name the fonts they were designed with ("MS Sans Serif", "Arial"). Where
// those are missing they fall back to metric-compatible sans fonts, so that captions fit the
// designed sizes, and then to the platform's own sans.
namespace FontFallbacks {
void install();
}
