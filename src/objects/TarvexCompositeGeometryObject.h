#pragma once

#include <tarvex/objects/TarvexPartBase.h>

#include <memory>
#include <vector>

namespace Tarvex {

/// A part made of child parts (a package or a heat sink). It takes its names from the part
/// it is made from, which becomes its first child.
class TarvexCompositeGeometryObject : public TarvexPartBase
{
public:
    /// The owned children, in order.
    using ChildList = std::vector<std::unique_ptr<TarvexPart>>;

    /// A composite made from `first` (may be null: no names, no children).
    explicit TarvexCompositeGeometryObject(std::unique_ptr<TarvexPart> first);
    TarvexCompositeGeometryObject(const TarvexCompositeGeometryObject&) = delete;
    TarvexCompositeGeometryObject& operator=(const TarvexCompositeGeometryObject&) = delete;
    ~TarvexCompositeGeometryObject() override;

    /// `CompositeGeometryObject`.
    int getPartType() const override;
    /// The first part's name.
    QString getName(bool full) const override;
    /// The first part's object name.
    QString getObjectName() const override;
    /// The first child's type; empty without children.
    QString getType() const override;
    /// Calls `visitComposite`, then `visitChildren`; false when that refuses, else every
    /// child's `accept` and the last child's result (true without children).
    bool accept(TarvexPartVisitorConst& visitor) const override;
    /// The first child's geometry with each further child's united into it, in order;
    /// empty without children.
    TarvexPlacedGeometry createGeometry() const override;
    using TarvexPartBase::accept;

    /// Appends `child`, makes this composite its parent and marks the geometry out of date.
    /// Returns the stored child (null for a null child).
    TarvexPart* addChild(std::unique_ptr<TarvexPart> child);
    /// Appends `child` as `addChild` does, but a geometry already made grows by the child's,
    /// exactly as `createGeometry` would unite it last, instead of being made anew on next
    /// use. False when the geometry is known to be unchanged: the child did not join it.
    bool addChildGrowing(std::unique_ptr<TarvexPart> child);
    /// Removes and returns the child at `index`, which then has no parent; null when out of
    /// range.
    std::unique_ptr<TarvexPart> takeChild(size_t index);
    /// The children.
    const ChildList& getChildren() const { return children; }

private:
    QString name;
    QString objectName;
    ChildList children;
};

} // namespace Tarvex
