#pragma once

#include <tarvex/host/Vec.h>
#include <tarvex/objects/TarvexPowerSource.h>

#include <QString>

namespace Tarvex {

/// An area power map of a file older than 2024.1.2, read with the legacy power-map reader.
class TarvexPowerSourceLegacyPowerMap : public TarvexPowerSource
{
public:
    /// A source with the common values, the flip axis ((1, 0) about x, (0, 1) about y,
    /// (0, 0) none), its power scale, its power in W and the resolved path of its power map
    /// file (empty when it has none).
    TarvexPowerSourceLegacyPowerMap(const Common& common, const Geometry::Vec2& flipAxis, double powerScale,
                                    double power, const QString& powerMapFile);
    ~TarvexPowerSourceLegacyPowerMap() override;

    /// Calls the visitor's `visitLegacyPowerMap`.
    void accept(TarvexPowerSourceVisitorConst& visitor) const override;
    /// Same as the `const` form.
    void accept(TarvexPowerSourceVisitorConst& visitor) override;

    /// (1, 0) for a flip about x, (0, 1) for a flip about y, (0, 0) for none.
    const Geometry::Vec2& getFlipAxis() const { return flipAxis; }
    /// "PowerScale", default 1.
    double getPowerScale() const { return powerScale; }
    /// "Power", W.
    double getPower() const { return power; }
    /// Resolved path of the power map file, or empty.
    const QString& getPowerMapFile() const { return powerMapFile; }

private:
    Geometry::Vec2 flipAxis;
    double powerScale = 1.0;
    double power = 0.0;
    QString powerMapFile;
};

} // namespace Tarvex
