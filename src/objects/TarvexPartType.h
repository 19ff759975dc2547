#pragma once

namespace Tarvex {

/// The kind code of a part, as returned by `TarvexPart::getPartType`; the entity builders
/// switch on these numbers.
enum TarvexPartType
{
    BasicPart = 1,
    Basic2RPart = 2,
    CompositeGeometryObject = 3,
    SolderBall = 4,
    SolderBump = 5,
    LayeredPart = 16,
    LayeredPartLayer = 17,
    LayeredPartLayerCell = 18
};

} // namespace Tarvex
