#include "ModelLookup.h"

#include "host/EntityReading.h"

#include "Console.h"

#include "host/ModelFile.h"

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
    // Imported boards and components are known by their reference designators.
    for (EntityModel::Entity* entity : all) {
        if (EntityModel::getStringValue(entity, EntityModel::Reference_Designator_t) == name &&
            (type.isNull() || entity->getType() == type))
            return entity;
    }
    return nullptr;
}

QString lookupNameOf(const EntityModel::Entity& entity)
{
    const QString name = entity.getName();
    return name.isEmpty() ? EntityModel::getStringValue(&entity, EntityModel::Reference_Designator_t) : name;
}

std::unique_ptr<EntityModel::Model> loadModelWithEntity(const QString& file, const QString& modelPath,
                                                        const QString& name, EntityModel::Entity** entity)
{
    for (const QString& path : {file, modelPath}) {
        if (const QString problem = unreadable(path); !problem.isEmpty()) {
            failure(QStringLiteral("Cannot open file %1: %2").arg(path, problem));
            return nullptr;
        }
    }
    QString problem;
    std::unique_ptr<EntityModel::Model> model = EntityModel::ModelFile::load(modelPath, &problem);
    if (!model) {
        failure(problem);
        return nullptr;
    }
    *entity = findEntityByName(model->getRoot(), name);
    if (!*entity) {
        failure(QStringLiteral("no entity named \"%1\" in %2").arg(name, modelPath));
        return nullptr;
    }
    return model;
}
