#include <tarvex/objects/TarvexPartVisitorConst.h>

#include <tarvex/objects/TarvexBasic2RPart.h>
#include <tarvex/objects/TarvexLayeredPartLayerCell.h>

namespace Tarvex {

bool TarvexPartVisitorConst::visitChildren(const TarvexPart&)
{
    return true;
}

bool TarvexPartVisitorConst::visitSolderBump(const TarvexSolderBump&)
{
    return true;
}

bool TarvexPartVisitorConst::visitSolderBall(const TarvexSolderBall&)
{
    return true;
}

bool TarvexPartVisitorConst::visitComposite(const TarvexCompositeGeometryObject&)
{
    return true;
}

bool TarvexPartVisitorConst::visitCell(const TarvexLayeredPartLayerCell& cell)
{
    return visitBasicPart(cell);
}

bool TarvexPartVisitorConst::visitBasic2RPart(const TarvexBasic2RPart& part)
{
    return visitBasicPart(part);
}

bool TarvexPartVisitorConst::visitBasicPart(const TarvexBasicPart&)
{
    return true;
}

TarvexPartVisitorConst::~TarvexPartVisitorConst() = default;

} // namespace Tarvex
