#include <tarvex/interchange/TXMXMLLayoutSet.h>

#include <tarvex/interchange/TXMXMLElementLists.h>

namespace Tarvex {

TXMXMLLayoutSet::TXMXMLLayoutSet(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QList<TXMXMLLayoutInclude> TXMXMLLayoutSet::getIncludes() const { return wrapChildElements<TXMXMLLayoutInclude>(*this, QStringLiteral("Include")); }

void TXMXMLLayoutSet::setIncludes(const QList<TXMXMLLayoutInclude>& values) { replaceChildElements(*this, QStringLiteral("Include"), values); }

} // namespace Tarvex
