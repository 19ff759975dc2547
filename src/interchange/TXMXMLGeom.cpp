#include <tarvex/interchange/TXMXMLGeom.h>

#include <tarvex/interchange/TXMXMLElementLists.h>

namespace Tarvex {

TXMXMLGeom::TXMXMLGeom(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QString TXMXMLGeom::getObjectName() const { return getAttributeString(QStringLiteral("ObjectName")); }

void TXMXMLGeom::setObjectName(const QString& value) { setAttributeString(QStringLiteral("ObjectName"), value); }

QString TXMXMLGeom::getName() const { return getAttributeString(QStringLiteral("Name")); }

void TXMXMLGeom::setName(const QString& value) { setAttributeString(QStringLiteral("Name"), value); }

QString TXMXMLGeom::getType() const { return getAttributeString(QStringLiteral("Type")); }

void TXMXMLGeom::setType(const QString& value) { setAttributeString(QStringLiteral("Type"), value); }

std::optional<QString> TXMXMLGeom::getMatName() const
{
    if (!hasAttribute(QStringLiteral("MatName")))
        return std::nullopt;
    return getAttributeString(QStringLiteral("MatName"));
}

void TXMXMLGeom::setMatName(const std::optional<QString>& value)
{
    if (value)
        setAttributeString(QStringLiteral("MatName"), *value);
    else
        removeAttribute(QStringLiteral("MatName"));
}

double TXMXMLGeom::getDz() const { return getAttributeDouble(QStringLiteral("dz"), 0.0); }

void TXMXMLGeom::setDz(double value) { setAttributeDouble(QStringLiteral("dz"), value); }

double TXMXMLGeom::getPower() const { return getAttributeDouble(QStringLiteral("Power"), 0.0); }

void TXMXMLGeom::setPower(double value) { setAttributeDouble(QStringLiteral("Power"), value); }

double TXMXMLGeom::getThetaJB() const { return getAttributeDouble(QStringLiteral("ThetaJB"), 0.0); }

void TXMXMLGeom::setThetaJB(double value) { setAttributeDouble(QStringLiteral("ThetaJB"), value); }

double TXMXMLGeom::getThetaJC() const { return getAttributeDouble(QStringLiteral("ThetaJC"), 0.0); }

void TXMXMLGeom::setThetaJC(double value) { setAttributeDouble(QStringLiteral("ThetaJC"), value); }

QList<TXMXMLGeomNode> TXMXMLGeom::getNodes() const { return wrapChildElements<TXMXMLGeomNode>(*this, QStringLiteral("node")); }

void TXMXMLGeom::setNodes(const QList<TXMXMLGeomNode>& values) { replaceChildElements(*this, QStringLiteral("node"), values); }

const QString& TXMXMLGeom::heatSinkType()
{
    static const QString type = QStringLiteral("HeatSink");
    return type;
}

} // namespace Tarvex
