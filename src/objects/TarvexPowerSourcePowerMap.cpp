#include <tarvex/objects/TarvexPowerSourcePowerMap.h>

#include <tarvex/objects/TarvexPowerSourceVisitorConst.h>

namespace Tarvex {

TarvexPowerSourcePowerMap::TarvexPowerSourcePowerMap(const Common& common, bool mapFlipX, bool mapFlipY,
                                                     double mapPowerScale, double mapPower, const QString& file)
    : TarvexPowerSource(common),
      flipX(mapFlipX),
      flipY(mapFlipY),
      powerScale(mapPowerScale),
      power(mapPower),
      powerMapFile(file)
{
}

TarvexPowerSourcePowerMap::~TarvexPowerSourcePowerMap() = default;

void TarvexPowerSourcePowerMap::accept(TarvexPowerSourceVisitorConst& visitor) const
{
    visitor.visitPowerMap(*this);
}

void TarvexPowerSourcePowerMap::accept(TarvexPowerSourceVisitorConst& visitor)
{
    visitor.visitPowerMap(*this);
}

} // namespace Tarvex
