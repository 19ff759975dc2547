#include "SceneRenderer.h"

#include "RenderPalette.h"

#include <QBuffer>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <map>

namespace Render {

namespace {

// A density range wider than this is drawn on a logarithmic scale, so that a hot spot does
// not wash every other source into one colour.
constexpr double LogarithmicSpan = 20.0;
// Balls are drawn without smoothing past this many: the picture stays quick and still shows them.
constexpr size_t SmoothBallLimit = 20000;
// Joints up to this radius in pixels are drawn as dots on an image.
constexpr double SmallDotRadius = 2.0;

QColor faded(const QColor& colour, int alpha)
{
    QColor copy = colour;
    copy.setAlpha(alpha);
    return copy;
}

// 1, 2 or 5 times a power of ten, the largest not above `value`.
double niceBelow(double value)
{
    if (!(value > 0.0))
        return 1.0;
    const double decade = std::pow(10.0, std::floor(std::log10(value)));
    for (const double step : {5.0, 2.0, 1.0}) {
        if (step * decade <= value)
            return step * decade;
    }
    return decade;
}

QString lengthText(double millimetres)
{
    return QString::number(millimetres, 'g', 4) + QStringLiteral(" mm");
}

QString densityText(double density)
{
    return QString::number(density, 'g', 3) + QStringLiteral(" W/m²");
}

// Draws `text` on a white plate centred at `centre`, moved along `away` (a unit step of
// the plate's height) until it covers none of the plates in `placed`, for a few steps at most.
void drawLabel(QPainter& painter, const QPointF& centre, const QString& text, double away, QVector<QRectF>& placed)
{
    const QRectF size = QFontMetricsF(painter.font()).boundingRect(text).adjusted(-2, 0, 2, 0);
    QRectF plate(centre - QPointF(size.width() / 2, size.height() / 2), size.size());
    for (int step = 0; step < 6; ++step) {
        const bool covers = std::any_of(placed.begin(), placed.end(),
                                        [&plate](const QRectF& other) { return other.intersects(plate); });
        if (!covers)
            break;
        plate.translate(0, away * plate.height());
    }
    placed.append(plate);
    painter.fillRect(plate, QColor(255, 255, 255, 160));
    painter.drawText(plate, Qt::AlignCenter, text);
}

QPainterPath pathOf(const QPolygonF& polygon)
{
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    return path;
}

} // namespace

struct SceneRenderer::Layout
{
    QSize size;
    int font = 12;
    QRectF drawing;
    QRectF legend;
    QRectF foot;
    // Millimetres of the scene to pixels of the picture.
    QTransform map;
    double pixelsPerMillimetre = 1.0;
    int exaggeration = 1;
};

QSize SceneRenderer::defaultSize()
{
    return QSize(1600, 1000);
}

SceneRenderer::SceneRenderer(const RenderScene& scene, View view)
    : m_scene(scene), m_view(view), m_materials(scene.cellMaterials()),
      m_colours(RenderPalette::materialColours(m_materials)), m_densities(scene.densityRange())
{
}

QString SceneRenderer::caption() const
{
    switch (m_view) {
    case View::Top:
        return QStringLiteral("Top view");
    case View::Bottom:
        return QStringLiteral("Bottom view (seen from below, left and right swapped)");
    case View::Side:
        break;
    }
    return QStringLiteral("Side view (from the front)");
}

int SceneRenderer::verticalExaggeration(const QSize& size) const
{
    return layoutFor(size).exaggeration;
}

SceneRenderer::Layout SceneRenderer::layoutFor(const QSize& size) const
{
    Layout layout;
    layout.size = size;
    layout.font = std::clamp(size.height() / 60, 9, 28);
    const double margin = layout.font * 1.5;
    const double legendWidth = std::clamp(size.width() * 0.24, 12.0 * layout.font, 26.0 * layout.font);
    layout.foot = QRectF(margin, size.height() - 3.0 * layout.font, size.width() - 2 * margin, 2.5 * layout.font);
    layout.legend = QRectF(size.width() - legendWidth - margin / 2, margin, legendWidth, layout.foot.top() - margin);
    layout.drawing = QRectF(margin, margin + 2.0 * layout.font, layout.legend.left() - 2 * margin,
                            layout.foot.top() - margin * 1.5 - 2.0 * layout.font);

    const QRectF plan = m_scene.planBounds();
    const double width = std::max(plan.width(), 1e-3);
    if (m_view == View::Side) {
        const auto [low, high] = m_scene.heightRange();
        const double height = std::max(high - low, 1e-3);
        const double scale = std::min(layout.drawing.width() / width, layout.drawing.height() / height);
        // Boards are thin: heights are stretched until the stack fills most of the drawing.
        layout.exaggeration = int(std::max(1.0, niceBelow(layout.drawing.height() * 0.7 / (height * scale))));
        layout.pixelsPerMillimetre = scale;
        const double drawnHeight = height * scale * layout.exaggeration;
        const double left = layout.drawing.left() + (layout.drawing.width() - width * scale) / 2;
        const double base = layout.drawing.bottom() - (layout.drawing.height() - drawnHeight) / 2;
        layout.map = QTransform(scale, 0, 0, -scale * layout.exaggeration, left - plan.left() * scale,
                                base + low * scale * layout.exaggeration);
        return layout;
    }
    const double depth = std::max(plan.height(), 1e-3);
    const double scale = std::min(layout.drawing.width() / width, layout.drawing.height() / depth);
    layout.pixelsPerMillimetre = scale;
    const double left = layout.drawing.left() + (layout.drawing.width() - width * scale) / 2;
    const double top = layout.drawing.top() + (layout.drawing.height() - depth * scale) / 2;
    // Seen from below the board's right is on the left.
    layout.map = m_view == View::Bottom
                     ? QTransform(-scale, 0, 0, -scale, left + plan.right() * scale, top + plan.bottom() * scale)
                     : QTransform(scale, 0, 0, -scale, left - plan.left() * scale, top + plan.bottom() * scale);
    return layout;
}

QColor SceneRenderer::materialColour(const QString& material) const
{
    return m_colours.value(material, RenderPalette::materialColour(7));
}

QColor SceneRenderer::heatColour(double density) const
{
    const auto [low, high] = m_densities;
    if (!(high > low))
        return RenderPalette::densityColour(1.0);
    if (low > 0.0 && high / low > LogarithmicSpan)
        return RenderPalette::densityColour(std::log(density / low) / std::log(high / low));
    return RenderPalette::densityColour((density - low) / (high - low));
}

void SceneRenderer::paint(QPainter& painter, const QSize& size) const
{
    const Layout layout = layoutFor(size);
    painter.fillRect(QRect(QPoint(), size), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing, m_scene.balls.size() <= SmoothBallLimit);
    QFont font = painter.font();
    font.setPixelSize(layout.font);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(RenderPalette::ink());
    const QString title = m_view == View::Side
                              ? caption() + QStringLiteral(", heights stretched ×%1").arg(layout.exaggeration)
                              : caption();
    painter.drawText(QRectF(layout.drawing.left(), layout.font, layout.drawing.width(), 2 * layout.font),
                     Qt::AlignLeft | Qt::AlignVCenter, title);
    font.setBold(false);
    painter.setFont(font);
    if (m_view == View::Side)
        paintSide(painter, layout);
    else
        paintPlan(painter, layout);
    paintLegend(painter, layout);
    paintFoot(painter, layout);
}

void SceneRenderer::paintPlan(QPainter& painter, const Layout& layout) const
{
    const bool top = m_view == View::Top;
    const QColor ink = RenderPalette::ink();
    for (const SceneBoard& board : m_scene.boards) {
        QPainterPath shape = board.shape;
        for (const QPolygonF& hole : top ? board.topHoles : board.bottomHoles)
            shape = shape.subtracted(pathOf(hole));
        const bool cut = shape != board.shape || !board.topHoles.isEmpty() || !board.bottomHoles.isEmpty() ||
                         board.shape.elementCount() > 5;
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xEE, 0xEE, 0xEE));
        painter.drawPath(layout.map.map(shape));
        painter.setPen(QPen(faded(ink, 90), 1));
        for (const SceneLayer* layer : board.faceLayers(top)) {
            for (const SceneCell& cell : layer->cells) {
                painter.setBrush(materialColour(cell.material));
                // Cells are cut to the board only where holes or a bent outline could show.
                if (cut)
                    painter.drawPath(layout.map.map(pathOf(cell.outline).intersected(shape)));
                else
                    painter.drawPolygon(layout.map.map(cell.outline));
            }
        }
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(ink, 2));
        painter.drawPath(layout.map.map(shape));
    }

    painter.setPen(QPen(faded(ink, 200), 1));
    painter.setBrush(QColor(0xDD, 0xDD, 0xDD));
    // On an image, joints of a pixel or two are dots of their size, drawn together: a board
    // of 100 000 draws in a fraction of the time. SVG keeps one circle per joint.
    const bool image = painter.device() && painter.device()->devType() == QInternal::Image;
    std::map<int, QPolygonF> dots; // by diameter in half pixels
    for (const SceneBall& ball : m_scene.balls) {
        if (ball.bottomSide == top)
            continue;
        const double radius = std::max(1.0, ball.radius * layout.pixelsPerMillimetre);
        const QPointF centre = layout.map.map(QPointF(ball.x, ball.y));
        if (image && radius <= SmallDotRadius)
            dots[int(std::lround(4.0 * radius))].append(centre);
        else
            painter.drawEllipse(centre, radius, radius);
    }
    for (const auto& [size, centres] : dots) {
        painter.setPen(QPen(QColor(0x90, 0x90, 0x90), size / 2.0, Qt::SolidLine, Qt::RoundCap));
        painter.drawPoints(centres);
    }

    // Power over the joints, which a dense board would otherwise cover it with.
    painter.setPen(QPen(faded(ink, 160), 1));
    for (const SceneHeat& heat : m_scene.heats) {
        if (heat.bottomSide == top)
            continue;
        painter.setBrush(heatColour(heat.density()));
        painter.drawPolygon(layout.map.map(heat.area));
    }

    painter.setBrush(Qt::NoBrush);
    for (const SceneOutline& outline : m_scene.outlines) {
        if (outline.bottomSide == top)
            continue;
        const Qt::PenStyle style = outline.kind == OutlineKind::Component ? Qt::SolidLine
                                   : outline.kind == OutlineKind::Block   ? Qt::DashLine
                                                                          : Qt::DotLine;
        painter.setPen(QPen(ink, outline.kind == OutlineKind::Terminal ? 1 : 1.5, style));
        painter.drawPolygon(layout.map.map(outline.outline));
    }

    // Labels last, over everything, each centred on its outline and shrunk to fit it.
    QVector<QRectF> placed;
    painter.setPen(ink);
    for (const SceneOutline& outline : m_scene.outlines) {
        if (outline.bottomSide == top || outline.kind == OutlineKind::Terminal || outline.label.isEmpty())
            continue;
        // A label fills no more than half its outline, so that what lies inside stays seen;
        // one too tall for that stands just above it.
        const QRectF box = layout.map.map(outline.outline).boundingRect();
        QFont font = painter.font();
        font.setPixelSize(std::max(7, std::min(layout.font, int(box.height() * 0.5))));
        painter.setFont(font);
        const double textHeight = QFontMetricsF(font).height();
        const QPointF anchor = textHeight <= box.height() / 2
                                   ? box.center()
                                   : QPointF(box.center().x(), box.top() - textHeight * 0.6);
        drawLabel(painter, anchor, outline.label, anchor == box.center() ? 1.0 : -1.0, placed);
    }
    QFont font = painter.font();
    font.setPixelSize(layout.font);
    painter.setFont(font);
}

