#include "ModelLookup.h"

#include "host/EntityReading.h"

#include "Console.h"

#include "host/ModelFile.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

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

std::optional<int> openEntityCommand(QCommandLineParser& parser, const QStringList& arguments, const QString& command,
                                     const QString& entityHelp, const QList<QCommandLineOption>& extraOptions,
                                     EntityCommandTarget& target)
{
    const QCommandLineOption help(QStringList{"h", "help"}, "Show this help.");
    const QCommandLineOption modelOption("model", "The saved model holding the entity; it is saved again.", "MODEL.json");
    const QCommandLineOption entityOption("entity", entityHelp, "NAME");
    parser.addOption(help);
    parser.addOption(modelOption);
    parser.addOption(entityOption);
    for (const QCommandLineOption& option : extraOptions)
        parser.addOption(option);
    if (!parser.parse(arguments))
        return usageError(parser, command, parser.errorText());
    if (parser.isSet(help)) {
        out() << commandHelp(parser, command);
        out().flush();
        return 0;
    }
    if (parser.positionalArguments().size() != 1 || !parser.isSet(modelOption) || !parser.isSet(entityOption))
        return usageError(parser, command, command + QStringLiteral(" needs FILE, --model MODEL.json and --entity NAME"));

    target.file = parser.positionalArguments().front();
    target.modelPath = parser.value(modelOption);
    for (const QString& path : {target.file, target.modelPath}) {
        if (const QString problem = unreadable(path); !problem.isEmpty())
            return failure(QStringLiteral("Cannot open file %1: %2").arg(path, problem));
    }
    QString problem;
    target.model = EntityModel::ModelFile::load(target.modelPath, &problem);
    if (!target.model)
        return failure(problem);
    const QString name = parser.value(entityOption);
    target.entity = findEntityByName(target.model->getRoot(), name);
    if (!target.entity)
        return failure(QStringLiteral("no entity named \"%1\" in %2").arg(name, target.modelPath));
    return std::nullopt;
}

int saveEntityCommand(const EntityCommandTarget& target)
{
    QString problem;
    if (!EntityModel::ModelFile::save(*target.model, target.modelPath, &problem))
        return failure(problem);
    out() << "Saved the model to " << target.modelPath << '\n';
    out().flush();
    return 0;
}
