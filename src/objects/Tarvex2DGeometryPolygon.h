#pragma once

#include <tarvex/objects/Tarvex2DGeometryBase.h>

namespace Tarvex {

/// A closed outline given by its points, without a repeated end point. Polygons made by
/// the constructors, by clipping and by a union are normalised: their turning sum is not
/// positive (`makeCounterClockwise`) and they start at the point nearest the low corner of
/// their bound (`makeLowLeverStart`).
class Tarvex2DGeometryPolygon : public Tarvex2DGeometryBase
{
public:
    /// The vectors from one point towards its neighbours.
    struct PointVectors
    {
        Geometry::Vec2 next; ///< towards the next point
        Geometry::Vec2 previous; ///< towards the previous point
    };
    using const_iterator = std::vector<Geometry::Vec2>::const_iterator;

    /// The empty polygon.
    Tarvex2DGeometryPolygon();
    /// The polygon through `points`, normalised.
    explicit Tarvex2DGeometryPolygon(std::vector<Geometry::Vec2> points);
    /// The polygon through `points`, normalised, then moved by `offset`.
    Tarvex2DGeometryPolygon(const Geometry::Vec2& offset, std::vector<Geometry::Vec2> points);
    Tarvex2DGeometryPolygon(const Tarvex2DGeometryPolygon& other) = default;
    Tarvex2DGeometryPolygon(Tarvex2DGeometryPolygon&& other) noexcept = default;
    Tarvex2DGeometryPolygon& operator=(const Tarvex2DGeometryPolygon& other) = default;
    Tarvex2DGeometryPolygon& operator=(Tarvex2DGeometryPolygon&& other) noexcept = default;
    ~Tarvex2DGeometryPolygon() override;

    /// A copy of the points.
    std::vector<Geometry::Vec2> getPoints() const override;
    bool hasPoints() const override;
    /// The points rotated so that `first` comes first, order otherwise kept.
    std::vector<Geometry::Vec2> getPoints(const_iterator first) const;
    /// True.
    bool isPolygon() const override;
    /// True for four points turning the same way at right angles (within `EPS` on the sine).
    bool isRectangle() const override;
    /// A copy of this polygon.
    std::unique_ptr<Tarvex2DGeometryPolygon> toPolygon() const override;
    /// The rectangle on the first point, first side and last side, with clones of the
    /// holes; empty unless `isRectangle`.
    std::unique_ptr<Tarvex2DGeometryRectangle> toRectangle() const override;
    std::unique_ptr<Tarvex2DGeometry> clone() const override;
    double totalRotationAngle() const override;
    /// Maps every point; the holes stay as they are.
    Tarvex2DGeometry& transformGeometry(const Geometry::Transform2D& transform) override;
    /// The intersection with `other`'s polygon form: the first piece, united with the
    /// further pieces that touch it. Empty when there is no piece or no polygon form.
    std::unique_ptr<Tarvex2DGeometry> clip(const Tarvex2DGeometry& other) const override;

    /// True when there are no points.
    bool empty() const { return points.empty(); }
    /// The number of points.
    size_t size() const { return points.size(); }
    /// The first point.
    const_iterator begin() const { return points.begin(); }
    /// Past the last point.
    const_iterator end() const { return points.end(); }
    /// The first point; the polygon must not be empty.
    const Geometry::Vec2& front() const { return points.front(); }
    /// The last point; the polygon must not be empty.
    const Geometry::Vec2& back() const { return points.back(); }
    /// True with more than two points.
    bool isValid() const { return points.size() > 2; }
    /// Makes the turning sum non-negative (reverses a negative one).
    void makeClockwise();
    /// Makes the turning sum non-positive (reverses a positive one).
    void makeCounterClockwise();
    /// Starts the outline at the point nearest the low corner of the bound (the earliest
    /// of equally near points).
    void makeLowLeverStart();

protected:
    /// Unites with the normalised polygon through `other`'s points.
    bool do_unite(const Tarvex2DGeometry& other) override;
    /// Takes away `other`'s polygon form.
    bool do_substract(const Tarvex2DGeometry& other) override;
    /// Drops points that repeat their predecessor or lie on the line of their neighbours.
    void do_removeRedundantPoints() override;

private:
    bool addPolygon(const Tarvex2DGeometryPolygon& other);
    bool subtractPolygon(const Tarvex2DGeometryPolygon& other);
    bool takeOverSinglePiece(std::vector<Tarvex2DGeometryPolygon> pieces);
    std::vector<PointVectors> determineVectors() const;
    std::vector<PointVectors> determineNormalizedVectors() const;
    void normalise();

    std::vector<Geometry::Vec2> points;
};

} // namespace Tarvex