void SceneRenderer::paintSide(QPainter& painter, const Layout& layout) const
{
    const QColor ink = RenderPalette::ink();
    const auto side = [&layout](double xLow, double xHigh, double zLow, double zHigh) {
        return layout.map.mapRect(QRectF(QPointF(xLow, zLow), QPointF(xHigh, zHigh)));
    };
    painter.setPen(QPen(faded(ink, 120), 1));
    for (const SceneBoard& board : m_scene.boards) {
        for (const SceneLayer& layer : board.layers) {
            for (const SceneCell& cell : layer.cells) {
                const QRectF span = cell.outline.boundingRect();
                painter.setBrush(materialColour(cell.material));
                painter.drawRect(side(span.left(), span.right(), layer.elevation, layer.elevation + layer.thickness));
            }
        }
    }
    painter.setBrush(QColor(0xDD, 0xDD, 0xDD));
    for (const SceneBall& ball : m_scene.balls) {
        painter.drawEllipse(side(ball.x - ball.radius, ball.x + ball.radius, ball.zLow, ball.zLow + ball.height));
    }
    painter.setBrush(Qt::NoBrush);
    QVector<QRectF> boxes;
    for (const SceneOutline& outline : m_scene.outlines) {
        if (outline.kind == OutlineKind::Terminal)
            continue;
        const QRectF span = outline.outline.boundingRect();
        painter.setPen(QPen(ink, 1.5, outline.kind == OutlineKind::Block ? Qt::DashLine : Qt::SolidLine));
        boxes.append(side(span.left(), span.right(), outline.zLow, outline.zHigh));
        painter.drawRect(boxes.last());
    }
    // A label stands above its part (below one on the bottom face); one that would cover
    // another label or another part is left out rather than piled on them.
    painter.setPen(ink);
    QVector<QRectF> labels;
    int index = 0;
    for (const SceneOutline& outline : m_scene.outlines) {
        if (outline.kind == OutlineKind::Terminal)
            continue;
        const QRectF box = boxes[index++];
        if (outline.label.isEmpty())
            continue;
        const QRectF size = QFontMetricsF(painter.font()).boundingRect(outline.label).adjusted(-2, 0, 2, 0);
        const QRectF outside(QPointF(box.center().x() - size.width() / 2,
                                     outline.bottomSide ? box.bottom() + 1 : box.top() - size.height() - 1),
                             size.size());
        QRectF inside(QPointF(), size.size());
        inside.moveCenter(box.center());
        for (const QRectF& plate : {outside, inside}) {
            const auto covers = [&plate, &box](const QRectF& other) { return other != box && other.intersects(plate); };
            if ((plate == inside && !box.contains(plate)) || std::any_of(labels.begin(), labels.end(), covers) ||
                std::any_of(boxes.begin(), boxes.end(), covers))
                continue;
            labels.append(plate);
            painter.drawText(plate, Qt::AlignCenter, outline.label);
            break;
        }
    }
}

