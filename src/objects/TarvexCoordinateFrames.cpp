#include <tarvex/objects/TarvexCoordinateFrames.h>

#include <cmath>

namespace Tarvex {

const Geometry::Transform& interchangeToHostRotation()
{
    static const Geometry::Transform rotation = Geometry::Transform::createRotation(Geometry::Vec3(1, 0, 0), -M_PI / 2);
    return rotation;
}

const Geometry::Transform& hostToInterchangeRotation()
{
    static const Geometry::Transform rotation = Geometry::Transform::createRotation(Geometry::Vec3(1, 0, 0), M_PI / 2);
    return rotation;
}

} // namespace Tarvex
