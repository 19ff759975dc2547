#pragma once

#include <tarvex/objects/TarvexBasicPart.h>

namespace Tarvex {

/// One cell of a layer of a layered part: a basic part whose parent is its layer.
class TarvexLayeredPartLayerCell : public TarvexBasicPart
{
public:
    /// Takes over `part`.
    explicit TarvexLayeredPartLayerCell(TarvexBasicPart&& part);
    /// Takes over `part` with `material` in place of its own.
    TarvexLayeredPartLayerCell(TarvexBasicPart&& part, std::shared_ptr<TarvexMaterial> material);
    ~TarvexLayeredPartLayerCell() override;

    /// `LayeredPartLayerCell`.
    int getPartType() const override;
    /// Calls `visitCell`.
    bool accept(TarvexPartVisitorConst& visitor) const override;
    using TarvexPartBase::accept;
};

} // namespace Tarvex
