#include <tarvex/interchange/TXMXMLSolderJoint.h>

namespace Tarvex {

TXMXMLSolderJoint::TXMXMLSolderJoint(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QString TXMXMLSolderJoint::getName() const { return getAttributeString(QStringLiteral("Name")); }

void TXMXMLSolderJoint::setName(const QString& value) { setAttributeString(QStringLiteral("Name"), value); }

QString TXMXMLSolderJoint::getMatName() const { return getAttributeString(QStringLiteral("MatName")); }

void TXMXMLSolderJoint::setMatName(const QString& value) { setAttributeString(QStringLiteral("MatName"), value); }

double TXMXMLSolderJoint::getD1() const { return getAttributeDouble(QStringLiteral("d1"), 0.0); }

void TXMXMLSolderJoint::setD1(double value) { setAttributeDouble(QStringLiteral("d1"), value); }

double TXMXMLSolderJoint::getD2() const { return getAttributeDouble(QStringLiteral("d2"), 0.0); }

void TXMXMLSolderJoint::setD2(double value) { setAttributeDouble(QStringLiteral("d2"), value); }

double TXMXMLSolderJoint::getDMax() const { return getAttributeDouble(QStringLiteral("dmax"), 0.0); }

void TXMXMLSolderJoint::setDMax(double value) { setAttributeDouble(QStringLiteral("dmax"), value); }

double TXMXMLSolderJoint::getHeight() const { return getAttributeDouble(QStringLiteral("ht"), 0.0); }

void TXMXMLSolderJoint::setHeight(double value) { setAttributeDouble(QStringLiteral("ht"), value); }

QString TXMXMLSolderJoint::getPosition() const { return getAttributeString(QStringLiteral("position")); }

std::optional<Geometry::Vec3> TXMXMLSolderJoint::getPositionValue() const
{
    double xyz[3];
    if (!getDoublesAttribute(QStringLiteral("position"), QLatin1Char(','), xyz, 3))
        return std::nullopt;
    return Geometry::Vec3(xyz[0], xyz[1], xyz[2]);
}

void TXMXMLSolderJoint::setPosition(const QString& value) { setAttributeString(QStringLiteral("position"), value); }

} // namespace Tarvex
