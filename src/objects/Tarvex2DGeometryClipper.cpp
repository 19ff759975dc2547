#include <tarvex/objects/Tarvex2DGeometryClipper.h>

#include <tarvex/host/gpc.h>
#include <tarvex/objects/Tarvex2DOutlineBox.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <new>

namespace Tarvex {

using Geometry::Vec2;

namespace {

// Owns a gpc polygon for the length of one call, whatever happens in between.
class GpcPolygon
{
public:
    GpcPolygon() = default;
    ~GpcPolygon() { gpc_free_polygon(&polygon); }
    GpcPolygon(const GpcPolygon&) = delete;
    GpcPolygon& operator=(const GpcPolygon&) = delete;

    gpc_polygon polygon{0, nullptr, nullptr};
};

void setContour(gpc_vertex_list& contour, const std::vector<Vec2>& points)
{
    contour.num_vertices = 0;
    contour.vertex = nullptr;
    if (points.empty())
        return;
    contour.vertex = static_cast<gpc_vertex*>(std::malloc(points.size() * sizeof(gpc_vertex)));
    if (contour.vertex == nullptr)
        throw std::bad_alloc();
    contour.num_vertices = int(points.size());
    for (size_t i = 0; i < points.size(); ++i)
        contour.vertex[i] = gpc_vertex{points[i].x, points[i].y};
}

// The outline as a contour with hole flag 0, then one contour per hole with flag 1 (empty
// for a hole without polygon form).
void fill(GpcPolygon& target, const Tarvex2DGeometryPolygon& source)
{
    const auto& holes = source.getHoles();
    const size_t count = 1 + holes.size();
    gpc_polygon& polygon = target.polygon;
    polygon.hole = static_cast<int*>(std::calloc(count, sizeof(int)));
    polygon.contour = static_cast<gpc_vertex_list*>(std::calloc(count, sizeof(gpc_vertex_list)));
    if (polygon.hole == nullptr || polygon.contour == nullptr)
        throw std::bad_alloc();
    polygon.num_contours = int(count);
    setContour(polygon.contour[0], source.getPoints());
    for (size_t i = 0; i < holes.size(); ++i) {
        polygon.hole[i + 1] = 1;
        const std::unique_ptr<Tarvex2DGeometryPolygon> hole = holes[i] ? holes[i]->toPolygon() : nullptr;
        if (hole)
            setContour(polygon.contour[i + 1], hole->getPoints());
    }
}

gpc_op gpcOperation(int operation)
{
    switch (operation) {
    case Tarvex2DGeometryClipper::Difference:
        return GPC_DIFF;
    case Tarvex2DGeometryClipper::Intersection:
        return GPC_INT;
    case Tarvex2DGeometryClipper::ExclusiveOr:
        return GPC_XOR;
    default:
        return GPC_UNION;
    }
}

} // namespace

Tarvex2DGeometryClipper::~Tarvex2DGeometryClipper() = default;

std::vector<Tarvex2DGeometryPolygon> Tarvex2DGeometryClipper::clip(const Tarvex2DGeometryPolygon& subject,
                                                                   const Tarvex2DGeometryPolygon& clipPolygon,
                                                                   int operation) const
{
    if (operation < Difference || operation > ExclusiveOr)
        return {};

    GpcPolygon subjectContours;
    GpcPolygon clipContours;
    GpcPolygon result;
    try {
        fill(subjectContours, subject);
        fill(clipContours, clipPolygon);
        gpc_polygon_clip(gpcOperation(operation), &subjectContours.polygon, &clipContours.polygon,
                         &result.polygon);
    } catch (const std::exception&) {
        std::vector<Tarvex2DGeometryPolygon> unchanged;
        unchanged.push_back(subject);
        return unchanged;
    }

    std::vector<Tarvex2DGeometryPolygon> outers;
    std::vector<Tarvex2DGeometryPolygon> holes;
    const gpc_polygon& contours = result.polygon;
    for (int c = 0; c < contours.num_contours; ++c) {
        const gpc_vertex_list& contour = contours.contour[c];
        if (contour.num_vertices < 3 || contour.vertex == nullptr)
            continue;
        std::vector<Vec2> points;
        points.reserve(size_t(contour.num_vertices));
        for (int v = 0; v < contour.num_vertices; ++v)
            points.emplace_back(contour.vertex[v].x, contour.vertex[v].y);
        Tarvex2DGeometryPolygon polygon(std::move(points));
        const size_t before = polygon.size();
        polygon.removeRedundantPoints();
        if (polygon.size() != before) {
            // Nothing dropped leaves the polygon as normalised as the constructor made it.
            polygon.makeCounterClockwise();
            polygon.makeLowLeverStart();
        }
        if (!polygon.isValid())
            continue;
        if (contours.hole[c] == 1)
            holes.push_back(std::move(polygon));
        else
            outers.push_back(std::move(polygon));
    }

    // The holes are already free of redundant points: the walk above leaves no point it
    // would drop, whatever the order or start, so walking them again changes nothing.
    std::vector<Tarvex2DOutlineBox> holeBoxes;
    holeBoxes.reserve(holes.size());
    for (const Tarvex2DGeometryPolygon& hole : holes)
        holeBoxes.push_back(Tarvex2DOutlineBox::of(hole.getPoints()));

    for (Tarvex2DGeometryPolygon& outer : outers) {
        // addHole tries to unite the new hole with every hole already there. A hole whose
        // box is apart from all of theirs cannot unite with any, so it is appended directly,
        // as addHole would; only holes near another go through addHole itself. This keeps
        // thousands of holes from costing a union attempt per pair.
        std::vector<Tarvex2DOutlineBox> present;
        for (size_t h = 0; h < holes.size(); ++h) {
            const Tarvex2DGeometryPolygon& hole = holes[h];
            if (!outer.isContaining(hole, true))
                continue;
            const Tarvex2DOutlineBox& box = holeBoxes[h];
            const bool apart = std::all_of(present.begin(), present.end(),
                                           [&box](const Tarvex2DOutlineBox& other) { return box.isApart(other); });
            if (apart) {
                outer.getHoles().push_back(std::make_unique<Tarvex2DGeometryPolygon>(hole));
                present.push_back(box);
                continue;
            }
            outer.addHole(hole.clone());
            present.clear();
            for (const auto& existing : outer.getHoles())
                present.push_back(Tarvex2DOutlineBox::of(existing ? existing->getPoints() : std::vector<Vec2>()));
        }
    }
    return outers;
}

} // namespace Tarvex
