#pragma once

#include "host/Entity.h"
#include "host/TypeRef.h"

#include <map>
#include <set>
#include <vector>

namespace Tarvex {

/// Entities of an earlier import that an update may reuse: for each former owner, the
/// entities detached from it. Reused entities leave the map; what is left is deleted.
using TarvexReuseMap = std::map<EntityModel::Entity*, std::set<EntityModel::Entity*>>;

/// True for the kinds of entity an update detaches and may reuse.
bool isReusableType(const EntityModel::TypeRef& type);

/// Detaches `entity` from its owner and records it under that owner in `reuse`; an entity
/// that cannot be detached is deleted.
void detachForReuse(EntityModel::Entity* entity, TarvexReuseMap& reuse);

/// Detaches, before an update, every entity of `imports` and everything they own of a
/// reusable kind; returns them by former owner.
TarvexReuseMap detachImportsForReuse(const std::vector<EntityModel::Entity*>& imports);

} // namespace Tarvex
