#pragma once

#include <tarvex/model3d/Tarvex3DCurveProperties.h>
#include <tarvex/model3d/Tarvex3DDataDescription.h>

#include <QDomElement>
#include <QList>
#include <QString>

namespace Tarvex3D {

/// Something in a material table that was read as the format says but probably not as the
/// file meant: a field that is not a number, a row too short for some columns, temperatures
/// out of order or given twice.
struct Tarvex3DTableIssue
{
    /// The table: "Metal", "Thermal", "Elasticity" or "CTE".
    QString table;
    /// The line of the row in the document (0 when not known).
    int line = 0;
    /// What is wrong and what was done about it.
    QString text;
};

/// One "Material" element of a material library and the property curves parsed from its
/// tables (temperatures and values in SI units).
class Tarvex3DMaterial
{
public:
    /// A material without element.
    Tarvex3DMaterial() = default;
    /// The material of `element`; its curves stay empty until `parseMaterialProperties`.
    explicit Tarvex3DMaterial(const QDomElement& element) : m_element(element) {}

    /// The "Material" element.
    const QDomElement& getElement() const { return m_element; }
    /// The element's "name" attribute (empty when absent).
    QString getName() const;

    /// Fills the curves from the material's tables, laid out by `descriptions` ("Metal",
    /// "Thermal", "Elasticity", "CTE"; other names are ignored). Each parsed curve replaces
    /// what its slot held.
    void parseMaterialProperties(const QList<Tarvex3DDataDescription>& descriptions);
    /// The curve of the column `property` of a table `text` laid out by `description`:
    /// temperatures from the "Temperature" column; empty when either column is missing.
    static Tarvex3DCurveProperties parseMaterialProperty(const Tarvex3DDataDescription& description,
                                                         const QString& text, const QString& property);

    /// Electrical conductivity, S/m.
    const Tarvex3DCurveProperties& getElectricalConductivity() const { return m_electricalConductivity; }
    /// Thermal conductivity, W/(m K).
    const Tarvex3DCurveProperties& getThermalConductivity() const { return m_thermalConductivity; }
    /// Density, kg/m^3.
    const Tarvex3DCurveProperties& getDensity() const { return m_density; }
    /// Specific heat, J/(kg K).
    const Tarvex3DCurveProperties& getSpecificHeat() const { return m_specificHeat; }
    /// Surface emissivity, as read.
    const Tarvex3DCurveProperties& getEmissivity() const { return m_emissivity; }
    /// Solar reflectance, as read.
    const Tarvex3DCurveProperties& getSolarReflectance() const { return m_solarReflectance; }
    /// Young's modulus, as read.
    const Tarvex3DCurveProperties& getYoungsModulus() const { return m_youngsModulus; }
    /// Poisson's ratio, as read.
    const Tarvex3DCurveProperties& getPoissonsRatio() const { return m_poissonsRatio; }
    /// Thermal expansion coefficient, as read.
    const Tarvex3DCurveProperties& getCTE() const { return m_cte; }
    /// The "RefTemperature" of the CTE table, as read (0 until parsed or when absent).
    double getCTERefTemp() const { return m_cteRefTemp; }

    /// What the last `parseMaterialProperties` found questionable in the tables, in the
    /// order of the tables and rows.
    const QList<Tarvex3DTableIssue>& getTableIssues() const { return m_issues; }

private:
    QDomElement m_element;
    Tarvex3DCurveProperties m_electricalConductivity;
    Tarvex3DCurveProperties m_thermalConductivity;
    Tarvex3DCurveProperties m_density;
    Tarvex3DCurveProperties m_specificHeat;
    Tarvex3DCurveProperties m_emissivity;
    Tarvex3DCurveProperties m_solarReflectance;
    Tarvex3DCurveProperties m_youngsModulus;
    Tarvex3DCurveProperties m_poissonsRatio;
    Tarvex3DCurveProperties m_cte;
    double m_cteRefTemp = 0.0;
    QList<Tarvex3DTableIssue> m_issues;
};

} // namespace Tarvex3D
