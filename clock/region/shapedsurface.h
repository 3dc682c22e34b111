// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QPainterPath;

// A widget that can show itself only inside a shape with smooth edges. The region component
// hands such a surface its visible shape instead of a hard-edged widget mask; outside the shape
// the surface paints nothing, so whatever lies beneath it shows through.
class ShapedSurface
{
public:
    virtual ~ShapedSurface();

    // From now on the surface shows only inside shape, given in its own pixel coordinates;
    // an empty shape hides the whole surface.
    virtual void setVisibleShape(const QPainterPath &shape) = 0;
};
