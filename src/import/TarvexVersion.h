#pragma once

#include <QString>

namespace Tarvex {

/// The version of this library, "MAJOR.MINOR.PATCH", as the build that made it was told.
QString version();

} // namespace Tarvex
