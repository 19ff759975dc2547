#include <tarvex/objects/TarvexLayeredPartLayerCell.h>

#include <tarvex/objects/TarvexPartVisitorConst.h>

namespace Tarvex {

TarvexLayeredPartLayerCell::TarvexLayeredPartLayerCell(TarvexBasicPart&& part)
    : TarvexBasicPart(std::move(part))
{
}

TarvexLayeredPartLayerCell::TarvexLayeredPartLayerCell(TarvexBasicPart&& part,
                                                       std::shared_ptr<TarvexMaterial> material)
    : TarvexBasicPart(std::move(part))
{
    setMaterial(std::move(material));
}

TarvexLayeredPartLayerCell::~TarvexLayeredPartLayerCell() = default;

int TarvexLayeredPartLayerCell::getPartType() const
{
    return LayeredPartLayerCell;
}

bool TarvexLayeredPartLayerCell::accept(TarvexPartVisitorConst& visitor) const
{
    return visitor.visitCell(*this);
}

} // namespace Tarvex
