#include <tarvex/interchange/TXMXMLPower2DSourceSet.h>

#include <tarvex/interchange/TXMXMLElementLists.h>

namespace Tarvex {

TXMXMLPower2DSourceSet::TXMXMLPower2DSourceSet(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QList<TXMXMLPower2DSource> TXMXMLPower2DSourceSet::getPower2DSources() const { return wrapChildElements<TXMXMLPower2DSource>(*this, QStringLiteral("Power2DSource")); }

void TXMXMLPower2DSourceSet::setPower2DSources(const QList<TXMXMLPower2DSource>& values) { replaceChildElements(*this, QStringLiteral("Power2DSource"), values); }

} // namespace Tarvex
