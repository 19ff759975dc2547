#include "CommandLine.h"
#include "Console.h"
#include "ConsoleProgress.h"
#include "ExitPath.h"
#include "ModelLookup.h"
#include "ModelPrinter.h"
#include "RunSummary.h"

#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/XMLDOMReader.h>
#include <tarvex/import/TarvexImporter.h>

#include <QFileInfo>

#include <stdexcept>

using namespace EntityModel;

int runExtendCommand(CommandParser& parser)
{
    parser.setApplicationDescription("Extends an existing board in place with the components of an interchange file. "
                                     "Prints its warnings, its errors and a summary of what it built, changed and "
                                     "deleted.");
    parser.addPositionalArgument("FILE", "The simplified-model interchange file, \"-\" for standard input.");
    const QCommandLineOption modelOption("model", "Model file holding the board.", "MODEL.json");
    const QCommandLineOption boardOption("board", "Name of the board (PCB) to extend.", "NAME");
    parser.addOptions({modelOption, boardOption});
    parser.addJsonOption(QStringLiteral("the summary"));
    if (const std::optional<int> status =
            parser.read(1, 1, {modelOption, boardOption},
                        QStringLiteral("extend needs FILE, --model MODEL.json and --board NAME")))
        return *status;
    const QString file = parser.inputArgument(0, InterProcess::XMLDOMReader::contentCeiling);
    if (file.isEmpty())
        return 1;
    const QString modelPath = parser.pathValue(modelOption);
    // A large model takes a while to read: the terminal says so at once.
    Tools::ConsoleProgress progress;
    if (!modelPath.isEmpty() && QFileInfo::exists(modelPath))
        progress.beginPhase(QStringLiteral("Reading ") + modelPath);
    ModelLock lock;
    std::unique_ptr<Model> model = openFileAndModel(file, modelPath, lock);
    if (!model)
        return 1;
    // This run never undoes: a failed run is not saved, so nothing needs taking back in memory.
    model->setUndoRecording(false);
    // The board is named as every command names entities: "#ID", a name, or a designator; a
    // name two entities hold is refused with both, and only a board can be extended.
    const EntityLookup found = lookupEntity(*model, parser.value(boardOption), modelPath);
    Entity* board = found.entity && found.entity->getType() == PCB_t ? found.entity : nullptr;
    if (!board) {
        failure(found.entity ? QStringLiteral("%1 is not a board").arg(describeEntity(*found.entity)) : found.problem);
        return finish(true, *model, modelPath);
    }

    progress.holdClosingMessages(Tarvex::TarvexImporter::closingMessages());
    progress.setCountedPhases({QStringLiteral("Building objects"), QStringLiteral("Building entities")});
    progress.beginPhase(QStringLiteral("Reading ") + file);
    const RunSummary summary(*model);
    Geometry::GeometryBuilder geometry;
    Tarvex::TarvexImporter importer(EntityFetcher::getChassis(model->getRoot()), &progress, &geometry);
    try {
        importer.extendPCB(board, file);
    } catch (const std::runtime_error& error) {
        failure(QString::fromUtf8(error.what()));
        return finish(true, *model, modelPath);
    }
    const Tarvex::TarvexBoardExtension& extension = importer.getLastExtension();
    Tools::ConsoleProgress::clearActiveLine();
    const QString verb = QStringLiteral("Extended %1 (%2 of its components replaced)")
                             .arg(describeEntity(*board))
                             .arg(extension.replaced);
    if (verbosity() == Verbosity::Verbose)
        ModelPrinter(report()).printTopLevel(extension.built, verb + QStringLiteral(" with"));
    else
        report() << verb << ".\n";
    summary.print(progress.warnings(), progress.fatalErrors(), parser.wantsJson());
    if (progress.fatalErrors() == 0)
        progress.beginPhase(QStringLiteral("Saving ") + modelPath);
    const int status = finish(progress.fatalErrors() > 0, *model, modelPath);
    progress.endRun(status == 0);
    keepUntilExit(std::move(model));
    return status;
}
