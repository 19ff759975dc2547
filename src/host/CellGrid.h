#pragma once

#include <tarvex/host/Bound.h>
#include <tarvex/host/TypeRef.h>

#include <QString>
#include <QVector>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace EntityModel {

class CompositeAttribute;

/// The cells of a layer written in one go: `columns` x `rows` equal rectangles, cell k being
/// column k mod columns of row k div columns. Each cell becomes an item holding `Name_t`
/// ("3_0" for column 3 of row 0), `Active_t`, `Shape_t`, `X_Location_t`, `Z_Location_t`,
/// `Width_t`, `Depth_t` (lengths in SI), `Outline_t` (corners relative to the low corner,
/// x, z, x, z, ...) and one list of doubles per cell under a label of the caller's.
///
/// A cell is an active rectangle of the grid unless it is given a shape of its own, so a
/// grid of a million cells costs its list values and its few irregular cells, and an item
/// is made only when someone asks for it.
class CellGrid
{
public:
    /// One cell as its item holds it.
    struct Cell
    {
        bool active = true;
        TypeRef shape;
        Geometry::Bound2D bound;
        QVector<double> outline;
    };

    /// The most cells the grids of one model may hold together: every cell becomes a whole
    /// item of the saved file (a few kilobytes of JSON), and past this many the file would
    /// outgrow what the JSON writer and reader take. Map readers refuse larger maps early.
    static constexpr qint64 MaximumModelCells = 300000;
    /// Whether a grid of `rows` of `columns` cells stays within `MaximumModelCells` (checked
    /// without multiplying, so that absurd counts cannot overflow).
    static bool fitsModel(qint64 rows, qint64 columns);
    /// The refusal of a grid that does not fit, naming what it is ("material map"):
    /// "The material map has R rows of C cells, more than the 300000 cells a model can hold".
    static QString tooManyCellsMessage(const QString& what, qint64 rows, qint64 columns);

    /// A grid whose cell (c, r) spans `origin` + (c, r) * `cellSize` to `origin` +
    /// (c + 1, r + 1) * `cellSize`. Lengths are shown in `lengthUnit` (in SI when the host
    /// does not know it as a length unit); without one each length keeps the unit the item
    /// already shows it in, which for a new item is none. Every cell holds `listWidth`
    /// values under `listLabel`, all 0 until set.
    CellGrid(int columns, int rows, const Geometry::Vec2& origin, const Geometry::Vec2& cellSize,
             const std::optional<TypeRef>& lengthUnit, const TypeRef& listLabel, int listWidth);
    ~CellGrid();
    CellGrid(const CellGrid&) = delete;
    CellGrid& operator=(const CellGrid&) = delete;

    /// Number of cells (0 for a grid without columns or rows).
    int getCount() const { return m_count; }
    /// Number of columns.
    int getColumns() const { return m_columns; }
    /// The unit lengths are shown in (the null reference for SI); empty when each length
    /// keeps the unit its item already shows.
    const std::optional<TypeRef>& getLengthUnit() const { return m_lengthUnit; }
    /// The label of each cell's list of doubles.
    const TypeRef& getListLabel() const { return m_listLabel; }
    /// Number of list values per cell.
    int getListWidth() const { return m_listWidth; }

    /// The name of the cell at `index`: its column, "_", its row.
    QString getName(int index) const;
    /// The rectangle of the grid at `index`, whatever shape the cell was given.
    Geometry::Bound2D getGridBound(int index) const;
    /// The list values of the cell at `index`, `getListWidth()` of them.
    double* listValues(int index) { return m_values.get() + size_t(index) * size_t(m_listWidth); }
    const double* listValues(int index) const { return m_values.get() + size_t(index) * size_t(m_listWidth); }

    /// Gives the cell at `index` a shape other than its active rectangle of the grid.
    void setCell(int index, Cell cell);
    /// The cell at `index` as its item holds it.
    Cell getCell(int index) const;
    /// True when every length, outline point and list value is a finite number, so that
    /// the host takes every value of every cell.
    bool isFinite() const;

    /// The labels every cell item holds.
    std::vector<TypeRef> getLabels() const;
    /// The item of the cell at `index`, labelled by its position in the list.
    std::unique_ptr<CompositeAttribute> makeItem(int index) const;

private:
    int m_columns;
    int m_count;
    Geometry::Vec2 m_origin;
    Geometry::Vec2 m_cellSize;
    std::optional<TypeRef> m_lengthUnit;
    TypeRef m_listLabel;
    int m_listWidth;
    struct FreeValues
    {
        void operator()(double* values) const;
    };
    // Zeroed by the allocator: fresh pages come zeroed, so a large grid is written once.
    std::unique_ptr<double[], FreeValues> m_values;
    // The irregular cells by index, in increasing order.
    std::vector<std::pair<int, Cell>> m_irregular;
};

} // namespace EntityModel
