#include <tarvex/interchange/LegacyXMLSimplificationOptions.h>

#include <tarvex/interchange/TXMXMLElementLists.h>

namespace Tarvex {

LegacyXMLSimplificationOptions::LegacyXMLSimplificationOptions(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QList<LegacyXMLSimplificationModel> LegacyXMLSimplificationOptions::getModels() const { return wrapChildElements<LegacyXMLSimplificationModel>(*this, QStringLiteral("Model")); }

void LegacyXMLSimplificationOptions::setModels(const QList<LegacyXMLSimplificationModel>& values) { replaceChildElements(*this, QStringLiteral("Model"), values); }

} // namespace Tarvex
