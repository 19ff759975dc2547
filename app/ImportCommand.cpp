#include "CommandLine.h"
#include "Console.h"
#include "ConsoleProgress.h"
#include "ModelLookup.h"
#include "ModelPrinter.h"

#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/import/TarvexImporter.h>

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
    parser.setApplicationDescription("Imports an interchange model into a host model and prints what it built.");
    parser.addPositionalArgument("FILE", "Interchange model (XML) or import list (JSON); the built-in sample board when omitted.", "[FILE]");
    const QCommandLineOption modelOption("model", "Model file to import into (created when missing) and to save.", "MODEL.json");
    const QCommandLineOption centreOption("centre", "Centre the imported entities in their owners.");
    parser.addOptions({modelOption, centreOption});
    if (const std::optional<int> status = parser.read(0, 1))
        return *status;
    const QString file =
        parser.positionalArguments().isEmpty() ? QStringLiteral(":/samples/board.xml") : parser.pathArgument();
    const QString modelPath = parser.pathValue(modelOption);
    ModelLock lock;
    std::unique_ptr<Model> model = openFileAndModel(file, modelPath, lock, false);
    if (!model)
        return 1;

    Tools::ConsoleProgress progress;
    progress.holdClosingMessages(Tarvex::TarvexImporter::closingMessages());
    const QString source = importSourceOf(file);
    if (const std::vector<Entity*> earlier = importsFrom(*model, source); !earlier.empty())
        progress.post(Tools::ToolProgress::Kind::Warning, alreadyImported(modelPath, file, earlier));
    Geometry::GeometryBuilder geometry;
    Tarvex::TarvexImporter importer(EntityFetcher::getChassis(model->getRoot()), &progress, &geometry);
    const std::vector<Entity*> built = importer.importModel(file, parser.isSet(centreOption));
    // What a run with errors built is shown for finding the fault, not as a result: it is
    // not saved.
    const QString verb = progress.fatalErrors() > 0 ? QStringLiteral("Because of the errors nothing is saved; built")
                         : built.empty()                ? QStringLiteral("Nothing is saved; built")
                                                        : QStringLiteral("Imported");
    ModelPrinter(out()).printTopLevel(built, verb, progress.warnings(), progress.fatalErrors());
    if (built.empty() && progress.fatalErrors() == 0) {
        // A list whose files are all missing warns and builds nothing: that is no import.
        err() << "error: the import built nothing, so nothing is saved\n";
        return finish(true, *model, modelPath);
    }
    recordImportSource(built, source);
    std::vector<Entity*> imports = earlierImports(*model);
    imports.insert(imports.end(), built.begin(), built.end());
    recordImports(*model, imports);
    const int status = finish(progress.fatalErrors() > 0, *model, modelPath);
    progress.endRun(status == 0);
    return status;
}
