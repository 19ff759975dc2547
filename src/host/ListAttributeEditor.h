#pragma once

#include "host/AttributePath.h"

#include <QString>

#include <vector>

namespace EntityModel {

class Attribute;
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
    /// The path of `attribute` from its owner entity (the empty path for an entity or an
    /// attribute outside any entity).
    static AttributePath getPathInOwner(const Attribute* attribute);
};

} // namespace EntityModel
