#include "objects/TarvexObject.h"

namespace Tarvex {

TarvexObject::TarvexObject() = default;

TarvexObject::~TarvexObject() = default;

} // namespace Tarvex
