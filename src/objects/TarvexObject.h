#pragma once

#include <tarvex/objects/TarvexPart.h>

#include <memory>
#include <vector>

namespace Tarvex {

/// A node of the nesting tree: a part with the nodes of the parts it contains.
class TarvexObject
{
public:
    /// A node without part.
    TarvexObject();
    /// A node holding `part`, below `parent` (null for a top-level node).
    explicit TarvexObject(std::unique_ptr<TarvexPart> part, TarvexObject* parent = nullptr);
    virtual ~TarvexObject();
    TarvexObject(const TarvexObject&) = delete;
    TarvexObject& operator=(const TarvexObject&) = delete;

    /// Appends `child` below this node and makes this node its parent; returns it (null for
    /// a null child).
    TarvexObject* addChild(std::unique_ptr<TarvexObject> child);

    /// The part of this node (may be null).
    std::unique_ptr<TarvexPart> part;
    /// The node this one is nested in; null for a top-level node.
    TarvexObject* parent = nullptr;
    /// The nodes nested in this one, in tree order.
    std::vector<std::unique_ptr<TarvexObject>> children;
};

} // namespace Tarvex
