#pragma once

#include "RenderScene.h"

namespace EntityModel {
class Entity;
}

namespace Render {

/// Gathers the scene of host entities: boards with their layers, cells and holes,
/// components and blocks, solder balls and bumps, terminals, heat sources and grid power
/// maps, placed in the model frame and turned into the file's axes in millimetres.
class ModelSceneBuilder
{
public:
    /// The scene of `entity` and everything it owns (the chassis for a whole model), with the
    /// materials of its model. Name and date of the file are left to the caller.
    static RenderScene build(const EntityModel::Entity& entity);
};

} // namespace Render
