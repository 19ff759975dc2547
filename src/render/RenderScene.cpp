#include "RenderScene.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace Render {

namespace {

constexpr double FaceTolerance = 1e-6; // mm

// Shoelace area of a closed outline, mm^2.
double areaOf(const QPolygonF& outline)
{
    double twice = 0.0;
    for (int i = 0; i < outline.size(); ++i) {
        const QPointF& a = outline[i];
        const QPointF& b = outline[(i + 1) % outline.size()];
        twice += a.x() * b.y() - b.x() * a.y();
    }
    return std::abs(twice) / 2.0;
}

} // namespace

QString SceneLayer::mainMaterial() const
{
    std::map<QString, double> areas;
    for (const SceneCell& cell : cells)
        areas[cell.material] += areaOf(cell.outline);
    const auto largest = std::max_element(areas.begin(), areas.end(),
                                          [](const auto& a, const auto& b) { return a.second < b.second; });
    return largest == areas.end() ? QString() : largest->first;
}

double SceneBoard::bottom() const
{
    double low = std::numeric_limits<double>::max();
    for (const SceneLayer& layer : layers)
        low = std::min(low, layer.elevation);
    return layers.isEmpty() ? 0.0 : low;
}

double SceneBoard::top() const
{
    double high = std::numeric_limits<double>::lowest();
    for (const SceneLayer& layer : layers)
        high = std::max(high, layer.elevation + layer.thickness);
    return layers.isEmpty() ? 0.0 : high;
}

QVector<const SceneLayer*> SceneBoard::faceLayers(bool topFace) const
{
    const double face = topFace ? top() : bottom();
    QVector<const SceneLayer*> found;
    for (const SceneLayer& layer : layers) {
        const double level = topFace ? layer.elevation + layer.thickness : layer.elevation;
        if (std::abs(level - face) < FaceTolerance)
            found.append(&layer);
    }
    return found;
}

double SceneHeat::density() const
{
    const double squareMetres = areaOf(area) * 1e-6;
    return squareMetres > 0.0 ? power / squareMetres : 0.0;
}

QRectF RenderScene::planBounds() const
{
    QRectF bounds;
    const auto add = [&bounds](const QRectF& box) { bounds = bounds.isNull() ? box : bounds.united(box); };
    for (const SceneBoard& board : boards) {
        add(board.shape.boundingRect());
        for (const SceneLayer& layer : board.layers) {
            for (const SceneCell& cell : layer.cells)
                add(cell.outline.boundingRect());
        }
    }
    for (const SceneOutline& outline : outlines)
        add(outline.outline.boundingRect());
    for (const SceneHeat& heat : heats)
        add(heat.area.boundingRect());
    if (!balls.empty()) {
        float low[2] = {balls.front().x, balls.front().y};
        float high[2] = {low[0], low[1]};
        float radius = 0.0f;
        for (const SceneBall& ball : balls) {
            low[0] = std::min(low[0], ball.x);
            low[1] = std::min(low[1], ball.y);
            high[0] = std::max(high[0], ball.x);
            high[1] = std::max(high[1], ball.y);
            radius = std::max(radius, ball.radius);
        }
        add(QRectF(QPointF(low[0] - radius, low[1] - radius), QPointF(high[0] + radius, high[1] + radius)));
    }
    return bounds;
}

std::pair<double, double> RenderScene::heightRange() const
{
    double low = std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::lowest();
    const auto add = [&](double from, double to) {
        low = std::min(low, from);
        high = std::max(high, to);
    };
    for (const SceneBoard& board : boards) {
        if (!board.layers.isEmpty())
            add(board.bottom(), board.top());
    }
    for (const SceneOutline& outline : outlines) {
        if (outline.kind != OutlineKind::Terminal)
            add(outline.zLow, outline.zHigh);
    }
    for (const SceneBall& ball : balls)
        add(ball.zLow, ball.zLow + ball.height);
    return low > high ? std::make_pair(0.0, 0.0) : std::make_pair(low, high);
}

double RenderScene::boardPower(int index) const
{
    const auto firstBoardUnder = [this](const QPolygonF& area) {
        const QPointF centre = area.boundingRect().center();
        for (int i = 0; i < boards.size(); ++i) {
            if (boards[i].shape.boundingRect().contains(centre))
                return i;
        }
        return -1;
    };
    double power = boards.value(index).power;
    for (const SceneOutline& outline : outlines)
        power += firstBoardUnder(outline.outline) == index ? outline.power : 0.0;
    for (const SceneHeat& heat : heats)
        power += firstBoardUnder(heat.area) == index ? heat.power : 0.0;
    return power;
}

QStringList RenderScene::cellMaterials() const
{
    QStringList used;
    for (const SceneBoard& board : boards) {
        for (const SceneLayer& layer : board.layers) {
            for (const SceneCell& cell : layer.cells) {
                if (!used.contains(cell.material))
                    used.append(cell.material);
            }
        }
    }
    QStringList ordered;
    for (const SceneMaterial& material : materials) {
        if (used.contains(material.name))
            ordered.append(material.name);
    }
    for (const QString& name : used) {
        if (!ordered.contains(name))
            ordered.append(name);
    }
    return ordered;
}

std::pair<double, double> RenderScene::densityRange() const
{
    double low = std::numeric_limits<double>::max();
    double high = 0.0;
    for (const SceneHeat& heat : heats) {
        low = std::min(low, heat.density());
        high = std::max(high, heat.density());
    }
    return heats.isEmpty() ? std::make_pair(0.0, 0.0) : std::make_pair(low, high);
}

void RenderScene::markBottomSide()
{
    if (boards.isEmpty())
        return;
    double face = std::numeric_limits<double>::max();
    for (const SceneBoard& board : boards)
        face = std::min(face, board.bottom());
    face += FaceTolerance;
    for (SceneOutline& outline : outlines)
        outline.bottomSide = outline.bottomSide || outline.zHigh <= face;
    for (SceneBall& ball : balls)
        ball.bottomSide = ball.bottomSide || ball.zLow + ball.height <= face;
    for (SceneHeat& heat : heats)
        heat.bottomSide = heat.bottomSide || heat.z <= face;
}

bool RenderScene::isEmpty() const
{
    return boards.isEmpty() && outlines.isEmpty() && balls.empty() && heats.isEmpty();
}

QString counted(qsizetype count, const QString& one, const QString& many)
{
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? one : many);
}

} // namespace Render
