#pragma once

#include "builders/TarvexReuseMap.h"
#include "host/ToolProgress.h"
#include "objects/TarvexObject.h"

#include <memory>
#include <vector>

namespace Tarvex {

/// The top-level entities an entity build made or reused.
struct TarvexBuiltEntities
{
    /// Entities created by this build.
    std::vector<EntityModel::Entity*> newEntities;
    /// Entities of an earlier import that this build reused.
    std::vector<EntityModel::Entity*> updatedEntities;
};

/// Creates the host entities of an object tree below `rootEntity`, reusing the entities of
/// `existing` that match by key (those leave the map).
TarvexBuiltEntities buildEntities(const std::vector<std::unique_ptr<TarvexObject>>& objects,
                                  EntityModel::Entity* rootEntity, TarvexReuseMap& existing,
                                  Tools::ToolProgress* progress);

} // namespace Tarvex
