#include <tarvex/host/EntityFetcher.h>

#include <tarvex/host/Model.h>

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

Entity* EntityFetcher::findMaterial(const Entity* root, const QString& name)
{
    const Attribute* list = root ? root->findAttribute(Materials_t) : nullptr;
    if (!list || list->getKind() != Attribute::Kind::EntityList)
        return nullptr;
    const auto* materials = static_cast<const EntityListAttribute*>(list);
    for (int i = 0; i < materials->count(); ++i) {
        Entity* material = materials->at(i);
        if (material->getType() == Material_t && material->getName() == name)
            return material;
    }
    return nullptr;
}

} // namespace EntityModel
