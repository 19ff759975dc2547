#include "CommandLine.h"
#include "Console.h"
#include "ModelLookup.h"
#include "ModelPrinter.h"

#include <tarvex/host/ModelFile.h>

#include <QJsonDocument>

using namespace EntityModel;

int runShowCommand(CommandParser& parser)
{
    parser.setApplicationDescription(
        "Prints the entity tree of a saved model: each entity on a line of its own with its type, name (or "
        "reference designator) and id, its attributes below it, then the entities it owns. Values are SI "
        "(lengths in metres, in host axes: y is up) unless an attribute names its display unit; long lists are "
        "cut to fit the line.");
    parser.addPositionalArgument("MODEL.json", "A saved model, \"-\" for standard input.");
    const QCommandLineOption entityOption("entity", "Show only this entity and what it owns: its name, its reference "
                                                    "designator or #ID.",
                                          "NAME|#ID");
    const QCommandLineOption depthOption("depth", "Show N levels of owned entities below the first (0: none).", "N");
    const QCommandLineOption unitOption("unit", "Show lengths in this unit: m (the default) or mm.", "UNIT", "m");
    parser.addOptions({entityOption, depthOption, unitOption});
    parser.addJsonOption(QStringLiteral("the entities"));
    if (const std::optional<int> status = parser.read(1, 1, {}, QStringLiteral("show needs MODEL.json")))
        return *status;
    ModelPrinter::Options options;
    if (parser.isSet(depthOption)) {
        bool ok = false;
        options.depth = parser.value(depthOption).toInt(&ok);
        if (!ok || options.depth < 0)
            return parser.usageError(
                QStringLiteral("--depth takes a whole number from 0, not '%1'").arg(parser.value(depthOption)));
    }
    if (parser.value(unitOption) != QLatin1String("m") && parser.value(unitOption) != QLatin1String("mm"))
        return parser.usageError(QStringLiteral("--unit takes m or mm, not '%1'").arg(parser.value(unitOption)));
    options.millimetres = parser.value(unitOption) == QLatin1String("mm");

    const QString path = parser.inputArgument(0, ModelFile::MaxJsonBytes);
    if (path.isEmpty() || !readable(path))
        return 1;
    const std::unique_ptr<Model> model = openModel(path, true, nullptr);
    if (!model)
        return 1;
    const Entity* shown = model->getRoot();
    if (parser.isSet(entityOption)) {
        const EntityLookup found = lookupEntity(*model, parser.value(entityOption), userText(path));
        if (!found.entity)
            return failure(found.problem);
        shown = found.entity;
    }
    ModelPrinter printer(out(), options);
    if (parser.wantsJson())
        out() << QJsonDocument(printer.toJson(*shown)).toJson(QJsonDocument::Indented);
    else
        printer.print(*shown);
    out().flush();
    return 0;
}
