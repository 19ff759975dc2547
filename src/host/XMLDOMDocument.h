#pragma once

#include <tarvex/host/XMLDOMNode.h>

#include <QByteArray>
#include <QDomDocument>

#include <memory>

namespace InterProcess {

/// A cheap value around a DOM document (copies share the tree); false when null. The tree
/// is Qt's DOM or pugixml's (see `XMLDOMBacking`); a reader sees no difference.
class XMLDOMDocument
{
public:
    /// The null document.
    XMLDOMDocument() = default;
    /// A document around the Qt `document`.
    explicit XMLDOMDocument(const QDomDocument& document);
    /// A document around the pugixml `tree`.
    explicit XMLDOMDocument(const std::shared_ptr<XMLDOMTree>& tree);
    virtual ~XMLDOMDocument();

    /// True for the null document.
    bool isNull() const { return !m_tree && m_document.isNull(); }
    /// False for the null document.
    explicit operator bool() const { return !isNull(); }
    /// The tree this document stands on.
    XMLDOMBacking backing() const { return m_tree ? XMLDOMBacking::Pugixml : XMLDOMBacking::Qt; }
    /// The wrapped Qt document (null on the pugixml backing: see `toQtDocument`).
    const QDomDocument& document() const { return m_document; }
    /// The wrapped Qt document, for edits.
    QDomDocument& document() { return m_document; }
    /// The document as a Qt document: the wrapped one, or a copy of the pugixml tree.
    QDomDocument toQtDocument() const;
    /// The root element (null node when there is none).
    XMLDOMNode getRootElement() const;
    /// Makes `element` (of this document) the root element in place of the current one.
    void setRootElement(const XMLDOMNode& element);
    /// A new element of this document, not yet placed anywhere (null node for the null
    /// document).
    XMLDOMNode createElement(const QString& name);
    /// Makes a new document holding only a root element called `rootName`.
    static XMLDOMDocument create(const QString& rootName, XMLDOMBacking backing = XMLDOMBacking::Qt);
    /// The document as UTF-8 XML text (empty for the null document).
    QByteArray toByteArray(int indent = 1) const;

protected:
    QDomDocument m_document;
    std::shared_ptr<XMLDOMTree> m_tree;
};

} // namespace InterProcess
