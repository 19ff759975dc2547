#pragma once

#include "host/AttributePath.h"
#include "host/Entity.h"
#include "host/TypeRef.h"

#include <QString>

#include <map>
#include <set>
#include <vector>

namespace Tarvex {

/// Entities of an earlier import that an update may reuse: the driver detaches them from
/// their owners before the update, the builders attach again those they get by key, and
/// what is left was not reused.
class TarvexReuseMap
{
public:
    /// True for the kinds of entity an update detaches and may reuse.
    static bool isReusableType(const EntityModel::TypeRef& type);

    /// Detaches `entity` from its owner and keeps it under that owner; an entity that
    /// cannot be detached is deleted.
    void detach(EntityModel::Entity* entity);
    /// Detaches every entity of `imports` of a reusable kind, and everything of a reusable
    /// kind that it owns.
    void detachImports(const std::vector<EntityModel::Entity*>& imports);

    /// Attaches again to the list `list` of `parent` the first entity detached from `owner`
    /// that is of `type` and whose `keyAttribute` reads exactly `keyValue`, and forgets it.
    /// Null when there is none, or when that first match cannot be attached.
    EntityModel::Entity* reattach(EntityModel::Entity* owner, const EntityModel::AttributePath& keyAttribute,
                                  const QString& keyValue, const EntityModel::TypeRef& type,
                                  EntityModel::Entity* parent, const EntityModel::AttributePath& list);

    /// Every entity still waiting to be reused.
    std::set<EntityModel::Entity*> waiting() const;
    /// The entities detached from `owner` still waiting to be reused.
    std::set<EntityModel::Entity*> waitingFrom(EntityModel::Entity* owner) const;
    /// True when no entity is waiting to be reused.
    bool isEmpty() const { return m_detached.empty(); }

private:
    std::map<EntityModel::Entity*, std::set<EntityModel::Entity*>> m_detached;
};

} // namespace Tarvex
