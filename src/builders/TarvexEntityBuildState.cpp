#include <tarvex/builders/TarvexEntityBuildState.h>

#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityReading.h>

#include <vector>

namespace Tarvex {

using namespace EntityModel;

TarvexEntityBuildState::TarvexEntityBuildState(TarvexReuseMap& reuse) : reuse(reuse) {}

TarvexObtainedEntity TarvexEntityBuildState::getOrCreate(const AttributePath& keyAttribute, const QString& keyValue,
                                                         const TypeRef& type, Entity* parent, const AttributePath& list)
{
    if (!parent)
        return {};
    // A fresh import has nothing to reuse: no look-up for each entity it makes.
    if (const Attribute* holder = reuse.isEmpty() ? nullptr : parent->findAttribute(list)) {
        if (Entity* reused = reuse.reattach(holder->getOwnerEntity(), keyAttribute, keyValue, type, parent, list))
            return {reused, true};
    }

    Entity* made = EntityEditor::createEntity(type, parent, list, nullptr, 0, QString());
    if (!made)
        return {};
    // A key of one step is written without building its path again.
    if (keyAttribute.size() == 1)
        EntityEditor::setValueNoThrow(made, TypeRef(keyAttribute.last()), keyValue);
    else
        EntityEditor::setValueNoThrow(made, keyAttribute, keyValue);
    if (type == Subcomponent_Group_t) {
        // The host may give a new group default content; the import fills it itself.
        std::vector<Entity*> obstructions;
        if (const Attribute* held = made->findAttribute(Obstructions_t);
            held && held->getKind() == Attribute::Kind::EntityList) {
            const auto* entities = static_cast<const EntityListAttribute*>(held);
            for (int i = 0; i < entities->count(); ++i)
                obstructions.push_back(entities->at(i));
        }
        if (!obstructions.empty())
            EntityEditor::deleteEntities(obstructions, true);
    }
    return {made, false};
}

Entity* TarvexEntityBuildState::getSolderGroup(const Entity* owner, const QString& name) const
{
    const auto found = solderGroups.find({owner, name});
    return found == solderGroups.end() ? nullptr : found->second;
}

void TarvexEntityBuildState::setSolderGroup(const Entity* owner, const QString& name, Entity* group)
{
    solderGroups[{owner, name}] = group;
}

Entity* TarvexEntityBuildState::getTerminalGroup(const Entity* owner, const QString& name) const
{
    const auto found = terminalGroups.find({owner, name});
    return found == terminalGroups.end() ? nullptr : found->second;
}

void TarvexEntityBuildState::setTerminalGroup(const Entity* owner, const QString& name, Entity* group)
{
    terminalGroups[{owner, name}] = group;
}

Entity* TarvexEntityBuildState::getMaterialEntity(const QString& name) const
{
    const auto found = materialEntities.find(name);
    return found == materialEntities.end() ? nullptr : found->second;
}

void TarvexEntityBuildState::setMaterialEntity(const QString& name, Entity* material)
{
    materialEntities[name] = material;
}

Entity* TarvexEntityBuildState::getMaterialEntity(const TarvexMaterial* material) const
{
    const auto found = materialObjects.find(material);
    return found == materialObjects.end() ? nullptr : found->second;
}

void TarvexEntityBuildState::setMaterialEntity(const TarvexMaterial* material, Entity* entity)
{
    materialObjects[material] = entity;
}

} // namespace Tarvex
