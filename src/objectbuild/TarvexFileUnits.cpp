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
      m_length(hostUnit(unitSet.getLength().getUnit())),
      m_power(hostUnit(unitSet.getPower().getUnit())),
      m_conductivity(hostUnit(unitSet.getConductivity().getUnit())),
      m_density(hostUnit(unitSet.getDensity().getUnit())),
      m_specificHeat(hostUnit(unitSet.getSpecificHeat().getUnit()))
{
}

double TarvexFileUnits::convert(const EntityModel::TypeRef& quantity, const EntityModel::TypeRef& unit,
                                double value) const
{
    bool ok = true;
    const double si = EntityModel::UnitConverter::instance().convertToSI(quantity, value, unit, &ok);
    if (!ok && !m_reported.contains(quantity.getLabel())) {
        m_reported.insert(quantity.getLabel());
        m_reporter.warning(EntityModel::UnitConverter::describeUnknown(quantity, unit));
    }
    return si;
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
