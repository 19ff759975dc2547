#include "objects/TarvexPart.h"

namespace Tarvex {

TarvexPart::~TarvexPart() = default;

} // namespace Tarvex
