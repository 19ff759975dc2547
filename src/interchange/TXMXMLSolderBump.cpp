#include "interchange/TXMXMLSolderBump.h"

namespace Tarvex {

TXMXMLSolderBump::TXMXMLSolderBump(const QDomElement& element) : InterProcess::XMLDOMNode(element) {}

QString TXMXMLSolderBump::getName() const { return getAttributeString(QStringLiteral("Name")); }

void TXMXMLSolderBump::setName(const QString& value) { setAttributeString(QStringLiteral("Name"), value); }

QString TXMXMLSolderBump::getMatName() const { return getAttributeString(QStringLiteral("MatName")); }

void TXMXMLSolderBump::setMatName(const QString& value) { setAttributeString(QStringLiteral("MatName"), value); }

double TXMXMLSolderBump::getD1() const { return getAttributeDouble(QStringLiteral("d1"), 0.0); }

void TXMXMLSolderBump::setD1(double value) { setAttributeDouble(QStringLiteral("d1"), value); }

double TXMXMLSolderBump::getD2() const { return getAttributeDouble(QStringLiteral("d2"), 0.0); }

void TXMXMLSolderBump::setD2(double value) { setAttributeDouble(QStringLiteral("d2"), value); }

double TXMXMLSolderBump::getDMax() const { return getAttributeDouble(QStringLiteral("dmax"), 0.0); }

void TXMXMLSolderBump::setDMax(double value) { setAttributeDouble(QStringLiteral("dmax"), value); }

double TXMXMLSolderBump::getHeight() const { return getAttributeDouble(QStringLiteral("ht"), 0.0); }

void TXMXMLSolderBump::setHeight(double value) { setAttributeDouble(QStringLiteral("ht"), value); }

QString TXMXMLSolderBump::getPosition() const { return getAttributeString(QStringLiteral("position")); }

void TXMXMLSolderBump::setPosition(const QString& value) { setAttributeString(QStringLiteral("position"), value); }

} // namespace Tarvex
