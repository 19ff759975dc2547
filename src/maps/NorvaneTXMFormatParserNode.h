#pragma once

#include <tarvex/maps/NorvaneTXMFormatParserValues.h>

#include <memory>
#include <string>
#include <vector>

namespace Tarvex {

/// One line of a text-format map file: a keyword with its values (a block when an end line
/// closed it, holding the lines between), or a data line named "__data".
struct NorvaneTXMFormatParserNode
{
    /// A node without a name (the root).
    NorvaneTXMFormatParserNode() = default;
    /// A node named `nodeName`.
    explicit NorvaneTXMFormatParserNode(std::string nodeName);
    /// Frees the subtree without recursing, so that any depth of nesting is safe.
    ~NorvaneTXMFormatParserNode();
    NorvaneTXMFormatParserNode(const NorvaneTXMFormatParserNode&) = delete;
    NorvaneTXMFormatParserNode& operator=(const NorvaneTXMFormatParserNode&) = delete;

    /// The keyword (possibly joined from several words), or "__data".
    std::string name;
    /// The remaining tokens of a keyword line, or every token of a data line.
    NorvaneTXMFormatParserValues values;
    /// Nested nodes in file order.
    std::vector<std::unique_ptr<NorvaneTXMFormatParserNode>> children;
};

} // namespace Tarvex
