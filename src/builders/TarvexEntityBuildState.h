#pragma once

#include <tarvex/builders/TarvexReuseMap.h>
#include <tarvex/host/AttributePath.h>
#include <tarvex/host/Entity.h>

#include <QString>

#include <map>
#include <unordered_map>
#include <utility>

namespace Tarvex {

class TarvexMaterial;

/// An entity got by key: found among the entities of an earlier import, or new.
struct TarvexObtainedEntity
{
    /// The entity; null when the host could give none.
    EntityModel::Entity* entity = nullptr;
    /// True when the entity came from an earlier import (it was re-attached).
    bool existing = false;
};

/// What the part-level builders of one import share: the entities of an earlier import
/// that may be reused, the get-or-create-by-key lookup over them, and the solder-ball
/// groups and material entities made so far.
class TarvexEntityBuildState
{
public:
    /// A state over the driver's reuse map (empty for a fresh import); reused entities
    /// leave `reuse`, so what is left there afterwards was not reused.
    explicit TarvexEntityBuildState(TarvexReuseMap& reuse);
    TarvexEntityBuildState(const TarvexEntityBuildState&) = delete;
    TarvexEntityBuildState& operator=(const TarvexEntityBuildState&) = delete;

    /// The entity of `type` whose `keyAttribute` reads exactly `keyValue`, in the entity
    /// list `list` of `parent`. An entity detached from that list's owner by the driver is
    /// attached again and leaves the reuse map; otherwise a new entity is created with the
    /// key written (a new `Subcomponent_Group_t` starts without obstructions). Empty when
    /// `parent` is null or the host creates nothing.
    TarvexObtainedEntity getOrCreate(const EntityModel::AttributePath& keyAttribute, const QString& keyValue,
                                     const EntityModel::TypeRef& type, EntityModel::Entity* parent,
                                     const EntityModel::AttributePath& list);

    /// The group called `name` that this import put below `owner` for its solder balls or
    /// bumps, or null: the balls of one owner share one group even when they are built by
    /// different nodes of the tree.
    EntityModel::Entity* getSolderGroup(const EntityModel::Entity* owner, const QString& name) const;
    /// Records `group` as the group called `name` below `owner`.
    void setSolderGroup(const EntityModel::Entity* owner, const QString& name, EntityModel::Entity* group);

    /// The terminal group called `name` that this import put below `owner`, or null: the
    /// terminals of one group share its entity even when several layers of an entity hold
    /// them, and two blocks each get their own group of that name.
    EntityModel::Entity* getTerminalGroup(const EntityModel::Entity* owner, const QString& name) const;
    /// Records `group` as the terminal group called `name` below `owner`.
    void setTerminalGroup(const EntityModel::Entity* owner, const QString& name, EntityModel::Entity* group);

    /// True when reused entities are placed where the file puts them, like new ones; false
    /// (the default) when they stay where an earlier import or the user put them.
    bool isPlacingReused() const { return placingReused; }
    /// Sets whether reused entities are placed where the file puts them.
    void setPlacingReused(bool placing) { placingReused = placing; }

    /// The material entity this import already wrote for `name`, or null: a material used
    /// by many cells is looked up and written once.
    EntityModel::Entity* getMaterialEntity(const QString& name) const;
    /// Records `material` as the entity written for `name`.
    void setMaterialEntity(const QString& name, EntityModel::Entity* material);
    /// The material entity this import already made or found for the material object
    /// `material`, or null: the many balls and cells of one material ask for it again and again.
    EntityModel::Entity* getMaterialEntity(const TarvexMaterial* material) const;
    /// Records `entity` as the material entity of the material object `material`.
    void setMaterialEntity(const TarvexMaterial* material, EntityModel::Entity* entity);

private:
    TarvexReuseMap& reuse;
    std::map<std::pair<const EntityModel::Entity*, QString>, EntityModel::Entity*> solderGroups;
    std::map<std::pair<const EntityModel::Entity*, QString>, EntityModel::Entity*> terminalGroups;
    std::map<QString, EntityModel::Entity*> materialEntities;
    std::unordered_map<const TarvexMaterial*, EntityModel::Entity*> materialObjects;
    bool placingReused = false;
};

} // namespace Tarvex
