#include "CommandLine.h"
#include "Console.h"
#include "SceneInput.h"

#include <tarvex/host/AtomicFile.h>
#include <tarvex/render/HtmlReport.h>

#include <QFileInfo>

int runReportCommand(CommandParser& parser)
{
    parser.setApplicationDescription(
        "Writes one self-contained HTML page about a saved model (or an interchange XML file), to open in a "
        "browser or print: its top, bottom and side views, tables of its boards with their layer stacks, "
        "components and blocks, materials with their properties, heat sources and power maps with their powers, "
        "and the warnings its import left where the model records them. Nothing is fetched from elsewhere.");
    parser.addPositionalArgument("MODEL.json", "A saved model (or an interchange model file).");
    const QCommandLineOption entityOption("entity", "Report only this entity (name, reference designator or #ID).",
                                          "NAME");
    const QCommandLineOption output(QStringList{"o", "output"}, "The page to write.", "REPORT.html");
    parser.addOptions({entityOption, output});
    if (const std::optional<int> status =
            parser.read(1, 1, {output}, QStringLiteral("report needs MODEL.json and -o REPORT.html")))
        return *status;
    const QString path = parser.pathArgument();
    const QString file = parser.pathValue(output);
    if (sameFile(file, path))
        return parser.usageError(QStringLiteral("-o names the model itself; the report would replace it"));
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix != QLatin1String("html") && suffix != QLatin1String("htm"))
        return parser.usageError(QStringLiteral("-o needs a file name ending in .html"));
    const std::optional<Render::RenderScene> scene = readScene(path, parser.value(entityOption));
    if (!scene)
        return 1;
    if (scene->isEmpty())
        return failure(QStringLiteral("%1 holds nothing to report").arg(path));
    QString problem;
    if (!EntityModel::AtomicFile::write(file, Render::HtmlReport::toHtml(*scene), QStringLiteral("the report"), &problem))
        return failure(problem);
    out() << "Wrote the report of " << path << " to " << file << ".\n";
    out().flush();
    return 0;
}
