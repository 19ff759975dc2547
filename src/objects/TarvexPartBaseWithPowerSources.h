#pragma once

#include <tarvex/objects/TarvexPartBase.h>
#include <tarvex/objects/TarvexPowerSource.h>

#include <memory>
#include <vector>

namespace Tarvex {

/// A part that carries power sources, shared with the builder's power-source table.
class TarvexPartBaseWithPowerSources : public TarvexPartBase
{
public:
    /// The shared power sources.
    using PowerSourceList = std::vector<std::shared_ptr<TarvexPowerSource>>;

    ~TarvexPartBaseWithPowerSources() override;

    /// The power sources attached to the part.
    const PowerSourceList& getPowerSources() const { return powerSources; }

protected:
    explicit TarvexPartBaseWithPowerSources(PowerSourceList powerSources = {});
    TarvexPartBaseWithPowerSources(const TarvexPartBaseWithPowerSources& other) = default;
    TarvexPartBaseWithPowerSources(TarvexPartBaseWithPowerSources&& other) noexcept = default;
    TarvexPartBaseWithPowerSources& operator=(const TarvexPartBaseWithPowerSources& other) = default;
    TarvexPartBaseWithPowerSources& operator=(TarvexPartBaseWithPowerSources&& other) noexcept = default;

private:
    PowerSourceList powerSources;
};

} // namespace Tarvex
