#include <tarvex/objects/TarvexSolderJoint.h>

namespace Tarvex {

TarvexSolderJoint::TarvexSolderJoint(const QString& jointName, double endDiameter1, double endDiameter2,
                                     double largestDiameter, double jointHeight, const Geometry::Vec3& bottomCentre,
                                     std::shared_ptr<TarvexMaterial> jointMaterial)
    : name(jointName),
      dmax(largestDiameter),
      d1(endDiameter1),
      d2(endDiameter2),
      height(jointHeight),
      position(bottomCentre),
      material(std::move(jointMaterial))
{
}

TarvexSolderJoint::~TarvexSolderJoint() = default;

QString TarvexSolderJoint::getName(bool) const { return name; }

QString TarvexSolderJoint::getObjectName() const { return name; }

TarvexPlacedGeometry TarvexSolderJoint::createGeometry() const
{
    return createCylinderGeometry(dmax, height, position);
}

} // namespace Tarvex
