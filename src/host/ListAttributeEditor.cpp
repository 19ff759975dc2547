#include <tarvex/host/ListAttributeEditor.h>

#include <tarvex/host/CellGrid.h>
#include <tarvex/host/Entity.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/ModelChangeCount.h>

#include <algorithm>
#include <climits>

namespace EntityModel {

namespace {

constexpr int labelDigits = 10;

CompositeAttribute* compositeAt(const Entity* entity, const AttributePath& path)
{
    Attribute* at = entity ? entity->findAttribute(path) : nullptr;
    return at && at->getKind() == Attribute::Kind::Composite ? static_cast<CompositeAttribute*>(at) : nullptr;
}

// True when the list's children are labelled 0 to count - 1, one each: appending and
// removing by position needs exactly that. Unmade cells are labelled so by making.
bool labelsArePositions(const CompositeAttribute& list)
{
    const int count = list.childCount();
    for (const Attribute* child : list.madeChildren()) {
        const int index = ListAttributeEditor::itemIndex(child->getType().getLabel());
        if (index < 0 || index >= count)
            return false;
    }
    if (const CellGrid* grid = list.getCellGrid()) {
        for (int index = grid->getCount(); index-- > count;) {
            if (list.isCellUnmade(index))
                return false;
        }
    }
    return true;
}

// What a write replaces whole (anything but an attribute that holds attributes or entities).
bool isReplaceable(const Attribute& attribute)
{
    switch (attribute.getKind()) {
    case Attribute::Kind::Entity:
        return false;
    case Attribute::Kind::Composite:
        return static_cast<const CompositeAttribute&>(attribute).childCount() == 0;
    case Attribute::Kind::EntityList:
        return static_cast<const EntityListAttribute&>(attribute).count() == 0;
    default:
        return true;
    }
}

bool isLengthLabel(const TypeRef& label)
{
    return label == X_Location_t || label == Z_Location_t || label == Width_t || label == Depth_t;
}

// True when writing `grid`'s attributes one by one onto `item` leaves nothing of what it
// held: each child is one the grid writes, and the write replaces it whole.
bool isOverwrittenBy(const Attribute& item, const CellGrid& grid, const std::vector<TypeRef>& labels)
{
    if (item.getKind() != Attribute::Kind::Composite)
        return false; // writes into it fail, so it stays as it is
    const auto& composite = static_cast<const CompositeAttribute&>(item);
    const std::vector<Attribute*> values = composite.madeChildren();
    if (int(values.size()) != composite.childCount())
        return false;
    for (const Attribute* value : values) {
        const TypeRef label(value->getType().getLabel());
        if (std::find(labels.begin(), labels.end(), label) == labels.end() || !isReplaceable(*value))
            return false;
        // A name held as a choice takes the new name as a choice.
        if (label == Name_t && value->getKind() == Attribute::Kind::Choice)
            return false;
        // A length keeps the unit it is shown in when the grid names none.
        if (!grid.getLengthUnit() && isLengthLabel(label) && value->getKind() == Attribute::Kind::Value) {
            const auto* number = static_cast<const ValueAttribute*>(value);
            if (number->getValue().type() == QVariant::Double && !number->getUnit().isNull())
                return false;
        }
    }
    return true;
}

// True when giving the list the grid's cells as new items gives what writing the cells one
// by one into the list's items would.
bool isReplaceableBy(const CompositeAttribute& list, const CellGrid& grid)
{
    if (!labelsArePositions(list))
        return false;
    const int count = grid.getCount();
    const std::vector<TypeRef> labels = grid.getLabels();
    for (const Attribute* item : list.madeChildren()) {
        if (ListAttributeEditor::itemIndex(item->getType().getLabel()) < count && !isOverwrittenBy(*item, grid, labels))
            return false;
    }
    const CellGrid* held = list.getCellGrid();
    if (!held)
        return true;
    // Unmade cells of an earlier grid hold that grid's labels, lengths in its unit.
    const TypeRef heldUnit = held->getLengthUnit().value_or(TypeRef());
    if (held->getListLabel() == grid.getListLabel() && (grid.getLengthUnit() || heldUnit.isNull()))
        return true;
    for (int index = 0; index < std::min(count, held->getCount()); ++index) {
        if (list.isCellUnmade(index))
            return false;
    }
    return true;
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

int ListAttributeEditor::itemIndex(const QString& label)
{
    if (label.size() != labelDigits)
        return -1;
    qint64 index = 0;
    for (const QChar c : label) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        index = index * 10 + (c.unicode() - '0');
    }
    return index <= INT_MAX ? int(index) : -1;
}

int ListAttributeEditor::getItemCount(const Entity* entity, const AttributePath& path)
{
    const CompositeAttribute* list = compositeAt(entity, path);
    if (!list)
        return 0;
    // Unmade cells are items; of the children made, only composites are.
    const std::vector<Attribute*> made = list->madeChildren();
    int count = list->childCount() - int(made.size());
    for (const Attribute* child : made)
        count += child->getKind() == Attribute::Kind::Composite ? 1 : 0;
    return count;
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
    const int current = list->childCount();
    if (!labelsArePositions(*list))
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
    if (ModelChangeCount* changes = model->getChangeCount())
        changes->changed(*entity);
    command->apply();
    model->getUndoStack().record(std::move(command), step);
    return true;
}

bool ListAttributeEditor::writeCells(Entity* entity, const AttributePath& path, const std::shared_ptr<const CellGrid>& grid)
{
    if (!grid || !entity || !entity->isAlive() || path.isEmpty() || !grid->isFinite())
        return false;
    if (const Attribute* existing = entity->findAttribute(path)) {
        if (existing->getKind() != Attribute::Kind::Composite ||
            !isReplaceableBy(*static_cast<const CompositeAttribute*>(existing), *grid))
            return false;
    }
    auto list = std::make_unique<CompositeAttribute>(TypeRef(path.last()));
    list->holdCells(grid);
    return entity->getModel()->replaceAttribute(entity, path, std::move(list), QStringLiteral("Set %1").arg(path.last()));
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
