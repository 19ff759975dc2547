#pragma once

#include <tarvex/host/AttributePath.h>
#include <tarvex/host/Entity.h>
#include <tarvex/host/TypeRef.h>

#include <QHash>
#include <QString>

#include <deque>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>
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
    /// (in the order they were detached) that is of `type` and whose `keyAttribute` reads
    /// exactly `keyValue`, and forgets it. Null when there is none, or when that first match
    /// cannot be attached. Time per call is constant on average, after one pass over the
    /// owner's detached entities for each type and key attribute asked for.
    EntityModel::Entity* reattach(EntityModel::Entity* owner, const EntityModel::AttributePath& keyAttribute,
                                  const QString& keyValue, const EntityModel::TypeRef& type,
                                  EntityModel::Entity* parent, const EntityModel::AttributePath& list);

    /// Every entity still waiting to be reused, in detach order.
    std::vector<EntityModel::Entity*> waiting() const;
    /// The entities detached from `owner` still waiting to be reused, in detach order.
    std::vector<EntityModel::Entity*> waitingFrom(EntityModel::Entity* owner) const;
    /// True when no entity is waiting to be reused.
    bool isEmpty() const { return m_waiting.empty(); }

private:
    // The entities of one owner under one type and key attribute, by key value, each in
    // detach order; an entry may hold entities already reused, skipped when met.
    using KeyIndex = QHash<QString, std::deque<EntityModel::Entity*>>;
    struct Detached
    {
        std::vector<EntityModel::Entity*> inOrder;
        std::map<std::pair<EntityModel::TypeRef, QString>, KeyIndex> indexes;
    };
    // Removes `entity` from its owner's list, keeping it for reuse; its former owner, or null.
    static EntityModel::Entity* takeFromOwner(EntityModel::Entity* entity);
    void remember(EntityModel::Entity* entity, EntityModel::Entity* owner);
    KeyIndex& indexOf(Detached& detached, const EntityModel::TypeRef& type,
                      const EntityModel::AttributePath& keyAttribute) const;

    std::unordered_map<EntityModel::Entity*, Detached> m_detached;
    std::unordered_set<EntityModel::Entity*> m_waiting;
    std::vector<EntityModel::Entity*> m_inOrder;
};

} // namespace Tarvex
