// SPDX-License-Identifier: GPL-3.0-or-later
#include "shapedsurface.h"

ShapedSurface::~ShapedSurface() = default;
