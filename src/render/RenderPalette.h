#pragma once

#include <QColor>

namespace Render {

/// Colours a reader with any common colour-vision deficiency can tell apart: the Okabe–Ito
/// set for materials and the viridis scale, light to dark in one hue ramp, for power density.
class RenderPalette
{
public:
    /// The colour of the `index`th material; past the eight of the set the colours come
    /// round again, lighter.
    static QColor materialColour(int index);
    /// The colour at `position` (0 to 1, clamped) along the power-density scale.
    static QColor densityColour(double position);
    /// The colour of outlines and text.
    static QColor ink();
};

} // namespace Render
