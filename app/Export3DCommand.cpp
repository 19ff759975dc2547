#include "CommandLine.h"
#include "Console.h"

#include "ConsoleProgress.h"
#include "exchange3d/Tarvex3DExporter.h"
#include "host/EntityReading.h"

#include <QFileInfo>

using namespace EntityModel;

int runExport3DCommand(CommandParser& parser)
{
    parser.setApplicationDescription(
        "Exports a saved model as a project archive of the 3D solver tool: \"Project.xml\" with the model's "
        "materials and one object per solid, heat source, sensor, terminal or boundary of its chassis, and a "
        "geometry file per solid. Prints the notes of the export (limits met, files written). The model is "
        "not changed.");
    parser.addPositionalArgument("MODEL.json", "A saved model.");
    const QCommandLineOption output(QStringList{"o", "output"}, QStringLiteral("The archive to write."), "OUT.zip");
    const QCommandLineOption feaOnly("fea-only", QStringLiteral("Leave out every entity not solved in FEA."));
    parser.addOptions({output, feaOnly});
    if (const std::optional<int> status =
            parser.read(1, 1, {output}, QStringLiteral("export3d needs MODEL.json and -o OUT.zip")))
        return *status;
    if (parser.value(output).isEmpty())
        return parser.usageError(QStringLiteral("-o needs a file name"));

    const QString path = parser.pathArgument();
    if (!readable(path))
        return 1;
    const std::unique_ptr<Model> model = openModel(path, true, nullptr);
    if (!model)
        return 1;
    const QString archive = parser.pathValue(output);
    if (QFileInfo(archive).canonicalFilePath() == QFileInfo(path).canonicalFilePath())
        return parser.usageError(QStringLiteral("-o names the model itself; the archive would replace it"));

    Tools::ConsoleProgress console;
    Tarvex3D::Tarvex3DExporter exporter;
    const bool exported = exporter.exportModel(model->getRoot(), archive.toStdString(), parser.isSet(feaOnly), &console);
    for (const Tarvex3D::Tarvex3DExporter::Note& note : exporter.getNotes())
        out() << "note: " << (note.first ? EntityModel::getDisplayName(note.first) + QStringLiteral(": ") : QString()) << note.second << '\n';
    out().flush();
    if (!exported) {
        // The exporter has said why through the console already; the reason is repeated only
        // when it had not.
        return failure(console.fatalErrors() > 0 ? QString() : QString::fromStdString(exporter.importError()));
    }
    out() << "Exported " << path << " as " << archive << ".\n";
    out().flush();
    return 0;
}
