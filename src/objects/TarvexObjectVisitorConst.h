#pragma once

namespace Tarvex {

class TarvexObject;

/// Visits the nodes of the nesting tree.
class TarvexObjectVisitorConst
{
public:
    /// Asked after `object` was visited: true lets its children be visited. Default true.
    virtual bool visitChildren(const TarvexObject& object);
    /// Visits one node.
    virtual void visit(const TarvexObject& object) = 0;
    virtual ~TarvexObjectVisitorConst();

protected:
    TarvexObjectVisitorConst() = default;
    TarvexObjectVisitorConst(const TarvexObjectVisitorConst&) = default;
    TarvexObjectVisitorConst& operator=(const TarvexObjectVisitorConst&) = default;
};

} // namespace Tarvex
