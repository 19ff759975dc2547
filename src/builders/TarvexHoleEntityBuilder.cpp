#include <tarvex/builders/TarvexHoleEntityBuilder.h>

#include <tarvex/builders/TarvexEntityBuildState.h>
#include <tarvex/builders/TarvexPartPlacement.h>
#include <tarvex/host/EntityEditor.h>

#include <cmath>

namespace Tarvex {

using namespace EntityModel;
using Geometry::Bound;
using Geometry::Transform;
using Geometry::Vec3;

namespace {

constexpr double tolerance = 1e-6;

// One hole: its outline in the file's axes, the height range it spans and whether its
// outline is a rectangle.
struct Hole
{
    std::vector<Vec3> outline;
    Bound bound;
    bool rectangle = true;
};

bool sameOutline(const std::vector<Vec3>& a, const std::vector<Vec3>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::abs(a[i].x - b[i].x) > 1e-9 || std::abs(a[i].y - b[i].y) > 1e-9)
            return false;
    }
    return true;
}

// Pieces of one outline where one ends and the next begins are the same hole.
std::vector<Hole> mergePieces(const std::vector<TarvexPlacedGeometry>& pieces)
{
    std::vector<Hole> holes;
    for (const TarvexPlacedGeometry& piece : pieces) {
        Hole next{fileOutline(piece), piece.getPlacedBound(), hasRectangleProfile(piece)};
        bool merged = false;
        for (Hole& hole : holes) {
            if (std::abs(hole.bound.getHigh().z - next.bound.getLow().z) < 1e-9 && sameOutline(hole.outline, next.outline)) {
                hole.bound.unite(next.bound);
                merged = true;
                break;
            }
        }
        if (!merged)
            holes.push_back(std::move(next));
    }
    return holes;
}

} // namespace

void TarvexHoleEntityBuilder::buildHoles(const std::vector<TarvexPlacedGeometry>& pieces, const QString& objectName,
                                         Entity* entity, const Transform& entityFrame, double entityHeight,
                                         TarvexEntityBuildState* sharedState)
{
    if (!entity || !sharedState)
        return;
    const std::vector<Hole> holes = mergePieces(pieces);
    const TypeRef entityType = entity->getType();
    const TypeRef holeType = entityType == PCB_t         ? PCB_Hole_t
                             : entityType == Substrate_t ? Substrate_Hole_t
                                                         : Obstruction_Hole_t;
    for (size_t i = 0; i < holes.size(); ++i) {
        const Hole& hole = holes[i];
        const TarvexPlacedGeometry host = toHostFrame(TarvexPlacedGeometry(nullptr, Transform(), hole.bound));
        const Vec3 low = hostLowCorner(host, entityFrame);
        const double height = host.bound.getSize().y;
        const bool partial = std::abs(height - entityHeight) >= tolerance;
        const bool fromBottom = partial && std::abs(low.y) < tolerance;
        const bool fromTop = partial && !fromBottom && std::abs(low.y + height - entityHeight) < tolerance;
        // A hole inside the stack that reaches neither face cannot be drilled.
        if (partial && !fromBottom && !fromTop)
            continue;

        const QString name = holes.size() < 2 ? objectName + QStringLiteral(" hole")
                                              : objectName + QStringLiteral(" hole %1").arg(i + 1);
        Entity* item = sharedState->getOrCreate(Name_t, name, holeType, entity, Holes_t).entity;
        if (!item)
            continue;
        EntityEditor::setValueNoThrow(item, Origin_Point_t, Low_Corner_t);
        EntityEditor::setSIValueNoThrow(item, X_Location_t, low.x);
        EntityEditor::setSIValueNoThrow(item, Y_Location_t, low.y);
        EntityEditor::setSIValueNoThrow(item, Z_Location_t, low.z);
        if (!hole.rectangle && !hole.outline.empty()) {
            EntityEditor::setValueNoThrow(item, Shape_t, Polygon_t);
            EntityEditor::setSIDoubleListValueNoThrow(item, Outline_t, hostOutline(hole.outline, entityFrame, low));
            continue;
        }
        const Vec3 size = host.bound.getSize();
        EntityEditor::setValueNoThrow(item, Shape_t, Rectangle_t);
        EntityEditor::setSIValueNoThrow(item, Width_t, size.x);
        EntityEditor::setSIValueNoThrow(item, Depth_t, size.z);
        if (!partial) {
            EntityEditor::setValueNoThrow(item, Partial_Hole_t, No_t);
            continue;
        }
        EntityEditor::setValueNoThrow(item, Partial_Hole_t, fromBottom ? From_Bottom_t : From_Top_t);
        EntityEditor::setSIValueNoThrow(item, Partial_Hole_Depth_t, height);
    }
}

} // namespace Tarvex
