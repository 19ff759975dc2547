#include <tarvex/interchange/TXMXMLUnitSet.h>

namespace Tarvex {

TXMXMLUnitSet::TXMXMLUnitSet(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

TXMXLMUnitSetLength TXMXMLUnitSet::getLength() const { return TXMXLMUnitSetLength(getFirstChildElement(QStringLiteral("Length"))); }

void TXMXMLUnitSet::setLength(const TXMXLMUnitSetLength& value) { setChildElement(QStringLiteral("Length"), value); }

TXMXLMUnitSetPower TXMXMLUnitSet::getPower() const { return TXMXLMUnitSetPower(getFirstChildElement(QStringLiteral("Power"))); }

void TXMXMLUnitSet::setPower(const TXMXLMUnitSetPower& value) { setChildElement(QStringLiteral("Power"), value); }

TXMXLMUnitSetConductivity TXMXMLUnitSet::getConductivity() const { return TXMXLMUnitSetConductivity(getFirstChildElement(QStringLiteral("Conductivity"))); }

void TXMXMLUnitSet::setConductivity(const TXMXLMUnitSetConductivity& value) { setChildElement(QStringLiteral("Conductivity"), value); }

TXMXLMUnitSetDensity TXMXMLUnitSet::getDensity() const { return TXMXLMUnitSetDensity(getFirstChildElement(QStringLiteral("Density"))); }

void TXMXMLUnitSet::setDensity(const TXMXLMUnitSetDensity& value) { setChildElement(QStringLiteral("Density"), value); }

TXMXLMUnitSetSpecificHeat TXMXMLUnitSet::getSpecificHeat() const { return TXMXLMUnitSetSpecificHeat(getFirstChildElement(QStringLiteral("SpecificHeat"))); }

void TXMXMLUnitSet::setSpecificHeat(const TXMXLMUnitSetSpecificHeat& value) { setChildElement(QStringLiteral("SpecificHeat"), value); }

} // namespace Tarvex
