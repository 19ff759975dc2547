#include <tarvex/interchange/TXMXMLLayoutInclude.h>

namespace Tarvex {

TXMXMLLayoutInclude::TXMXMLLayoutInclude(const InterProcess::XMLDOMNode& element) : InterProcess::XMLDOMNode(element) {}

QString TXMXMLLayoutInclude::getFile() const { return getAttributeString(QStringLiteral("File")); }

void TXMXMLLayoutInclude::setFile(const QString& value) { setAttributeString(QStringLiteral("File"), value); }

QString TXMXMLLayoutInclude::getMetalMat() const { return getAttributeString(QStringLiteral("MetalMat")); }

void TXMXMLLayoutInclude::setMetalMat(const QString& value) { setAttributeString(QStringLiteral("MetalMat"), value); }

QString TXMXMLLayoutInclude::getDielectricMat() const { return getAttributeString(QStringLiteral("DielectricMat")); }

void TXMXMLLayoutInclude::setDielectricMat(const QString& value) { setAttributeString(QStringLiteral("DielectricMat"), value); }

QString TXMXMLLayoutInclude::getObjectName() const { return getAttributeString(QStringLiteral("ObjectName")); }

void TXMXMLLayoutInclude::setObjectName(const QString& value) { setAttributeString(QStringLiteral("ObjectName"), value); }

} // namespace Tarvex
