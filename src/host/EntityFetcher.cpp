#include "host/EntityFetcher.h"

#include "host/Model.h"

namespace EntityModel {

namespace {

Entity* firstOfType(const Entity* entity, const TypeRef& type)
{
    if (!entity)
        return nullptr;
    const std::vector<Entity*> found = entity->getModel()->getRoot()->getOwnedChildEntitiesOfType(type);
    return found.empty() ? nullptr : found.front();
}

} // namespace

Entity* EntityFetcher::getSolutionControl(const Entity* entity) { return firstOfType(entity, Solution_Control_t); }

Entity* EntityFetcher::getChassis(const Entity* entity) { return firstOfType(entity, Chassis_t); }

Entity* EntityFetcher::getTarvexStudioControl(const Entity* entity)
{
    return firstOfType(entity, Tarvex_Studio_Control_t);
}

} // namespace EntityModel
