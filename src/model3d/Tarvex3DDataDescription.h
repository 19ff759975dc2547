#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace Tarvex3D {

/// The column layout of one kind of material table ("Metal", "Thermal", "CTE"...): the
/// columns in document order, each a (name, unit) pair; a column without a unit has an
/// empty unit.
class Tarvex3DDataDescription
{
public:
    /// One column: (name, unit).
    using Column = QPair<QString, QString>;

    /// A description without name or columns.
    Tarvex3DDataDescription() = default;
    /// A description called `name`, without columns.
    explicit Tarvex3DDataDescription(const QString& name) : m_name(name) {}

    /// The description's element name, for example "Thermal".
    const QString& getName() const { return m_name; }
    /// Renames the description.
    void setName(const QString& name) { m_name = name; }
    /// The columns, in document order.
    const QList<Column>& getDefinition() const { return m_columns; }
    /// Appends a column.
    void addValue(const Column& column) { m_columns.append(column); }
    /// Number of columns.
    int getNumberOfColumns() const { return m_columns.size(); }
    /// Index of the last column called exactly `name`, or -1.
    int getColumnIndex(const QString& name) const;

private:
    QString m_name;
    QList<Column> m_columns;
};

} // namespace Tarvex3D
