#include "CommandLine.h"
#include "Console.h"
#include "ConsoleProgress.h"
#include "ExitPath.h"
#include "ModelLookup.h"
#include "ModelPrinter.h"
#include "ReadAhead.h"
#include "RunSummary.h"

#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/XMLDOMReader.h>
#include <tarvex/import/TarvexImporter.h>

#include <QFileInfo>

using namespace EntityModel;

namespace {

// The warning for a file that `model` already holds an import of (`earlier`, its top-level
// entities): a second import doubles them, where an update was most likely meant.
QString alreadyImported(const QString& modelPath, const QString& file, const std::vector<Entity*>& earlier)
{
    QString entities = describeEntity(*earlier.front());
    if (earlier.size() > 1)
        entities += QStringLiteral(" and %1 more").arg(earlier.size() - 1);
    if (file.startsWith(QLatin1Char(':')))
        return QStringLiteral("%1 already holds an import of the built-in sample board (%2); importing it again "
                              "adds a second copy")
            .arg(modelPath, entities);
    return QStringLiteral("%1 already holds an import of %2 (%3); use `tarvex update %2 --model %1` to update it")
        .arg(modelPath, file, entities);
}

} // namespace

int runImportCommand(CommandParser& parser)
{
    parser.setApplicationDescription("Imports an interchange model into a host model. Prints its warnings, its "
                                     "errors and a summary of what it built (-v: every entity built).");
    parser.addPositionalArgument(
        "FILE", "Interchange model (XML) or import list (JSON), \"-\" for standard input; the built-in sample "
                "board when omitted.",
        "[FILE]");
    const QCommandLineOption modelOption("model", "Model file to import into (created when missing) and to save.", "MODEL.json");
    const QCommandLineOption centreOption(QStringList{"centre", "center"}, "Centre the imported entities in their owners.");
    parser.addOptions({modelOption, centreOption});
    parser.addJsonOption(QStringLiteral("the summary"));
    if (const std::optional<int> status = parser.read(0, 1))
        return *status;
    const QString file = parser.positionalArguments().isEmpty()
                             ? QStringLiteral(":/samples/board.xml")
                             : parser.inputArgument(0, InterProcess::XMLDOMReader::contentCeiling);
    if (file.isEmpty())
        return 1;
    const QString modelPath = parser.pathValue(modelOption);
    // A large model takes a while to read: the terminal says so at once.
    Tools::ConsoleProgress progress;
    if (!modelPath.isEmpty() && QFileInfo::exists(modelPath))
        progress.beginPhase(QStringLiteral("Reading ") + modelPath);
    ModelLock lock;
    // An existing model is loaded while the file is read on a thread of its own (see update).
    std::unique_ptr<ReadAhead> reading;
    std::unique_ptr<Model> model = openFileAndModel(file, modelPath, lock, false, [&] {
        if (QFileInfo::exists(modelPath)) {
            reading = std::make_unique<ReadAhead>(file);
            progress.beginPhase(QStringLiteral("Reading %1 and %2").arg(modelPath, file));
        }
    });
    if (!model)
        return 1;
    // This run never undoes: a failed run is not saved, so nothing needs taking back in memory.
    model->setUndoRecording(false);

    progress.holdClosingMessages(Tarvex::TarvexImporter::closingMessages());
    // Standard input leaves no file to update from later: such an import records no source.
    const QString source = isStandardStream(parser.positionalArguments().value(0)) ? QString() : importSourceOf(file);
    if (const std::vector<Entity*> earlier = importsFrom(*model, source); !earlier.empty())
        progress.post(Tools::ToolProgress::Kind::Warning, alreadyImported(modelPath, file, earlier));
    progress.setCountedPhases({QStringLiteral("Building objects"), QStringLiteral("Building entities")});
    progress.beginPhase(QStringLiteral("Reading ") +
                        (parser.positionalArguments().isEmpty() ? QStringLiteral("the sample board") : file));
    const RunSummary summary(*model);
    Geometry::GeometryBuilder geometry;
    Tarvex::TarvexImporter importer(EntityFetcher::getChassis(model->getRoot()), &progress, &geometry);
    importer.takeObjectsFrom(reading ? reading->wait() : nullptr);
    const std::vector<Entity*> built = importer.importModel(file, parser.isSet(centreOption));
    if (verbosity() == Verbosity::Verbose && !parser.wantsJson()) {
        Tools::ConsoleProgress::clearActiveLine();
        ModelPrinter(report()).printTopLevel(built, QStringLiteral("Built"));
    }
    summary.print(progress.warnings(), progress.fatalErrors(), parser.wantsJson());
    if (built.empty() && progress.fatalErrors() == 0) {
        // A list whose files are all missing warns and builds nothing: that is no import.
        failure(QStringLiteral("the import built nothing, so nothing is saved"));
        return finish(true, *model, modelPath);
    }
    recordImportSource(built, source);
    std::vector<Entity*> imports = earlierImports(*model);
    imports.insert(imports.end(), built.begin(), built.end());
    recordImports(*model, imports);
    if (progress.fatalErrors() == 0 && !modelPath.isEmpty())
        progress.beginPhase(QStringLiteral("Saving ") + modelPath);
    const int status = finish(progress.fatalErrors() > 0, *model, modelPath);
    progress.endRun(status == 0);
    keepUntilExit(std::move(model));
    return status;
}
