#pragma once

#include <tarvex/host/Vec.h>
#include <tarvex/objects/TarvexMaterial.h>
#include <tarvex/objects/TarvexPartBaseWithPowerSources.h>
#include <tarvex/objects/TarvexTerminal.h>

#include <QList>
#include <QString>

#include <memory>
#include <vector>

namespace Tarvex {

/// A block given by an outline in one horizontal plane and a height (one Geom element).
class TarvexBasicPart : public TarvexPartBaseWithPowerSources
{
public:
    /// The terminals whose "ObjectName" is this part's name.
    using TerminalList = QList<TarvexTerminal>;

    /// A part with all its values (SI units): names and type from the Geom element, its
    /// power, the outline nodes in document order, the height, its terminals, its material
    /// (may be null) and its power sources.
    TarvexBasicPart(const QString& name, const QString& objectName, const QString& type, double power,
                    std::vector<Geometry::Vec3> nodes, double height, TerminalList terminals = {},
                    std::shared_ptr<TarvexMaterial> material = {}, PowerSourceList powerSources = {});
    TarvexBasicPart(const TarvexBasicPart& other) = default;
    TarvexBasicPart(TarvexBasicPart&& other) noexcept = default;
    TarvexBasicPart& operator=(const TarvexBasicPart& other) = default;
    TarvexBasicPart& operator=(TarvexBasicPart&& other) noexcept = default;
    ~TarvexBasicPart() override;

    /// `BasicPart`.
    int getPartType() const override;
    /// The Geom's "Name".
    QString getName(bool full) const override;
    /// The Geom's "ObjectName".
    QString getObjectName() const override;
    /// The Geom's "Type".
    QString getType() const override;
    /// Calls `visitBasicPart`.
    bool accept(TarvexPartVisitorConst& visitor) const override;
    /// The outline extruded from the nodes' z by the height, identity transform. Throws
    /// std::runtime_error "Z variation" when the nodes do not share one z (within 1e-6).
    TarvexPlacedGeometry createGeometry() const override;
    using TarvexPartBase::accept;

    /// The power (W).
    double getPower() const { return power; }
    /// The outline nodes (m).
    const std::vector<Geometry::Vec3>& getNodes() const { return nodes; }
    /// The height (m).
    double getHeight() const { return height; }
    /// The terminals of this part.
    const TerminalList& getTerminals() const { return terminals; }
    /// The material; null when the Geom names no known material.
    const std::shared_ptr<TarvexMaterial>& getMaterial() const { return material; }
    /// Replaces the material.
    void setMaterial(std::shared_ptr<TarvexMaterial> newMaterial) { material = std::move(newMaterial); }

private:
    QString name;
    QString objectName;
    QString type;
    double power;
    std::vector<Geometry::Vec3> nodes;
    double height;
    TerminalList terminals;
    std::shared_ptr<TarvexMaterial> material;
};

} // namespace Tarvex
