#include <tarvex/interchange/TXMXMLMaterialInclude.h>

namespace Tarvex {

TXMXMLMaterialInclude::TXMXMLMaterialInclude(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QString TXMXMLMaterialInclude::getFile() const { return getAttributeString(QStringLiteral("File")); }

void TXMXMLMaterialInclude::setFile(const QString& value) { setAttributeString(QStringLiteral("File"), value); }

} // namespace Tarvex
