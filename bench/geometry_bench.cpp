// Polygon booleans at three levels (Clipper called directly, the gpc entry points, and the
// object model's clipper and polygon operations) on the same outlines, and the containment
// test of one part against many others.

#include <tarvex/host/gpc.h>
#include <tarvex/objects/Tarvex2DGeometryClipper.h>
#include <tarvex/objects/Tarvex2DGeometryPolygon.h>
#include <tarvex/objects/Tarvex2DGeometryRectangle.h>
#include <tarvex/objects/Tarvex3DGeometry2DExtrusion.h>
#include <tarvex/objects/TarvexPlacedGeometry.h>

#include <benchmark/benchmark.h>
#include <polyclipping/clipper.hpp>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using Geometry::Vec2;
using Geometry::Vec3;
using Points = std::vector<Vec2>;

// One input pair: a subject outline with holes and a clip outline, in metres.
struct Shapes
{
    Points subject;
    std::vector<Points> subjectHoles;
    Points clip;
};

// A wavy closed outline of `n` vertices around (cx, cy), about 0.1 m across, so that every
// vertex matters to the result.
Points wavy(int n, double cx, double cy)
{
    Points points;
    points.reserve(size_t(n));
    const double pi = std::acos(-1.0);
    for (int i = 0; i < n; ++i) {
        const double angle = 2 * pi * i / n;
        const double radius = 0.05 * (1.0 + 0.05 * std::sin(7 * angle));
        points.emplace_back(cx + radius * std::cos(angle), cy + radius * std::sin(angle));
    }
    return points;
}

Points squarePoints(double x, double y, double size)
{
    return {{x, y}, {x, y + size}, {x + size, y + size}, {x + size, y}};
}

// Two overlapping wavy outlines of `n` vertices each.
Shapes outlines(int n)
{
    return {wavy(n, 0.1, 0.1), {}, wavy(n, 0.13, 0.1)};
}

// A 0.1 m plate with `holes` square holes of 0.2 mm in a grid, and a clip rectangle over its
// right half (cutting through a column of holes).
Shapes plateWithHoles(int holes)
{
    Shapes shapes{squarePoints(0, 0, 0.1), {}, squarePoints(0.05 + 1e-4, -0.01, 0.12)};
    const int perRow = int(std::ceil(std::sqrt(double(holes))));
    const double pitch = 0.1 / (perRow + 1);
    for (int i = 0; i < holes; ++i)
        shapes.subjectHoles.push_back(squarePoints(pitch * (1 + i % perRow), pitch * (1 + i / perRow), 2e-4));
    return shapes;
}

Shapes shapesFor(int kind, int count)
{
    return kind == 0 ? outlines(count) : plateWithHoles(count);
}

// --- Clipper directly -------------------------------------------------------------------

// The same power-of-two scaling the gpc layer picks, so that both see identical integers.
double scaleFor(const Shapes& shapes)
{
    double largest = 0.0;
    auto scan = [&largest](const Points& points) {
        for (const Vec2& p : points)
            largest = std::max({largest, std::abs(p.x), std::abs(p.y)});
    };
    scan(shapes.subject);
    for (const Points& hole : shapes.subjectHoles)
        scan(hole);
    scan(shapes.clip);
    int exponent = 0;
    std::frexp(largest, &exponent);
    return std::ldexp(1.0, 52 - exponent);
}

ClipperLib::Path toPath(const Points& points, double scale)
{
    ClipperLib::Path path;
    path.reserve(points.size());
    for (const Vec2& p : points)
        path.emplace_back(ClipperLib::cInt(std::llround(p.x * scale)), ClipperLib::cInt(std::llround(p.y * scale)));
    return path;
}

struct ClipperInput
{
    ClipperLib::Paths subject;
    ClipperLib::Paths clip;
};

ClipperInput toClipper(const Shapes& shapes, double scale)
{
    ClipperInput input;
    input.subject.push_back(toPath(shapes.subject, scale));
    for (const Points& hole : shapes.subjectHoles)
        input.subject.push_back(toPath(hole, scale));
    input.clip.push_back(toPath(shapes.clip, scale));
    return input;
}

