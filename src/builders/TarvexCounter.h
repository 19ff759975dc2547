#pragma once

#include "objects/TarvexObjectVisitorConst.h"

#include <cstdint>

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

} // namespace Tarvex
