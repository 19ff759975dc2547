#include <tarvex/model3d/Tarvex3DMaterial.h>

#include <tarvex/host/UnitConverter.h>
#include <tarvex/model3d/Tarvex3DDomElement.h>

#include <QCoreApplication>
#include <QHash>
#include <QStringRef>

#include <algorithm>
#include <cmath>
#include <vector>

namespace Tarvex3D {

namespace {

const QString temperatureColumn = QStringLiteral("Temperature");

QString tr(const char* text, const char* disambiguation = nullptr, int n = -1)
{
    return QCoreApplication::translate("Tarvex3D::Tarvex3DMaterial", text, disambiguation, n);
}

/// A text table split once into rows and fields, every field parsed as a number. The
/// rows are those of the trimmed text split at "\n"; the fields those of a row split at
/// every single white-space character, so two adjacent blanks make an empty field.
class Table
{
public:
    struct Field
    {
        int start = 0;
        int length = 0;
        double value = 0.0;      // 0 for an empty field or one that is not a number
        bool unreadable = false; // not empty and not a number
        // A number that is not finite: NaN or an infinity (kept as read), or one too large
        // for a double such as 1e999 (read as 0).
        bool notFinite = false;
    };
    struct Row
    {
        int firstField = 0;
        int fieldCount = 0;
        int line = 0;       // 0 when the document line is not known
        bool blank = false; // nothing but white space
    };

    /// Splits `text`; `firstLine` is the document line where the text starts (0: unknown).
    Table(const QString& text, int firstLine) : m_text(text)
    {
        const QChar* data = text.constData();
        int begin = 0;
        int end = text.size();
        while (begin < end && data[begin].isSpace())
            ++begin;
        while (end > begin && data[end - 1].isSpace())
            --end;
        if (begin == end)
            return;
        int line = firstLine > 0 ? firstLine + int(std::count(data, data + begin, QLatin1Char('\n'))) : 0;
        Row row{0, 0, line, true};
        int fieldStart = begin;
        for (int i = begin; i <= end; ++i) {
            const bool rowEnds = i == end || data[i] == QLatin1Char('\n');
            if (!rowEnds && !data[i].isSpace())
                continue;
            addField(fieldStart, i - fieldStart, row);
            fieldStart = i + 1;
            if (rowEnds) {
                m_rows.push_back(row);
                row = Row{int(m_fields.size()), 0, line > 0 ? ++line : 0, true};
            }
        }
    }

    bool isEmpty() const { return m_rows.empty(); }
    const std::vector<Row>& rows() const { return m_rows; }
    const Field& field(const Row& row, int index) const { return m_fields[size_t(row.firstField + index)]; }
    QString fieldText(const Row& row, int index) const
    {
        const Field& f = field(row, index);
        return m_text.mid(f.start, f.length);
    }

private:
    void addField(int start, int length, Row& row)
    {
        Field field{start, length, 0.0, false, false};
        if (length > 0) {
            bool ok = false;
            const double value = QStringRef(&m_text, start, length).toDouble(&ok);
            field.value = ok ? value : 0.0;
            // Qt gives an infinity and no success for a number too large for a double.
            field.notFinite = ok ? !std::isfinite(value) : std::isinf(value);
            field.unreadable = !ok && !field.notFinite;
            row.blank = false;
        }
        m_fields.push_back(field);
        ++row.fieldCount;
    }

