#include "builders/TarvexReuseMap.h"

#include "host/CompositeAttribute.h"
#include "host/EntityEditor.h"
#include "host/EntityReading.h"
#include "host/TypeCatalogue.h"

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
    Entity* owner = entity->getOwnerEntity();
    const AttributePath holder = getOwnerPath(entity);
    if (owner && !holder.isEmpty() && EntityEditor::removeEntity(owner, holder, entity, true))
        m_detached[owner].insert(entity);
    else
        EntityEditor::deleteEntity(entity);
}

void TarvexReuseMap::detachImports(const std::vector<Entity*>& imports)
{
    for (Entity* entity : imports) {
        if (!entity || !entity->isAlive() || !isReusableType(entity->getType()))
            continue;
        detach(entity);
        if (!entity->isAlive())
            continue;
        std::vector<Entity*> owned;
        CompositeAttribute::getOwnedChildEntities(entity, owned, true, true);
        for (Entity* child : owned) {
            if (child->isAlive() && isReusableType(child->getType()))
                detach(child);
        }
    }
}

Entity* TarvexReuseMap::reattach(Entity* owner, const AttributePath& keyAttribute, const QString& keyValue,
                                 const TypeRef& type, Entity* parent, const AttributePath& list)
{
    const auto entry = m_detached.find(owner);
    if (entry == m_detached.end())
        return nullptr;
    std::set<Entity*>& detached = entry->second;
    for (auto it = detached.begin(); it != detached.end(); ++it) {
        Entity* candidate = *it;
        if (!candidate || candidate->getType() != type || !candidate->findAttribute(keyAttribute) ||
            getStringValue(candidate, keyAttribute) != keyValue)
            continue;
        // Only the first match is tried: when it cannot be attached a new entity is made.
        if (!EntityEditor::addEntity(parent, list, candidate))
            return nullptr;
        detached.erase(it);
        if (detached.empty())
            m_detached.erase(entry);
        return candidate;
    }
    return nullptr;
}

std::set<Entity*> TarvexReuseMap::waiting() const
{
    std::set<Entity*> all;
    for (const auto& entry : m_detached)
        all.insert(entry.second.begin(), entry.second.end());
    return all;
}

std::set<Entity*> TarvexReuseMap::waitingFrom(Entity* owner) const
{
    const auto entry = m_detached.find(owner);
    return entry == m_detached.end() ? std::set<Entity*>() : entry->second;
}

} // namespace Tarvex