void SceneRenderer::paintLegend(QPainter& painter, const Layout& layout) const
{
    const QColor ink = RenderPalette::ink();
    const double line = layout.font * 1.5;
    const double swatch = layout.font;
    double y = layout.legend.top();
    QFont font = painter.font();
    const auto heading = [&](const QString& text) {
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(ink);
        painter.drawText(QPointF(layout.legend.left(), y + layout.font), text);
        font.setBold(false);
        painter.setFont(font);
        y += line;
    };
    const auto entry = [&](const QString& text) {
        painter.setPen(ink);
        painter.drawText(QPointF(layout.legend.left() + swatch * 1.6, y + layout.font * 0.9), text);
        y += line;
    };
    const auto box = [&]() { return QRectF(layout.legend.left(), y + 1, swatch, swatch); };

    if (m_view == View::Side) {
        heading(QStringLiteral("Layers, top down"));
        for (const SceneBoard& board : m_scene.boards) {
            QVector<const SceneLayer*> layers;
            for (const SceneLayer& layer : board.layers)
                layers.prepend(&layer);
            for (const SceneLayer* layer : layers) {
                if (y > layout.legend.bottom() - 6 * line)
                    break;
                painter.setPen(QPen(faded(ink, 120), 1));
                painter.setBrush(materialColour(layer->mainMaterial()));
                painter.drawRect(box());
                entry(QStringLiteral("%1: %2, %3").arg(layer->name, lengthText(layer->thickness), layer->mainMaterial()));
            }
        }
        y += line / 2;
    }
    heading(QStringLiteral("Materials"));
    for (const QString& material : m_materials) {
        if (y > layout.legend.bottom() - 6 * line)
            break;
        painter.setPen(QPen(faded(ink, 120), 1));
        painter.setBrush(materialColour(material));
        painter.drawRect(box());
        entry(material.isEmpty() ? QStringLiteral("(no material)") : material);
    }
    y += line / 2;
    if (m_view != View::Side && !m_scene.heats.isEmpty()) {
        heading(QStringLiteral("Power density"));
        const auto [low, high] = m_densities;
        const int steps = 24;
        const double barHeight = std::min(8.0 * line, layout.legend.bottom() - y - 6 * line);
        for (int step = 0; step < steps && barHeight > 0; ++step) {
            const double position = 1.0 - (step + 0.5) / steps;
            painter.fillRect(QRectF(layout.legend.left(), y + step * barHeight / steps, swatch * 1.2,
                                    barHeight / steps + 0.5),
                             RenderPalette::densityColour(position));
        }
        painter.setPen(ink);
        const bool logarithmic = low > 0.0 && high / low > LogarithmicSpan;
        painter.drawText(QPointF(layout.legend.left() + swatch * 1.6, y + layout.font * 0.9), densityText(high));
        painter.drawText(QPointF(layout.legend.left() + swatch * 1.6, y + std::max(barHeight, line)),
                         densityText(low) + (logarithmic ? QStringLiteral(" (log scale)") : QString()));
        y += std::max(barHeight, line) + line;
    }
    heading(QStringLiteral("Outlines"));
    const auto lineEntry = [&](Qt::PenStyle style, const QString& text) {
        painter.setPen(QPen(ink, 1.5, style));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box());
        entry(text);
    };
    lineEntry(Qt::SolidLine, QStringLiteral("component"));
    lineEntry(Qt::DashLine, QStringLiteral("block"));
    if (m_view != View::Side)
        lineEntry(Qt::DotLine, QStringLiteral("terminal"));
    painter.setPen(QPen(faded(ink, 200), 1));
    painter.setBrush(QColor(0xDD, 0xDD, 0xDD));
    painter.drawEllipse(box());
    entry(QStringLiteral("solder ball or bump"));
}

