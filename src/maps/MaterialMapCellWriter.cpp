#include <tarvex/maps/MaterialMapCellWriter.h>

#include <tarvex/host/BasicEditor.h>
#include <tarvex/host/CellGrid.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/ListAttributeEditor.h>

#include <algorithm>

using namespace EntityModel;

namespace Tarvex {

MaterialMapCellWriter::MaterialMapCellWriter(Entity* entity, AttributePath items, const TypeRef& unit, bool updateUnits)
    : m_entity(entity), m_items(std::move(items)), m_unit(unit), m_updateUnits(updateUnits)
{
}

bool MaterialMapCellWriter::writeGrid(const std::shared_ptr<const CellGrid>& grid) const
{
    if (ListAttributeEditor::writeCells(m_entity, m_items, grid))
        return true;
    if (!ListAttributeEditor::setItemCount(m_entity, m_items, grid->getCount()))
        return false;
    for (int k = 0; k < grid->getCount(); ++k) {
        const CellGrid::Cell cell = grid->getCell(k);
        const double* values = grid->listValues(k);
        QVector<double> fractions(grid->getListWidth());
        std::copy(values, values + grid->getListWidth(), fractions.begin());
        writeCell(k, grid->getName(k), cell.active, cell.shape, cell.bound, cell.outline, fractions);
    }
    return true;
}

void MaterialMapCellWriter::writeCell(int index, const QString& name, bool active, const TypeRef& shape,
                                      const Geometry::Bound2D& bound, const QVector<double>& outline,
                                      const QVector<double>& fractions) const
{
    const AttributePath cell = m_items / AttributePath(TypeRef(ListAttributeEditor::itemLabel(index)));
    EntityEditor::setValueNoThrow(m_entity, cell / Name_t, name);
    EntityEditor::setValueNoThrow(m_entity, cell / Active_t, active ? Yes_t : No_t);
    EntityEditor::setValueNoThrow(m_entity, cell / Shape_t, shape);
    writeLength(cell / X_Location_t, bound.getLow().x);
    writeLength(cell / Z_Location_t, bound.getLow().y);
    writeLength(cell / Width_t, bound.getSize().x);
    writeLength(cell / Depth_t, bound.getSize().y);
    // The host's double lists carry no display unit, so the outline stays in SI.
    EntityEditor::setSIDoubleListValueNoThrow(m_entity, cell / Outline_t, outline);
    EntityEditor::setSIDoubleListValueNoThrow(m_entity, cell / Material_Fraction_t, fractions);
}

void MaterialMapCellWriter::writeLength(const AttributePath& path, double value) const
{
    if (m_updateUnits)
        ServerConstructor::BasicEditor::setSIValueInUnit(m_entity, path, value, Length_t, m_unit);
    else
        EntityEditor::setSIValueNoThrow(m_entity, path, value);
}

} // namespace Tarvex
