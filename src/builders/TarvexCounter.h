#pragma once

#include <tarvex/objects/TarvexObjectVisitorConst.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace Tarvex {

class TarvexObject;

/// Counts the nodes of a nesting tree (the progress total of an entity build).
class TarvexCounter : public TarvexObjectVisitorConst
{
public:
    /// A counter that adds to `*counter`, which the caller owns (may be null: nothing is
    /// counted).
    explicit TarvexCounter(std::uint64_t* counter);

    /// Adds one for `object`.
    void visit(const TarvexObject& object) override;

private:
    std::uint64_t* counter;
};

/// Visits `object` with `visitor`, then, when the visitor's `visitChildren` agrees, walks
/// every child in order (depth first, each node before its children).
void walk(const TarvexObject& object, TarvexObjectVisitorConst& visitor);
/// Walks every tree of `objects` in order (null ones skipped).
void walkAll(const std::vector<std::unique_ptr<TarvexObject>>& objects, TarvexObjectVisitorConst& visitor);
/// The number of nodes of every tree of `objects`: the progress total of a build over them.
std::uint64_t countNodes(const std::vector<std::unique_ptr<TarvexObject>>& objects);

} // namespace Tarvex
