#include "builders/TarvexReuseMap.h"

#include "host/CompositeAttribute.h"
#include "host/EntityEditor.h"
#include "host/EntityReading.h"
#include "host/TypeCatalogue.h"

namespace Tarvex {

using namespace EntityModel;

bool isReusableType(const TypeRef& type)
{
    // Solder balls and bumps too: left attached they would stay beside the ones an update
    // makes anew, doubling every ball of the board.
    static const TypeRef types[] = {PCB_t, Component_t, Subcomponent_Group_t, Solid_Obstruction_t,
                                    Perforated_Obstruction_t, Porous_Obstruction_t, Group_Obstruction_t,
                                    Obstruction_Hole_t, Terminal_t, Terminal_Group_t, Heat_Source_t, Substrate_t,
                                    Bump_t};
    for (const TypeRef& candidate : types) {
        if (candidate == type)
            return true;
    }
    return false;
}

void detachForReuse(Entity* entity, TarvexReuseMap& reuse)
{
    Entity* owner = entity->getOwnerEntity();
    const AttributePath holder = getOwnerPath(entity);
    if (owner && !holder.isEmpty() && EntityEditor::removeEntity(owner, holder, entity, true))
        reuse[owner].insert(entity);
    else
        EntityEditor::deleteEntity(entity);
}

TarvexReuseMap detachImportsForReuse(const std::vector<Entity*>& imports)
{
    TarvexReuseMap reuse;
    for (Entity* entity : imports) {
        if (!entity || !entity->isAlive() || !isReusableType(entity->getType()))
            continue;
        detachForReuse(entity, reuse);
        if (!entity->isAlive())
            continue;
        std::vector<Entity*> owned;
        CompositeAttribute::getOwnedChildEntities(entity, owned, true, true);
        for (Entity* child : owned) {
            if (child->isAlive() && isReusableType(child->getType()))
                detachForReuse(child, reuse);
        }
    }
    return reuse;
}

} // namespace Tarvex
