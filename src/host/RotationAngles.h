#pragma once

#include <tarvex/host/Transform.h>
#include <tarvex/host/Vec.h>

namespace Geometry {

/// The three angles, in degrees, of the rotation part of `transform` in the host's ordered
/// ZYX form: the first about z, the second about y, the third about x, so that the rotation
/// is Rz(first) · Ry(second) · Rx(third). The second angle lies in [-90, 90]; at ±90 the
/// first and third angles turn about the same axis and the first is taken as 0.
Vec3 getRotationAnglesFromTransform(const Transform& transform);

/// The rotation Rz(first) · Ry(second) · Rx(third), angles in degrees: the inverse of
/// `getRotationAnglesFromTransform` on rotations.
Transform createRotationFromAngles(const Vec3& degrees);

} // namespace Geometry
