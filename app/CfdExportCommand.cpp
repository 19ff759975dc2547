#include "CommandLine.h"
#include "Console.h"
#include "ConsoleProgress.h"
#include "ModelLookup.h"

#include <tarvex/export/TarvexCFDExport.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/ModelFile.h>

#include <QFile>
#include <QFileInfo>

#include <stdexcept>

using namespace EntityModel;

namespace {

// The exporter says nothing when it cannot open its file, so the tool looks first: an
// existing file is opened for appending (which changes nothing), a new one needs its folder.
bool writable(const QString& path)
{
    const QFileInfo file(path);
    if (file.exists()) {
        QFile existing(path);
        return file.isFile() && existing.open(QIODevice::WriteOnly | QIODevice::Append);
    }
    const QFileInfo folder(file.absolutePath());
    return folder.isDir() && folder.isWritable();
}

} // namespace

int runCfdExportCommand(CommandParser& parser)
{
    parser.setApplicationDescription(
        "Writes the CFD results of the terminals of a board of a saved model as a terminal-definition file "
        "(\"CFD_TERMINAL_DEFINITION\") for the Tarvex thermal tools: each terminal's outline and pin grid, its "
        "pins with their positions (metres, relative to the board, z up) and heat transfer (W, K, m^2), its "
        "totals and average temperatures. A lumped terminal group is written as one terminal of one pin. The "
        "model is not changed.");
    parser.addPositionalArgument("MODEL.json", "A saved model, \"-\" for standard input.");
    const QCommandLineOption boardOption("board", "The board (PCB): its name, its reference designator or #ID.",
                                         "NAME");
    const QCommandLineOption output(QStringList{"o", "output"}, QStringLiteral("The file to write, \"-\" for standard output."),
                                    "OUT.xml");
    parser.addOptions({boardOption, output});
    if (const std::optional<int> status = parser.read(
            1, 1, {boardOption, output}, QStringLiteral("cfd-export needs MODEL.json, --board NAME and -o OUT.xml")))
        return *status;
    const QString path = parser.inputArgument(0, ModelFile::MaxJsonBytes);
    if (path.isEmpty())
        return 1;
    const bool toStandardOutput = isStandardStream(parser.value(output));
    const QString file = parser.outputValue(output);
    if (file.isEmpty())
        return parser.usageError(QStringLiteral("-o needs a file name"));
    if (!toStandardOutput && sameFile(file, path))
        return parser.usageError(QStringLiteral("-o names the model itself; the export would replace it"));
    if (!writable(file))
        return failure(QStringLiteral("Cannot write %1").arg(file));
    if (!readable(path))
        return 1;
    const std::unique_ptr<Model> model = openModel(path, true, nullptr);
    if (!model)
        return 1;

    // A name that no entity holds leaves the exporter without a board, which it refuses; one
    // that several hold is refused here with the candidates.
    const EntityLookup board = lookupEntity(*model, parser.value(boardOption), path);
    if (!board.candidates.empty())
        return failure(board.problem);
    Geometry::GeometryBuilder geometry;
    Geometry::Part* part = geometry.buildPart(board.entity);
    Tools::ConsoleProgress console;
    Tarvex::TarvexCFDExport exporter;
    try {
        exporter.exportModel(part, file, &console);
    } catch (const std::runtime_error& error) {
        return failure(QString::fromUtf8(error.what()) +
                       (board.entity ? QString() : QStringLiteral(" (%1)").arg(board.problem)));
    }
    if (!QFileInfo::exists(file))
        return failure(QStringLiteral("Cannot write %1").arg(file));
    if (toStandardOutput && !sendStandardOutput())
        return 1;
    report() << "Exported the terminals of " << describeEntity(*board.entity) << " to "
             << (toStandardOutput ? QStringLiteral("standard output") : file) << ".\n";
    report().flush();
    return 0;
}
