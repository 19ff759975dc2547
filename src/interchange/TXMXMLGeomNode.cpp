#include <tarvex/interchange/TXMXMLGeomNode.h>

namespace Tarvex {

TXMXMLGeomNode::TXMXMLGeomNode(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

double TXMXMLGeomNode::getX() const { return getAttributeDouble(QStringLiteral("x"), 0.0); }

void TXMXMLGeomNode::setX(double value) { setAttributeDouble(QStringLiteral("x"), value); }

double TXMXMLGeomNode::getY() const { return getAttributeDouble(QStringLiteral("y"), 0.0); }

void TXMXMLGeomNode::setY(double value) { setAttributeDouble(QStringLiteral("y"), value); }

double TXMXMLGeomNode::getZ() const { return getAttributeDouble(QStringLiteral("z"), 0.0); }

void TXMXMLGeomNode::setZ(double value) { setAttributeDouble(QStringLiteral("z"), value); }

} // namespace Tarvex
