#pragma once

#include "RenderScene.h"

#include <QByteArray>

namespace Render {

/// A page that shows a model to a person in a browser, with nothing fetched from elsewhere:
/// the top, bottom and side views as inline SVG, then tables of the boards and their layer
/// stacks, the components and blocks, the materials with their properties, the heat
/// sources and power maps with their powers, and the warnings an import left.
class HtmlReport
{
public:
    /// The page of `scene`, UTF-8 HTML.
    static QByteArray toHtml(const RenderScene& scene);
};

} // namespace Render
