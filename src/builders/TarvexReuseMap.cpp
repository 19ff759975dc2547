#include <tarvex/builders/TarvexReuseMap.h>

#include <tarvex/host/CompositeAttribute.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/TypeCatalogue.h>

namespace Tarvex {

using namespace EntityModel;

namespace {

// The key as getStringValue reads it, from the attribute already found: each is read once.
QString keyText(const Attribute& key)
{
    if (key.getKind() == Attribute::Kind::Value) {
        const QVariant& value = static_cast<const ValueAttribute&>(key).getValue();
        return value.type() == QVariant::Double ? QString::number(value.toDouble(), 'g', 17) : value.toString();
    }
    if (key.getKind() == Attribute::Kind::Choice)
        return static_cast<const ChoiceAttribute&>(key).getChoice().getLabel();
    return QString();
}

} // namespace

bool TarvexReuseMap::isReusableType(const TypeRef& type)
{
    // Solder balls and bumps too, and the holes of boards and substrates besides those of
    // obstructions: left attached they would stay beside the ones an update makes anew,
    // doubling every ball and hole of the board.
    static const TypeRef types[] = {PCB_t, Component_t, Subcomponent_Group_t, Solid_Obstruction_t,
                                    Perforated_Obstruction_t, Porous_Obstruction_t, Group_Obstruction_t,
                                    Obstruction_Hole_t, PCB_Hole_t, Substrate_Hole_t, Terminal_t, Terminal_Group_t,
                                    Heat_Source_t, Substrate_t, Bump_t};
    for (const TypeRef& candidate : types) {
        if (candidate == type)
            return true;
    }
    return false;
}

void TarvexReuseMap::detach(Entity* entity)
{
    if (Entity* owner = takeFromOwner(entity))
        remember(entity, owner);
    else
        EntityEditor::deleteEntity(entity);
}

void TarvexReuseMap::detachImports(const std::vector<Entity*>& imports)
{
    std::vector<Entity*> reusable;
    for (Entity* entity : imports) {
        if (!entity || !entity->isAlive() || !isReusableType(entity->getType()))
            continue;
        reusable.push_back(entity);
        std::vector<Entity*> owned;
        CompositeAttribute::getOwnedChildEntities(entity, owned, true, true);
        for (Entity* child : owned) {
            if (isReusableType(child->getType()))
                reusable.push_back(child);
        }
    }
    // Taken out last first, so that each comes off the end of its list (a group of a
    // hundred thousand balls empties in linear time); remembered first first, the order
    // in which duplicate keys are reused.
    std::vector<Entity*> formerOwners(reusable.size(), nullptr);
    for (size_t i = reusable.size(); i-- > 0;)
        formerOwners[i] = reusable[i]->isAlive() ? takeFromOwner(reusable[i]) : nullptr;
    for (size_t i = 0; i < reusable.size(); ++i) {
        if (formerOwners[i])
            remember(reusable[i], formerOwners[i]);
        else if (reusable[i]->isAlive())
            EntityEditor::deleteEntity(reusable[i]);
    }
}

Entity* TarvexReuseMap::takeFromOwner(Entity* entity)
{
    // Straight to the model: the editor would work out the entity's place twice more.
    const Attribute* list = entity->getParent();
    Entity* owner = list && list->getKind() == Attribute::Kind::EntityList ? list->getOwnerEntity() : nullptr;
    return owner && entity->getModel()->moveEntity(entity, EntitySlot{}, QStringLiteral("Remove Entity")) ? owner
                                                                                                          : nullptr;
}

void TarvexReuseMap::remember(Entity* entity, Entity* owner)
{
    Detached& detached = m_detached[owner];
    detached.records.push_back(m_records.size());
    // An index made before this entity came would not know it.
    detached.indexes.clear();
    m_records.push_back({entity, true});
    ++m_waitingCount;
}

TarvexReuseMap::Detached* TarvexReuseMap::detachedFrom(Entity* owner)
{
    if (owner != m_lastOwner || !m_lastDetached) {
        const auto entry = m_detached.find(owner);
        if (entry == m_detached.end())
            return nullptr;
        m_lastOwner = owner;
        m_lastDetached = &entry->second;
    }
    return m_lastDetached;
}

TarvexReuseMap::KeyIndex& TarvexReuseMap::indexOf(Detached& detached, const TypeRef& type,
                                                   const AttributePath& keyAttribute) const
{
    for (KeyIndex& index : detached.indexes) {
        if (index.type == type && index.keyAttribute == keyAttribute)
            return index;
    }
    detached.indexes.emplace_back();
    KeyIndex& index = detached.indexes.back();
    index.type = type;
    index.keyAttribute = keyAttribute;
    for (const size_t at : detached.records) {
        const Record& record = m_records[at];
        if (!record.waiting || record.entity->getType() != type)
            continue;
        if (const Attribute* key = record.entity->findAttribute(keyAttribute)) {
            index.records.push_back(at);
            index.keys.push_back(keyText(*key));
        }
    }
    return index;
}

void TarvexReuseMap::makeChains(KeyIndex& index) const
{
    const size_t count = index.records.size();
    index.next.assign(count, -1);
    index.previous.assign(count, -1);
    index.chains.reserve(int(count));
    for (size_t entry = 0; entry < count; ++entry) {
        if (!isWaiting(index, entry))
            continue;
        const int at = int(entry);
        const auto found = index.chains.find(index.keys[entry]);
        if (found == index.chains.end()) {
            index.chains.insert(index.keys[entry], {at, at});
        } else {
            index.next[size_t(found->tail)] = at;
            index.previous[entry] = found->tail;
            found->tail = at;
        }
    }
    index.chained = true;
}

int TarvexReuseMap::firstWaitingWithKey(KeyIndex& index, const QString& keyValue) const
{
    const size_t count = index.records.size();
    while (index.firstWaiting < count && !isWaiting(index, index.firstWaiting))
        ++index.firstWaiting;
    if (index.firstWaiting < count && index.keys[index.firstWaiting] == keyValue)
        return int(index.firstWaiting);
    if (!index.chained)
        makeChains(index);
    // The entry after the one taken last, when no earlier entry of its key waits.
    const size_t expected = index.expected;
    if (expected < count && isWaiting(index, expected) && index.keys[expected] == keyValue) {
        int before = index.previous[expected];
        while (before >= 0 && !isWaiting(index, size_t(before)))
            before = index.previous[size_t(before)];
        index.previous[expected] = before;
        if (before < 0)
            return int(expected);
    }
    const auto chain = index.chains.find(keyValue);
    if (chain == index.chains.end())
        return -1;
    int& head = chain->head;
    while (head >= 0 && !isWaiting(index, size_t(head)))
        head = index.next[size_t(head)];
    return head;
}

Entity* TarvexReuseMap::reattach(Entity* owner, const AttributePath& keyAttribute, const QString& keyValue,
                                 const TypeRef& type, Entity* parent, const AttributePath& list)
{
    Detached* detached = detachedFrom(owner);
    if (!detached)
        return nullptr;
    KeyIndex& index = indexOf(*detached, type, keyAttribute);
    const int entry = firstWaitingWithKey(index, keyValue);
    if (entry < 0)
        return nullptr;
    // Only the first match is tried: when it cannot be attached a new entity is made.
    Record& record = m_records[index.records[size_t(entry)]];
    if (!EntityEditor::addEntity(parent, list, record.entity))
        return nullptr;
    record.waiting = false;
    --m_waitingCount;
    index.expected = size_t(entry) + 1;
    return record.entity;
}

std::vector<Entity*> TarvexReuseMap::waiting() const
{
    std::vector<Entity*> all;
    all.reserve(m_waitingCount);
    for (const Record& record : m_records) {
        if (record.waiting)
            all.push_back(record.entity);
    }
    return all;
}

std::vector<Entity*> TarvexReuseMap::waitingFrom(Entity* owner) const
{
    std::vector<Entity*> found;
    const auto entry = m_detached.find(owner);
    if (entry == m_detached.end())
        return found;
    for (const size_t at : entry->second.records) {
        if (m_records[at].waiting)
            found.push_back(m_records[at].entity);
    }
    return found;
}

} // namespace Tarvex
