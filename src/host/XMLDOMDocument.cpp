#include <tarvex/host/XMLDOMDocument.h>

#include "XMLDOMTree.h"

namespace InterProcess {

namespace {

// Copies the children of the pugixml `from` below the Qt `to`, node for node.
void copyChildren(const XMLDOMTree& tree, pugi::xml_node from, QDomNode to, QDomDocument& document)
{
    for (pugi::xml_node child = from.first_child(); child; child = child.next_sibling()) {
        // The holder of unplaced elements is not the document's.
        if (tree.isHolder(child))
            continue;
        const QString value = QString::fromUtf8(child.value());
        switch (child.type()) {
        case pugi::node_element: {
            QDomElement element = document.createElement(QString::fromUtf8(child.name()));
            for (const pugi::xml_attribute attribute : child.attributes())
                element.setAttribute(QString::fromUtf8(attribute.name()), QString::fromUtf8(attribute.value()));
            copyChildren(tree, child, element, document);
            to.appendChild(element);
            break;
        }
        case pugi::node_pcdata:
            to.appendChild(document.createTextNode(value));
            break;
        case pugi::node_cdata:
            to.appendChild(document.createCDATASection(value));
            break;
        case pugi::node_comment:
            to.appendChild(document.createComment(value));
            break;
        case pugi::node_pi:
            to.appendChild(document.createProcessingInstruction(QString::fromUtf8(child.name()), value));
            break;
        case pugi::node_declaration: {
            // Qt keeps the declaration as an instruction whose data it writes anew.
            QString data;
            for (const char* key : {"version", "encoding", "standalone"}) {
                const pugi::xml_attribute attribute = child.attribute(key);
                if (attribute)
                    data += QStringLiteral("%1%2='%3'")
                                .arg(data.isEmpty() ? QString() : QStringLiteral(" "), QString::fromLatin1(key),
                                     QString::fromUtf8(attribute.value()));
            }
            to.appendChild(document.createProcessingInstruction(QStringLiteral("xml"), data));
            break;
        }
        default:
            break;
        }
    }
}

} // namespace

XMLDOMDocument::XMLDOMDocument(const QDomDocument& document) : m_document(document) {}

XMLDOMDocument::XMLDOMDocument(const std::shared_ptr<XMLDOMTree>& tree) : m_tree(tree) {}

XMLDOMDocument::~XMLDOMDocument() = default;

QDomDocument XMLDOMDocument::toQtDocument() const
{
    if (!m_tree)
        return m_document;
    // An empty document that is not null, without a root yet.
    QDomDocument document{QDomDocumentType()};
    copyChildren(*m_tree, m_tree->document(), document, document);
    return document;
}

XMLDOMNode XMLDOMDocument::getRootElement() const
{
    if (m_tree) {
        const pugi::xml_node root = m_tree->root();
        return root ? XMLDOMNode(m_tree, root.internal_object()) : XMLDOMNode();
    }
    return XMLDOMNode(m_document.documentElement());
}

void XMLDOMDocument::setRootElement(const XMLDOMNode& element)
{
    if (isNull() || element.isNull() || element.backing() != backing() || element == getRootElement())
        return;
    if (m_tree) {
        // An element of another document comes in as a copy, as Qt's would.
        pugi::xml_node node(element.m_node);
        if (element.m_tree != m_tree)
            node = m_tree->copy(node);
        m_tree->setRoot(node);
        return;
    }
    QDomElement root = m_document.documentElement();
    QDomElement adopted = element.element();
    if (adopted.ownerDocument() != m_document)
        adopted = m_document.importNode(adopted, true).toElement();
    if (root.isNull())
        m_document.appendChild(adopted);
    else
        m_document.replaceChild(adopted, root);
}

XMLDOMNode XMLDOMDocument::createElement(const QString& name)
{
    // QDomDocument would quietly turn a null document into an empty one here; a null
    // document stays null and hands out the null node instead.
    if (isNull())
        return XMLDOMNode();
    if (m_tree)
        return XMLDOMNode(m_tree, m_tree->createElement(name.toUtf8().constData()).internal_object());
    return XMLDOMNode(m_document.createElement(name));
}

XMLDOMDocument XMLDOMDocument::create(const QString& rootName, XMLDOMBacking backing)
{
    if (backing == XMLDOMBacking::Pugixml) {
        XMLDOMDocument document(std::make_shared<XMLDOMTree>());
        document.m_tree->setRoot(document.m_tree->createElement(rootName.toUtf8().constData()));
        return document;
    }
    QDomDocument document;
    document.appendChild(document.createElement(rootName));
    return XMLDOMDocument(document);
}

QByteArray XMLDOMDocument::toByteArray(int indent) const
{
    if (isNull())
        return QByteArray();
    return toQtDocument().toByteArray(indent);
}

} // namespace InterProcess
