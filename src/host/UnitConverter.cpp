#include <tarvex/host/UnitConverter.h>

#include <QCoreApplication>
#include <QHash>
#include <QVector>

#include <initializer_list>

namespace EntityModel {

namespace {

// Exact definitions of the imperial units, so derived factors carry no rounding of their own.
constexpr double inch = 0.0254;
constexpr double foot = 0.3048;
constexpr double pound = 0.45359237;
constexpr double poundForce = 4.4482216152605;
constexpr double btu = 1055.05585262;
constexpr double hour = 3600.0;
constexpr double fahrenheitStep = 5.0 / 9.0;

using Factor = UnitConverter::Conversion;

struct UnitEntry
{
    const char* spelling;
    Factor factor;
};

} // namespace

struct UnitConverter::Tables
{
    struct Quantity
    {
        QString siUnit;
        QHash<QString, Factor> units; // keyed by the normalised spelling
    };

    QHash<QString, int> quantityIndex; // keyed by the normalised quantity label
    QVector<Quantity> quantities;

    Tables();
    void add(std::initializer_list<const char*> labels, const char* siUnit, std::initializer_list<UnitEntry> units);
    const Quantity* find(const TypeRef& quantity) const;
    const Factor* find(const TypeRef& quantity, const TypeRef& unit) const;

