#include "CommandLine.h"
#include "Console.h"
#include "ConsoleProgress.h"
#include "ExitPath.h"
#include "ModelDiff.h"
#include "ModelLookup.h"
#include "ModelPrinter.h"
#include "ReadAhead.h"
#include "RunSummary.h"

#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/ModelFile.h>
#include <tarvex/host/XMLDOMReader.h>
#include <tarvex/import/TarvexImporter.h>

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

using namespace EntityModel;

int runUpdateCommand(CommandParser& parser)
{
    parser.setApplicationDescription("Re-imports an interchange model over the entities of an earlier import: "
                                     "matching entities are reused, the others deleted. Prints its warnings, its "
                                     "errors and a summary of what it built, changed and deleted.");
    parser.addPositionalArgument("FILE", "The newer interchange model, \"-\" for standard input.");
    const QCommandLineOption modelOption("model", "Model file holding the earlier import.", "MODEL.json");
    const QCommandLineOption dryRunOption(
        "dry-run", "Print what the update would change (as `tarvex diff` prints it) and save nothing.");
    parser.addOptions({modelOption, dryRunOption});
    parser.addJsonOption(QStringLiteral("the summary"));
    if (const std::optional<int> status =
            parser.read(1, 1, {modelOption}, QStringLiteral("update needs FILE and --model MODEL.json")))
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
    // The file is read on a thread of its own while the model loads: on a large board each
    // takes a while, and neither needs the other.
    std::unique_ptr<ReadAhead> reading;
    std::unique_ptr<Model> model =
        openFileAndModel(file, modelPath, lock, true, [&] {
            reading = std::make_unique<ReadAhead>(file);
            progress.beginPhase(QStringLiteral("Reading %1 and %2").arg(modelPath, file));
        });
    if (!model)
        return 1;
    // This run never undoes: a failed run is not saved, so nothing needs taking back in memory.
    model->setUndoRecording(false);
    // The model as it stands on disk, to compare with the updated one.
    std::unique_ptr<Model> before;
    QString problem;
    if (parser.isSet(dryRunOption) && !(before = ModelFile::load(modelPath, &problem)))
        return failure(problem);

    // An update replaces the import of its own file; imports of other files stay as they are.
    const QString source = isStandardStream(parser.positionalArguments().value(0)) ? QString() : importSourceOf(file);
    std::vector<Entity*> others;
    const std::vector<Entity*> existing = importsToUpdate(*model, source, others);
    progress.holdClosingMessages(Tarvex::TarvexImporter::closingMessages());
    progress.setCountedPhases({QStringLiteral("Building objects"), QStringLiteral("Updating")});
    progress.beginPhase(QStringLiteral("Reading ") + file);
    const RunSummary summary(*model);
    Geometry::GeometryBuilder geometry;
    Tarvex::TarvexImporter importer(EntityFetcher::getChassis(model->getRoot()), &progress, &geometry);
    importer.takeObjectsFrom(reading ? reading->wait() : nullptr);
    const std::vector<Entity*> updated = importer.updateModel(file, existing);
    if (verbosity() == Verbosity::Verbose && !parser.wantsJson()) {
        Tools::ConsoleProgress::clearActiveLine();
        ModelPrinter(report()).printTopLevel(updated, before ? QStringLiteral("Dry run, nothing is saved; updated") : QStringLiteral("Updated"));
    }
    // A dry run in JSON gives its summary together with the difference, as one document.
    if (!(before && parser.wantsJson()))
        summary.print(progress.warnings(), progress.fatalErrors(), parser.wantsJson());
    if (updated.empty() && !existing.empty() && progress.fatalErrors() == 0) {
        // Saving now would drop the whole earlier import for a file that built nothing.
        failure(QStringLiteral("the update built nothing, so the earlier import is kept"));
        return finish(true, *model, modelPath);
    }
    recordImportSource(updated, source);
    others.insert(others.end(), updated.begin(), updated.end());
    recordImports(*model, others);
    if (before && progress.fatalErrors() == 0) {
        const ModelDiff difference(*before, *model);
        if (parser.wantsJson())
            out() << QJsonDocument(QJsonObject{{QStringLiteral("difference"), difference.toJson().object()},
                                               {QStringLiteral("summary"),
                                                summary.json(progress.warnings(), progress.fatalErrors())}})
                         .toJson(QJsonDocument::Indented);
        else
            out() << difference.toText();
        out().flush();
        err() << "Dry run: nothing was saved; the model file " << modelPath << " was left unchanged.\n";
        progress.endRun(true);
        err().flush();
        return 0;
    }
    if (progress.fatalErrors() == 0)
        progress.beginPhase(QStringLiteral("Saving ") + modelPath);
    const int status = finish(progress.fatalErrors() > 0, *model, modelPath);
    progress.endRun(status == 0);
    keepUntilExit(std::move(model));
    return status;
}
