#include "builders/TarvexEntityExtender.h"

namespace Tarvex {

std::vector<EntityModel::Entity*> extendBoard(const TarvexObject* object, EntityModel::Entity* board)
{
    if (!object || !board)
        return {};
    // The extenders that rebuild a board's components plug in here.
    return {};
}

} // namespace Tarvex
