#include <tarvex/objectbuild/TarvexFileUnits.h>

#include <tarvex/host/UnitConverter.h>
#include <tarvex/host/XMLDOMNode.h>
#include <tarvex/interchange/TXMXMLUnitSet.h>

#include <QCoreApplication>

namespace Tarvex {

namespace {

// Files write compound units with "-" where the host's unit texts have a blank.
EntityModel::TypeRef hostUnit(QString unit)
{
    return EntityModel::TypeRef(unit.replace(QLatin1Char('-'), QLatin1Char(' ')));
}

QString tr(const char* text) { return QCoreApplication::translate("Tarvex::TarvexObjectBuilder", text); }

} // namespace

TarvexFileUnits::TarvexFileUnits(const TXMXMLUnitSet& unitSet, const Log::ProgressBaseObject& reporter)
    : m_reporter(reporter),
      m_length(EntityModel::Length_t, hostUnit(unitSet.getLength().getUnit())),
      m_power(EntityModel::Power_t, hostUnit(unitSet.getPower().getUnit())),
      m_conductivity(EntityModel::Conductivity_t, hostUnit(unitSet.getConductivity().getUnit())),
      m_density(EntityModel::Density_t, hostUnit(unitSet.getDensity().getUnit())),
      m_specificHeat(EntityModel::SpecificHeat_t, hostUnit(unitSet.getSpecificHeat().getUnit()))
{
}

TarvexFileUnits::FileUnit::FileUnit(const EntityModel::TypeRef& quantity, const EntityModel::TypeRef& unit)
    : quantity(quantity), unit(unit), conversion(EntityModel::UnitConverter::instance().conversionToSI(quantity, unit))
{
}

double TarvexFileUnits::reportUnknown(const FileUnit& unit, double value) const
{
    if (!m_reported.contains(unit.quantity.getLabel())) {
        m_reported.insert(unit.quantity.getLabel());
        m_reporter.warning(EntityModel::UnitConverter::describeUnknown(unit.quantity, unit.unit));
    }
    return value;
}

void TarvexFileUnits::warnNotFinite(const InterProcess::XMLDOMNode& element,
                                    const QStringList& attributes,
                                    const std::function<QString()>& label) const
{
    QString name;
    for (const QString& key : attributes) {
        if (!element.isNotFiniteNumberAttribute(key))
            continue;
        if (name.isEmpty() && label)
            name = label();
        if (name.isEmpty())
            name = (element.getTagName() + QLatin1Char(' ') + element.getAttribute(QStringLiteral("Name"))).trimmed();
        m_reporter.warning(
            tr("%1: attribute %2 is not a finite number (%3)").arg(name, key, element.getAttribute(key).trimmed()));
    }
}

} // namespace Tarvex
