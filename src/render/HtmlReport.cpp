#include "HtmlReport.h"

#include "SceneRenderer.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace Render {

namespace {

// Wide enough for a laptop screen; the SVG scales with the page.
const QSize ViewSize(1200, 750);

const char* const Style = R"(
body { font-family: "DejaVu Sans", Arial, sans-serif; color: #202020; max-width: 1150px; margin: 1.5em auto; padding: 0 1em; line-height: 1.4; }
h1 { font-size: 1.6em; margin-bottom: 0.2em; }
h2 { font-size: 1.25em; margin-top: 1.6em; border-bottom: 1px solid #ccc; }
h3 { font-size: 1.05em; }
p.meta { color: #555; margin-top: 0; }
figure { margin: 1em 0; break-inside: avoid; page-break-inside: avoid; }
figure svg { width: 100%; height: auto; border: 1px solid #ddd; }
table { border-collapse: collapse; margin: 0.5em 0 1em; font-size: 0.92em; }
th, td { border: 1px solid #ccc; padding: 0.25em 0.6em; text-align: left; }
td.n { text-align: right; font-variant-numeric: tabular-nums; }
th { background: #f0f0f0; }
tr { break-inside: avoid; page-break-inside: avoid; }
@media print { body { max-width: none; margin: 0; } h2 { break-after: avoid; page-break-after: avoid; } }
)";

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

QString number(double value, int digits = 4)
{
    return std::isfinite(value) ? QString::number(value, 'g', digits) : QStringLiteral("–");
}

QString cell(const QString& text)
{
    return QStringLiteral("<td>") + escaped(text) + QStringLiteral("</td>");
}

QString numberCell(double value, int digits = 4)
{
    return QStringLiteral("<td class=\"n\">") + number(value, digits) + QStringLiteral("</td>");
}

QString header(const QStringList& columns)
{
    QString row = QStringLiteral("<table><thead><tr>");
    for (const QString& column : columns)
        row += QStringLiteral("<th>") + escaped(column) + QStringLiteral("</th>");
    return row + QStringLiteral("</tr></thead><tbody>\n");
}

const QString TableEnd = QStringLiteral("</tbody></table>\n");

double areaOf(const QPolygonF& polygon)
{
    double twice = 0.0;
    for (int i = 0; i < polygon.size(); ++i)
        twice += polygon[i].x() * polygon[(i + 1) % polygon.size()].y() - polygon[(i + 1) % polygon.size()].x() * polygon[i].y();
    return std::abs(twice) / 2.0;
}

// The SVG of a view without its XML prologue, sized by the page rather than in millimetres.
QString inlineSvg(const RenderScene& scene, View view)
{
    QString svg = QString::fromUtf8(SceneRenderer(scene, view).toSvg(ViewSize));
    svg = svg.mid(std::max(0, int(svg.indexOf(QStringLiteral("<svg")))));
    const int end = int(svg.indexOf(QLatin1Char('>')));
    QString start = svg.left(end);
    start.remove(QRegularExpression(QStringLiteral("\\s(width|height)=\"[^\"]*\"")));
    return start + QStringLiteral(" role=\"img\" aria-label=\"%1\"").arg(SceneRenderer(scene, view).caption()) +
           svg.mid(end);
}

// True when `a` comes before `b` with runs of digits compared as numbers.
bool naturallyBefore(const QString& a, const QString& b)
{
    int i = 0;
    int j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            int endA = i;
            int endB = j;
            while (endA < a.size() && a[endA].isDigit())
                ++endA;
            while (endB < b.size() && b[endB].isDigit())
                ++endB;
            const QString numberA = a.mid(i, endA - i).remove(QRegularExpression(QStringLiteral("^0+(?=.)")));
            const QString numberB = b.mid(j, endB - j).remove(QRegularExpression(QStringLiteral("^0+(?=.)")));
            if (numberA.size() != numberB.size())
                return numberA.size() < numberB.size();
            if (numberA != numberB)
                return numberA < numberB;
            i = endA;
            j = endB;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

QString boardTables(const RenderScene& scene)
{
    QString html = QStringLiteral("<h2>Boards</h2>\n");
    if (scene.boards.isEmpty())
        return html + QStringLiteral("<p>No board.</p>\n");
    html += header({QStringLiteral("Board"), QStringLiteral("Width (mm)"), QStringLiteral("Depth (mm)"),
                    QStringLiteral("Thickness (mm)"), QStringLiteral("Layers"),
                    QStringLiteral("Power in its layers (W)"), QStringLiteral("Total power on and in it (W)")});
    for (int i = 0; i < scene.boards.size(); ++i) {
        const SceneBoard& board = scene.boards[i];
        const QRectF box = board.shape.boundingRect();
        html += QStringLiteral("<tr>") + cell(board.name) + numberCell(box.width()) + numberCell(box.height()) +
                numberCell(board.top() - board.bottom()) + numberCell(board.layers.size()) + numberCell(board.power) +
                numberCell(scene.boardPower(i)) + QStringLiteral("</tr>\n");
    }
    html += TableEnd;
    for (const SceneBoard& board : scene.boards) {
        html += QStringLiteral("<h3>Layers of %1, top down</h3>\n").arg(escaped(board.name));
        html += header({QStringLiteral("Layer"), QStringLiteral("Elevation (mm)"), QStringLiteral("Thickness (mm)"),
                        QStringLiteral("Material"), QStringLiteral("Cells")});
        for (int i = board.layers.size() - 1; i >= 0; --i) {
            const SceneLayer& layer = board.layers[i];
            html += QStringLiteral("<tr>") + cell(layer.name) + numberCell(layer.elevation) +
                    numberCell(layer.thickness) + cell(layer.mainMaterial()) + numberCell(layer.cells.size()) +
                    QStringLiteral("</tr>\n");
        }
        html += TableEnd;
    }
    return html;
}

QString componentTable(const RenderScene& scene)
{
    QString html = QStringLiteral("<h2>Components and blocks</h2>\n");
    html += header({QStringLiteral("Name"), QStringLiteral("Kind"), QStringLiteral("Model"), QStringLiteral("Side"),
                    QStringLiteral("Width (mm)"), QStringLiteral("Depth (mm)"), QStringLiteral("Height (mm)"),
                    QStringLiteral("Material"), QStringLiteral("Power (W)")});
    // By name as a reader counts: U1, U5, U10.
    QVector<const SceneOutline*> sorted;
    for (const SceneOutline& outline : scene.outlines)
        sorted.append(&outline);
    std::stable_sort(sorted.begin(), sorted.end(), [](const SceneOutline* a, const SceneOutline* b) {
        return naturallyBefore(a->label, b->label);
    });
    int rows = 0;
    for (const SceneOutline* const item : sorted) {
        const SceneOutline& outline = *item;
        if (outline.kind == OutlineKind::Terminal)
            continue;
        const QRectF box = outline.outline.boundingRect();
        html += QStringLiteral("<tr>") + cell(outline.label) +
                cell(outline.kind == OutlineKind::Component ? QStringLiteral("component") : QStringLiteral("block")) +
                cell(outline.type) + cell(outline.bottomSide ? QStringLiteral("bottom") : QStringLiteral("top")) +
                numberCell(box.width()) + numberCell(box.height()) + numberCell(outline.zHigh - outline.zLow) +
                cell(outline.material) + numberCell(outline.power) + QStringLiteral("</tr>\n");
        ++rows;
    }
    return rows == 0 ? QStringLiteral("<h2>Components and blocks</h2>\n<p>None.</p>\n") : html + TableEnd;
}

QString materialTable(const RenderScene& scene)
{
    QString html = QStringLiteral("<h2>Materials</h2>\n");
    if (scene.materials.isEmpty())
        return html + QStringLiteral("<p>None.</p>\n");
    html += header({QStringLiteral("Material"), QStringLiteral("kx (W/(m·K))"), QStringLiteral("ky (W/(m·K))"),
                    QStringLiteral("kz (W/(m·K))"), QStringLiteral("Density (kg/m³)"),
                    QStringLiteral("Specific heat (J/(kg·K))"), QStringLiteral("Emissivity")});
    for (const SceneMaterial& material : scene.materials) {
        html += QStringLiteral("<tr>") + cell(material.name) + numberCell(material.conductivity[0]) +
                numberCell(material.conductivity[1]) + numberCell(material.conductivity[2]) +
                numberCell(material.density) + numberCell(material.specificHeat) + numberCell(material.emissivity) +
                QStringLiteral("</tr>\n");
    }
    return html + TableEnd;
}

QString heatTable(const RenderScene& scene)
{
    QString html = QStringLiteral("<h2>Heat sources and power maps</h2>\n");
    if (scene.heats.isEmpty())
        return html + QStringLiteral("<p>None.</p>\n");
    html += header({QStringLiteral("Name"), QStringLiteral("On"), QStringLiteral("Kind"), QStringLiteral("Area (mm²)"),
                    QStringLiteral("Power (W)"), QStringLiteral("Power density (W/m²)")});
    double total = 0.0;
    for (int i = 0; i < scene.heats.size();) {
        // The cells of one map follow each other and are listed as the map.
        const SceneHeat& first = scene.heats[i];
        double area = 0.0;
        double power = 0.0;
        int end = i;
        do {
            area += areaOf(scene.heats[end].area);
            power += scene.heats[end].power;
            ++end;
        } while (first.mapCell && end < scene.heats.size() && scene.heats[end].mapCell &&
                 scene.heats[end].name == first.name && scene.heats[end].owner == first.owner);
        html += QStringLiteral("<tr>") + cell(first.name) + cell(first.owner) +
                cell(first.mapCell             ? QStringLiteral("power map, %1 cells").arg(end - i)
                     : first.areaMap.isEmpty() ? QStringLiteral("heat source")
                                               : QStringLiteral("heat source, area map %1").arg(first.areaMap)) +
                numberCell(area) + numberCell(power) + numberCell(area > 0.0 ? power / (area * 1e-6) : 0.0, 3) +
                QStringLiteral("</tr>\n");
        total += power;
        i = end;
    }
    html += QStringLiteral("<tr><th colspan=\"4\">Total</th>") + numberCell(total) + QStringLiteral("<td></td></tr>\n");
    return html + TableEnd;
}

QString warningList(const RenderScene& scene)
{
    QString html = scene.fromFile ? QStringLiteral("<h2>Warnings of reading the file</h2>\n")
                                  : QStringLiteral("<h2>Warnings of the import</h2>\n");
    if (scene.warnings.isEmpty())
        return html + (scene.fromFile ? QStringLiteral("<p>Reading the file gave no warnings.</p>\n")
                                      : QStringLiteral("<p>The model records no warnings.</p>\n"));
    html += QStringLiteral("<ul>\n");
    for (const QString& warning : scene.warnings)
        html += QStringLiteral("<li>") + escaped(warning) + QStringLiteral("</li>\n");
    return html + QStringLiteral("</ul>\n");
}

} // namespace

QByteArray HtmlReport::toHtml(const RenderScene& scene)
{
    const QString name = QFileInfo(scene.fileName).fileName();
    QString html = QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                                  "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                                  "<title>%1</title>\n<style>%2</style>\n</head>\n<body>\n")
                       .arg(escaped(name + QStringLiteral(", model report")), QString::fromUtf8(Style));
    html += QStringLiteral("<h1>%1</h1>\n").arg(escaped(name));
    const qsizetype parts = std::count_if(scene.outlines.begin(), scene.outlines.end(), [](const SceneOutline& outline) {
        return outline.kind != OutlineKind::Terminal;
    });
    html += QStringLiteral("<p class=\"meta\">%1; %2, %3, %4, %5.</p>\n")
                .arg(scene.date.isValid() ? QStringLiteral("Saved ") +
                                                scene.date.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm 'UTC'"))
                                          : QStringLiteral("No date"),
                     counted(scene.boards.size(), QStringLiteral("board"), QStringLiteral("boards")),
                     counted(parts, QStringLiteral("component or block"), QStringLiteral("components and blocks")),
                     counted(qsizetype(scene.balls.size()), QStringLiteral("solder ball or bump"),
                             QStringLiteral("solder balls and bumps")),
                     counted(scene.heats.size(), QStringLiteral("heat source or map cell"),
                             QStringLiteral("heat sources and map cells")));
    html += QStringLiteral("<h2>Views</h2>\n");
    for (const View view : {View::Top, View::Bottom, View::Side}) {
        html += QStringLiteral("<figure>\n") + inlineSvg(scene, view) + QStringLiteral("\n</figure>\n");
    }
    html += boardTables(scene) + componentTable(scene) + materialTable(scene) + heatTable(scene) + warningList(scene);
    html += QStringLiteral("</body>\n</html>\n");
    return html.toUtf8();
}

} // namespace Render
