#include <tarvex/objects/TarvexBasicPart.h>

#include <tarvex/objects/Tarvex2DGeometryPolygon.h>
#include <tarvex/objects/Tarvex3DGeometry2DExtrusion.h>
#include <tarvex/objects/TarvexPartVisitorConst.h>

#include <cmath>
#include <stdexcept>

namespace Tarvex {

namespace {

// Nodes count as coplanar within this distance along z (metres).
constexpr double zTolerance = 1e-6;

} // namespace

TarvexBasicPart::TarvexBasicPart(const QString& partName, const QString& partObjectName, const QString& partType,
                                 double partPower, std::vector<Geometry::Vec3> outline, double partHeight,
                                 TerminalList partTerminals, std::shared_ptr<TarvexMaterial> partMaterial,
                                 PowerSourceList powerSources)
    : TarvexPartBaseWithPowerSources(std::move(powerSources)),
      name(partName),
      objectName(partObjectName),
      type(partType),
      power(partPower),
      nodes(std::move(outline)),
      height(partHeight),
      terminals(std::move(partTerminals)),
      material(std::move(partMaterial))
{
}

TarvexBasicPart::~TarvexBasicPart() = default;

int TarvexBasicPart::getPartType() const
{
    return BasicPart;
}

QString TarvexBasicPart::getName(bool) const
{
    return name;
}

QString TarvexBasicPart::getObjectName() const
{
    return objectName;
}

QString TarvexBasicPart::getType() const
{
    return type;
}

bool TarvexBasicPart::accept(TarvexPartVisitorConst& visitor) const
{
    return visitor.visitBasicPart(*this);
}

TarvexPlacedGeometry TarvexBasicPart::createGeometry() const
{
    const double z = nodes.empty() ? 0.0 : nodes.front().z;
    std::vector<Geometry::Vec2> outline;
    outline.reserve(nodes.size());
    for (const Geometry::Vec3& node : nodes) {
        // Ordered-equal (not unordered, so NaN never matches) or within the tolerance.
        if (!(node.z == z) && !(std::abs(node.z - z) < zTolerance))
            throw std::runtime_error("Z variation");
        outline.emplace_back(node.x, node.y);
    }
    auto profile = std::make_unique<Tarvex2DGeometryPolygon>(std::move(outline));
    return TarvexPlacedGeometry(std::make_unique<Tarvex3DGeometry2DExtrusion>(std::move(profile), z, height));
}

} // namespace Tarvex
