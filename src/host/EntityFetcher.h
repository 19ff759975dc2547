#pragma once

#include <tarvex/host/Entity.h>

namespace EntityModel {

/// Finds the project-level entities of the model an entity belongs to.
class EntityFetcher
{
public:
    /// The solution control of the model, or null.
    static Entity* getSolutionControl(const Entity* entity);
    /// The chassis of the model, or null.
    static Entity* getChassis(const Entity* entity);
    /// The studio control of the model, or null.
    static Entity* getTarvexStudioControl(const Entity* entity);
    /// The first `Material_t` entity called `name` in the material list of `root` (the
    /// project entity), or null.
    static Entity* findMaterial(const Entity* root, const QString& name);
};

} // namespace EntityModel
