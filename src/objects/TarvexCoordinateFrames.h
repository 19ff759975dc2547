#pragma once

#include <tarvex/host/Transform.h>

namespace Tarvex {

/// Interchange files are z-up and the host is y-up: a rotation of -90 degrees about the x
/// axis maps file coordinates to host coordinates. Made once, on first use.
const Geometry::Transform& interchangeToHostRotation();

/// The opposite rotation (+90 degrees about x), used when results are written back in the
/// files' frame.
const Geometry::Transform& hostToInterchangeRotation();

} // namespace Tarvex
