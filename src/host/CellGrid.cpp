#include <tarvex/host/CellGrid.h>

#include <tarvex/host/CompositeAttribute.h>
#include <tarvex/host/ListAttributeEditor.h>
#include <tarvex/host/UnitConverter.h>

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>

using Geometry::Bound2D;
using Geometry::Vec2;

namespace EntityModel {

bool CellGrid::fitsModel(qint64 rows, qint64 columns)
{
    return rows <= MaximumModelCells / std::max<qint64>(columns, 1);
}

QString CellGrid::tooManyCellsMessage(const QString& what, qint64 rows, qint64 columns)
{
    return QCoreApplication::translate("EntityModel::CellGrid",
                                       "The %1 has %2 rows of %3 cells, more than the %4 cells a model can hold")
        .arg(what)
        .arg(rows)
        .arg(columns)
        .arg(MaximumModelCells);
}

namespace {

QVector<double> rectangleOutline(const Vec2& size)
{
    return {0.0, 0.0, size.x, 0.0, size.x, size.y, 0.0, size.y};
}

// Without an early exit, so that the compiler can test many values at once.
bool allFinite(const double* values, size_t count)
{
    bool finite = true;
    for (size_t i = 0; i < count; ++i)
        finite &= std::abs(values[i]) <= std::numeric_limits<double>::max();
    return finite;
}

// A rectangle whose corners and sizes are all finite.
bool isFiniteBound(const Bound2D& bound)
{
    const double values[] = {bound.getLow().x, bound.getLow().y, bound.getHigh().x, bound.getHigh().y,
                             bound.getSize().x, bound.getSize().y};
    return allFinite(values, 6);
}

// Far enough from the largest double that no sum or difference of two such values overflows.
bool isModest(const Bound2D& bound)
{
    constexpr double limit = 1e300;
    return std::abs(bound.getLow().x) < limit && std::abs(bound.getLow().y) < limit &&
           std::abs(bound.getHigh().x) < limit && std::abs(bound.getHigh().y) < limit;
}

} // namespace

CellGrid::CellGrid(int columns, int rows, const Vec2& origin, const Vec2& cellSize,
                   const std::optional<TypeRef>& lengthUnit, const TypeRef& listLabel, int listWidth)
    : m_columns(std::max(columns, 0)),
      m_count(columns > 0 && rows > 0 ? columns * rows : 0),
      m_origin(origin),
      m_cellSize(cellSize),
      m_lengthUnit(lengthUnit),
      m_listLabel(listLabel),
      m_listWidth(std::max(listWidth, 0)),
      m_values(static_cast<double*>(std::calloc(std::max<size_t>(size_t(m_count) * size_t(m_listWidth), 1), sizeof(double))))
{
    if (!m_values)
        throw std::bad_alloc();
    // What the host does for a length written in a unit it does not know.
    if (m_lengthUnit && !UnitConverter::instance().isKnown(Length_t, *m_lengthUnit))
        m_lengthUnit = TypeRef();
}

CellGrid::~CellGrid() = default;

void CellGrid::FreeValues::operator()(double* values) const
{
    std::free(values);
}

QString CellGrid::getName(int index) const
{
    return QStringLiteral("%1_%2").arg(index % m_columns).arg(index / m_columns);
}

Bound2D CellGrid::getGridBound(int index) const
{
    const int column = index % m_columns;
    const int row = index / m_columns;
    return Bound2D(m_origin + Vec2(column * m_cellSize.x, row * m_cellSize.y),
                   m_origin + Vec2((column + 1) * m_cellSize.x, (row + 1) * m_cellSize.y));
}

void CellGrid::setCell(int index, Cell cell)
{
    const auto at = std::lower_bound(m_irregular.begin(), m_irregular.end(), index,
                                     [](const std::pair<int, Cell>& entry, int wanted) { return entry.first < wanted; });
    if (at != m_irregular.end() && at->first == index)
        at->second = std::move(cell);
    else
        m_irregular.insert(at, {index, std::move(cell)});
}

CellGrid::Cell CellGrid::getCell(int index) const
{
    const auto at = std::lower_bound(m_irregular.begin(), m_irregular.end(), index,
                                     [](const std::pair<int, Cell>& entry, int wanted) { return entry.first < wanted; });
    if (at != m_irregular.end() && at->first == index)
        return at->second;
    Cell cell;
    cell.shape = Rectangle_t;
    cell.bound = getGridBound(index);
    cell.outline = rectangleOutline(cell.bound.getSize());
    return cell;
}

bool CellGrid::isFinite() const
{
    if (!allFinite(m_values.get(), size_t(m_count) * size_t(m_listWidth)))
        return false;
    if (m_count > 0) {
        // The cells of the grid lie between the first and the last one, so those two decide
        // unless the numbers come near the largest double.
        const Bound2D first = getGridBound(0);
        const Bound2D last = getGridBound(m_count - 1);
        if (!isFiniteBound(first) || !isFiniteBound(last) || !std::isfinite(m_cellSize.x) ||
            !std::isfinite(m_cellSize.y))
            return false;
        if (!isModest(first) || !isModest(last)) {
            for (int index = 0; index < m_count; ++index) {
                if (!isFiniteBound(getGridBound(index)))
                    return false;
            }
        }
    }
    return std::all_of(m_irregular.begin(), m_irregular.end(), [](const std::pair<int, Cell>& entry) {
        return isFiniteBound(entry.second.bound) &&
               allFinite(entry.second.outline.constData(), size_t(entry.second.outline.size()));
    });
}

std::vector<TypeRef> CellGrid::getLabels() const
{
    return {Name_t, Active_t, Shape_t, X_Location_t, Z_Location_t, Width_t, Depth_t, Outline_t, m_listLabel};
}

std::unique_ptr<CompositeAttribute> CellGrid::makeItem(int index) const
{
    auto item = std::make_unique<CompositeAttribute>(TypeRef(ListAttributeEditor::itemLabel(index)));
    const Cell cell = getCell(index);
    const TypeRef unit = m_lengthUnit.value_or(TypeRef());
    const Vec2 low = cell.bound.getLow();
    const Vec2 size = cell.bound.getSize();
    item->put(std::make_unique<ValueAttribute>(Name_t, getName(index)));
    item->put(std::make_unique<ChoiceAttribute>(Active_t, cell.active ? Yes_t : No_t));
    item->put(std::make_unique<ChoiceAttribute>(Shape_t, cell.shape));
    item->put(std::make_unique<ValueAttribute>(X_Location_t, low.x, unit));
    item->put(std::make_unique<ValueAttribute>(Z_Location_t, low.y, unit));
    item->put(std::make_unique<ValueAttribute>(Width_t, size.x, unit));
    item->put(std::make_unique<ValueAttribute>(Depth_t, size.y, unit));
    item->put(std::make_unique<DoubleListAttribute>(Outline_t, cell.outline));
    const double* values = listValues(index);
    QVector<double> list(m_listWidth);
    std::copy(values, values + m_listWidth, list.begin());
    item->put(std::make_unique<DoubleListAttribute>(m_listLabel, list));
    return item;
}

} // namespace EntityModel
