#include <tarvex/host/gpc.h>

#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Coordinates are brought just below 2^52 so that the integer grid matches double precision
// near the largest coordinate while staying far inside Clipper's 62-bit range.
constexpr int mantissaBits = 52;
// Keeps the scale itself a normal, finite double for any input magnitude.
constexpr int maxScaleExponent = 1000;

bool hasVertices(const gpc_vertex_list& contour)
{
    return contour.num_vertices > 0 && contour.vertex != nullptr;
}

int contourCount(const gpc_polygon* polygon)
{
    if (polygon == nullptr || polygon->contour == nullptr)
        return 0;
    return std::max(polygon->num_contours, 0);
}

/// Raises `largest` to the largest absolute coordinate of `polygon`; false when a coordinate
/// is NaN or infinite.
bool findLargestMagnitude(const gpc_polygon* polygon, double& largest)
{
    const int count = contourCount(polygon);
    for (int c = 0; c < count; ++c) {
        const gpc_vertex_list& contour = polygon->contour[c];
        if (!hasVertices(contour))
            continue;
        for (int v = 0; v < contour.num_vertices; ++v) {
            const gpc_vertex& vertex = contour.vertex[v];
            if (!std::isfinite(vertex.x) || !std::isfinite(vertex.y))
                return false;
            largest = std::max({largest, std::abs(vertex.x), std::abs(vertex.y)});
        }
    }
    return true;
}

/// The binary exponent k of the scale 2^k for inputs whose largest magnitude is `largest`.
int scaleExponentFor(double largest)
{
    if (largest == 0.0)
        return 0;
    int exponent = 0;
    std::frexp(largest, &exponent); // largest < 2^exponent
    return std::clamp(mantissaBits - exponent, -maxScaleExponent, maxScaleExponent);
}

/// `value` rounded to the nearest integer, halves away from zero. Exact for |value| < 2^52,
/// which the scaling guarantees, and cheaper than the library calls.
ClipperLib::cInt roundToInteger(double value)
{
    return ClipperLib::cInt(value >= 0.0 ? value + 0.5 : value - 0.5);
}

ClipperLib::Paths toPaths(const gpc_polygon* polygon, double scale)
{
    ClipperLib::Paths paths;
    const int count = contourCount(polygon);
    paths.reserve(size_t(count));
    for (int c = 0; c < count; ++c) {
        const gpc_vertex_list& contour = polygon->contour[c];
        if (!hasVertices(contour) || contour.num_vertices < 3)
            continue;
        ClipperLib::Path path;
        path.reserve(size_t(contour.num_vertices));
        for (int v = 0; v < contour.num_vertices; ++v) {
            const gpc_vertex& vertex = contour.vertex[v];
            path.emplace_back(roundToInteger(vertex.x * scale), roundToInteger(vertex.y * scale));
        }
        paths.push_back(std::move(path));
    }
    return paths;
}

void clear(gpc_polygon* polygon)
{
    polygon->num_contours = 0;
    polygon->hole = nullptr;
    polygon->contour = nullptr;
}

void collectNodes(const ClipperLib::PolyNode& node, std::vector<const ClipperLib::PolyNode*>& nodes)
{
    for (const ClipperLib::PolyNode* child : node.Childs) {
        if (child->Contour.size() >= 3 && !child->IsOpen())
            nodes.push_back(child);
        collectNodes(*child, nodes);
    }
}

