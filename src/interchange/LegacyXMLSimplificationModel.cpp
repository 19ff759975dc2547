#include <tarvex/interchange/LegacyXMLSimplificationModel.h>

namespace Tarvex {

LegacyXMLSimplificationModel::LegacyXMLSimplificationModel(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QString LegacyXMLSimplificationModel::getObjectName() const { return getAttributeString(QStringLiteral("ObjectName")); }

void LegacyXMLSimplificationModel::setObjectName(const QString& value) { setAttributeString(QStringLiteral("ObjectName"), value); }

qint32 LegacyXMLSimplificationModel::getNX() const { return getAttributeInt32(QStringLiteral("NX"), 1); }

void LegacyXMLSimplificationModel::setNX(qint32 value) { setAttributeInt32(QStringLiteral("NX"), value); }

qint32 LegacyXMLSimplificationModel::getNY() const { return getAttributeInt32(QStringLiteral("NY"), 1); }

void LegacyXMLSimplificationModel::setNY(qint32 value) { setAttributeInt32(QStringLiteral("NY"), value); }

} // namespace Tarvex
