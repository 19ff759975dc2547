#include <tarvex/interchange/TXMXMLGeomSet.h>

#include <tarvex/interchange/TXMXMLElementLists.h>

namespace Tarvex {

TXMXMLGeomSet::TXMXMLGeomSet(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QList<TXMXMLGeom> TXMXMLGeomSet::getGeoms() const { return wrapChildElements<TXMXMLGeom>(*this, QStringLiteral("Geom")); }

void TXMXMLGeomSet::setGeoms(const QList<TXMXMLGeom>& values) { replaceChildElements(*this, QStringLiteral("Geom"), values); }

} // namespace Tarvex