/// Writes the contours of `tree` into `result`, each outer boundary followed by its holes.
/// False when memory runs out (`result` is then empty).
bool fromTree(const ClipperLib::PolyTree& tree, double inverseScale, gpc_polygon* result)
{
    std::vector<const ClipperLib::PolyNode*> nodes;
    collectNodes(tree, nodes);
    if (nodes.empty())
        return true;

    const size_t count = nodes.size();
    result->hole = static_cast<int*>(std::malloc(count * sizeof(int)));
    result->contour = static_cast<gpc_vertex_list*>(std::calloc(count, sizeof(gpc_vertex_list)));
    if (result->hole == nullptr || result->contour == nullptr) {
        std::free(result->hole);
        std::free(result->contour);
        clear(result);
        return false;
    }
    result->num_contours = int(count);
    for (size_t i = 0; i < count; ++i) {
        const ClipperLib::Path& path = nodes[i]->Contour;
        gpc_vertex_list& contour = result->contour[i];
        result->hole[i] = nodes[i]->IsHole() ? 1 : 0;
        contour.vertex = static_cast<gpc_vertex*>(std::malloc(path.size() * sizeof(gpc_vertex)));
        if (contour.vertex == nullptr) {
            gpc_free_polygon(result);
            return false;
        }
        contour.num_vertices = int(path.size());
        for (size_t v = 0; v < path.size(); ++v) {
            contour.vertex[v].x = double(path[v].X) * inverseScale;
            contour.vertex[v].y = double(path[v].Y) * inverseScale;
        }
    }
    return true;
}

ClipperLib::ClipType clipTypeOf(gpc_op op)
{
    switch (op) {
    case GPC_DIFF:
        return ClipperLib::ctDifference;
    case GPC_INT:
        return ClipperLib::ctIntersection;
    case GPC_XOR:
        return ClipperLib::ctXor;
    case GPC_UNION:
        break;
    }
    return ClipperLib::ctUnion;
}

} // namespace

void gpc_polygon_clip(gpc_op op, gpc_polygon* subject, gpc_polygon* clip, gpc_polygon* result)
{
    if (result == nullptr)
        return;
    clear(result);

    double largest = 0.0;
    if (!findLargestMagnitude(subject, largest) || !findLargestMagnitude(clip, largest))
        return;
    const int exponent = scaleExponentFor(largest);
    const double scale = std::ldexp(1.0, exponent);

    try {
        ClipperLib::Clipper clipper;
        clipper.AddPaths(toPaths(subject, scale), ClipperLib::ptSubject, true);
        clipper.AddPaths(toPaths(clip, scale), ClipperLib::ptClip, true);
        ClipperLib::PolyTree tree;
        if (!clipper.Execute(clipTypeOf(op), tree, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd))
            return;
        fromTree(tree, std::ldexp(1.0, -exponent), result);
    } catch (const ClipperLib::clipperException&) {
        // Cannot happen with the scaling above; an empty result is the defined answer.
        gpc_free_polygon(result);
    }
}

void gpc_free_polygon(gpc_polygon* polygon)
{
    if (polygon == nullptr)
        return;
    const int count = contourCount(polygon);
    for (int c = 0; c < count; ++c)
        std::free(polygon->contour[c].vertex);
    std::free(polygon->hole);
    std::free(polygon->contour);
    clear(polygon);
}

void gpc_add_contour(gpc_polygon* polygon, gpc_vertex_list* contour, int hole)
{
    if (polygon == nullptr || contour == nullptr)
        return;
    const int count = contourCount(polygon);
    const int vertices = hasVertices(*contour) ? contour->num_vertices : 0;

    gpc_vertex* copy = nullptr;
    if (vertices > 0) {
        copy = static_cast<gpc_vertex*>(std::malloc(size_t(vertices) * sizeof(gpc_vertex)));
        if (copy == nullptr)
            return;
        std::memcpy(copy, contour->vertex, size_t(vertices) * sizeof(gpc_vertex));
    }
    auto* holes = static_cast<int*>(std::realloc(polygon->hole, size_t(count + 1) * sizeof(int)));
    if (holes == nullptr) {
        std::free(copy);
        return;
    }
    polygon->hole = holes;
    auto* contours = static_cast<gpc_vertex_list*>(
        std::realloc(polygon->contour, size_t(count + 1) * sizeof(gpc_vertex_list)));
    if (contours == nullptr) {
        std::free(copy);
        return;
    }
    polygon->contour = contours;
    polygon->hole[count] = hole != 0 ? 1 : 0;
    polygon->contour[count].num_vertices = vertices;
    polygon->contour[count].vertex = copy;
    polygon->num_contours = count + 1;
}
