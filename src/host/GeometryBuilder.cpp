#include <tarvex/host/GeometryBuilder.h>

#include <tarvex/host/Entity.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/RotationAngles.h>
#include <tarvex/host/TypeRef.h>

#include <vector>

namespace Geometry {

namespace {

Vec3 locationOf(const EntityModel::Entity* entity)
{
    return Vec3(EntityModel::getStandardDoubleValue(entity, EntityModel::X_Location_t, 0.0),
                EntityModel::getStandardDoubleValue(entity, EntityModel::Y_Location_t, 0.0),
                EntityModel::getStandardDoubleValue(entity, EntityModel::Z_Location_t, 0.0));
}

double heightOf(const EntityModel::Entity* entity)
{
    const double height = EntityModel::getStandardDoubleValue(entity, EntityModel::Height_t, 0.0);
    return height > 0.0 ? height : EntityModel::getStandardDoubleValue(entity, EntityModel::Thickness_t, 0.0);
}

// Where `entity` stands in its owner's frame. A part on a board side is measured from that
// side: on the top from the owner's top face (its thickness above the owner's origin), on
// the bottom by its own top face, so its height hangs below the given height. Turned parts
// turn about their origin, by the board angle or by the three ordered angles.
Transform localTransformOf(const EntityModel::Entity* entity)
{
    using namespace EntityModel;
    Vec3 location = locationOf(entity);
    if (hasAttributeSetTo(entity, Board_Side_t, Top_t))
        location.y += getStandardDoubleValue(entity->getOwnerEntity(), Thickness_t, 0.0);
    else if (hasAttributeSetTo(entity, Board_Side_t, Bottom_t))
        location.y -= heightOf(entity);
    Vec3 angles(getStandardDoubleValue(entity, Angle_1_t, 0.0), getStandardDoubleValue(entity, Angle_2_t, 0.0),
                getStandardDoubleValue(entity, Angle_3_t, 0.0));
    if (entity->findAttribute(Angle_t))
        angles = Vec3(0.0, getStandardDoubleValue(entity, Angle_t, 0.0), 0.0);
    const Transform translation = Transform::createTranslation(location);
    return angles == Vec3() ? translation : translation * createRotationFromAngles(angles);
}

Transform placementOf(const EntityModel::Entity* entity)
{
    // Each step up the owner chain is applied after the steps below it; the entity without
    // an owner contributes nothing.
    Transform result;
    for (const EntityModel::Entity* at = entity; at && at->getOwnerEntity(); at = at->getOwnerEntity())
        result = Transform::multiply(localTransformOf(at), result);
    return result;
}

Bound localBoundOf(const EntityModel::Entity* entity)
{
    Bound bound;
    if (entity->getType() == EntityModel::Bump_t) {
        // A ball or bump stands on its centre, as wide as its widest diameter.
        const double radius = EntityModel::getStandardDoubleValue(entity, EntityModel::Max_Diameter_t, 0.0) / 2.0;
        const double height = EntityModel::getStandardDoubleValue(entity, EntityModel::Height_t, 0.0);
        if (radius > 0.0 || height > 0.0)
            bound = Bound(Vec3(-radius, 0.0, -radius), Vec3(radius, height, radius));
        return bound;
    }
    bound = GeometryBuilder::ownBoxOf(entity);

    // Recursion follows the ownership tree, so it ends at the leaves.
    std::vector<EntityModel::Entity*> children;
    entity->getOwnedChildEntities(children, false, true);
    for (const EntityModel::Entity* child : children) {
        const Bound childBound = localBoundOf(child);
        if (!childBound.isEmpty())
            bound.unite(childBound.transformed(localTransformOf(child)));
    }
    return bound;
}

} // namespace

GeometryBuilder::GeometryBuilder() = default;

GeometryBuilder::~GeometryBuilder() = default;

GeometryBuilder::Key GeometryBuilder::keyOf(const EntityModel::Entity* entity)
{
    return Key(entity->getModel(), entity->getId());
}

Part* GeometryBuilder::lookupPart(const EntityModel::Entity* entity) const
{
    if (!entity)
        return nullptr;
    const auto it = m_parts.find(keyOf(entity));
    return it == m_parts.end() ? nullptr : it->second.get();
}

Part* GeometryBuilder::buildPart(const EntityModel::Entity* entity)
{
    if (!entity)
        return nullptr;
    // The part only names its entity; changes to the entity go through the host's editor.
    auto* host = const_cast<EntityModel::Entity*>(entity);
    const Bound localBound = localBoundOf(entity);
    const Transform transform = placementOf(entity);
    std::unique_ptr<Part>& slot = m_parts[keyOf(entity)];
    if (slot) {
        slot->m_entity = host;
        slot->m_localBound = localBound;
        slot->m_transform = transform;
    } else {
        slot = std::make_unique<Part>(host, localBound, transform);
    }
    return slot.get();
}

Part* GeometryBuilder::lookupOrBuildPart(const EntityModel::Entity* entity)
{
    Part* part = lookupPart(entity);
    return part ? part : buildPart(entity);
}

Part* GeometryBuilder::refreshPart(const EntityModel::Entity* entity)
{
    return buildPart(entity);
}

Bound GeometryBuilder::ownBoxOf(const EntityModel::Entity* entity)
{
    const double width = EntityModel::getStandardDoubleValue(entity, EntityModel::Width_t, 0.0);
    const double depth = EntityModel::getStandardDoubleValue(entity, EntityModel::Depth_t, 0.0);
    const double height = heightOf(entity);
    if (width > 0.0 || height > 0.0 || depth > 0.0)
        return Bound(Vec3(), Vec3(width, height, depth));
    return Bound();
}

void GeometryBuilder::clear()
{
    m_parts.clear();
}

} // namespace Geometry
