#include <tarvex/host/CompositeAttribute.h>

#include <tarvex/host/CellGrid.h>
#include <tarvex/host/Entity.h>
#include <tarvex/host/ListAttributeEditor.h>

#include <algorithm>

namespace EntityModel {

// The cells of a grid whose items are still to be made.
struct CompositeAttribute::Cells
{
    std::shared_ptr<const CellGrid> grid;
    std::vector<bool> unmade;
    int unmadeCount = 0;
};

CompositeAttribute::CompositeAttribute(const TypeRef& label) : Attribute(Kind::Composite, label) {}

CompositeAttribute::CompositeAttribute(Kind kind, const TypeRef& type) : Attribute(kind, type) {}

CompositeAttribute::~CompositeAttribute()
{
    while (!m_children.empty())
        m_children.pop_back();
}

CompositeAttribute::Children::iterator CompositeAttribute::placeOf(const QString& label) const
{
    return std::lower_bound(m_children.begin(), m_children.end(), label,
                            [](const std::unique_ptr<Attribute>& child, const QString& wanted) {
                                return labelBefore(child->getType().getLabel(), wanted);
                            });
}

Attribute* CompositeAttribute::child(const QString& label) const
{
    const auto it = placeOf(label);
    if (it != m_children.end() && sameLabel((*it)->getType().getLabel(), label))
        return it->get();
    const int index = unmadeIndex(label);
    return index >= 0 ? makeCell(index) : nullptr;
}

int CompositeAttribute::unmadeIndex(const QString& label) const
{
    if (!m_cells || m_cells->unmadeCount == 0)
        return -1;
    const int index = ListAttributeEditor::itemIndex(label);
    return index >= 0 && size_t(index) < m_cells->unmade.size() && m_cells->unmade[size_t(index)] ? index : -1;
}

Attribute* CompositeAttribute::makeCell(int index) const
{
    std::unique_ptr<CompositeAttribute> item = m_cells->grid->makeItem(index);
    item->m_parent = const_cast<CompositeAttribute*>(this);
    m_cells->unmade[size_t(index)] = false;
    --m_cells->unmadeCount;
    Attribute* made = item.get();
    const auto place = placeOf(made->getType().getLabel());
    m_children.insert(place, std::move(item));
    return made;
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
    // Callers keep the pointers, so every item is made and kept.
    if (m_cells) {
        for (size_t index = 0; index < m_cells->unmade.size() && m_cells->unmadeCount > 0; ++index) {
            if (m_cells->unmade[index])
                makeCell(int(index));
        }
    }
    return madeChildren();
}

std::vector<Attribute*> CompositeAttribute::madeChildren() const
{
    std::vector<Attribute*> result;
    result.reserve(m_children.size());
    for (const std::unique_ptr<Attribute>& child : m_children)
        result.push_back(child.get());
    return result;
}

std::unique_ptr<Attribute> CompositeAttribute::put(std::unique_ptr<Attribute> attribute)
{
    // An item put in the place of an unmade cell replaces it.
    if (const int index = unmadeIndex(attribute->getType().getLabel()); index >= 0) {
        m_cells->unmade[size_t(index)] = false;
        --m_cells->unmadeCount;
    }
    const QString& label = attribute->getType().getLabel();
    attribute->m_parent = this;
    // Saved models and builders list children in label order: past the last one, it goes at the end.
    if (m_children.empty() || labelBefore(m_children.back()->getType().getLabel(), label)) {
        m_children.push_back(std::move(attribute));
        return nullptr;
    }
    const auto place = placeOf(label);
    if (place == m_children.end() || !sameLabel((*place)->getType().getLabel(), label)) {
        m_children.insert(place, std::move(attribute));
        return nullptr;
    }
    std::unique_ptr<Attribute> previous = std::move(*place);
    previous->m_parent = nullptr;
    *place = std::move(attribute);
    return previous;
}

std::unique_ptr<Attribute> CompositeAttribute::take(const QString& label)
{
    if (const int index = unmadeIndex(label); index >= 0)
        makeCell(index);
    const auto it = placeOf(label);
    if (it == m_children.end() || !sameLabel((*it)->getType().getLabel(), label))
        return nullptr;
    std::unique_ptr<Attribute> taken = std::move(*it);
    m_children.erase(it);
    taken->m_parent = nullptr;
    return taken;
}

int CompositeAttribute::childCount() const
{
    return int(m_children.size()) + (m_cells ? m_cells->unmadeCount : 0);
}

void CompositeAttribute::forEachChildWithCells(const std::function<void(const Attribute&)>& visit) const
{
    if (m_cells->unmadeCount == 0) {
        for (const std::unique_ptr<Attribute>& child : m_children)
            visit(*child);
        return;
    }
    // Made children and unmade cells merged by label; cell labels sort as their positions.
    auto made = m_children.begin();
    for (size_t index = 0; index < m_cells->unmade.size(); ++index) {
        if (!m_cells->unmade[index])
            continue;
        const QString label = ListAttributeEditor::itemLabel(int(index));
        for (; made != m_children.end() && labelBefore((*made)->getType().getLabel(), label); ++made)
            visit(**made);
        visit(*m_cells->grid->makeItem(int(index)));
    }
    for (; made != m_children.end(); ++made)
        visit(**made);
}

bool CompositeAttribute::holdCells(std::shared_ptr<const CellGrid> grid)
{
    if (!grid || childCount() > 0)
        return false;
    m_cells = std::make_unique<Cells>();
    m_cells->unmade.assign(size_t(grid->getCount()), true);
    m_cells->unmadeCount = grid->getCount();
    m_cells->grid = std::move(grid);
    return true;
}

const CellGrid* CompositeAttribute::getCellGrid() const
{
    return m_cells ? m_cells->grid.get() : nullptr;
}

bool CompositeAttribute::isCellUnmade(int index) const
{
    return m_cells && index >= 0 && size_t(index) < m_cells->unmade.size() && m_cells->unmade[size_t(index)];
}

void CompositeAttribute::getOwnedChildEntities(std::vector<Entity*>& out, bool recursive,
                                               bool throughComposites) const
{
    for (const std::unique_ptr<Attribute>& child : m_children) {
        const Attribute* attribute = child.get();
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
    if (childCount() > 0)
        return nullptr;
    return std::make_unique<CompositeAttribute>(getType());
}

} // namespace EntityModel
