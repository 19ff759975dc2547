#pragma once

#include "host/Entity.h"
#include "objects/TarvexObject.h"

#include <vector>

namespace Tarvex {

/// Extends the board entity `board` in place with the content of one top-level object;
/// returns the entities it created. A null object or board does nothing.
std::vector<EntityModel::Entity*> extendBoard(const TarvexObject* object, EntityModel::Entity* board);

} // namespace Tarvex
