#include "CommandLine.h"
#include "Console.h"
#include "ConsoleProgress.h"
#include "ModelLookup.h"
#include "SceneInput.h"

#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/ForwardingProgress.h>
#include <tarvex/objectbuild/TarvexObjectBuilder.h>
#include <tarvex/render/ModelSceneBuilder.h>
#include <tarvex/render/ObjectSceneBuilder.h>
#include <tarvex/render/SceneRenderer.h>

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <stdexcept>

using namespace EntityModel;

namespace {

constexpr int SmallestSide = 64;
constexpr int LargestSide = 16384;

// An interchange file says so in its first byte; a saved model is JSON.
bool isInterchangeFile(const QString& path)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("xml"), Qt::CaseInsensitive) == 0)
        return true;
    QFile file(path);
    char first = 0;
    return file.open(QIODevice::ReadOnly) && file.getChar(&first) && first == '<';
}

std::optional<Render::RenderScene> interchangeScene(const QString& path, const QString& entity)
{
    Tools::ConsoleProgress console;
    Tools::ForwardingProgress progress(&console, QFileInfo(path).fileName() + QStringLiteral(" : "),
                                       Tools::ForwardingProgress::Keeping::Problems);
    Tarvex::TarvexObjectBuilder builder(&progress);
    try {
        if (!builder.readFile(path)) {
            failure(QString());
            return std::nullopt;
        }
    } catch (const std::exception&) {
        failure(QStringLiteral("Failed to read file : ") + path);
        return std::nullopt;
    }
    builder.buildTree();
    Render::RenderScene scene = Render::ObjectSceneBuilder::build(builder.takeObjects(), entity);
    scene.warnings = progress.warnings();
    if (!entity.isEmpty() && scene.isEmpty()) {
        failure(QStringLiteral("%1 holds no part called %2").arg(path, entity));
        return std::nullopt;
    }
    return scene;
}

std::optional<Render::RenderScene> modelScene(const QString& path, const QString& name)
{
    const std::unique_ptr<Model> model = openModel(path, true, nullptr);
    if (!model)
        return std::nullopt;
    // A model without a chassis is drawn from its root (its materials at least).
    const Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    const Entity* entity = chassis ? chassis : model->getRoot();
    if (!name.isEmpty()) {
        const EntityLookup found = lookupEntity(*model, name, path);
        if (!found.entity) {
            failure(found.problem);
            return std::nullopt;
        }
        entity = found.entity;
    }
    return Render::ModelSceneBuilder::build(*entity);
}

} // namespace

std::optional<Render::RenderScene> readScene(const QString& path, const QString& entity)
{
    if (!readable(path))
        return std::nullopt;
    std::optional<Render::RenderScene> scene =
        isInterchangeFile(path) ? interchangeScene(path, entity) : modelScene(path, entity);
    if (scene) {
        scene->fileName = path;
        scene->date = QFileInfo(path).lastModified();
    }
    return scene;
}

int runRenderCommand(CommandParser& parser)
{
    parser.setApplicationDescription(
        "Draws a saved model, or what an interchange XML file describes before it is imported, as an SVG or PNG "
        "picture. The top and bottom views show the board outline with its holes cut out and the cells of its "
        "face coloured by material, components and blocks as outlines labelled with their reference "
        "designators, solder balls and bumps as circles, terminals dotted, and heat sources and power-map cells "
        "filled by power density (W/m²). The side view shows the layer stack with thicknesses and materials and "
        "the parts at their heights, heights stretched by the factor its title gives. Colours can be told apart "
        "by colour-blind readers; a scale bar in mm and the file's name and date stand at the foot.");
    parser.addPositionalArgument("MODEL.json|FILE.xml", "A saved model or an interchange model file.");
    const QCommandLineOption entityOption("entity", "Draw only this entity (name, reference designator or #ID) or, "
                                          "in an interchange file, this part.", "NAME");
    const QCommandLineOption viewOption("view", "top (default), bottom or side.", "VIEW", QStringLiteral("top"));
    const QCommandLineOption output(QStringList{"o", "output"}, "The picture to write (.svg or .png).", "OUT");
    const QCommandLineOption sizeOption("size", "The picture's size in pixels (default 1600x1000).", "WxH");
    parser.addOptions({entityOption, viewOption, output, sizeOption});
    if (const std::optional<int> status =
            parser.read(1, 1, {output}, QStringLiteral("render needs MODEL.json (or FILE.xml) and -o OUT.svg|OUT.png")))
        return *status;

    const QString view = parser.value(viewOption).toLower();
    if (view != QLatin1String("top") && view != QLatin1String("bottom") && view != QLatin1String("side"))
        return parser.usageError(QStringLiteral("--view takes top, bottom or side, not '%1'").arg(view));
    QSize size = Render::SceneRenderer::defaultSize();
    if (parser.isSet(sizeOption)) {
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$")).match(parser.value(sizeOption));
        size = match.hasMatch() ? QSize(match.captured(1).toInt(), match.captured(2).toInt()) : QSize();
        if (size.width() < SmallestSide || size.height() < SmallestSide || size.width() > LargestSide ||
            size.height() > LargestSide)
            return parser.usageError(QStringLiteral("--size takes WIDTHxHEIGHT in pixels, each from %1 to %2")
                                         .arg(SmallestSide)
                                         .arg(LargestSide));
    }
    const QString path = parser.pathArgument();
    const QString file = parser.pathValue(output);
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix != QLatin1String("svg") && suffix != QLatin1String("png"))
        return parser.usageError(QStringLiteral("-o needs a file name ending in .svg or .png"));
    if (sameFile(file, path))
        return parser.usageError(QStringLiteral("-o names the input itself; the picture would replace it"));

    const std::optional<Render::RenderScene> scene = readScene(path, parser.value(entityOption));
    if (!scene)
        return 1;
    if (scene->isEmpty())
        return failure(QStringLiteral("%1 holds nothing to draw").arg(path));
    const Render::View chosen = view == QLatin1String("bottom") ? Render::View::Bottom
                                : view == QLatin1String("side") ? Render::View::Side
                                                                : Render::View::Top;
    const Render::SceneRenderer renderer(*scene, chosen);
    QString problem;
    if (!renderer.write(file, size, &problem))
        return failure(problem);
    out() << "Drew the " << view << " view of " << path << " ("
          << Render::counted(scene->boards.size(), QStringLiteral("board"), QStringLiteral("boards")) << ", "
          << Render::counted(scene->outlines.size(), QStringLiteral("outline"), QStringLiteral("outlines")) << ", "
          << Render::counted(qsizetype(scene->balls.size()), QStringLiteral("ball or bump"),
                             QStringLiteral("balls and bumps"))
          << ", " << Render::counted(scene->heats.size(), QStringLiteral("heat area"), QStringLiteral("heat areas"))
          << ") to " << file << " (" << size.width() << "x" << size.height() << ").\n";
    out().flush();
    return 0;
}
