#include <tarvex/maps/NorvaneTXMFormatParserNode.h>

#include <utility>

namespace Tarvex {

NorvaneTXMFormatParserNode::NorvaneTXMFormatParserNode(std::string nodeName) : name(std::move(nodeName)) {}

NorvaneTXMFormatParserNode::~NorvaneTXMFormatParserNode()
{
    // A file can nest blocks as deep as it has lines; unwind them with a work list instead
    // of the call stack.
    std::vector<std::unique_ptr<NorvaneTXMFormatParserNode>> pending = std::move(children);
    while (!pending.empty()) {
        std::unique_ptr<NorvaneTXMFormatParserNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto& child : node->children)
            pending.push_back(std::move(child));
        node->children.clear();
    }
}

} // namespace Tarvex
