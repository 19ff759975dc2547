#include <tarvex/objects/TarvexObjectVisitorConst.h>

namespace Tarvex {

bool TarvexObjectVisitorConst::visitChildren(const TarvexObject&)
{
    return true;
}

TarvexObjectVisitorConst::~TarvexObjectVisitorConst() = default;

} // namespace Tarvex
