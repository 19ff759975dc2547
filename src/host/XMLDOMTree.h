#pragma once

#include <QByteArray>

#include <pugixml.hpp>

namespace InterProcess {

/// The pugixml document behind nodes of that backing, with a hidden element that holds the elements not
/// placed in the document: pugixml has no free-standing nodes, and a removed element must
/// stay usable as a removed Qt element does.
class XMLDOMTree
{
public:
    /// An empty tree with its hidden holder.
    XMLDOMTree();

    /// Parses `bytes` (UTF-8) in place: the tree keeps them, its names and values standing in
    /// them, rather than a copy (shared bytes are copied once, as any write to them would).
    /// On failure the bytes are spoilt and let go.
    pugi::xml_parse_result parse(QByteArray bytes, unsigned options);
    /// The document node, parent of the root and of what stands beside it.
    pugi::xml_node document() const { return m_document; }
    /// The root element (null when there is none).
    pugi::xml_node root() const;
    /// Makes `element` the root element, in place of the current one.
    void setRoot(pugi::xml_node element);
    /// A new element called `name`, placed in the holder.
    pugi::xml_node createElement(const char* name);
    /// A copy of `node` (of any document), placed in the holder.
    pugi::xml_node copy(pugi::xml_node node) { return m_holder.append_copy(node); }
    /// Takes `node` out of its parent into the holder.
    void detach(pugi::xml_node node);
    /// True for the holder, which stands for "no parent".
    bool isHolder(pugi::xml_node node) const { return node == m_holder; }

private:
    // Before the document, so that they outlive it.
    QByteArray m_bytes;
    pugi::xml_document m_document;
    pugi::xml_node m_holder;
};

} // namespace InterProcess
