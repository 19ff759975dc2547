#include "interchange/TXMXMLModel.h"

namespace Tarvex {

namespace {
const QString schemaVersionAttribute = QStringLiteral("SchemaVersion");
}

TXMXMLModel::TXMXMLModel(const QDomElement& element) : InterProcess::XMLDOMNode(element) {}

TXMFileVersion TXMXMLModel::getSchemaVersion() const
{
    return TXMFileVersion::fromQString(getAttribute(schemaVersionAttribute), QLatin1Char('.'));
}

void TXMXMLModel::setSchemaVersion(const TXMFileVersion& version)
{
    setAttribute(schemaVersionAttribute, version.toQString(QLatin1Char('.')));
}

} // namespace Tarvex
