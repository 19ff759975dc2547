#include "ModelLookup.h"

#include "CommandLine.h"
#include "Console.h"

#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityReading.h>

#include <QFileInfo>

#include <algorithm>

using namespace EntityModel;

namespace {

const AttributePath ImportedEntities(QStringLiteral("Tarvex_Imports"));
// The file each top-level imported entity was built from, so that importing it again is
// noticed; the builders record no source, and this is what the tool alone needs.
const AttributePath ImportSource(QStringLiteral("Tarvex_Import_File"));

} // namespace

QString lookupNameOf(const Entity& entity)
{
    const QString name = entity.getName();
    return name.isEmpty() ? getStringValue(&entity, Reference_Designator_t) : name;
}

EntityLookup lookupEntity(const Model& model, const QString& text, const QString& modelPath)
{
    EntityLookup found;
    if (text.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const quint64 id = text.mid(1).toULongLong(&ok);
        found.entity = ok ? model.findEntity(id) : nullptr;
        if (!found.entity)
            found.problem = QStringLiteral("no entity %1 in %2").arg(text, modelPath);
        return found;
    }
    std::vector<Entity*> all;
    model.getRoot()->getOwnedChildEntities(all, true, true);
    std::vector<Entity*> named;
    for (Entity* entity : all) {
        if (entity->getName() == text)
            named.push_back(entity);
    }
    if (named.empty()) {
        // The parts an import builds for a component carry its designator too: the
        // designator names the outermost of them.
        for (Entity* entity : all) {
            if (getStringValue(entity, Reference_Designator_t) != text)
                continue;
            const Entity* owner = entity->getOwnerEntity();
            while (owner && getStringValue(owner, Reference_Designator_t) != text)
                owner = owner->getOwnerEntity();
            if (!owner)
                named.push_back(entity);
        }
    }
    if (named.size() == 1) {
        found.entity = named.front();
    } else if (named.empty()) {
        found.problem = QStringLiteral("no entity named \"%1\" in %2").arg(text, modelPath);
    } else {
        found.candidates = named;
        found.problem = QStringLiteral("\"%1\" names %2 entities in %3; name one by its id:")
                            .arg(text, QString::number(named.size()), modelPath);
        for (const Entity* entity : named) {
            const Entity* owner = entity->getOwnerEntity();
            found.problem += QStringLiteral("\n  ") + describeEntity(*entity) +
                             (owner ? QStringLiteral(" in ") + describeEntity(*owner) : QString());
        }
    }
    return found;
}

QString describeEntity(const Entity& entity)
{
    const QString name = lookupNameOf(entity);
    return entity.getType().getLabel() + (name.isEmpty() ? QString() : QStringLiteral(" \"%1\"").arg(name)) +
           QStringLiteral(" #") + QString::number(entity.getId());
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

QString importSourceOf(const QString& file)
{
    if (file.startsWith(QLatin1Char(':')))
        return file;
    return QFileInfo(file).canonicalFilePath();
}

void recordImportSource(const std::vector<Entity*>& entities, const QString& source)
{
    if (source.isEmpty())
        return;
    for (Entity* entity : entities) {
        if (entity && entity->isAlive())
            EntityEditor::setValueNoThrow(entity, ImportSource, source);
    }
}

std::vector<Entity*> importsFrom(const Model& model, const QString& source)
{
    std::vector<Entity*> found;
    for (Entity* entity : earlierImports(model)) {
        if (!source.isEmpty() && getStringValue(entity, ImportSource) == source)
            found.push_back(entity);
    }
    return found;
}

std::vector<Entity*> importsToUpdate(const Model& model, const QString& source, std::vector<Entity*>& others)
{
    if (importsFrom(model, source).empty())
        return earlierImports(model);
    std::vector<Entity*> replaced;
    for (Entity* entity : earlierImports(model)) {
        const QString from = getStringValue(entity, ImportSource);
        (from.isEmpty() || from == source ? replaced : others).push_back(entity);
    }
    return replaced;
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
    const EntityLookup lookup = lookupEntity(*target.model, parser.value(entityOption), target.modelPath);
    if (!(target.entity = lookup.entity)) {
        failure(lookup.problem);
        return finish(true, *target.model, target.modelPath);
    }
    return std::nullopt;
}

int finishEntityCommand(const EntityCommandTarget& target, bool dryRun)
{
    if (!dryRun)
        return finish(false, *target.model, target.modelPath);
    report() << "Dry run: the model file " << target.modelPath << " was not changed\n";
    report().flush();
    return 0;
}
