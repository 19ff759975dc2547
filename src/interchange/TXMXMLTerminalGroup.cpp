#include <tarvex/interchange/TXMXMLTerminalGroup.h>

#include <tarvex/interchange/TXMXMLElementLists.h>

namespace Tarvex {

TXMXMLTerminalGroup::TXMXMLTerminalGroup(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QString TXMXMLTerminalGroup::getConnectionType() const { return getAttributeString(QStringLiteral("ConnectionType")); }

void TXMXMLTerminalGroup::setConnectionType(const QString& value) { setAttributeString(QStringLiteral("ConnectionType"), value); }

QString TXMXMLTerminalGroup::getName() const { return getAttributeString(QStringLiteral("Name")); }

void TXMXMLTerminalGroup::setName(const QString& value) { setAttributeString(QStringLiteral("Name"), value); }

TerminalGroupTerminalType TXMXMLTerminalGroup::getTerminalType() const
{
    return terminalGroupTerminalTypeFromString(getAttributeString(QStringLiteral("TerminalType")),
                                               TerminalGroupTerminalType::None);
}

void TXMXMLTerminalGroup::setTerminalType(TerminalGroupTerminalType type)
{
    setAttributeString(QStringLiteral("TerminalType"), terminalGroupTerminalTypeToString(type));
}

QList<TXMXMLTerminal> TXMXMLTerminalGroup::getTerminals() const { return wrapChildElements<TXMXMLTerminal>(*this, QStringLiteral("Terminal")); }

void TXMXMLTerminalGroup::setTerminals(const QList<TXMXMLTerminal>& values) { replaceChildElements(*this, QStringLiteral("Terminal"), values); }

} // namespace Tarvex
