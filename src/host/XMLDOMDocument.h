#pragma once

#include <tarvex/host/XMLDOMNode.h>

#include <QByteArray>
#include <QDomDocument>

namespace InterProcess {

/// A cheap value around a DOM document (copies share the tree); false when null.
class XMLDOMDocument
{
public:
    /// The null document.
    XMLDOMDocument() = default;
    /// A document around `document`.
    explicit XMLDOMDocument(const QDomDocument& document);
    virtual ~XMLDOMDocument();

    /// True for the null document.
    bool isNull() const { return m_document.isNull(); }
    /// False for the null document.
    explicit operator bool() const { return !isNull(); }
    /// The wrapped document.
    const QDomDocument& document() const { return m_document; }
    /// The wrapped document, for edits.
    QDomDocument& document() { return m_document; }
    /// The root element (null node when there is none).
    XMLDOMNode getRootElement() const;
    /// A new element of this document, not yet placed anywhere (null node for the null
    /// document).
    XMLDOMNode createElement(const QString& name);
    /// Makes a new document holding only a root element called `rootName`.
    static XMLDOMDocument create(const QString& rootName);
    /// The document as UTF-8 XML text (empty for the null document).
    QByteArray toByteArray(int indent = 1) const;

protected:
    QDomDocument m_document;
};

} // namespace InterProcess