void runClipper(const ClipperInput& input, ClipperLib::ClipType type, ClipperLib::PolyTree& tree)
{
    ClipperLib::Clipper clipper;
    clipper.AddPaths(input.subject, ClipperLib::ptSubject, true);
    clipper.AddPaths(input.clip, ClipperLib::ptClip, true);
    clipper.Execute(type, tree, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd);
}

ClipperLib::ClipType clipTypeFor(int operation)
{
    return operation == Tarvex::Tarvex2DGeometryClipper::Union ? ClipperLib::ctUnion : ClipperLib::ctDifference;
}

// Clipper on integer paths prepared beforehand: the library's own work only.
void BM_ClipperOnIntegers(benchmark::State& state)
{
    const Shapes shapes = shapesFor(int(state.range(0)), int(state.range(1)));
    const ClipperInput input = toClipper(shapes, scaleFor(shapes));
    const ClipperLib::ClipType type = clipTypeFor(int(state.range(2)));
    for (auto _ : state) {
        ClipperLib::PolyTree tree;
        runClipper(input, type, tree);
        benchmark::DoNotOptimize(tree.Total());
    }
}

// Clipper on the double outlines, converting them on every call as a direct caller would.
void BM_ClipperOnDoubles(benchmark::State& state)
{
    const Shapes shapes = shapesFor(int(state.range(0)), int(state.range(1)));
    const ClipperLib::ClipType type = clipTypeFor(int(state.range(2)));
    for (auto _ : state) {
        const ClipperInput input = toClipper(shapes, scaleFor(shapes));
        ClipperLib::PolyTree tree;
        runClipper(input, type, tree);
        benchmark::DoNotOptimize(tree.Total());
    }
}

// --- gpc entry points -------------------------------------------------------------------

void addContour(gpc_polygon& polygon, const Points& points, int hole)
{
    std::vector<gpc_vertex> vertices;
    for (const Vec2& p : points)
        vertices.push_back({p.x, p.y});
    gpc_vertex_list list{int(vertices.size()), vertices.data()};
    gpc_add_contour(&polygon, &list, hole);
}

void BM_Gpc(benchmark::State& state)
{
    const Shapes shapes = shapesFor(int(state.range(0)), int(state.range(1)));
    gpc_polygon subject{0, nullptr, nullptr};
    gpc_polygon clip{0, nullptr, nullptr};
    addContour(subject, shapes.subject, 0);
    for (const Points& hole : shapes.subjectHoles)
        addContour(subject, hole, 1);
    addContour(clip, shapes.clip, 0);
    const gpc_op op = state.range(2) == Tarvex::Tarvex2DGeometryClipper::Union ? GPC_UNION : GPC_DIFF;
    for (auto _ : state) {
        gpc_polygon result;
        gpc_polygon_clip(op, &subject, &clip, &result);
        benchmark::DoNotOptimize(result.num_contours);
        gpc_free_polygon(&result);
    }
    gpc_free_polygon(&subject);
    gpc_free_polygon(&clip);
}

// --- object model -----------------------------------------------------------------------

Tarvex::Tarvex2DGeometryPolygon subjectPolygon(const Shapes& shapes)
{
    Tarvex::Tarvex2DGeometryPolygon polygon(shapes.subject);
    for (const Points& hole : shapes.subjectHoles)
        polygon.getHoles().push_back(std::make_unique<Tarvex::Tarvex2DGeometryPolygon>(hole));
    return polygon;
}

// The adapter: gpc plus normalising, cleaning and hole assignment of every result polygon.
void BM_TarvexClipper(benchmark::State& state)
{
    const Shapes shapes = shapesFor(int(state.range(0)), int(state.range(1)));
    const Tarvex::Tarvex2DGeometryPolygon subject = subjectPolygon(shapes);
    const Tarvex::Tarvex2DGeometryPolygon clip(shapes.clip);
    const Tarvex::Tarvex2DGeometryClipper clipper;
    for (auto _ : state)
        benchmark::DoNotOptimize(clipper.clip(subject, clip, int(state.range(2))));
}

