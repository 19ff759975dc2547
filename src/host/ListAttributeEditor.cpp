#include "host/ListAttributeEditor.h"

#include "host/Entity.h"
#include "host/Model.h"

#include <algorithm>

namespace EntityModel {

namespace {

constexpr int labelDigits = 10;

CompositeAttribute* compositeAt(const Entity* entity, const AttributePath& path)
{
    Attribute* at = entity ? entity->findAttribute(path) : nullptr;
    return at && at->getKind() == Attribute::Kind::Composite ? static_cast<CompositeAttribute*>(at) : nullptr;
}

// Moves the items [first, first + count) between the list and this command, which holds
// them while they are out of the list: the list is found again by its path on every move,
// since undoing the list's own creation replaces the composite.
class ItemsMoveCommand : public UndoCommand
{
public:
    // `added`: the items in `held` are new and go into the list; otherwise the items
    // [first, first + count) are removed from it.
    ItemsMoveCommand(Entity* entity, AttributePath path, int first, int count,
                     std::vector<std::unique_ptr<Attribute>> held, bool added)
        : m_entity(entity), m_path(std::move(path)), m_first(first), m_count(count), m_held(std::move(held)),
          m_added(added)
    {
    }
    void undo() override { m_added ? takeOut() : putBack(); }
    void redo() override { m_added ? putBack() : takeOut(); }

    // The first move, done when the edit is made.
    void apply() { m_added ? putBack() : takeOut(); }

private:
    void putBack()
    {
        CompositeAttribute* list = compositeAt(m_entity, m_path);
        if (!list)
            return;
        for (std::unique_ptr<Attribute>& item : m_held) {
            if (item)
                list->put(std::move(item));
        }
        m_held.clear();
    }
    void takeOut()
    {
        CompositeAttribute* list = compositeAt(m_entity, m_path);
        if (!list)
            return;
        m_held.clear();
        // From the end, so that the list never holds a gap in between.
        for (int i = m_first + m_count; i-- > m_first;)
            m_held.push_back(list->take(ListAttributeEditor::itemLabel(i)));
        std::reverse(m_held.begin(), m_held.end());
    }

    Entity* m_entity;
    AttributePath m_path;
    int m_first;
    int m_count;
    std::vector<std::unique_ptr<Attribute>> m_held;
    bool m_added;
};

} // namespace

QString ListAttributeEditor::itemLabel(int index)
{
    return QStringLiteral("%1").arg(index, labelDigits, 10, QLatin1Char('0'));
}

int ListAttributeEditor::getItemCount(const Entity* entity, const AttributePath& path)
{
    return int(getItems(entity, path).size());
}

std::vector<CompositeAttribute*> ListAttributeEditor::getItems(const Entity* entity, const AttributePath& path)
{
    std::vector<CompositeAttribute*> items;
    const CompositeAttribute* list = compositeAt(entity, path);
    if (!list)
        return items;
    const std::vector<Attribute*> children = list->children();
    items.reserve(children.size());
    for (Attribute* child : children) {
        if (child->getKind() == Attribute::Kind::Composite)
            items.push_back(static_cast<CompositeAttribute*>(child));
    }
    return items;
}

bool ListAttributeEditor::setItemCount(Entity* entity, const AttributePath& path, int count)
{
    if (count < 0 || !entity || !entity->isAlive() || path.isEmpty())
        return false;
    Model* model = entity->getModel();
    const QString step = QStringLiteral("Set %1").arg(path.last());
    const Attribute* existing = entity->findAttribute(path);
    if (existing && existing->getKind() != Attribute::Kind::Composite)
        return false;
    if (!existing &&
        !model->setAttribute(entity, path, std::make_unique<CompositeAttribute>(TypeRef(path.last())), step))
        return false;
    CompositeAttribute* list = compositeAt(entity, path);
    if (!list)
        return false;
    const std::vector<Attribute*> children = list->children();
    const int current = int(children.size());
    // Appending and removing by position needs the labels to be the positions: distinct
    // ten-digit labels in order that start at 0 and end at current - 1 are exactly those.
    for (const Attribute* child : children) {
        const QString& label = child->getType().getLabel();
        if (label.size() != labelDigits || !std::all_of(label.begin(), label.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
            return false;
    }
    if (current > 0 && (children.front()->getType().getLabel() != itemLabel(0) ||
                        children.back()->getType().getLabel() != itemLabel(current - 1)))
        return false;
    if (count == current)
        return true;
    std::unique_ptr<ItemsMoveCommand> command;
    if (count > current) {
        std::vector<std::unique_ptr<Attribute>> made;
        made.reserve(size_t(count - current));
        for (int i = current; i < count; ++i)
            made.push_back(std::make_unique<CompositeAttribute>(TypeRef(itemLabel(i))));
        command = std::make_unique<ItemsMoveCommand>(entity, path, current, count - current, std::move(made), true);
    } else {
        command = std::make_unique<ItemsMoveCommand>(entity, path, count, current - count,
                                                     std::vector<std::unique_ptr<Attribute>>(), false);
    }
    command->apply();
    model->getUndoStack().record(std::move(command), step);
    return true;
}

AttributePath ListAttributeEditor::getPathInOwner(const Attribute* attribute)
{
    QStringList steps;
    for (const Attribute* at = attribute; at && at->getKind() != Attribute::Kind::Entity; at = at->getParent())
        steps.prepend(at->getType().getLabel());
    // An attribute outside any entity has no path in one.
    if (!attribute || !attribute->getOwnerEntity())
        return AttributePath();
    return AttributePath(steps.join(QLatin1Char('/')));
}

} // namespace EntityModel
