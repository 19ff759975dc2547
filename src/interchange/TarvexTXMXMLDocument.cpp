#include <tarvex/interchange/TarvexTXMXMLDocument.h>

namespace Tarvex {

TarvexTXMXMLDocument::TarvexTXMXMLDocument(const QDomDocument& document) : InterProcess::XMLDOMDocument(document) {}

TarvexTXMXMLDocument::TarvexTXMXMLDocument(const InterProcess::XMLDOMDocument& document)
    : InterProcess::XMLDOMDocument(document)
{
}

TXMXMLModel TarvexTXMXMLDocument::getModel() const
{
    const InterProcess::XMLDOMNode root = getRootElement();
    if (root.getTagName() != QLatin1String("TARVEX_INTERCHANGE_MODEL"))
        return TXMXMLModel();
    return TXMXMLModel(root);
}

TXMFileVersion TarvexTXMXMLDocument::getSchemaVersion() const { return getModel().getSchemaVersion(); }

} // namespace Tarvex
