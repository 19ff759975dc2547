#pragma once

#include <tarvex/host/AttributePath.h>
#include <tarvex/host/Entity.h>
#include <tarvex/host/TypeRef.h>

#include <QHash>
#include <QString>

#include <unordered_map>
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

    /// True when entities were detached from `owner`, reused or not.
    bool hasDetachedFrom(EntityModel::Entity* owner) const { return m_detached.count(owner) > 0; }
    /// Every entity still waiting to be reused, in detach order.
    std::vector<EntityModel::Entity*> waiting() const;
    /// The entities detached from `owner` still waiting to be reused, in detach order.
    std::vector<EntityModel::Entity*> waitingFrom(EntityModel::Entity* owner) const;
    /// True when no entity is waiting to be reused.
    bool isEmpty() const { return m_waitingCount == 0; }

private:
    // One detached entity; `waiting` turns false once it is reused.
    struct Record
    {
        EntityModel::Entity* entity;
        bool waiting;
    };
    // The first and last entry of one key's chain in a KeyIndex.
    struct Chain
    {
        int head;
        int tail;
    };
    // The entities of one owner of one type with one key attribute, in detach order, with
    // their keys. They mostly come back in that order, so the first one still waiting is
    // tried first; the chains by key value are made at the first look-up that misses it.
    // Entries already reused stay, skipped when met.
    struct KeyIndex
    {
        EntityModel::TypeRef type;
        EntityModel::AttributePath keyAttribute;
        std::vector<size_t> records; // into m_records
        std::vector<QString> keys;
        size_t firstWaiting = 0; // no entry before it waits
        size_t expected = 0;     // the entry after the one taken last
        bool chained = false;
        QHash<QString, Chain> chains;
        std::vector<int> next;     // the next entry of the same key, or -1
        std::vector<int> previous; // an earlier entry of the same key, or -1; no entry between waits
    };
    struct Detached
    {
        std::vector<size_t> records; // into m_records, in detach order
        std::vector<KeyIndex> indexes;
    };
    // Removes `entity` from its owner's list, keeping it for reuse; its former owner, or null.
    static EntityModel::Entity* takeFromOwner(EntityModel::Entity* entity);
    void remember(EntityModel::Entity* entity, EntityModel::Entity* owner);
    Detached* detachedFrom(EntityModel::Entity* owner);
    KeyIndex& indexOf(Detached& detached, const EntityModel::TypeRef& type,
                      const EntityModel::AttributePath& keyAttribute) const;
    // The first entry of `index` still waiting whose key is `keyValue`, or -1.
    int firstWaitingWithKey(KeyIndex& index, const QString& keyValue) const;
    bool isWaiting(const KeyIndex& index, size_t entry) const { return m_records[index.records[entry]].waiting; }
    void makeChains(KeyIndex& index) const;

    std::vector<Record> m_records; // in detach order
    std::unordered_map<EntityModel::Entity*, Detached> m_detached;
    size_t m_waitingCount = 0;
    // The owner asked for last: the entities of one list are asked for one after another.
    EntityModel::Entity* m_lastOwner = nullptr;
    Detached* m_lastDetached = nullptr;
};

} // namespace Tarvex
