#include <tarvex/exchange3d/Tarvex3DMaterialWriter.h>

#include <tarvex/host/EntityReading.h>
#include <tarvex/host/MaterialAttributes.h>
#include <tarvex/model3d/Tarvex3DDomModel.h>

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>

using namespace EntityModel;

namespace Tarvex3D {

namespace {

constexpr double zeroCelsius = 273.15;
// The one row of a table whose properties are all constants.
constexpr double roomTemperature = zeroCelsius + 25.0;

QString tr(const char* text) { return QCoreApplication::translate("Tarvex3D::Tarvex3DExporter", text); }

QString exactNumber(double value) { return QString::number(value, 'g', QLocale::FloatingPointShortest); }

// Twelve digits give back the temperature the host stored, to far below a nanokelvin,
// without the tail that kelvin-to-Celsius rounding leaves ("20", not "19.999999999999996").
QString celsius(double kelvin) { return QString::number(kelvin - zeroCelsius, 'g', 12); }

QDomElement appendElement(QDomElement& parent, const QString& tag)
{
    QDomElement element = parent.ownerDocument().createElement(tag);
    parent.appendChild(element);
    return element;
}

void appendTable(QDomElement& parent, const QString& tag, const QString& text)
{
    QDomElement element = appendElement(parent, tag);
    element.appendChild(parent.ownerDocument().createTextNode(text));
}

} // namespace

std::list<double> Tarvex3DMaterialWriter::getOrderedTemperatures(const QList<double>& temperatures)
{
    std::list<double> ordered(temperatures.begin(), temperatures.end());
    ordered.sort();
    ordered.unique();
    return ordered;
}

QString Tarvex3DMaterialWriter::temperatureDependentValuesToString(const Tarvex3DDataDescription& description,
                                                                   const QList<Property>& properties)
{
    // Temperatures come only from curves; constants fill every row.
    QList<double> temperatures;
    for (const Property& property : properties) {
        if (property.curve)
            temperatures += property.curve->getXValues().toList();
    }
    std::list<double> rows = getOrderedTemperatures(temperatures);
    if (rows.empty())
        rows.push_back(roomTemperature);

    const int temperatureColumn = description.getColumnIndex(QStringLiteral("Temperature"));
    QVector<const Property*> byColumn(description.getNumberOfColumns(), nullptr);
    for (const Property& property : properties) {
        const int column = description.getColumnIndex(property.column);
        if (column >= 0)
            byColumn[column] = &property;
    }
    QString text;
    for (const double kelvin : rows) {
        for (int column = 0; column < byColumn.size(); ++column) {
            if (column == temperatureColumn)
                text += celsius(kelvin);
            else if (const Property* property = byColumn[column])
                text += exactNumber(property->curve ? property->curve->getStandardYValFromX(kelvin) : property->constant);
            else
                text += QLatin1Char('0');
            text += QLatin1Char(' ');
        }
        text += QLatin1Char('\n');
    }
    return text;
}

Tarvex3DMaterialWriter::Property Tarvex3DMaterialWriter::propertyOf(const Entity* material, const AttributePath& path,
                                                                    const QString& column) const
{
    Property property;
    property.column = column;
    const AttributePath curvePath = MaterialAttributes::curveOf(path);
    const Attribute* curve = curvePath.isEmpty() ? nullptr : material->findAttribute(curvePath);
    if (getStringValue(material, path / Option_t) == QLatin1String("Temperature Dependent") && curve &&
        curve->getKind() == Attribute::Kind::Curve && !static_cast<const CurveAttribute*>(curve)->getPoints().isEmpty())
        property.curve = static_cast<const CurveAttribute*>(curve);
    else
        property.constant = getStandardDoubleValue(material, MaterialAttributes::valueOf(path), 0.0);
    return property;
}

Tarvex3DMaterialWriter::Property Tarvex3DMaterialWriter::conductivityOf(const Entity* material, const QString& name)
{
    const AttributePath conductivity = MaterialAttributes::conductivity();
    if (!hasAttributeSetTo(material, conductivity / Type_t, Orthotropic_t))
        return propertyOf(material, conductivity, QStringLiteral("Conductivity"));
    // The solver's library holds one conductivity per material.
    Property property;
    property.column = QStringLiteral("Conductivity");
    property.constant = (getStandardDoubleValue(material, conductivity / K1_t, 0.0) +
                         getStandardDoubleValue(material, conductivity / K2_t, 0.0) +
                         getStandardDoubleValue(material, conductivity / K3_t, 0.0)) /
                        3.0;
    m_state.note(material, tr("Material %1 is orthotropic; the mean of its conductivities, %2 W/(m K), was exported.")
                               .arg(name, exactNumber(property.constant)));
    return property;
}

QString Tarvex3DMaterialWriter::exportMaterial(const Entity* material)
{
    const QString name = m_state.uniqueName(QStringLiteral("EC_") + material->getName());
    m_state.step(tr("Exporting Material: %1").arg(name));
    if (!m_state.materialNames.contains(material))
        m_state.materialNames.insert(material, name);

    QDomElement element = appendElement(m_state.library, QStringLiteral("Material"));
    element.setAttribute(QStringLiteral("name"), name);
    element.setAttribute(QStringLiteral("DefaultThickness"), QStringLiteral("39.3701MIL"));
    element.setAttribute(QStringLiteral("LowerTolerance"), QStringLiteral("3.93701MIL"));
    element.setAttribute(QStringLiteral("ConductivityRatio"), QStringLiteral("1"));

    const Tarvex3DDomModel project(m_state.document);
    QDomElement metal = appendElement(element, QStringLiteral("Metal"));
    appendTable(metal, QStringLiteral("Model"),
                temperatureDependentValuesToString(
                    project.getDataDescription(QStringLiteral("Metal")),
                    {propertyOf(material, MaterialAttributes::electricalConductivity(), QStringLiteral("Conductivity"))}));

    QDomElement thermal = appendElement(element, QStringLiteral("Thermal"));
    appendTable(thermal, QStringLiteral("Model"),
                temperatureDependentValuesToString(
                    project.getDataDescription(QStringLiteral("Thermal")),
                    {conductivityOf(material, name),
                     propertyOf(material, MaterialAttributes::specificHeat(), QStringLiteral("Specific heat")),
                     propertyOf(material, MaterialAttributes::density(), QStringLiteral("Density")),
                     propertyOf(material, MaterialAttributes::emissivity(), QStringLiteral("Emissivity")),
                     propertyOf(material, MaterialAttributes::solarReflectance(), QStringLiteral("Solar Reflectance"))}));

    QDomElement structural = appendElement(element, QStringLiteral("Structural"));
    const QList<Tarvex3DDataDescription> elasticity =
        project.getStructuralDataDescriptions({QStringLiteral("Elasticity")});
    appendTable(structural, QStringLiteral("Elasticity"),
                temperatureDependentValuesToString(
                    elasticity.value(0, Tarvex3DDataDescription(QStringLiteral("Elasticity"))),
                    {propertyOf(material, MaterialAttributes::youngsModulus(), QStringLiteral("Youngs Modulus")),
                     propertyOf(material, MaterialAttributes::poissonsRatio(), QStringLiteral("Poissons Ratio"))}));

    // The project's own CTE layout starts with a reference temperature column that the
    // library reader does not take from the rows; the table written here has only these two.
    Tarvex3DDataDescription cte(QStringLiteral("CTE"));
    cte.addValue({QStringLiteral("Temperature"), QStringLiteral("C")});
    cte.addValue({QStringLiteral("CTE"), QStringLiteral("1/C")});
    const AttributePath expansion = MaterialAttributes::thermalExpansion();
    appendTable(structural, QStringLiteral("CTE"),
                temperatureDependentValuesToString(cte, {propertyOf(material, expansion, QStringLiteral("CTE"))}));
    structural.lastChildElement(QStringLiteral("CTE"))
        .setAttribute(QStringLiteral("RefTemperature"),
                      exactNumber(getStandardDoubleValue(material, expansion / Reference_Temperature_t, 0.0)));
    return name;
}

} // namespace Tarvex3D