    const QString& m_text;
    std::vector<Field> m_fields;
    std::vector<Row> m_rows;
};

/// The host conversion of one column to SI. Most columns are already in SI units, and
/// converting millions of table values one call at a time shows, so a conversion that
/// leaves 0 and 1 alone (the host's conversions are affine) is skipped.
class ToSI
{
public:
    ToSI() = default;
    ToSI(const QString& quantity, const QString& unit) : m_quantity(quantity), m_unit(unit)
    {
        const EntityModel::UnitConverter& converter = EntityModel::UnitConverter::instance();
        m_identity = quantity.isEmpty() ||
                     (converter.convertToSI(m_quantity, 0.0, m_unit) == 0.0 &&
                      converter.convertToSI(m_quantity, 1.0, m_unit) == 1.0);
    }
    double operator()(double value) const
    {
        return m_identity ? value : EntityModel::UnitConverter::instance().convertToSI(m_quantity, value, m_unit);
    }

private:
    EntityModel::TypeRef m_quantity;
    EntityModel::TypeRef m_unit;
    bool m_identity = true;
};

/// The quantity a property column is converted as; empty for values stored as read.
QString quantityOf(const QString& property)
{
    if (property == QLatin1String("Density") || property == QLatin1String("Conductivity"))
        return property;
    if (property == QLatin1String("Specific heat"))
        return QStringLiteral("SpecificHeat");
    return QString();
}

/// Reads curves out of one table: temperatures from one column, values from another.
class CurveReader
{
public:
    CurveReader(const Table& table, int temperatureIndex, const QString& temperatureUnit)
        : m_table(table), m_temperatureIndex(temperatureIndex)
    {
        // Every property of a table shares its temperatures: convert them once.
        const ToSI toSI(temperatureColumn, temperatureUnit);
        m_temperatures.reserve(table.rows().size());
        for (const Table::Row& row : table.rows())
            m_temperatures.push_back(row.fieldCount > temperatureIndex ? toSI(table.field(row, temperatureIndex).value) : 0.0);
    }

    Tarvex3DCurveProperties read(int valueIndex, const ToSI& toSI) const
    {
        Tarvex3DCurveProperties curve;
        const int needed = std::max(m_temperatureIndex, valueIndex) + 1;
        for (size_t i = 0; i < m_table.rows().size(); ++i) {
            const Table::Row& row = m_table.rows()[i];
            if (row.blank || row.fieldCount < needed)
                continue;
            curve.addPoint({m_temperatures[i], toSI(m_table.field(row, valueIndex).value)});
        }
        return curve;
    }

private:
    const Table& m_table;
    int m_temperatureIndex;
    std::vector<double> m_temperatures;
};

/// The table text of an element and the line its text starts on.
struct TableText
{
    QString text;
    int line = 0;
};

TableText tableText(const QDomElement& element)
{
    // The reader gives an element the line where its start tag ends, which is where the
    // text begins.
    return TableText{element.text(), element.lineNumber() > 0 ? element.lineNumber() : 0};
}

/// Looks through a table for what was read as the format says but probably not as the
/// file meant. Only the columns that are read count; past a few problems a table gets one
/// summary instead of a message per row.
class TableChecker
{
public:
    static constexpr int listedIssues = 5;

    TableChecker(const Table& table, const QString& tableName, QList<Tarvex3DTableIssue>& issues)
        : m_table(table), m_name(tableName), m_issues(issues)
    {
    }

