#pragma once

#include <tarvex/host/Attribute.h>
#include <tarvex/host/AttributePath.h>

#include <functional>
#include <vector>

namespace EntityModel {

class CellGrid;

/// An attribute that holds named attributes, kept sorted by label.
///
/// A composite can also hold the cells of a `CellGrid` as its items (labelled by position):
/// each item is made the first time it is asked for, so that a large grid costs little until
/// its items are read one by one.
class CompositeAttribute : public Attribute
{
public:
    /// An empty composite stored under `label`.
    explicit CompositeAttribute(const TypeRef& label);
    ~CompositeAttribute() override;

    /// The attribute at `path` below this one, or null.
    Attribute* findAttribute(const AttributePath& path) const;
    /// The direct child called `label`, or null.
    Attribute* child(const QString& label) const;
    /// The direct children, in label order.
    std::vector<Attribute*> children() const;
    /// Stores `attribute` under its own label, replacing (and returning) what was there.
    std::unique_ptr<Attribute> put(std::unique_ptr<Attribute> attribute);
    /// Makes room for `count` children at once, for a caller about to put them.
    void reserve(int count) { m_children.reserve(size_t(count)); }
    /// Removes and returns the child called `label` (null when absent).
    std::unique_ptr<Attribute> take(const QString& label);
    /// Number of direct children, made or not.
    int childCount() const;
    /// Calls `visit` with every direct child in label order. A cell item not yet made is
    /// made for the call only and not kept, so reading a whole grid this way keeps it small.
    template <typename Visit>
    void forEachChild(Visit&& visit) const
    {
        // Inline for the common case: whole-model walks visit millions of small composites.
        if (!m_cells) {
            const size_t count = m_children.size();
            for (size_t i = 0; i < count; ++i) {
                // Children lie apart in memory: the next one is fetched while this one is visited.
                if (i + 1 < count)
                    __builtin_prefetch(m_children[i + 1].get());
                visit(static_cast<const Attribute&>(*m_children[i]));
            }
            return;
        }
        forEachChildWithCells(visit);
    }

    /// Holds the cells of `grid` as items; false (nothing held) when this composite already
    /// holds anything.
    bool holdCells(std::shared_ptr<const CellGrid> grid);
    /// The grid whose cells this composite holds, or null.
    const CellGrid* getCellGrid() const;
    /// True when the item of the grid's cell at `index` is still to be made: the grid alone
    /// says what it holds.
    bool isCellUnmade(int index) const;
    /// The children made so far, in label order (cell items not yet made are left out).
    std::vector<Attribute*> madeChildren() const;
    /// Calls `visit` with each child made so far, in label order, making nothing and
    /// gathering nothing: for walks over a whole model.
    template <typename Visit>
    void forEachMadeChild(Visit&& visit) const
    {
        for (const std::unique_ptr<Attribute>& child : m_children)
            visit(static_cast<const Attribute&>(*child));
    }

    /// Appends to `out` the entities held below this attribute, in attribute order, each
    /// before its own children. `recursive` descends into the entities found;
    /// `throughComposites` also looks inside nested composites.
    void getOwnedChildEntities(std::vector<Entity*>& out, bool recursive, bool throughComposites) const;
    /// Static form used by callers that hold an entity.
    static void getOwnedChildEntities(const CompositeAttribute* owner, std::vector<Entity*>& out,
                                      bool recursive, bool throughComposites);
    /// The entities of `type` owned directly or through nested composites (not recursive).
    std::vector<Entity*> getOwnedChildEntitiesOfType(const TypeRef& type) const;

    /// An empty composite of the same label; null when it holds anything.
    std::unique_ptr<Attribute> clone() const override;

protected:
    CompositeAttribute(Kind kind, const TypeRef& type);

private:
    struct Cells;
    using Children = std::vector<std::unique_ptr<Attribute>>;
    Attribute* makeCell(int index) const;
    void forEachChildWithCells(const std::function<void(const Attribute&)>& visit) const;
    int unmadeIndex(const QString& label) const;
    // Where the child called `label` is, or would go.
    Children::iterator placeOf(const QString& label) const;

    // Kept sorted by label: a vector rather than a map, as a board's millions of small
    // composites would otherwise pay a node and a copy of the label for each child. Cell
    // items enter it when they are first asked for, also through const access.
    mutable Children m_children;
    std::unique_ptr<Cells> m_cells;
};

} // namespace EntityModel
