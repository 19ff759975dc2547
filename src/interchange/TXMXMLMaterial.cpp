#include <tarvex/interchange/TXMXMLMaterial.h>

namespace Tarvex {

TXMXMLMaterial::TXMXMLMaterial(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QString TXMXMLMaterial::getName() const { return getAttributeString(QStringLiteral("Name")); }

void TXMXMLMaterial::setName(const QString& value) { setAttributeString(QStringLiteral("Name"), value); }

double TXMXMLMaterial::getK() const { return getAttributeDouble(QStringLiteral("k"), 0.0); }

void TXMXMLMaterial::setK(double value) { setAttributeDouble(QStringLiteral("k"), value); }

double TXMXMLMaterial::getKx() const { return getAttributeDouble(QStringLiteral("kx"), 0.0); }

void TXMXMLMaterial::setKx(double value) { setAttributeDouble(QStringLiteral("kx"), value); }

double TXMXMLMaterial::getKy() const { return getAttributeDouble(QStringLiteral("ky"), 0.0); }

void TXMXMLMaterial::setKy(double value) { setAttributeDouble(QStringLiteral("ky"), value); }

double TXMXMLMaterial::getKz() const { return getAttributeDouble(QStringLiteral("kz"), 0.0); }

void TXMXMLMaterial::setKz(double value) { setAttributeDouble(QStringLiteral("kz"), value); }

double TXMXMLMaterial::getDensity() const { return getAttributeDouble(QStringLiteral("density"), 0.0); }

void TXMXMLMaterial::setDensity(double value) { setAttributeDouble(QStringLiteral("density"), value); }

double TXMXMLMaterial::getSpecificHeat() const { return getAttributeDouble(QStringLiteral("specificheat"), 0.0); }

void TXMXMLMaterial::setSpecificHeat(double value) { setAttributeDouble(QStringLiteral("specificheat"), value); }

double TXMXMLMaterial::getEmissivity() const { return getAttributeDouble(QStringLiteral("emissivity"), 0.0); }

void TXMXMLMaterial::setEmissivity(double value) { setAttributeDouble(QStringLiteral("emissivity"), value); }

bool TXMXMLMaterial::hasK() const { return hasAttribute(QStringLiteral("k")); }

bool TXMXMLMaterial::hasKxyz() const
{
    return hasAttribute(QStringLiteral("kx")) || hasAttribute(QStringLiteral("ky")) || hasAttribute(QStringLiteral("kz"));
}

} // namespace Tarvex
