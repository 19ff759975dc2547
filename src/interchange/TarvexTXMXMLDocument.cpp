#include <tarvex/interchange/TarvexTXMXMLDocument.h>

namespace Tarvex {

TarvexTXMXMLDocument::TarvexTXMXMLDocument(const QDomDocument& document) : InterProcess::XMLDOMDocument(document) {}

TXMXMLModel TarvexTXMXMLDocument::getModel() const
{
    const QDomElement root = m_document.documentElement();
    if (root.tagName() != QLatin1String("TARVEX_INTERCHANGE_MODEL"))
        return TXMXMLModel();
    return TXMXMLModel(root);
}

TXMFileVersion TarvexTXMXMLDocument::getSchemaVersion() const { return getModel().getSchemaVersion(); }

} // namespace Tarvex