// The polygon operations the object model uses (touching test, hole bookkeeping included).
void BM_TarvexPolygonOperation(benchmark::State& state)
{
    const Shapes shapes = shapesFor(int(state.range(0)), int(state.range(1)));
    const Tarvex::Tarvex2DGeometryPolygon subject = subjectPolygon(shapes);
    const Tarvex::Tarvex2DGeometryPolygon clip(shapes.clip);
    const bool unite = state.range(2) == Tarvex::Tarvex2DGeometryClipper::Union;
    for (auto _ : state) {
        state.PauseTiming();
        Tarvex::Tarvex2DGeometryPolygon working = subject;
        state.ResumeTiming();
        benchmark::DoNotOptimize(unite ? working.unite(clip) : working.substract(clip));
    }
}

// Arguments: shape kind (0 wavy outlines with n vertices each, 1 plate with n holes),
// n, operation (3 union, 1 difference).
void booleanArguments(benchmark::internal::Benchmark* benchmark)
{
    for (int operation : {3, 1}) {
        for (int n : {10, 1000, 100000})
            benchmark->Args({0, n, operation});
        for (int holes : {100, 2500})
            benchmark->Args({1, holes, operation});
    }
    benchmark->Unit(benchmark::kMicrosecond);
}

void polygonOperationArguments(benchmark::internal::Benchmark* benchmark)
{
    for (int operation : {3, 1}) {
        for (int n : {10, 1000})
            benchmark->Args({0, n, operation});
        benchmark->Args({1, 100, operation});
    }
    benchmark->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_ClipperOnIntegers)->Apply(booleanArguments);
BENCHMARK(BM_ClipperOnDoubles)->Apply(booleanArguments);
BENCHMARK(BM_Gpc)->Apply(booleanArguments);
BENCHMARK(BM_TarvexClipper)->Apply(booleanArguments);
BENCHMARK(BM_TarvexPolygonOperation)->Apply(polygonOperationArguments);

// --- containment ------------------------------------------------------------------------

Tarvex::TarvexPlacedGeometry placedBox(double x, double y, double w, double d, double z, double h, bool solid)
{
    if (!solid)
        return Tarvex::TarvexPlacedGeometry(nullptr, Geometry::Transform(),
                                            Geometry::Bound(Vec3(x, y, z), Vec3(x + w, y + d, z + h)));
    auto footprint = std::make_unique<Tarvex::Tarvex2DGeometryRectangle>(Vec2(x, y), Vec2(w, d));
    return Tarvex::TarvexPlacedGeometry(
        std::make_unique<Tarvex::Tarvex3DGeometry2DExtrusion>(std::move(footprint), z, h));
}

// One board against 10 000 parts, half of them on it and half beside it. Argument: 1 when
// both sides have solids, 0 when only bounds are known.
void BM_ContainmentOfOnePartAgainst10000(benchmark::State& state)
{
    const bool solids = state.range(0) != 0;
    const Tarvex::TarvexPlacedGeometry board = placedBox(0, 0, 0.2, 0.2, 0, 1.6e-3, solids);
    std::vector<Tarvex::TarvexPlacedGeometry> parts;
    const int count = 10000;
    for (int i = 0; i < count; ++i) {
        const double x = (i % 100) * 3e-3 - (i % 2 ? 0.0 : 0.1);
        const double y = (i / 100) * 2e-3;
        parts.push_back(placedBox(x, y, 1e-3, 1e-3, 1.6e-3, 5e-4, solids));
    }
    for (auto _ : state) {
        int contained = 0;
        for (const Tarvex::TarvexPlacedGeometry& part : parts)
            contained += Tarvex::TarvexPlacedGeometry::contains(board, part) ? 1 : 0;
        benchmark::DoNotOptimize(contained);
    }
    state.SetItemsProcessed(state.iterations() * count);
    // Seconds per single containment test.
    state.counters["per_test"] =
        benchmark::Counter(double(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_ContainmentOfOnePartAgainst10000)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
