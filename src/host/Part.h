#pragma once

#include <tarvex/host/Bound.h>
#include <tarvex/host/Transform.h>

namespace EntityModel {
class Entity;
}

namespace Geometry {

/// The geometry of one host entity: a box in the entity's own frame and the transform
/// that carries that frame into the model frame. Parts are made and kept up to date by
/// `GeometryBuilder`; the entity stays the host's.
class Part
{
public:
    /// A part of `entity` with the given box (entity frame) and placement.
    Part(EntityModel::Entity* entity, const Bound& localBound, const Transform& transform);

    /// The entity this part describes.
    EntityModel::Entity* getEntity() const { return m_entity; }
    /// The box in the entity's own frame (not transformed); may be empty.
    const Bound& getLocalBound() const { return m_localBound; }
    /// The map from the entity's frame to the model frame.
    const Transform& getTransform() const { return m_transform; }
    /// The local box carried into the model frame by the transform; empty stays empty.
    Bound getBound() const { return m_localBound.transformed(m_transform); }

private:
    friend class GeometryBuilder;
    EntityModel::Entity* m_entity;
    Bound m_localBound;
    Transform m_transform;
};

} // namespace Geometry
