#include <tarvex/interchange/TXMXMLMaterialSet.h>

#include <tarvex/interchange/TXMXMLElementLists.h>

namespace Tarvex {

TXMXMLMaterialSet::TXMXMLMaterialSet(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QList<TXMXMLMaterial> TXMXMLMaterialSet::getMaterials() const { return wrapChildElements<TXMXMLMaterial>(*this, QStringLiteral("Material")); }

void TXMXMLMaterialSet::setMaterials(const QList<TXMXMLMaterial>& values) { replaceChildElements(*this, QStringLiteral("Material"), values); }

QList<TXMXMLMaterialInclude> TXMXMLMaterialSet::getIncludes() const { return wrapChildElements<TXMXMLMaterialInclude>(*this, QStringLiteral("Include")); }

void TXMXMLMaterialSet::setIncludes(const QList<TXMXMLMaterialInclude>& values) { replaceChildElements(*this, QStringLiteral("Include"), values); }

} // namespace Tarvex
