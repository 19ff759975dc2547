#pragma once

#include <QColor>
#include <QHash>
#include <QStringList>

namespace Render {

/// Colours a reader with any common colour-vision deficiency can tell apart: the Okabe–Ito
/// set for materials and the viridis scale, light to dark in one hue ramp, for power density.
class RenderPalette
{
public:
    /// The colour of the `index`th material; past the eight of the set the colours come
    /// round again, lighter.
    static QColor materialColour(int index);
    /// Colours for the materials `names` of one picture, each chosen by its name so that a
    /// material keeps its colour from picture to picture; no two of them share one.
    static QHash<QString, QColor> materialColours(QStringList names);
    /// The colour at `position` (0 to 1, clamped) along the power-density scale.
    static QColor densityColour(double position);
    /// The colour of outlines and text.
    static QColor ink();
};

} // namespace Render
