#include <tarvex/interchange/TXMXMLTerminal.h>

namespace Tarvex {

TXMXMLTerminal::TXMXMLTerminal(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QString TXMXMLTerminal::getNormal() const { return getAttributeString(QStringLiteral("Normal")); }

void TXMXMLTerminal::setNormal(const QString& value) { setAttributeString(QStringLiteral("Normal"), value); }

qint32 TXMXMLTerminal::getNX() const { return getAttributeInt32(QStringLiteral("NX"), 0); }

void TXMXMLTerminal::setNX(qint32 value) { setAttributeInt32(QStringLiteral("NX"), value); }

qint32 TXMXMLTerminal::getNY() const { return getAttributeInt32(QStringLiteral("NY"), 0); }

void TXMXMLTerminal::setNY(qint32 value) { setAttributeInt32(QStringLiteral("NY"), value); }

QString TXMXMLTerminal::getName() const { return getAttributeString(QStringLiteral("Name")); }

void TXMXMLTerminal::setName(const QString& value) { setAttributeString(QStringLiteral("Name"), value); }

QString TXMXMLTerminal::getObjectName() const { return getAttributeString(QStringLiteral("ObjectName")); }

void TXMXMLTerminal::setObjectName(const QString& value) { setAttributeString(QStringLiteral("ObjectName"), value); }

} // namespace Tarvex