void SceneRenderer::paintFoot(QPainter& painter, const Layout& layout) const
{
    const QColor ink = RenderPalette::ink();
    // A bar of a round length near a fifth of the drawing.
    const double length = niceBelow(layout.drawing.width() / 5.0 / layout.pixelsPerMillimetre);
    const double pixels = length * layout.pixelsPerMillimetre;
    const double baseline = layout.foot.top() + layout.font * 0.8;
    const QPointF start(layout.foot.left(), baseline);
    painter.setPen(QPen(ink, 2));
    painter.drawLine(start, start + QPointF(pixels, 0));
    painter.drawLine(start + QPointF(0, -layout.font * 0.4), start + QPointF(0, layout.font * 0.4));
    painter.drawLine(start + QPointF(pixels, -layout.font * 0.4), start + QPointF(pixels, layout.font * 0.4));
    QString scale = lengthText(length);
    if (m_view == View::Side)
        scale += QStringLiteral(" across; heights ×%1").arg(layout.exaggeration);
    painter.drawText(start + QPointF(pixels + layout.font * 0.6, layout.font * 0.35), scale);
    const QString date = m_scene.date.isValid()
                             ? m_scene.date.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm 'UTC'"))
                             : QString();
    painter.drawText(layout.foot, Qt::AlignRight | Qt::AlignTop,
                     QStringList{QFileInfo(m_scene.fileName).fileName(), date}.join(QStringLiteral(", ")));
}

