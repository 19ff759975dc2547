#include <tarvex/interchange/TXMXMLPower2DSource.h>

namespace Tarvex {

TXMXMLPower2DSource::TXMXMLPower2DSource(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QString TXMXMLPower2DSource::getPowerMapFile() const { return getAttributeString(QStringLiteral("PowerMapFile")); }

void TXMXMLPower2DSource::setPowerMapFile(const QString& value) { setAttributeString(QStringLiteral("PowerMapFile"), value); }

double TXMXMLPower2DSource::getXll() const { return getAttributeDouble(QStringLiteral("xll"), 0.0); }

void TXMXMLPower2DSource::setXll(double value) { setAttributeDouble(QStringLiteral("xll"), value); }

double TXMXMLPower2DSource::getYll() const { return getAttributeDouble(QStringLiteral("yll"), 0.0); }

void TXMXMLPower2DSource::setYll(double value) { setAttributeDouble(QStringLiteral("yll"), value); }

double TXMXMLPower2DSource::getDx() const { return getAttributeDouble(QStringLiteral("dx"), 0.0); }

void TXMXMLPower2DSource::setDx(double value) { setAttributeDouble(QStringLiteral("dx"), value); }

double TXMXMLPower2DSource::getDy() const { return getAttributeDouble(QStringLiteral("dy"), 0.0); }

void TXMXMLPower2DSource::setDy(double value) { setAttributeDouble(QStringLiteral("dy"), value); }

double TXMXMLPower2DSource::getRotation() const { return getAttributeDouble(QStringLiteral("Rotation"), 0.0); }

void TXMXMLPower2DSource::setRotation(double value) { setAttributeDouble(QStringLiteral("Rotation"), value); }

double TXMXMLPower2DSource::getPowerScale() const { return getAttributeDouble(QStringLiteral("PowerScale"), 1.0); }

void TXMXMLPower2DSource::setPowerScale(double value) { setAttributeDouble(QStringLiteral("PowerScale"), value); }

double TXMXMLPower2DSource::getGeomScale() const { return getAttributeDouble(QStringLiteral("GeomScale"), 1.0); }

void TXMXMLPower2DSource::setGeomScale(double value) { setAttributeDouble(QStringLiteral("GeomScale"), value); }

QString TXMXMLPower2DSource::getFlip() const { return getAttributeString(QStringLiteral("Flip")); }

void TXMXMLPower2DSource::setFlip(const QString& value) { setAttributeString(QStringLiteral("Flip"), value); }

QString TXMXMLPower2DSource::getNormal() const { return getAttributeString(QStringLiteral("Normal")); }

void TXMXMLPower2DSource::setNormal(const QString& value) { setAttributeString(QStringLiteral("Normal"), value); }

QString TXMXMLPower2DSource::getName() const { return getAttributeString(QStringLiteral("Name")); }

void TXMXMLPower2DSource::setName(const QString& value) { setAttributeString(QStringLiteral("Name"), value); }

QString TXMXMLPower2DSource::getObjectName() const { return getAttributeString(QStringLiteral("ObjectName")); }

void TXMXMLPower2DSource::setObjectName(const QString& value) { setAttributeString(QStringLiteral("ObjectName"), value); }

double TXMXMLPower2DSource::getPower() const { return getAttributeDouble(QStringLiteral("Power"), 0.0); }

void TXMXMLPower2DSource::setPower(double value) { setAttributeDouble(QStringLiteral("Power"), value); }

} // namespace Tarvex
