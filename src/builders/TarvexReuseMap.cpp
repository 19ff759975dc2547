#include <tarvex/builders/TarvexReuseMap.h>

#include <tarvex/host/CompositeAttribute.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/TypeCatalogue.h>

namespace Tarvex {

using namespace EntityModel;

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
    Entity* owner = entity->getOwnerEntity();
    const AttributePath holder = getOwnerPath(entity);
    return owner && !holder.isEmpty() && EntityEditor::removeEntity(owner, holder, entity, true) ? owner : nullptr;
}

void TarvexReuseMap::remember(Entity* entity, Entity* owner)
{
    Detached& detached = m_detached[owner];
    detached.inOrder.push_back(entity);
    // An index made before this entity came would not know it.
    detached.indexes.clear();
    m_waiting.insert(entity);
    m_inOrder.push_back(entity);
}

TarvexReuseMap::KeyIndex& TarvexReuseMap::indexOf(Detached& detached, const TypeRef& type,
                                                   const AttributePath& keyAttribute) const
{
    const auto key = std::make_pair(type, keyAttribute.toString());
    auto found = detached.indexes.find(key);
    if (found != detached.indexes.end())
        return found->second;
    KeyIndex& index = detached.indexes[key];
    for (Entity* candidate : detached.inOrder) {
        if (m_waiting.count(candidate) && candidate->getType() == type && candidate->findAttribute(keyAttribute))
            index[getStringValue(candidate, keyAttribute)].push_back(candidate);
    }
    return index;
}

Entity* TarvexReuseMap::reattach(Entity* owner, const AttributePath& keyAttribute, const QString& keyValue,
                                 const TypeRef& type, Entity* parent, const AttributePath& list)
{
    const auto entry = m_detached.find(owner);
    if (entry == m_detached.end())
        return nullptr;
    KeyIndex& index = indexOf(entry->second, type, keyAttribute);
    const auto matches = index.find(keyValue);
    if (matches == index.end())
        return nullptr;
    std::deque<Entity*>& queue = matches.value();
    while (!queue.empty() && !m_waiting.count(queue.front()))
        queue.pop_front();
    if (queue.empty())
        return nullptr;
    // Only the first match is tried: when it cannot be attached a new entity is made.
    Entity* candidate = queue.front();
    if (!EntityEditor::addEntity(parent, list, candidate))
        return nullptr;
    queue.pop_front();
    m_waiting.erase(candidate);
    return candidate;
}

std::vector<Entity*> TarvexReuseMap::waiting() const
{
    std::vector<Entity*> all;
    for (Entity* entity : m_inOrder) {
        if (m_waiting.count(entity))
            all.push_back(entity);
    }
    return all;
}

std::vector<Entity*> TarvexReuseMap::waitingFrom(Entity* owner) const
{
    std::vector<Entity*> found;
    const auto entry = m_detached.find(owner);
    if (entry == m_detached.end())
        return found;
    for (Entity* entity : entry->second.inOrder) {
        if (m_waiting.count(entity))
            found.push_back(entity);
    }
    return found;
}

} // namespace Tarvex
