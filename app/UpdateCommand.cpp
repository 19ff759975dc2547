#include "CommandLine.h"
#include "Console.h"
#include "ConsoleProgress.h"
#include "ModelDiff.h"
#include "ModelLookup.h"
#include "ModelPrinter.h"

#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/ModelFile.h>
#include <tarvex/import/TarvexImporter.h>

using namespace EntityModel;

int runUpdateCommand(CommandParser& parser)
{
    parser.setApplicationDescription("Re-imports an interchange model over the entities of an earlier import: "
                                     "matching entities are reused, the others deleted.");
    parser.addPositionalArgument("FILE", "The newer interchange model.");
    const QCommandLineOption modelOption("model", "Model file holding the earlier import.", "MODEL.json");
    const QCommandLineOption dryRunOption(
        "dry-run", "Print what the update would change (as `tarvex diff` prints it) and save nothing.");
    parser.addOptions({modelOption, dryRunOption});
    if (const std::optional<int> status =
            parser.read(1, 1, {modelOption}, QStringLiteral("update needs FILE and --model MODEL.json")))
        return *status;
    const QString file = parser.pathArgument();
    const QString modelPath = parser.pathValue(modelOption);
    ModelLock lock;
    std::unique_ptr<Model> model = openFileAndModel(file, modelPath, lock);
    if (!model)
        return 1;
    // The model as it stands on disk, to compare with the updated one.
    std::unique_ptr<Model> before;
    QString problem;
    if (parser.isSet(dryRunOption) && !(before = ModelFile::load(modelPath, &problem)))
        return failure(problem);

    const std::vector<Entity*> existing = earlierImports(*model);
    Tools::ConsoleProgress progress;
    progress.holdClosingMessages(Tarvex::TarvexImporter::closingMessages());
    Geometry::GeometryBuilder geometry;
    Tarvex::TarvexImporter importer(EntityFetcher::getChassis(model->getRoot()), &progress, &geometry);
    const std::vector<Entity*> updated = importer.updateModel(file, existing);
    // What a run with errors built is shown for finding the fault, not as a result: it is
    // not saved.
    const QString verb = progress.fatalErrors() > 0 ? QStringLiteral("Because of the errors nothing is saved; built")
                       : before                     ? QStringLiteral("Dry run, nothing is saved; updated")
                                                    : QStringLiteral("Updated");
    ModelPrinter(out()).printTopLevel(updated, verb, progress.warnings(), progress.fatalErrors());
    if (updated.empty() && !existing.empty() && progress.fatalErrors() == 0) {
        // Saving now would drop the whole earlier import for a file that built nothing.
        err() << "error: the update built nothing, so the earlier import is kept\n";
        return finish(true, *model, modelPath);
    }
    recordImportSource(updated, importSourceOf(file));
    recordImports(*model, updated);
    if (before && progress.fatalErrors() == 0) {
        out() << ModelDiff(*before, *model).toText();
        out().flush();
        err() << "Dry run: nothing was saved; the model file " << modelPath << " was left unchanged.\n";
        progress.endRun(true);
        err().flush();
        return 0;
    }
    const int status = finish(progress.fatalErrors() > 0, *model, modelPath);
    progress.endRun(status == 0);
    return status;
}
