#pragma once

#include <tarvex/host/AttributePath.h>
#include <tarvex/host/Bound.h>
#include <tarvex/host/TypeRef.h>

#include <QString>
#include <QVector>

#include <memory>

namespace EntityModel {
class CellGrid;
class Entity;
}

namespace Tarvex {

/// Writes the cells of one host layer, the item list at `items` of `entity`: a whole grid in
/// one recorded edit when the host can take it so, else the item count and then every
/// attribute of every cell, one recorded edit each, with the same result. Lengths are shown
/// in the map's unit when units are updated, else they keep the unit they are shown in.
class MaterialMapCellWriter
{
public:
    MaterialMapCellWriter(EntityModel::Entity* entity, EntityModel::AttributePath items,
                          const EntityModel::TypeRef& unit, bool updateUnits);

    /// Makes the list hold exactly the grid's cells; false when the list cannot hold them.
    bool writeGrid(const std::shared_ptr<const EntityModel::CellGrid>& grid) const;
    /// Writes one cell's attributes into the item at `index`, which must exist.
    void writeCell(int index, const QString& name, bool active, const EntityModel::TypeRef& shape,
                   const Geometry::Bound2D& bound, const QVector<double>& outline,
                   const QVector<double>& fractions) const;
    /// Writes a length (in metres) at `path` of the entity.
    void writeLength(const EntityModel::AttributePath& path, double value) const;

private:
    EntityModel::Entity* m_entity;
    EntityModel::AttributePath m_items;
    EntityModel::TypeRef m_unit;
    bool m_updateUnits;
};

} // namespace Tarvex
