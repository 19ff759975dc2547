#include <tarvex/interchange/TXMXMLTerminalSet.h>

#include <tarvex/interchange/TXMXMLElementLists.h>

namespace Tarvex {

TXMXMLTerminalSet::TXMXMLTerminalSet(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QList<TXMXMLTerminalGroup> TXMXMLTerminalSet::getTerminalGroups() const { return wrapChildElements<TXMXMLTerminalGroup>(*this, QStringLiteral("TerminalGroup")); }

void TXMXMLTerminalSet::setTerminalGroups(const QList<TXMXMLTerminalGroup>& values) { replaceChildElements(*this, QStringLiteral("TerminalGroup"), values); }

} // namespace Tarvex
