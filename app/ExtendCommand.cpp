#include "CommandLine.h"
#include "Console.h"
#include "ConsoleProgress.h"
#include "ModelLookup.h"
#include "ModelPrinter.h"

#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/import/TarvexImporter.h>

#include <stdexcept>

using namespace EntityModel;

int runExtendCommand(CommandParser& parser)
{
    parser.setApplicationDescription("Extends an existing board in place with the components of an interchange file.");
    parser.addPositionalArgument("FILE", "The simplified-model interchange file.");
    const QCommandLineOption modelOption("model", "Model file holding the board.", "MODEL.json");
    const QCommandLineOption boardOption("board", "Name of the board (PCB) to extend.", "NAME");
    parser.addOptions({modelOption, boardOption});
    if (const std::optional<int> status =
            parser.read(1, 1, {modelOption, boardOption},
                        QStringLiteral("extend needs FILE, --model MODEL.json and --board NAME")))
        return *status;
    const QString file = parser.pathArgument();
    const QString modelPath = parser.pathValue(modelOption);
    ModelLock lock;
    std::unique_ptr<Model> model = openFileAndModel(file, modelPath, lock);
    if (!model)
        return 1;
    // The board is named as every command names entities: "#ID", a name, or a designator; a
    // name two entities hold is refused with both, and only a board can be extended.
    const EntityLookup found = lookupEntity(*model, parser.value(boardOption), modelPath);
    Entity* board = found.entity && found.entity->getType() == PCB_t ? found.entity : nullptr;
    if (!board) {
        failure(found.entity ? QStringLiteral("%1 is not a board").arg(describeEntity(*found.entity)) : found.problem);
        return finish(true, *model, modelPath);
    }

    Tools::ConsoleProgress progress;
    progress.holdClosingMessages(Tarvex::TarvexImporter::closingMessages());
    Geometry::GeometryBuilder geometry;
    Tarvex::TarvexImporter importer(EntityFetcher::getChassis(model->getRoot()), &progress, &geometry);
    try {
        importer.extendPCB(board, file);
    } catch (const std::runtime_error& error) {
        err() << "error: " << error.what() << '\n';
        return finish(true, *model, modelPath);
    }
    const Tarvex::TarvexBoardExtension& extension = importer.getLastExtension();
    const QString verb = QStringLiteral("%1 \"%2\" (%3 of its components replaced) with")
                             .arg(progress.fatalErrors() > 0 ? QStringLiteral("Because of the errors nothing is saved; extended")
                                                             : QStringLiteral("Extended"),
                                  parser.value(boardOption))
                             .arg(extension.replaced);
    ModelPrinter(out()).printTopLevel(extension.built, verb, progress.warnings(), progress.fatalErrors());
    const int status = finish(progress.fatalErrors() > 0, *model, modelPath);
    progress.endRun(status == 0);
    return status;
}
