#pragma once

#include <tarvex/host/AttributePath.h>

#include <QString>

#include <memory>
#include <vector>

namespace EntityModel {

class Attribute;
class CellGrid;
class CompositeAttribute;
class Entity;

/// The host's lists of items inside an entity, such as the layers of a layered model and
/// the cells of a layer: a composite at the list's path whose children are the items, each
/// a composite labelled by its zero-based position written with ten digits, so that label
/// order is list order. Resizing is a recorded edit like every other: undo takes it back.
class ListAttributeEditor
{
public:
    /// The label of the item at `index` ("0000000003" for 3).
    static QString itemLabel(int index);
    /// The position an item label stands for, or -1 for a label that is not one.
    static int itemIndex(const QString& label);
    /// Number of items of the list at `path` of `entity`; 0 when there is no list.
    static int getItemCount(const Entity* entity, const AttributePath& path);
    /// The items of the list, in order; empty when there is no list. Children that are not
    /// composites are left out.
    static std::vector<CompositeAttribute*> getItems(const Entity* entity, const AttributePath& path);
    /// Makes the list hold `count` items: new empty items are appended, surplus items are
    /// removed from the end with everything they hold; the list is made when missing.
    /// False, changing nothing, for a negative count, a null or deleted entity, a path that
    /// holds something else than a list, or a list whose labels are not positions.
    static bool setItemCount(Entity* entity, const AttributePath& path, int count);
    /// Gives the list at `path` the cells of `grid` as its items, in one recorded edit that
    /// undo takes back whole. The result is the one of setting the item count and then every
    /// attribute of every cell one at a time; when it would not be (an item that stays holds
    /// something those writes keep or cannot replace, a length would keep the unit it is
    /// shown in, a value is not finite, the labels are not positions) nothing changes and
    /// the result is false, so that the caller writes the cells one by one.
    static bool writeCells(Entity* entity, const AttributePath& path, const std::shared_ptr<const CellGrid>& grid);
    /// The path of `attribute` from its owner entity (the empty path for an entity or an
    /// attribute outside any entity).
    static AttributePath getPathInOwner(const Attribute* attribute);
};

} // namespace EntityModel
