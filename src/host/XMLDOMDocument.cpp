#include <tarvex/host/XMLDOMDocument.h>

namespace InterProcess {

XMLDOMDocument::XMLDOMDocument(const QDomDocument& document) : m_document(document) {}

XMLDOMDocument::~XMLDOMDocument() = default;

XMLDOMNode XMLDOMDocument::getRootElement() const
{
    return XMLDOMNode(m_document.documentElement());
}

XMLDOMNode XMLDOMDocument::createElement(const QString& name)
{
    // QDomDocument would quietly turn a null document into an empty one here; a null
    // document stays null and hands out the null node instead.
    if (isNull())
        return XMLDOMNode();
    return XMLDOMNode(m_document.createElement(name));
}

XMLDOMDocument XMLDOMDocument::create(const QString& rootName)
{
    QDomDocument document;
    document.appendChild(document.createElement(rootName));
    return XMLDOMDocument(document);
}

QByteArray XMLDOMDocument::toByteArray(int indent) const
{
    if (isNull())
        return QByteArray();
    return m_document.toByteArray(indent);
}

} // namespace InterProcess
