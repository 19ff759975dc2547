#pragma once

#include <tarvex/objects/TarvexPowerSource.h>

#include <QString>

namespace Tarvex {

/// An area power map of a file of version 2024.1.2 or later.
class TarvexPowerSourcePowerMap : public TarvexPowerSource
{
public:
    /// A source with the common values, the map's flips, its power scale, its power in W and
    /// the resolved path of its power map file (empty when it has none).
    TarvexPowerSourcePowerMap(const Common& common, bool flipX, bool flipY, double powerScale, double power,
                              const QString& powerMapFile);
    ~TarvexPowerSourcePowerMap() override;

    /// Calls the visitor's `visitPowerMap`.
    void accept(TarvexPowerSourceVisitorConst& visitor) const override;
    /// Same as the `const` form.
    void accept(TarvexPowerSourceVisitorConst& visitor) override;

    /// True when the map is mirrored about x.
    bool getFlipX() const { return flipX; }
    /// True when the map is mirrored about y.
    bool getFlipY() const { return flipY; }
    /// "PowerScale", default 1.
    double getPowerScale() const { return powerScale; }
    /// "Power", W.
    double getPower() const { return power; }
    /// Resolved path of the power map file, or empty.
    const QString& getPowerMapFile() const { return powerMapFile; }

private:
    bool flipX = false;
    bool flipY = false;
    double powerScale = 1.0;
    double power = 0.0;
    QString powerMapFile;
};

} // namespace Tarvex
