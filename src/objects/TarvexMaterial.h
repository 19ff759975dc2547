#pragma once

#include <tarvex/host/AttributePath.h>
#include <tarvex/host/Vec.h>

#include <QString>

namespace EntityModel {
class Attribute;
class Entity;
} // namespace EntityModel

namespace Tarvex {

class TarvexMaterialVisitorConst;

/// A material that parts refer to, shared between the parts and the builder's table.
/// Immutable once made; the concrete kinds add their properties and host writers.
class TarvexMaterial
{
public:
    virtual ~TarvexMaterial();
    /// The material's name.
    virtual QString getName() const = 0;
    /// True when the host needs material entities for this material (a library material,
    /// or the metal and dielectric of a map); a simple material is written as plain values.
    virtual bool needsMaterialEntity() const;
    /// Writes the material into the host material entity `entity`; null is ignored.
    virtual void populateEntity(EntityModel::Entity* entity) const;
    /// Writes the material's values below `attribute` (a material composite inside a host
    /// entity, or an entity itself); `material` is the host material entity that a library
    /// material links to. A null or detached attribute is ignored.
    virtual void populateAttribute(EntityModel::Attribute* attribute, EntityModel::Entity* material) const;
    /// Lets `visitor` visit this material by its class.
    virtual void accept(TarvexMaterialVisitorConst& visitor) const;
    /// Same as the `const` form.
    virtual void accept(TarvexMaterialVisitorConst& visitor);

protected:
    TarvexMaterial() = default;
    TarvexMaterial(const TarvexMaterial&) = default;
    TarvexMaterial& operator=(const TarvexMaterial&) = default;

    /// Where an attribute can be written through the entity editor: its entity and the
    /// path from there.
    struct AttributeTarget
    {
        /// The entity holding the attribute; null when there is none.
        EntityModel::Entity* entity = nullptr;
        /// The attribute's path inside `entity` (empty when the attribute is the entity).
        EntityModel::AttributePath path;
    };

    /// The target of `attribute`; an entity stands for itself. No entity for a null or
    /// detached attribute.
    static AttributeTarget locate(const EntityModel::Attribute* attribute);
    /// Writes the plain material values below `target`: density, specific heat, the host
    /// conductivity triple as K1, K2, K3, and emissivity (SI units; rejected values skipped).
    static void writeValues(const AttributeTarget& target, double density, double specificHeat,
                            const Geometry::Vec3& hostConductivity, double emissivity);
};

} // namespace Tarvex