    /// `columns`: (index, name) of the property columns read from the table.
    void check(int temperatureIndex, const QList<QPair<int, QString>>& columns)
    {
        QList<QPair<int, QString>> used{{temperatureIndex, temperatureColumn}};
        used.append(columns);
        QHash<double, int> seen; // temperature -> line of its first row
        int direction = 0;
        double previous = 0.0;
        bool orderReported = false;
        for (const Table::Row& row : m_table.rows()) {
            if (row.blank)
                continue;
            QStringList missing;
            for (const auto& column : columns) {
                if (row.fieldCount <= std::max(temperatureIndex, column.first))
                    missing << quoted(column.second);
            }
            if (!missing.isEmpty()) {
                add(row, tr("the row has %1 fields, too few for %2; they are not read from this row")
                             .arg(row.fieldCount)
                             .arg(missing.join(QStringLiteral(", "))));
            }
            checkFields(row, used);
            if (row.fieldCount <= temperatureIndex || missing.size() == columns.size())
                continue;

            const double t = m_table.field(row, temperatureIndex).value;
            const QString written = m_table.fieldText(row, temperatureIndex);
            const auto first = seen.constFind(t);
            if (first != seen.constEnd()) {
                add(row, tr("temperature %1 was already given on line %2").arg(written).arg(first.value()));
                continue;
            }
            if (!seen.isEmpty() && !orderReported) {
                const int step = t > previous ? 1 : -1;
                if (direction == 0) {
                    direction = step;
                } else if (step != direction) {
                    add(row, direction > 0 ? tr("temperature %1 is out of order: the temperatures above it rise").arg(written)
                                           : tr("temperature %1 is out of order: the temperatures above it fall").arg(written));
                    orderReported = true;
                }
            }
            seen.insert(t, row.line);
            previous = t;
        }
        if (m_unlisted > 0) {
            m_issues.append(Tarvex3DTableIssue{m_name, 0, tr("%n more problem(s) in this table not listed", nullptr,
                                                                m_unlisted)});
        }
    }

private:
    static QString quoted(const QString& text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

    /// Fields that are not numbers, and empty fields (two blanks in a row, or a row that
    /// starts with a blank), read as 0.
    void checkFields(const Table::Row& row, const QList<QPair<int, QString>>& used)
    {
        QStringList unreadable;
        QStringList notFinite;
        QStringList tooLarge;
        QStringList empty;
        for (const auto& column : used) {
            if (column.first >= row.fieldCount)
                continue;
            const Table::Field& field = m_table.field(row, column.first);
            const auto where = [&]() {
                return tr("%1 in column %2").arg(quoted(m_table.fieldText(row, column.first)), quoted(column.second));
            };
            if (field.unreadable)
                unreadable << where();
            else if (field.notFinite)
                (std::isfinite(field.value) ? tooLarge : notFinite) << where();
            else if (field.length == 0)
                empty << quoted(column.second);
        }
        if (!unreadable.isEmpty())
            add(row, tr("not a number, read as 0: %1").arg(unreadable.join(QStringLiteral(", "))));
        if (!notFinite.isEmpty())
            add(row, tr("not a finite number, kept as read; the model takes no curve or value holding it: %1")
                         .arg(notFinite.join(QStringLiteral(", "))));
        if (!tooLarge.isEmpty())
            add(row, tr("not a finite number (too large for a double), read as 0: %1")
                         .arg(tooLarge.join(QStringLiteral(", "))));
        if (!empty.isEmpty())
            add(row, tr("empty field read as 0 in %1 (fields are separated by single blanks)")
                         .arg(empty.join(QStringLiteral(", "))));
    }

    void add(const Table::Row& row, const QString& text)
    {
        if (m_listed < listedIssues) {
            m_issues.append(Tarvex3DTableIssue{m_name, row.line, text});
            ++m_listed;
        } else {
            ++m_unlisted;
        }
    }

    const Table& m_table;
    QString m_name;
    QList<Tarvex3DTableIssue>& m_issues;
    int m_listed = 0;
    int m_unlisted = 0;
};

/// Reads `properties` of a table laid out by `description` into `slots`, replacing them,
/// and records what looks wrong. Nothing happens when the table is empty.
void readTable(const Tarvex3DDataDescription& description, const TableText& source,
               const QList<QPair<QString, Tarvex3DCurveProperties*>>& properties, QList<Tarvex3DTableIssue>& issues)
{
    const Table table(source.text, source.line);
    if (table.isEmpty())
        return;
    const int temperatureIndex = description.getColumnIndex(temperatureColumn);
    QList<QPair<int, QString>> checked;
    for (const auto& property : properties) {
        const int index = description.getColumnIndex(property.first);
        if (temperatureIndex < 0 || index < 0) {
            *property.second = Tarvex3DCurveProperties();
            continue;
        }
        checked.append({index, property.first});
    }
    if (checked.isEmpty())
        return;
    const CurveReader reader(table, temperatureIndex, description.getDefinition().at(temperatureIndex).second);
    for (const auto& property : properties) {
        const int index = description.getColumnIndex(property.first);
        if (temperatureIndex >= 0 && index >= 0) {
            const ToSI toSI(quantityOf(property.first), description.getDefinition().at(index).second);
            *property.second = reader.read(index, toSI);
        }
    }
    TableChecker(table, description.getName(), issues).check(temperatureIndex, checked);
}

/// The CTE table: field 0 is the temperature and field 1 the coefficient, whatever the
/// layout says; only the temperature unit comes from the layout. Replaces `curve` and
/// `refTemperature` when the material has the table.
void readCTE(const Tarvex3DDataDescription& description, const QDomElement& element, Tarvex3DCurveProperties* curve,
             double* refTemperature, QList<Tarvex3DTableIssue>& issues)
{
    if (element.isNull())
        return;
    const QString refName = QStringLiteral("RefTemperature");
    *refTemperature = Tarvex3DDomElement(element).getAttributeDoubleValue(refName, 0.0);
    const QString refText = element.attribute(refName).trimmed();
    if (!refText.isEmpty()) {
        bool ok = false;
        const double value = refText.toDouble(&ok);
        if (!ok || !std::isfinite(value)) {
            const QString text =
                ok ? tr("attribute %1 is not a finite number (%2), kept as read; the model takes no such value")
                   : tr("attribute %1 is not a finite number (%2), read as 0");
            issues.append(Tarvex3DTableIssue{description.getName(), element.lineNumber() > 0 ? element.lineNumber() : 0,
                                             text.arg(refName, refText)});
        }
    }
    const int unitIndex = description.getColumnIndex(temperatureColumn);
    const QString unit = unitIndex >= 0 ? description.getDefinition().at(unitIndex).second : QString();
    const TableText source = tableText(element);
    const Table table(source.text, source.line);
    // A row without both fields is skipped, as the rows of the other tables are.
    *curve = CurveReader(table, 0, unit).read(1, ToSI());
    TableChecker(table, description.getName(), issues).check(0, {{1, QStringLiteral("CTE")}});
}

} // namespace

QString Tarvex3DMaterial::getName() const
{
    return m_element.attribute(QStringLiteral("name"));
}

Tarvex3DCurveProperties Tarvex3DMaterial::parseMaterialProperty(const Tarvex3DDataDescription& description,
                                                                const QString& text, const QString& property)
{
    const int temperatureIndex = description.getColumnIndex(temperatureColumn);
    const int index = description.getColumnIndex(property);
    if (temperatureIndex < 0 || index < 0)
        return Tarvex3DCurveProperties();
    const Table table(text, 0);
    const CurveReader reader(table, temperatureIndex, description.getDefinition().at(temperatureIndex).second);
    return reader.read(index, ToSI(quantityOf(property), description.getDefinition().at(index).second));
}

void Tarvex3DMaterial::parseMaterialProperties(const QList<Tarvex3DDataDescription>& descriptions)
{
    m_issues.clear();
    for (const Tarvex3DDataDescription& description : descriptions) {
        const QString& name = description.getName();
        if (name == QLatin1String("Metal")) {
            const QDomElement model = m_element.firstChildElement(name).firstChildElement(QStringLiteral("Model"));
            readTable(description, tableText(model), {{QStringLiteral("Conductivity"), &m_electricalConductivity}},
                      m_issues);
        } else if (name == QLatin1String("Thermal")) {
            const QDomElement model = m_element.firstChildElement(name).firstChildElement(QStringLiteral("Model"));
            readTable(description, tableText(model),
                      {{QStringLiteral("Conductivity"), &m_thermalConductivity},
                       {QStringLiteral("Density"), &m_density},
                       {QStringLiteral("Specific heat"), &m_specificHeat},
                       {QStringLiteral("Emissivity"), &m_emissivity},
                       {QStringLiteral("Solar Reflectance"), &m_solarReflectance}},
                      m_issues);
        } else if (name == QLatin1String("Elasticity")) {
            const QDomElement table = m_element.firstChildElement(QStringLiteral("Structural")).firstChildElement(name);
            readTable(description, tableText(table),
                      {{QStringLiteral("Youngs Modulus"), &m_youngsModulus},
                       {QStringLiteral("Poissons Ratio"), &m_poissonsRatio}},
                      m_issues);
        } else if (name == QLatin1String("CTE")) {
            readCTE(description,
                    m_element.firstChildElement(QStringLiteral("Structural")).firstChildElement(name), &m_cte,
                    &m_cteRefTemp, m_issues);
        }
    }
}

} // namespace Tarvex3D
