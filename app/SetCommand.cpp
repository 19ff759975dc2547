#include "AttributeAssignment.h"
#include "CommandLine.h"
#include "Console.h"
#include "ModelLookup.h"
#include "RunSummary.h"

#include <tarvex/host/UndoStackOpener.h>

using namespace EntityModel;

int runSetCommand(CommandParser& parser)
{
    parser.setApplicationDescription(
        "Sets attributes of one entity of a saved model, all in one undo step, and saves the model. PATH is "
        "the attribute labels as the saved model writes them, joined by \"/\" (labels may hold blanks); "
        "composites and the next item of a list (\"Pins/0000000000\") are made on the way. VALUE is a number "
        "in SI or with a unit (\"2 mm\", \"85 C\"), a choice by its label (\"Side=Top\"), a curve as X:Y "
        "points (\"Heat_Radiation_Out_Curve=0:0.1,10:0.5\") or text. When the entity cannot be named, or "
        "a value is refused, nothing is saved.");
    parser.addPositionalArgument("MODEL.json", "The saved model; it is saved again.");
    parser.addPositionalArgument("ENTITY", "The entity: its name, its reference designator or #ID.");
    parser.addPositionalArgument("PATH=VALUE", "The attributes to set, in order.", "PATH=VALUE...");
    parser.addJsonOption(QStringLiteral("the summary"));
    if (const std::optional<int> status =
            parser.read(3, INT_MAX, {}, QStringLiteral("set needs MODEL.json, ENTITY and PATH=VALUE")))
        return *status;
    QString problem;
    const std::optional<std::vector<AttributeAssignment>> assignments =
        AttributeAssignment::parseAll(parser.positionalArguments().mid(2), &problem);
    if (!assignments)
        return parser.usageError(problem);

    if (isStandardStream(parser.positionalArguments().at(0)))
        return parser.usageError(QStringLiteral("MODEL.json cannot be \"-\": the model is saved in place"));
    const QString modelPath = parser.pathArgument();
    ModelLock lock;
    if (!readable(modelPath))
        return 1;
    const std::unique_ptr<Model> model = openModel(modelPath, true, &lock);
    if (!model)
        return 1;
    const EntityLookup lookup = lookupEntity(*model, parser.positionalArguments().at(1), modelPath);
    if (!lookup.entity) {
        failure(lookup.problem);
        return finish(true, *model, modelPath);
    }
    bool written = false;
    const RunSummary summary(*model);
    {
        UndoStackOpener step(model.get(), QStringLiteral("Set Attributes"));
        written = AttributeAssignment::applyAll(*assignments, lookup.entity, &problem);
    }
    if (!written) {
        failure(problem);
        return finish(true, *model, modelPath);
    }
    report() << "Set " << assignments->size() << (assignments->size() == 1 ? " attribute" : " attributes") << " of "
             << describeEntity(*lookup.entity) << ".\n";
    summary.print(0, 0, parser.wantsJson());
    return finish(false, *model, modelPath);
}
