#pragma once

#include <tarvex/host/ProgressBaseObject.h>
#include <tarvex/host/TypeRef.h>
#include <tarvex/host/UnitConverter.h>

#include <QSet>
#include <QStringList>

#include <functional>

namespace InterProcess {
class XMLDOMNode;
}

namespace Tarvex {

class TXMXMLUnitSet;

/// The units one interchange file declares for its quantities, converting the file's values
/// to SI with the host's converter. A unit the converter does not know leaves values as read
/// and is reported once per quantity.
class TarvexFileUnits
{
public:
    /// The units of `unitSet`, reporting unknown ones through `reporter` (not owned).
    TarvexFileUnits(const TXMXMLUnitSet& unitSet, const Log::ProgressBaseObject& reporter);

    /// A length in metres.
    double length(double value) const { return convert(m_length, value); }
    /// A power in watts.
    double power(double value) const { return convert(m_power, value); }
    /// A thermal conductivity in W/(m K).
    double conductivity(double value) const { return convert(m_conductivity, value); }
    /// A density in kg/m3.
    double density(double value) const { return convert(m_density, value); }
    /// A specific heat in J/(kg K).
    double specificHeat(double value) const { return convert(m_specificHeat, value); }

    /// Warns, for each of `attributes` that `element` has but that is not a finite number
    /// (NaN, an infinity, "1e999", a text that is no number), "<label>: attribute <name> is
    /// not a finite number (<text>)". The element wrappers read such a value as their
    /// default, and go on doing so; this only says it. `label`, asked only when there is
    /// something to say, names the element; without it the name is the tag name followed
    /// by the "Name" attribute.
    void warnNotFinite(const InterProcess::XMLDOMNode& element, const QStringList& attributes,
                       const std::function<QString()>& label = nullptr) const;

private:
    // One quantity's unit in this file, with its conversion found once: a board has millions
    // of lengths, and finding a unit in the converter's tables compares texts.
    struct FileUnit
    {
        FileUnit(const EntityModel::TypeRef& quantity, const EntityModel::TypeRef& unit);

        EntityModel::TypeRef quantity;
        EntityModel::TypeRef unit;
        std::optional<EntityModel::UnitConverter::Conversion> conversion;
    };

    double convert(const FileUnit& unit, double value) const
    {
        return unit.conversion ? unit.conversion->toSI(value) : reportUnknown(unit, value);
    }
    // Reports `unit` as unknown, once per quantity, and returns `value` as read.
    double reportUnknown(const FileUnit& unit, double value) const;

    const Log::ProgressBaseObject& m_reporter;
    FileUnit m_length;
    FileUnit m_power;
    FileUnit m_conductivity;
    FileUnit m_density;
    FileUnit m_specificHeat;
    // Quantities whose unit was already reported as unknown.
    mutable QSet<QString> m_reported;
};

} // namespace Tarvex
