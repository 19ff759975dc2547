#include <tarvex/objects/TarvexPowerSourceLegacyPowerMap.h>

#include <tarvex/objects/TarvexPowerSourceVisitorConst.h>

namespace Tarvex {

TarvexPowerSourceLegacyPowerMap::TarvexPowerSourceLegacyPowerMap(const Common& common,
                                                                 const Geometry::Vec2& mapFlipAxis,
                                                                 double mapPowerScale, double mapPower,
                                                                 const QString& file)
    : TarvexPowerSource(common),
      flipAxis(mapFlipAxis),
      powerScale(mapPowerScale),
      power(mapPower),
      powerMapFile(file)
{
}

TarvexPowerSourceLegacyPowerMap::~TarvexPowerSourceLegacyPowerMap() = default;

void TarvexPowerSourceLegacyPowerMap::accept(TarvexPowerSourceVisitorConst& visitor) const
{
    visitor.visitLegacyPowerMap(*this);
}

void TarvexPowerSourceLegacyPowerMap::accept(TarvexPowerSourceVisitorConst& visitor)
{
    visitor.visitLegacyPowerMap(*this);
}

} // namespace Tarvex
