#include <tarvex/interchange/TXMXLMUnitSet.h>

namespace Tarvex {

TXMXLMUnitSetLength::TXMXLMUnitSetLength(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QString TXMXLMUnitSetLength::defaultUnit() { return QStringLiteral("m"); }

QString TXMXLMUnitSetLength::getUnit() const { return getAttributeString(QStringLiteral("Unit"), defaultUnit()); }

void TXMXLMUnitSetLength::setUnit(const QString& unit) { setAttributeString(QStringLiteral("Unit"), unit); }

TXMXLMUnitSetPower::TXMXLMUnitSetPower(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QString TXMXLMUnitSetPower::defaultUnit() { return QStringLiteral("W"); }

QString TXMXLMUnitSetPower::getUnit() const { return getAttributeString(QStringLiteral("Unit"), defaultUnit()); }

void TXMXLMUnitSetPower::setUnit(const QString& unit) { setAttributeString(QStringLiteral("Unit"), unit); }

TXMXLMUnitSetConductivity::TXMXLMUnitSetConductivity(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QString TXMXLMUnitSetConductivity::defaultUnit() { return QStringLiteral("W/(m-K)"); }

QString TXMXLMUnitSetConductivity::getUnit() const { return getAttributeString(QStringLiteral("Unit"), defaultUnit()); }

void TXMXLMUnitSetConductivity::setUnit(const QString& unit) { setAttributeString(QStringLiteral("Unit"), unit); }

TXMXLMUnitSetDensity::TXMXLMUnitSetDensity(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QString TXMXLMUnitSetDensity::defaultUnit() { return QStringLiteral("kg/(m^3)"); }

QString TXMXLMUnitSetDensity::getUnit() const { return getAttributeString(QStringLiteral("Unit"), defaultUnit()); }

void TXMXLMUnitSetDensity::setUnit(const QString& unit) { setAttributeString(QStringLiteral("Unit"), unit); }

TXMXLMUnitSetSpecificHeat::TXMXLMUnitSetSpecificHeat(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QString TXMXLMUnitSetSpecificHeat::defaultUnit() { return QStringLiteral("J/(kg-K)"); }

QString TXMXLMUnitSetSpecificHeat::getUnit() const { return getAttributeString(QStringLiteral("Unit"), defaultUnit()); }

void TXMXLMUnitSetSpecificHeat::setUnit(const QString& unit) { setAttributeString(QStringLiteral("Unit"), unit); }

} // namespace Tarvex