QByteArray SceneRenderer::toSvg(const QSize& size) const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(), size));
    generator.setTitle(QStringLiteral("%1 of %2").arg(caption(), QFileInfo(m_scene.fileName).fileName()));
    generator.setDescription(QStringLiteral("Drawn by tarvex"));
    QPainter painter(&generator);
    paint(painter, size);
    painter.end();
    // The writer gives the size in millimetres at its 72 dpi; a browser then scales the
    // picture. In pixels it is shown at the size it was drawn for.
    QByteArray svg = buffer.data();
    const int end = svg.indexOf('>', svg.indexOf("<svg"));
    const QByteArray start = QString::fromUtf8(svg.left(end))
                                 .replace(QRegularExpression(QStringLiteral("\\swidth=\"[^\"]*\"")),
                                          QStringLiteral(" width=\"%1px\"").arg(size.width()))
                                 .replace(QRegularExpression(QStringLiteral("\\sheight=\"[^\"]*\"")),
                                          QStringLiteral(" height=\"%1px\"").arg(size.height()))
                                 .toUtf8();
    return start + svg.mid(end);
}

QImage SceneRenderer::toImage(const QSize& size) const
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(painter, size);
    painter.end();
    return image;
}

bool SceneRenderer::write(const QString& path, const QSize& size, QString* problem) const
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("svg") && suffix != QLatin1String("png")) {
        *problem = QStringLiteral("%1 names neither an SVG nor a PNG file (.svg or .png)").arg(path);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *problem = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    const bool written = suffix == QLatin1String("svg") ? file.write(toSvg(size)) >= 0
                                                        : toImage(size).save(&file, "PNG");
    if (!written || !file.commit()) {
        *problem = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace Render
