#include "CommandLine.h"
#include "Console.h"

#include "ConsoleProgress.h"
#include <tarvex/exchange3d/Tarvex3DExporter.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/ModelFile.h>

#include <QFileInfo>

using namespace EntityModel;

int runExport3DCommand(CommandParser& parser)
{
    parser.setApplicationDescription(
        "Exports a saved model as a project archive of the 3D solver tool: \"Project.xml\" with the model's "
        "materials and one object per solid, heat source, sensor, terminal or boundary of its chassis, and a "
        "geometry file per solid. With --via-solver the solids go through the solver's executable "
        "Tarvex3D.exe, run on a Tcl script in a folder of the export's own; the other objects are then added "
        "to the project it saved. Prints the notes of the export (limits met, files written). The model is "
        "not changed.");
    parser.addPositionalArgument("MODEL.json", "A saved model, \"-\" for standard input.");
    const QCommandLineOption output(QStringList{"o", "output"},
                                    QStringLiteral("The archive to write, \"-\" for standard output."), "OUT.zip");
    const QCommandLineOption feaOnly("fea-only", QStringLiteral("Leave out every entity not solved in FEA."));
    const QCommandLineOption viaSolver("via-solver", QStringLiteral("Have the solver's executable make the solids."));
    const QCommandLineOption solverFolder(
        "solver-folder", QStringLiteral("The folder holding Tarvex3D.exe (default: $TARVEX3D_FOLDER)."), "DIR");
    const QCommandLineOption solverTimeout(
        "solver-timeout",
        QStringLiteral("Seconds the solver may run before it is stopped (default %1).")
            .arg(Tarvex3D::Tarvex3DExporter::defaultSolverTimeout.count()),
        "S");
    parser.addOptions({output, feaOnly, viaSolver, solverFolder, solverTimeout});
    if (const std::optional<int> status =
            parser.read(1, 1, {output}, QStringLiteral("export3d needs MODEL.json and -o OUT.zip")))
        return *status;
    if (parser.value(output).isEmpty())
        return parser.usageError(QStringLiteral("-o needs a file name"));
    const bool throughSolver = parser.isSet(viaSolver);
    if (!throughSolver && (parser.isSet(solverFolder) || parser.isSet(solverTimeout)))
        return parser.usageError(QStringLiteral("--solver-folder and --solver-timeout go with --via-solver"));
    bool timeoutOk = true;
    const qint64 timeout = parser.isSet(solverTimeout) ? parser.value(solverTimeout).toLongLong(&timeoutOk)
                                                       : Tarvex3D::Tarvex3DExporter::defaultSolverTimeout.count();
    // Up to a year: the deadline is kept in milliseconds.
    if (!timeoutOk || timeout < 1 || timeout > 366LL * 24 * 3600)
        return parser.usageError(
            QStringLiteral("--solver-timeout takes a whole number of seconds from 1 to 31622400, not '%1'")
                .arg(parser.value(solverTimeout)));

    const QString path = parser.inputArgument(0, ModelFile::MaxJsonBytes);
    if (path.isEmpty() || !readable(path))
        return 1;
    const std::unique_ptr<Model> model = openModel(path, true, nullptr);
    if (!model)
        return 1;
    const bool toStandardOutput = isStandardStream(parser.value(output));
    const QString archive = parser.outputValue(output);
    if (!toStandardOutput && sameFile(archive, path))
        return parser.usageError(QStringLiteral("-o names the model itself; the archive would replace it"));

    Tools::ConsoleProgress console;
    Tarvex3D::Tarvex3DExporter exporter;
    bool exported = false;
    if (throughSolver) {
        if (parser.isSet(solverFolder))
            exporter.setSolverFolder(parser.pathValue(solverFolder));
        exporter.setSolverTimeout(std::chrono::seconds(timeout));
        exported = exporter.exportModel_tcl_solid(model->getRoot(), archive.toStdString(), parser.isSet(feaOnly), &console);
    } else {
        exported = exporter.exportModel(model->getRoot(), archive.toStdString(), parser.isSet(feaOnly), &console);
    }
    for (const Tarvex3D::Tarvex3DExporter::Note& note : exporter.getNotes())
        report() << "note: " << (note.first ? EntityModel::getDisplayName(note.first) + QStringLiteral(": ") : QString())
                 << note.second << '\n';
    report().flush();
    if (!exported) {
        // The exporter has said why through the console already; the reason is repeated only
        // when it had not.
        return failure(console.fatalErrors() > 0 ? QString() : QString::fromStdString(exporter.importError()));
    }
    if (toStandardOutput && !sendStandardOutput())
        return 1;
    report() << "Exported " << userText(path) << " as "
             << (toStandardOutput ? QStringLiteral("a project archive on standard output") : archive) << ".\n";
    report().flush();
    return 0;
}
