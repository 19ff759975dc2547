#include "ModelLookup.h"

#include "CommandLine.h"
#include "Console.h"

#include "host/EntityEditor.h"
#include "host/EntityReading.h"

#include <algorithm>

using namespace EntityModel;

namespace {

const AttributePath ImportedEntities(QStringLiteral("Tarvex_Imports"));

} // namespace

Entity* findEntityByName(Entity* root, const QString& name, const TypeRef& type)
{
    if (!root)
        return nullptr;
    std::vector<Entity*> all;
    root->getOwnedChildEntities(all, true, true);
    for (Entity* entity : all) {
        if (entity->getName() == name && (type.isNull() || entity->getType() == type))
            return entity;
    }
    // Imported boards and components are known by their reference designators.
    for (Entity* entity : all) {
        if (getStringValue(entity, Reference_Designator_t) == name && (type.isNull() || entity->getType() == type))
            return entity;
    }
    return nullptr;
}

QString lookupNameOf(const Entity& entity)
{
    const QString name = entity.getName();
    return name.isEmpty() ? getStringValue(&entity, Reference_Designator_t) : name;
}

std::vector<Entity*> earlierImports(const Model& model)
{
    return getLinkedEntities(model.getRoot(), ImportedEntities);
}

void recordImports(Model& model, std::vector<Entity*> entities)
{
    entities.erase(std::remove_if(entities.begin(), entities.end(), [](const Entity* e) { return !e || !e->isAlive(); }),
                   entities.end());
    EntityEditor::setLinksNoThrow(model.getRoot(), ImportedEntities, entities);
}

std::optional<int> openEntityCommand(CommandParser& parser, const QString& entityHelp,
                                     const QList<QCommandLineOption>& extraOptions, EntityCommandTarget& target)
{
    const QCommandLineOption modelOption("model", "The saved model holding the entity; it is saved again.", "MODEL.json");
    const QCommandLineOption entityOption("entity", entityHelp, "NAME");
    parser.addOptions(QList<QCommandLineOption>{modelOption, entityOption} + extraOptions);
    const QString problem =
        QLatin1String(parser.command().name) + QStringLiteral(" needs FILE, --model MODEL.json and --entity NAME");
    if (const std::optional<int> status = parser.read(1, 1, {modelOption, entityOption}, problem))
        return status;

    target.file = parser.pathArgument();
    target.modelPath = parser.pathValue(modelOption);
    if (!(target.model = openFileAndModel(target.file, target.modelPath, target.lock)))
        return 1;
    const QString name = parser.value(entityOption);
    target.entity = findEntityByName(target.model->getRoot(), name);
    if (!target.entity) {
        failure(QStringLiteral("no entity named \"%1\" in %2").arg(name, target.modelPath));
        return finish(true, *target.model, target.modelPath);
    }
    return std::nullopt;
}
