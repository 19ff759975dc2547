#include "host/CompositeAttribute.h"

#include "host/Entity.h"

namespace EntityModel {

CompositeAttribute::CompositeAttribute(const TypeRef& label) : Attribute(Kind::Composite, label) {}

CompositeAttribute::CompositeAttribute(Kind kind, const TypeRef& type) : Attribute(kind, type) {}

CompositeAttribute::~CompositeAttribute()
{
    while (!m_children.empty())
        m_children.erase(std::prev(m_children.end()));
}

Attribute* CompositeAttribute::child(const QString& label) const
{
    const auto it = m_children.find(label);
    return it == m_children.end() ? nullptr : it->second.get();
}

Attribute* CompositeAttribute::findAttribute(const AttributePath& path) const
{
    const Attribute* at = this;
    for (const QString& step : path.steps()) {
        if (at->getKind() != Kind::Composite && at->getKind() != Kind::Entity)
            return nullptr;
        at = static_cast<const CompositeAttribute*>(at)->child(step);
        if (!at)
            return nullptr;
    }
    return const_cast<Attribute*>(at);
}

std::vector<Attribute*> CompositeAttribute::children() const
{
    std::vector<Attribute*> result;
    result.reserve(m_children.size());
    for (const auto& entry : m_children)
        result.push_back(entry.second.get());
    return result;
}

std::unique_ptr<Attribute> CompositeAttribute::put(std::unique_ptr<Attribute> attribute)
{
    std::unique_ptr<Attribute>& place = m_children[attribute->getType().getLabel()];
    std::unique_ptr<Attribute> previous = std::move(place);
    if (previous)
        previous->m_parent = nullptr;
    attribute->m_parent = this;
    place = std::move(attribute);
    return previous;
}

std::unique_ptr<Attribute> CompositeAttribute::take(const QString& label)
{
    const auto it = m_children.find(label);
    if (it == m_children.end())
        return nullptr;
    std::unique_ptr<Attribute> taken = std::move(it->second);
    m_children.erase(it);
    taken->m_parent = nullptr;
    return taken;
}

void CompositeAttribute::getOwnedChildEntities(std::vector<Entity*>& out, bool recursive,
                                               bool throughComposites) const
{
    for (const auto& entry : m_children) {
        const Attribute* attribute = entry.second.get();
        if (attribute->getKind() == Kind::EntityList) {
            const auto* list = static_cast<const EntityListAttribute*>(attribute);
            for (int i = 0; i < list->count(); ++i) {
                out.push_back(list->at(i));
                if (recursive)
                    list->at(i)->getOwnedChildEntities(out, recursive, throughComposites);
            }
        } else if (attribute->getKind() == Kind::Composite && throughComposites) {
            static_cast<const CompositeAttribute*>(attribute)->getOwnedChildEntities(out, recursive,
                                                                                     throughComposites);
        }
    }
}

void CompositeAttribute::getOwnedChildEntities(const CompositeAttribute* owner, std::vector<Entity*>& out,
                                               bool recursive, bool throughComposites)
{
    if (owner)
        owner->getOwnedChildEntities(out, recursive, throughComposites);
}

std::vector<Entity*> CompositeAttribute::getOwnedChildEntitiesOfType(const TypeRef& type) const
{
    std::vector<Entity*> all;
    getOwnedChildEntities(all, false, true);
    std::vector<Entity*> result;
    for (Entity* entity : all) {
        if (entity->getType() == type)
            result.push_back(entity);
    }
    return result;
}

std::unique_ptr<Attribute> CompositeAttribute::clone() const
{
    if (!m_children.empty())
        return nullptr;
    return std::make_unique<CompositeAttribute>(getType());
}

} // namespace EntityModel
