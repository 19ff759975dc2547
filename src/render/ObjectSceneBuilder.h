#pragma once

#include "RenderScene.h"

#include <memory>
#include <vector>

namespace Tarvex {
class TarvexObject;
}

namespace Render {

/// Gathers the scene of an interchange file's object tree, before anything is imported:
/// what the file says, to set beside a picture of what the model got. Boards are the
/// layered parts of type "PCB"; other layered parts, two-resistor parts and composites are
/// components, simple parts blocks; solder joints are balls and bumps; power sources are
/// heat sources. What stands below the lowest board face is on the bottom side.
class ObjectSceneBuilder
{
public:
    /// The scene of `objects`; with `name`, of the nodes whose part has that name or object
    /// name only (with what they hold), empty when there are none.
    static RenderScene build(const std::vector<std::unique_ptr<Tarvex::TarvexObject>>& objects,
                             const QString& name = QString());
};

} // namespace Render
