#include <tarvex/objects/Tarvex2DGeometryPolygon.h>

#include <tarvex/objects/Tarvex2DGeometryClipper.h>
#include <tarvex/objects/Tarvex2DGeometryRectangle.h>
#include <tarvex/objects/Tarvex2DOutlineBox.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <queue>

namespace Tarvex {

using Geometry::Vec2;

namespace {

// Sine of the turn at one point, from the unit vectors towards its neighbours.
double turnSine(const Tarvex2DGeometryPolygon::PointVectors& v)
{
    return std::clamp(v.next.x * v.previous.y - v.next.y * v.previous.x, -1.0, 1.0);
}

} // namespace

Tarvex2DGeometryPolygon::Tarvex2DGeometryPolygon() = default;

Tarvex2DGeometryPolygon::Tarvex2DGeometryPolygon(std::vector<Vec2> outline)
    : points(std::move(outline))
{
    normalise();
}

Tarvex2DGeometryPolygon::Tarvex2DGeometryPolygon(const Vec2& offset, std::vector<Vec2> outline)
    : points(std::move(outline))
{
    normalise();
    for (Vec2& p : points)
        p += offset;
}

Tarvex2DGeometryPolygon::~Tarvex2DGeometryPolygon() = default;

std::vector<Vec2> Tarvex2DGeometryPolygon::getPoints() const
{
    return points;
}

bool Tarvex2DGeometryPolygon::hasPoints() const
{
    return !points.empty();
}

std::vector<Vec2> Tarvex2DGeometryPolygon::getPoints(const_iterator first) const
{
    if (first == points.begin() || first == points.end())
        return points;
    std::vector<Vec2> rotated;
    rotated.reserve(points.size());
    rotated.insert(rotated.end(), first, points.end());
    rotated.insert(rotated.end(), points.begin(), first);
    return rotated;
}

bool Tarvex2DGeometryPolygon::isPolygon() const
{
    return true;
}

bool Tarvex2DGeometryPolygon::isRectangle() const
{
    if (points.size() != 4)
        return false;
    const std::vector<PointVectors> vectors = determineNormalizedVectors();
    const bool positive = turnSine(vectors[0]) > 0.0;
    for (size_t i = 1; i < vectors.size(); ++i) {
        const double s = turnSine(vectors[i]);
        if ((s > 0.0) != positive || !isEqual(std::abs(s), 1.0))
            return false;
    }
    return true;
}

std::unique_ptr<Tarvex2DGeometryPolygon> Tarvex2DGeometryPolygon::toPolygon() const
{
    return std::make_unique<Tarvex2DGeometryPolygon>(*this);
}

std::unique_ptr<Tarvex2DGeometryRectangle> Tarvex2DGeometryPolygon::toRectangle() const
{
    if (!isRectangle())
        return nullptr;
    const Vec2 forward = (points[1] - points[0]).normalized();
    const Vec2 previous = (points[3] - points[0]).normalized();
    const Geometry::Transform2D frame(previous, forward);
    const Vec2 size = frame.inverseTransformedVector(points[2] - points[0]);
    auto rectangle = std::make_unique<Tarvex2DGeometryRectangle>(points[0], size, frame);
    for (const auto& hole : holes) {
        if (hole)
            rectangle->addHole(hole->clone());
    }
    return rectangle;
}

std::unique_ptr<Tarvex2DGeometry> Tarvex2DGeometryPolygon::clone() const
{
    return std::make_unique<Tarvex2DGeometryPolygon>(*this);
}

double Tarvex2DGeometryPolygon::totalRotationAngle() const
{
    if (points.size() < 3)
        return 0.0;
    double sum = 0.0;
    for (const PointVectors& v : determineNormalizedVectors())
        sum += std::asin(turnSine(v));
    return sum;
}

Tarvex2DGeometry& Tarvex2DGeometryPolygon::transformGeometry(const Geometry::Transform2D& transform)
{
    for (Vec2& p : points)
        p = transform.transformedVector(p);
    return *this;
}

std::unique_ptr<Tarvex2DGeometry> Tarvex2DGeometryPolygon::clip(const Tarvex2DGeometry& other) const
{
    const std::unique_ptr<Tarvex2DGeometryPolygon> clipPolygon = other.toPolygon();
    if (!clipPolygon)
        return nullptr;
    std::vector<Tarvex2DGeometryPolygon> pieces =
        Tarvex2DGeometryClipper().clip(*this, *clipPolygon, Tarvex2DGeometryClipper::Intersection);
    if (pieces.empty())
        return nullptr;
    auto result = std::make_unique<Tarvex2DGeometryPolygon>(std::move(pieces.front()));
    for (size_t i = 1; i < pieces.size(); ++i)
        result->unite(pieces[i]);
    return result;
}

void Tarvex2DGeometryPolygon::makeClockwise()
{
    if (totalRotationAngle() < 0.0)
        std::reverse(points.begin(), points.end());
}

void Tarvex2DGeometryPolygon::makeCounterClockwise()
{
    if (totalRotationAngle() > 0.0)
        std::reverse(points.begin(), points.end());
}

void Tarvex2DGeometryPolygon::makeLowLeverStart()
{
    if (points.size() < 2)
        return;
    const Vec2 low = getBound().getLow();
    size_t best = 0;
    double bestDistance = (points[0] - low).length();
    for (size_t i = 1; i < points.size(); ++i) {
        const double distance = (points[i] - low).length();
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    std::rotate(points.begin(), points.begin() + std::ptrdiff_t(best), points.end());
}

bool Tarvex2DGeometryPolygon::do_unite(const Tarvex2DGeometry& other)
{
    std::vector<Vec2> otherPoints = other.getPoints();
    // Outlines certainly apart cannot touch: skip building the normalised polygon.
    if (Tarvex2DOutlineBox::of(points).isApart(Tarvex2DOutlineBox::of(otherPoints)))
        return false;
    return addPolygon(Tarvex2DGeometryPolygon(std::move(otherPoints)));
}

bool Tarvex2DGeometryPolygon::do_substract(const Tarvex2DGeometry& other)
{
    const std::unique_ptr<Tarvex2DGeometryPolygon> polygon = other.toPolygon();
    return polygon && subtractPolygon(*polygon);
}

void Tarvex2DGeometryPolygon::do_removeRedundantPoints()
{
    // Each point is judged from its two neighbours. Dropping a point changes only the
    // neighbourhoods of the two points next to it, so instead of restarting the scan at the
    // first point after every removal, only those two are judged again, always taking the
    // earliest point still to judge: the same points go, in the same order, without the
    // quadratic rescans. Points at or after `cursor` are still to judge in any case; earlier
    // ones to judge again wait in `again`.
    const size_t n = points.size();
    if (n == 0)
        return;
    std::vector<size_t> next(n);
    std::vector<size_t> previous(n);
    for (size_t i = 0; i < n; ++i) {
        next[i] = (i + 1) % n;
        previous[i] = (i + n - 1) % n;
    }
    std::vector<bool> removed(n, false);
    std::vector<bool> waiting(n, false);
    std::priority_queue<size_t, std::vector<size_t>, std::greater<size_t>> again;
    size_t cursor = 0;
    size_t remaining = n;
    auto judgeAgain = [&](size_t i) {
        if (i < cursor && !waiting[i]) {
            waiting[i] = true;
            again.push(i);
        }
    };

    while (remaining > 0) {
        size_t i = 0;
        if (!again.empty() && again.top() < cursor) {
            i = again.top();
            again.pop();
            waiting[i] = false;
        } else if (cursor < n) {
            i = cursor++;
        } else {
            break;
        }
        if (removed[i])
            continue;
        const Vec2& p = points[i];
        const Vec2 towardsPrevious = points[previous[i]] - p;
        const Vec2 towardsNext = points[next[i]] - p;
        const bool repeated = isEqual(towardsPrevious.length(), 0.0);
        const bool collinear =
            !repeated && isEqual(std::abs(towardsNext.normalized().dot(towardsPrevious.normalized())), 1.0);
        if (!repeated && !collinear)
            continue;
        removed[i] = true;
        --remaining;
        const size_t before = previous[i];
        const size_t after = next[i];
        next[before] = after;
        previous[after] = before;
        if (remaining > 0) {
            judgeAgain(before);
            judgeAgain(after);
        }
    }

    std::vector<Vec2> kept;
    kept.reserve(remaining);
    for (size_t i = 0; i < n; ++i) {
        if (!removed[i])
            kept.push_back(points[i]);
    }
    points = std::move(kept);
}

bool Tarvex2DGeometryPolygon::addPolygon(const Tarvex2DGeometryPolygon& other)
{
    if (!isTouching(other))
        return false;
    return takeOverSinglePiece(Tarvex2DGeometryClipper().clip(*this, other, Tarvex2DGeometryClipper::Union));
}

bool Tarvex2DGeometryPolygon::subtractPolygon(const Tarvex2DGeometryPolygon& other)
{
    return takeOverSinglePiece(
        Tarvex2DGeometryClipper().clip(*this, other, Tarvex2DGeometryClipper::Difference));
}

bool Tarvex2DGeometryPolygon::takeOverSinglePiece(std::vector<Tarvex2DGeometryPolygon> pieces)
{
    if (pieces.size() != 1)
        return false;
    points = std::move(pieces.front().points);
    holes = std::move(pieces.front().holes);
    removeRedundantPoints();
    return true;
}

std::vector<Tarvex2DGeometryPolygon::PointVectors> Tarvex2DGeometryPolygon::determineVectors() const
{
    const size_t n = points.size();
    std::vector<PointVectors> vectors;
    vectors.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const Vec2& p = points[i];
        vectors.push_back({points[(i + 1) % n] - p, points[(i + n - 1) % n] - p});
    }
    return vectors;
}

std::vector<Tarvex2DGeometryPolygon::PointVectors> Tarvex2DGeometryPolygon::determineNormalizedVectors() const
{
    std::vector<PointVectors> vectors = determineVectors();
    for (PointVectors& v : vectors) {
        v.next = v.next.normalized();
        v.previous = v.previous.normalized();
    }
    return vectors;
}

void Tarvex2DGeometryPolygon::normalise()
{
    makeCounterClockwise();
    makeLowLeverStart();
}

} // namespace Tarvex
