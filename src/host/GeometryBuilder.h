#pragma once

#include <tarvex/host/Part.h>

#include <QtGlobal>

#include <map>
#include <memory>
#include <utility>

namespace EntityModel {
class Entity;
class Model;
}

namespace Geometry {

/// Makes and keeps the geometry parts of host entities, one per entity.
///
/// How a part is made from the entity's current attributes (all values in SI):
/// - Transform: the owner entity's transform followed by the translation
///   (`X_Location_t`, `Y_Location_t`, `Z_Location_t`), each 0 when missing, and the
///   rotation: `Angle_t` degrees about y when the entity has it, else the ordered ZYX
///   angles `Angle_1_t`, `Angle_2_t`, `Angle_3_t`. An entity with `Board_Side_t` is
///   measured from that side: `Top_t` adds the owner's `Thickness_t` to y, `Bottom_t`
///   takes the entity's own height off it. The chain ends at an entity without an owner
///   (the root project entity, or a detached entity), whose transform is the identity and
///   whose own location is not applied.
/// - Local bound: the box from (0, 0, 0) to (`Width_t`, h, `Depth_t`), where h is `Height_t`
///   when that is > 0 and `Thickness_t` otherwise, present when any of the three sizes is
///   > 0; united with the local bound of each directly owned child entity carried by that
///   child's own step of the transform above. An entity without sizes and without children
///   that have a box has an empty local bound.
///
/// Parts are computed from the attributes alone, never from other cached parts, so a
/// rebuilt part is current even when its owners' parts are stale. A part pointer stays
/// valid, and is updated in place by a rebuild, until `clear` or the builder's end.
class GeometryBuilder
{
public:
    /// A builder that keeps no part yet.
    GeometryBuilder();
    ~GeometryBuilder();
    GeometryBuilder(const GeometryBuilder&) = delete;
    GeometryBuilder& operator=(const GeometryBuilder&) = delete;

    /// The part kept for `entity`, or null when none has been built (or `entity` is null).
    Part* lookupPart(const EntityModel::Entity* entity) const;
    /// Builds the part of `entity` from its current attributes and keeps it, replacing the
    /// contents of any part kept before. Null for a null entity.
    Part* buildPart(const EntityModel::Entity* entity);
    /// The kept part of `entity`, built first when there is none. Null for a null entity.
    Part* lookupOrBuildPart(const EntityModel::Entity* entity);
    /// The part of `entity` made current: rebuilt from the entity's attributes now, whether
    /// or not one was kept. Null for a null entity.
    Part* refreshPart(const EntityModel::Entity* entity);
    /// Forgets every part; pointers handed out before become invalid.
    void clear();

    /// The box `entity` has of its own, without its children, as the local bound above
    /// takes it: from (0, 0, 0) to (`Width_t`, h, `Depth_t`); empty without sizes.
    static Bound ownBoxOf(const EntityModel::Entity* entity);

private:
    // Ids are unique within one model; the model keeps ids of different models apart.
    using Key = std::pair<const EntityModel::Model*, quint64>;
    static Key keyOf(const EntityModel::Entity* entity);

    std::map<Key, std::unique_ptr<Part>> m_parts;
};

} // namespace Geometry
