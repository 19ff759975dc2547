#pragma once

#include <tarvex/host/Solid.h>

#include <vector>

namespace Tarvex {

/// The outline of a flat solid (a box without extent along one axis, or a polygon prism of
/// zero height) as points in space with the normal of its plane. Solids that are not flat
/// leave the output as it was.
class FlatGeometryOutlineGenerator : private Geometry::GeometryVisitorConst
{
public:
    /// Where the outline goes.
    struct Outline
    {
        std::vector<Geometry::Vec3> points;
        Geometry::Vec3 normal;
    };

    /// A generator writing into `output`.
    explicit FlatGeometryOutlineGenerator(Outline* output) : m_output(output) {}
    /// Writes the outline of `solid` when it is flat.
    void generate(const Geometry::Solid& solid) { solid.accept(*this); }

private:
    void visit(const Geometry::Box& box) override;
    void visit(const Geometry::PolygonPrism& prism) override;

    Outline* m_output;
};

} // namespace Tarvex
