#include "CommandLine.h"
#include "Console.h"
#include "ConsoleProgress.h"
#include "ModelPrinter.h"
#include "RunSummary.h"

#include <tarvex/exchange3d/Tarvex3DImporter.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/EntityFetcher.h>

using namespace EntityModel;

int runImport3DCommand(CommandParser& parser)
{
    parser.setApplicationDescription(
        "Imports a project archive of the 3D solver tool into a host model: a group named after the archive holds "
        "the project's structure (solids with their geometry, colours and materials, heat sources, sensors, "
        "terminals, stress constraints and electrical boundaries), and the project's materials are added. The "
        "model is saved only when the import succeeds; an archive that is refused leaves it as it was.");
    parser.addPositionalArgument("ARCHIVE", "The project archive (zip holding \"Project.xml\" and geometry files).");
    const QCommandLineOption modelOption("model", "Model file to import into (created when missing) and to save.",
                                         "MODEL.json");
    parser.addOption(modelOption);
    parser.addJsonOption(QStringLiteral("the summary"));
    if (const std::optional<int> status =
            parser.read(1, 1, {modelOption}, QStringLiteral("import3d needs ARCHIVE and --model MODEL.json")))
        return *status;
    if (isStandardStream(parser.positionalArguments().at(0)))
        return parser.usageError(QStringLiteral("ARCHIVE cannot be \"-\": the group it makes is named after its file"));
    const QString archive = parser.pathArgument();
    const QString modelPath = parser.pathValue(modelOption);
    ModelLock lock;
    std::unique_ptr<Model> model = openFileAndModel(archive, modelPath, lock, false);
    if (!model)
        return 1;
    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    if (!chassis) {
        failure(QStringLiteral("the model %1 has no chassis to import into").arg(modelPath));
        return finish(true, *model, modelPath);
    }

    Tools::ConsoleProgress progress;
    progress.holdClosingMessages({Tarvex3D::Tarvex3DImporter::closingMessage()});
    const RunSummary summary(*model);
    Tarvex3D::Tarvex3DImporter importer(&progress);
    const bool imported = importer.importModel(chassis, archive.toStdString());
    for (const Tarvex3D::Tarvex3DImporter::Note& note : importer.getNotes()) {
        const QString about = note.first ? EntityModel::getDisplayName(note.first) : QString();
        progress.post(Tools::ToolProgress::Kind::Warning,
                      about.isEmpty() ? note.second : QStringLiteral("%1: %2").arg(about, note.second));
    }
    if (!imported) {
        progress.post(Tools::ToolProgress::Kind::FatalError, QString::fromStdString(importer.importError()));
        progress.endRun(false);
        return finish(true, *model, modelPath);
    }
    if (verbosity() == Verbosity::Verbose && !parser.wantsJson()) {
        Tools::ConsoleProgress::clearActiveLine();
        ModelPrinter(report()).print(*importer.getImportedGroup());
    }
    summary.print(progress.warnings(), progress.fatalErrors(), parser.wantsJson());
    const int status = finish(false, *model, modelPath);
    progress.endRun(status == 0);
    return status;
}
