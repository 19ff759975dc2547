#pragma once

#include "host/Entity.h"

#include <map>
#include <set>

namespace Tarvex {

/// Entities of an earlier import that an update may reuse: for each former owner, the
/// entities detached from it. Reused entities leave the map; what is left is deleted.
using TarvexReuseMap = std::map<EntityModel::Entity*, std::set<EntityModel::Entity*>>;

} // namespace Tarvex
