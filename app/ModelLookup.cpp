#include "ModelLookup.h"

EntityModel::Entity* findEntityByName(EntityModel::Entity* root, const QString& name, const EntityModel::TypeRef& type)
{
    if (!root)
        return nullptr;
    std::vector<EntityModel::Entity*> all;
    root->getOwnedChildEntities(all, true, true);
    for (EntityModel::Entity* entity : all) {
        if (entity->getName() == name && (type.isNull() || entity->getType() == type))
            return entity;
    }
    return nullptr;
}
