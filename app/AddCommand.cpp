#include "AttributeAssignment.h"
#include "CommandLine.h"
#include "Console.h"
#include "ModelLookup.h"
#include "RunSummary.h"

#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/TypeCatalogue.h>
#include <tarvex/host/UndoStackOpener.h>

#include <QFileInfo>

using namespace EntityModel;

int runAddCommand(CommandParser& parser)
{
    parser.setApplicationDescription(
        "Adds a new entity of TYPE called NAME below the entity --parent of a saved model, sets its "
        "attributes as \"tarvex set\" does, all in one undo step, and saves the model. A model file that does "
        "not exist is started as a new model (its chassis is #2). When the parent cannot be named, the type is "
        "unknown or a value is refused, nothing is saved.");
    parser.addPositionalArgument("MODEL.json", "The saved model; it is saved again.");
    parser.addPositionalArgument("TYPE", "The entity type as the saved model writes it, with or without \"_t\" "
                                         "(PCB, Component, Terminal_Group, Terminal_t...).");
    parser.addPositionalArgument("NAME", "The name of the new entity.");
    parser.addPositionalArgument("PATH=VALUE", "Attributes of the new entity, as for \"tarvex set\".",
                                 "[PATH=VALUE...]");
    const QCommandLineOption parentOption("parent", "The entity that holds the new one: its name, its reference "
                                                    "designator or #ID.",
                                          "ENTITY");
    parser.addOption(parentOption);
    parser.addJsonOption(QStringLiteral("the summary"));
    if (const std::optional<int> status = parser.read(
            3, INT_MAX, {parentOption}, QStringLiteral("add needs MODEL.json, TYPE, NAME and --parent ENTITY")))
        return *status;
    const QStringList arguments = parser.positionalArguments();
    QString typeLabel = arguments.at(1);
    if (typeLabel.endsWith(QLatin1String("_t")))
        typeLabel.chop(2);
    const TypeRef type(typeLabel);
    if (!TypeCatalogue::isEntityType(type))
        return parser.usageError(QStringLiteral("\"%1\" is not a type of entity").arg(arguments.at(1)));
    if (arguments.at(2).isEmpty())
        return parser.usageError(QStringLiteral("NAME is empty"));
    QString problem;
    const std::optional<std::vector<AttributeAssignment>> assignments =
        AttributeAssignment::parseAll(arguments.mid(3), &problem);
    if (!assignments)
        return parser.usageError(problem);

    if (isStandardStream(parser.positionalArguments().at(0)))
        return parser.usageError(QStringLiteral("MODEL.json cannot be \"-\": the model is saved in place"));
    const QString modelPath = parser.pathArgument();
    ModelLock lock;
    if (QFileInfo::exists(modelPath) && !readable(modelPath))
        return 1;
    const std::unique_ptr<Model> model = openModel(modelPath, false, &lock);
    if (!model)
        return 1;
    const EntityLookup parent = lookupEntity(*model, parser.value(parentOption), modelPath);
    if (!parent.entity) {
        failure(parent.problem);
        return finish(true, *model, modelPath);
    }
    Entity* added = nullptr;
    const RunSummary summary(*model);
    {
        UndoStackOpener step(model.get(), QStringLiteral("Add %1").arg(type.getLabel()));
        added = EntityEditor::createEntity(type, parent.entity, TypeCatalogue::listFor(parent.entity->getType(), type),
                                           nullptr, 0, arguments.at(2));
        if (!added)
            problem = QStringLiteral("the host refused to add a %1 to %2").arg(type.getLabel(), describeEntity(*parent.entity));
        else
            AttributeAssignment::applyAll(*assignments, added, &problem);
    }
    if (!problem.isEmpty()) {
        failure(problem);
        return finish(true, *model, modelPath);
    }
    report() << "Added " << describeEntity(*added) << " to " << describeEntity(*parent.entity) << ".\n";
    summary.print(0, 0, parser.wantsJson());
    return finish(false, *model, modelPath);
}
