#include <tarvex/host/XMLDOMTree.h>

namespace InterProcess {

XMLDOMTree::XMLDOMTree() : m_holder(m_document.append_child(pugi::node_element)) {}

pugi::xml_parse_result XMLDOMTree::parse(QByteArray bytes, unsigned options)
{
    // The nodes point into the bytes held: the old ones go before the bytes they stand in.
    m_document.reset();
    m_bytes = std::move(bytes);
    const pugi::xml_parse_result result =
        m_document.load_buffer_inplace(m_bytes.data(), size_t(m_bytes.size()), options, pugi::encoding_utf8);
    if (!result)
        m_bytes = QByteArray();
    // Loading empties the document, holder included.
    m_holder = m_document.append_child(pugi::node_element);
    return result;
}

pugi::xml_node XMLDOMTree::root() const
{
    for (pugi::xml_node child = m_document.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element && child != m_holder)
            return child;
    }
    return pugi::xml_node();
}

void XMLDOMTree::setRoot(pugi::xml_node element)
{
    const pugi::xml_node old = root();
    if (element == old)
        return;
    if (old) {
        m_document.insert_move_before(element, old);
        detach(old);
    } else {
        m_document.insert_move_before(element, m_holder);
    }
}

pugi::xml_node XMLDOMTree::createElement(const char* name)
{
    pugi::xml_node element = m_holder.append_child(pugi::node_element);
    element.set_name(name);
    return element;
}

void XMLDOMTree::detach(pugi::xml_node node)
{
    m_holder.append_move(node);
}

} // namespace InterProcess
