#pragma once

#include <tarvex/host/Bound.h>
#include <tarvex/host/Vec.h>

#include <QString>

#include <vector>

namespace CADinterface {

/// One planar face of a CAD body: its number within the body, its outward unit normal and its
/// centre, both in world coordinates.
struct CADFace
{
    int number = 0;
    Geometry::Vec3 normal;
    Geometry::Vec3 centre;
};

/// One body of the host's CAD geometry: an axis-aligned box, or a polygon of the x-z plane
/// extruded upwards along y, placed in the world by a translation. Bodies are plain values
/// compared exactly, so that a body written and read again compares equal.
class CADBody
{
public:
    /// What the body is.
    enum class Kind { Box, Prism };

    /// A box filling `local` (body frame), placed at `placement`.
    static CADBody box(const Geometry::Bound& local, const Geometry::Vec3& placement);
    /// A prism over `outline` (x and z of the body frame, in order, not closed) from y = `base`
    /// up by `height`, placed at `placement`.
    static CADBody prism(std::vector<Geometry::Vec2> outline, double base, double height,
                         const Geometry::Vec3& placement);

    /// Why `outline` and `height` make no prism, or an empty text when they make one: fewer
    /// than three points, a point repeating the one before it (the last the first), no area,
    /// a negative height, or a value that is not finite.
    static QString prismProblem(const std::vector<Geometry::Vec2>& outline, double height);

    /// The kind of body.
    Kind getKind() const { return m_kind; }
    /// Where the body frame sits in the world.
    const Geometry::Vec3& getPlacement() const { return m_placement; }
    /// The box in the body frame (boxes only).
    const Geometry::Bound& getLocalBox() const { return m_box; }
    /// The outline in the body frame (prisms only).
    const std::vector<Geometry::Vec2>& getOutline() const { return m_outline; }
    /// The y of the prism's bottom in the body frame (prisms only).
    double getBase() const { return m_base; }
    /// The extrusion height (prisms only).
    double getHeight() const { return m_height; }

    /// The box holding the body, in world coordinates.
    Geometry::Bound getBound() const;
    /// The faces with outward normals. A box numbers them 1 -z, 2 -y, 3 -x, 4 +x, 5 +y, 6 +z;
    /// a prism 1 bottom, 2 top, then one side per outline edge from the first point on.
    std::vector<CADFace> getFaces() const;

    /// Exact comparison of kind, placement and shape.
    bool operator==(const CADBody& other) const;
    bool operator!=(const CADBody& other) const { return !(*this == other); }

private:
    CADBody() = default;

    Kind m_kind = Kind::Box;
    Geometry::Vec3 m_placement;
    Geometry::Bound m_box;
    std::vector<Geometry::Vec2> m_outline;
    double m_base = 0.0;
    double m_height = 0.0;
};

} // namespace CADinterface
