#include <tarvex/objects/TarvexPartBaseWithPowerSources.h>

namespace Tarvex {

TarvexPartBaseWithPowerSources::TarvexPartBaseWithPowerSources(PowerSourceList sources)
    : powerSources(std::move(sources))
{
}

TarvexPartBaseWithPowerSources::~TarvexPartBaseWithPowerSources() = default;

} // namespace Tarvex