    static QString normalizeQuantity(const QString& label);
    static QString normalizeUnit(const QString& label);
};

// Quantity labels come as type names ("SpecificHeat", "Specific_Heat") or as column
// titles ("Specific heat"): case, blanks and underscores do not matter.
QString UnitConverter::Tables::normalizeQuantity(const QString& label)
{
    QString key;
    key.reserve(label.size());
    for (const QChar c : label) {
        if (c.isSpace() || c == QLatin1Char('_'))
            continue;
        key.append(c.toLower());
    }
    return key;
}

// Files spell the same unit in many ways ("W/(m-K)", "W/(m K)", "W/(m*K)", "W/mK",
// "kg/m^3"): separators, grouping and the exponent mark carry no meaning here, while
// letter case does (mm is not Mm).
QString UnitConverter::Tables::normalizeUnit(const QString& label)
{
    QString key;
    key.reserve(label.size());
    for (const QChar c : label) {
        switch (c.unicode()) {
        case u' ':
        case u'\t':
        case u'-':
        case u'(':
        case u')':
        case u'*':
        case u'^':
        case u'\u00B7': // middle dot
        case u'\u00B0': // degree sign: °C is C
            break;
        case u'\u00B5': // micro sign
        case u'\u03BC': // Greek mu
            key.append(QLatin1Char('u'));
            break;
        case u'\u00B2':
            key.append(QLatin1Char('2'));
            break;
        case u'\u00B3':
            key.append(QLatin1Char('3'));
            break;
        default:
            if (!c.isSpace())
                key.append(c);
            break;
        }
    }
    return key;
}

void UnitConverter::Tables::add(std::initializer_list<const char*> labels, const char* siUnit,
                                std::initializer_list<UnitEntry> units)
{
    Quantity quantity;
    quantity.siUnit = QString::fromUtf8(siUnit);
    for (const UnitEntry& entry : units)
        quantity.units.insert(normalizeUnit(QString::fromUtf8(entry.spelling)), entry.factor);
    const int index = quantities.size();
    quantities.append(quantity);
    for (const char* label : labels)
        quantityIndex.insert(normalizeQuantity(QString::fromUtf8(label)), index);
}

UnitConverter::Tables::Tables()
{
    const std::initializer_list<UnitEntry> lengths = {
        {"m", {1.0, 0.0}},        {"cm", {1e-2, 0.0}},     {"mm", {1e-3, 0.0}},    {"um", {1e-6, 0.0}},
        {"micron", {1e-6, 0.0}},  {"microns", {1e-6, 0.0}}, {"nm", {1e-9, 0.0}},   {"mil", {inch * 1e-3, 0.0}},
        {"mils", {inch * 1e-3, 0.0}}, {"in", {inch, 0.0}}, {"inch", {inch, 0.0}},  {"ft", {foot, 0.0}},
    };
    add({"Length"}, "m", lengths);
    add({"Displacement"}, "m", lengths);

    add({"Area"}, "m^2",
        {{"m^2", {1.0, 0.0}},
         {"cm^2", {1e-4, 0.0}},
         {"mm^2", {1e-6, 0.0}},
         {"um^2", {1e-12, 0.0}},
         {"in^2", {inch * inch, 0.0}},
         {"ft^2", {foot * foot, 0.0}}});

    add({"Power"}, "W", {{"W", {1.0, 0.0}}, {"mW", {1e-3, 0.0}}, {"kW", {1e3, 0.0}}, {"uW", {1e-6, 0.0}}});

    add({"Temperature"}, "K",
        {{"K", {1.0, 0.0}},
         {"C", {1.0, 273.15}},
         {"degC", {1.0, 273.15}},
         {"F", {fahrenheitStep, 459.67}},
         {"degF", {fahrenheitStep, 459.67}}});

    // Compound units holding a temperature step use Kelvin and Celsius alike.
    add({"Conductivity", "Thermal Conductivity"}, "W/(m K)",
        {{"W/(m K)", {1.0, 0.0}},
         {"W/(m C)", {1.0, 0.0}},
         {"W/(cm K)", {1e2, 0.0}},
         {"W/(mm K)", {1e3, 0.0}},
         {"W/(um K)", {1e6, 0.0}},
         {"W/(in K)", {1.0 / inch, 0.0}},
         {"W/(in C)", {1.0 / inch, 0.0}},
         {"BTU/(hr ft F)", {btu / (hour * foot * fahrenheitStep), 0.0}},
         {"Btu/(hr ft F)", {btu / (hour * foot * fahrenheitStep), 0.0}},
         {"BTU/(h ft F)", {btu / (hour * foot * fahrenheitStep), 0.0}}});

    add({"Density"}, "kg/(m^3)",
        {{"kg/(m^3)", {1.0, 0.0}},
         {"g/(cm^3)", {1e3, 0.0}},
         {"g/cc", {1e3, 0.0}},
         {"kg/(mm^3)", {1e9, 0.0}},
         {"lb/(in^3)", {pound / (inch * inch * inch), 0.0}},
         {"lb/(ft^3)", {pound / (foot * foot * foot), 0.0}}});

    add({"SpecificHeat", "Specific Heat Capacity"}, "J/(kg K)",
        {{"J/(kg K)", {1.0, 0.0}},
         {"J/(kg C)", {1.0, 0.0}},
         {"J/(g K)", {1e3, 0.0}},
         {"J/(g C)", {1e3, 0.0}},
         {"kJ/(kg K)", {1e3, 0.0}},
         {"BTU/(lb F)", {btu / (pound * fahrenheitStep), 0.0}},
         {"Btu/(lb F)", {btu / (pound * fahrenheitStep), 0.0}}});

    add({"Mass"}, "kg", {{"kg", {1.0, 0.0}}, {"g", {1e-3, 0.0}}, {"mg", {1e-6, 0.0}}, {"lb", {pound, 0.0}}});

    add({"Time"}, "s",
        {{"s", {1.0, 0.0}},
         {"sec", {1.0, 0.0}},
         {"ms", {1e-3, 0.0}},
         {"us", {1e-6, 0.0}},
         {"min", {60.0, 0.0}},
         {"h", {hour, 0.0}},
         {"hr", {hour, 0.0}}});

    add({"Force"}, "N", {{"N", {1.0, 0.0}}, {"kN", {1e3, 0.0}}, {"mN", {1e-3, 0.0}}, {"lbf", {poundForce, 0.0}}});

    add({"Heat_Transfer_Coefficient", "HTC"}, "W/(m^2 K)",
        {{"W/(m^2 K)", {1.0, 0.0}},
         {"W/(m^2 C)", {1.0, 0.0}},
         {"W/(cm^2 K)", {1e4, 0.0}},
         {"W/(mm^2 K)", {1e6, 0.0}},
         {"W/(in^2 K)", {1.0 / (inch * inch), 0.0}}});

    add({"Thermal_Resistance"}, "K/W", {{"K/W", {1.0, 0.0}}, {"C/W", {1.0, 0.0}}, {"K/mW", {1e3, 0.0}}});
}

const UnitConverter::Tables::Quantity* UnitConverter::Tables::find(const TypeRef& quantity) const
{
    const auto it = quantityIndex.constFind(normalizeQuantity(quantity.getLabel()));
    return it == quantityIndex.constEnd() ? nullptr : &quantities.at(it.value());
}

const Factor* UnitConverter::Tables::find(const TypeRef& quantity, const TypeRef& unit) const
{
    const Quantity* table = find(quantity);
    if (!table)
        return nullptr;
    const auto it = table->units.constFind(normalizeUnit(unit.getLabel()));
    return it == table->units.constEnd() ? nullptr : &it.value();
}

const UnitConverter& UnitConverter::instance()
{
    static const UnitConverter converter;
    return converter;
}

UnitConverter::UnitConverter()
{
    // Built once, on first use, and never changed afterwards; C++ guarantees thread-safe
    // initialisation of function-local statics.
    static const Tables tables;
    m_tables = &tables;
}

double UnitConverter::convertToSI(const TypeRef& quantity, double value, const TypeRef& unit, bool* ok) const
{
    const Factor* factor = m_tables->find(quantity, unit);
    if (ok)
        *ok = factor != nullptr;
    return factor ? factor->toSI(value) : value;
}

std::optional<UnitConverter::Conversion> UnitConverter::conversionToSI(const TypeRef& quantity,
                                                                       const TypeRef& unit) const
{
    const Factor* factor = m_tables->find(quantity, unit);
    return factor ? std::optional<Conversion>(*factor) : std::nullopt;
}

double UnitConverter::convertFromSI(const TypeRef& quantity, double value, const TypeRef& unit, bool* ok) const
{
    const Factor* factor = m_tables->find(quantity, unit);
    if (ok)
        *ok = factor != nullptr;
    return factor ? value / factor->scale - factor->offset : value;
}

bool UnitConverter::isKnown(const TypeRef& quantity, const TypeRef& unit) const
{
    return m_tables->find(quantity, unit) != nullptr;
}

TypeRef UnitConverter::getSIUnit(const TypeRef& quantity) const
{
    const Tables::Quantity* table = m_tables->find(quantity);
    return table ? TypeRef(table->siUnit) : TypeRef();
}

QString UnitConverter::describeUnknown(const TypeRef& quantity, const TypeRef& unit)
{
    return QCoreApplication::translate("EntityModel::UnitConverter", "Unknown unit \"%1\" for %2")
        .arg(unit.getLabel(), quantity.getLabel());
}

} // namespace EntityModel
