#include "interchange/TXMXMLSolderBall.h"

namespace Tarvex {

TXMXMLSolderBall::TXMXMLSolderBall(const QDomElement& element) : InterProcess::XMLDOMNode(element) {}

QString TXMXMLSolderBall::getName() const { return getAttributeString(QStringLiteral("Name")); }

void TXMXMLSolderBall::setName(const QString& value) { setAttributeString(QStringLiteral("Name"), value); }

QString TXMXMLSolderBall::getMatName() const { return getAttributeString(QStringLiteral("MatName")); }

void TXMXMLSolderBall::setMatName(const QString& value) { setAttributeString(QStringLiteral("MatName"), value); }

double TXMXMLSolderBall::getD1() const { return getAttributeDouble(QStringLiteral("d1"), 0.0); }

void TXMXMLSolderBall::setD1(double value) { setAttributeDouble(QStringLiteral("d1"), value); }

double TXMXMLSolderBall::getD2() const { return getAttributeDouble(QStringLiteral("d2"), 0.0); }

void TXMXMLSolderBall::setD2(double value) { setAttributeDouble(QStringLiteral("d2"), value); }

double TXMXMLSolderBall::getDMax() const { return getAttributeDouble(QStringLiteral("dmax"), 0.0); }

void TXMXMLSolderBall::setDMax(double value) { setAttributeDouble(QStringLiteral("dmax"), value); }

double TXMXMLSolderBall::getHeight() const { return getAttributeDouble(QStringLiteral("ht"), 0.0); }

void TXMXMLSolderBall::setHeight(double value) { setAttributeDouble(QStringLiteral("ht"), value); }

QString TXMXMLSolderBall::getPosition() const { return getAttributeString(QStringLiteral("position")); }

void TXMXMLSolderBall::setPosition(const QString& value) { setAttributeString(QStringLiteral("position"), value); }

} // namespace Tarvex
