#include <tarvex/host/EntityEditor.h>

#include <tarvex/host/CurveAttribute.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/TypeCatalogue.h>
#include <tarvex/host/UndoStackOpener.h>
#include <tarvex/host/UnitConverter.h>

#include <cmath>
#include <stdexcept>

namespace EntityModel {

namespace {

Model* modelOf(const Entity* entity)
{
    return entity && entity->isAlive() ? entity->getModel() : nullptr;
}

// Where a write goes: a path from the entity, or (a bare type) an attribute of the entity
// itself, for which no path is built: an import writes millions of those.
Attribute* attributeAt(const Entity* entity, const AttributePath& path)
{
    return entity->findAttribute(path);
}

Attribute* attributeAt(const Entity* entity, const TypeRef& own)
{
    return entity->child(own.getLabel());
}

TypeRef labelOf(const AttributePath& path)
{
    return TypeRef(path.last());
}

const TypeRef& labelOf(const TypeRef& own)
{
    return own;
}

bool store(Model* model, Entity* entity, const AttributePath& path, std::unique_ptr<Attribute> attribute,
           const QString& step)
{
    return model->setAttribute(entity, path, std::move(attribute), step);
}

bool store(Model* model, Entity* entity, const TypeRef&, std::unique_ptr<Attribute> attribute, const QString& step)
{
    return model->setOwnAttribute(entity, std::move(attribute), step);
}

// Sets the attribute at `place`; a write outside an open step is a step of its own, named
// after the attribute (inside one the name is never seen, so it is not made).
template <typename Place>
bool put(Entity* entity, const Place& place, std::unique_ptr<Attribute> attribute)
{
    Model* model = modelOf(entity);
    if (!model)
        return false;
    const QString step =
        model->getUndoStack().isStepOpen() ? QString() : QStringLiteral("Set %1").arg(labelOf(place).getLabel());
    return store(model, entity, place, std::move(attribute), step);
}

void orThrow(bool done, const char* operation, const Entity* entity, const AttributePath& path)
{
    if (!done) {
        throw std::runtime_error(QStringLiteral("%1 failed for \"%2\" of entity %3")
                                     .arg(QString::fromLatin1(operation), path.toString(),
                                          entity ? QString::number(entity->getId()) : QStringLiteral("(none)"))
                                     .toStdString());
    }
}

bool allFinite(const QVector<double>& values)
{
    for (double value : values) {
        if (!std::isfinite(value))
            return false;
    }
    return true;
}

template <typename Place>
const ValueAttribute* doubleAt(const Entity* entity, const Place& place)
{
    const Attribute* at = entity ? attributeAt(entity, place) : nullptr;
    if (!at || at->getKind() != Attribute::Kind::Value)
        return nullptr;
    const auto* value = static_cast<const ValueAttribute*>(at);
    return value->getValue().type() == QVariant::Double ? value : nullptr;
}

template <typename Place>
bool writeChoice(Entity* entity, const Place& place, const TypeRef& value)
{
    const QList<TypeRef> choices = TypeCatalogue::choicesFor(labelOf(place));
    if (value.isNull() || (!choices.isEmpty() && !choices.contains(value)))
        return false;
    const Attribute* current = entity ? attributeAt(entity, place) : nullptr;
    if (current && entity->isAlive() && current->getKind() == Attribute::Kind::Choice &&
        static_cast<const ChoiceAttribute*>(current)->getChoice() == value)
        return true;
    return put(entity, place, std::make_unique<ChoiceAttribute>(labelOf(place), value));
}

// Onto a choice attribute the string is taken as the choice's label.
template <typename Place>
bool writeString(Entity* entity, const Place& place, const QString& value)
{
    const Attribute* current = entity ? attributeAt(entity, place) : nullptr;
    if (current && current->getKind() == Attribute::Kind::Choice)
        return writeChoice(entity, place, TypeRef(value));
    return put(entity, place, std::make_unique<ValueAttribute>(labelOf(place), value));
}

template <typename Place>
bool writeDouble(Entity* entity, const Place& place, double value)
{
    if (!std::isfinite(value))
        return false;
    // Keep the unit the value is shown in. The value already there needs no new attribute:
    // an update from an unchanged file writes millions of them.
    const ValueAttribute* current = doubleAt(entity, place);
    if (current && entity->isAlive() && current->getValue().toDouble() == value)
        return true;
    const TypeRef unit = current ? current->getUnit() : TypeRef();
    return put(entity, place, std::make_unique<ValueAttribute>(labelOf(place), QVariant(value), unit));
}

template <typename Place>
bool writeLinks(Entity* entity, const Place& place, const std::vector<Entity*>& targets)
{
    QVector<quint64> ids;
    ids.reserve(int(targets.size()));
    for (const Entity* target : targets) {
        if (!target || !target->isAlive() || !entity || target->getModel() != entity->getModel())
            return false;
        ids << target->getId();
    }
    return put(entity, place, std::make_unique<LinkAttribute>(labelOf(place), ids));
}

} // namespace

Entity* EntityEditor::createEntity(const TypeRef& type, Entity* owner, const AttributePath& path, Entity*, int,
                                   const QString& name, int index)
{
    Model* model = modelOf(owner);
    if (!model)
        return nullptr;
    // Inside an open step the name is never seen: an import creates millions of entities.
    const QString step =
        model->getUndoStack().isStepOpen() ? QString() : QStringLiteral("Create %1").arg(type.getLabel());
    UndoStackOpener opener(model, step);
    Entity* made = model->createEntity(type, EntitySlot{owner, path, index}, step);
    if (made && !name.isEmpty())
        model->setAttribute(made, Name_t, std::make_unique<ValueAttribute>(Name_t, name), step);
    return made;
}

bool EntityEditor::addEntity(Entity* owner, const AttributePath& path, Entity* entity, int index)
{
    Model* model = modelOf(owner);
    if (!model || !entity || entity->getModel() != model || model->slotOf(entity).owner)
        return false;
    return model->moveEntity(entity, EntitySlot{owner, path, index}, QStringLiteral("Add Entity"));
}

bool EntityEditor::removeEntity(Entity* owner, const AttributePath& path, Entity* entity, bool)
{
    Model* model = modelOf(entity);
    if (!model || !owner)
        return false;
    const EntitySlot slot = model->slotOf(entity);
    if (slot.owner != owner || slot.path != path)
        return false;
    return model->moveEntity(entity, EntitySlot{}, QStringLiteral("Remove Entity"));
}

bool EntityEditor::removeAllEntities(Entity* owner, const AttributePath& path)
{
    Model* model = modelOf(owner);
    if (!model)
        return false;
    const Attribute* at = owner->findAttribute(path);
    if (!at || at->getKind() != Attribute::Kind::EntityList)
        return false;
    const auto* list = static_cast<const EntityListAttribute*>(at);
    UndoStackOpener opener(model, QStringLiteral("Remove Entities"));
    bool all = true;
    // From the end, so that a list of a hundred thousand entities empties in linear time.
    while (list->count() > 0 && all)
        all = model->moveEntity(list->at(list->count() - 1), EntitySlot{}, QStringLiteral("Remove Entities"));
    return all;
}

bool EntityEditor::moveEntity(Entity* entity, Entity* newOwner, const AttributePath& path, int index)
{
    Model* model = modelOf(entity);
    if (!model || !newOwner || newOwner->getModel() != model)
        return false;
    return model->moveEntity(entity, EntitySlot{newOwner, path, index}, QStringLiteral("Move Entity"));
}

bool EntityEditor::shiftEntity(Entity* entity, int index)
{
    Model* model = modelOf(entity);
    if (!model)
        return false;
    EntitySlot slot = model->slotOf(entity);
    if (!slot.owner)
        return false;
    slot.index = index;
    return model->moveEntity(entity, slot, QStringLiteral("Shift Entity"));
}

bool EntityEditor::deleteEntity(Entity* entity)
{
    Model* model = modelOf(entity);
    return model && model->deleteEntity(entity, QStringLiteral("Delete Entity"));
}

bool EntityEditor::deleteEntities(const std::vector<Entity*>& entities, bool)
{
    Model* model = nullptr;
    for (const Entity* entity : entities) {
        if ((model = modelOf(entity)))
            break;
    }
    if (!model)
        return entities.empty();
    UndoStackOpener opener(model, QStringLiteral("Delete Entities"));
    bool all = true;
    for (Entity* entity : entities) {
        // An entity may already have gone with an owner deleted before it.
        if (entity && entity->isAlive())
            all = model->deleteEntity(entity, QStringLiteral("Delete Entities")) && all;
    }
    return all;
}

bool EntityEditor::setValueNoThrow(Entity* entity, const AttributePath& path, const QString& value)
{
    return writeString(entity, path, value);
}

bool EntityEditor::setValueNoThrow(Entity* entity, const AttributePath& path, const char* value)
{
    return writeString(entity, path, QString::fromUtf8(value));
}

bool EntityEditor::setValueNoThrow(Entity* entity, const AttributePath& path, int value)
{
    return put(entity, path, std::make_unique<ValueAttribute>(labelOf(path), QVariant(qlonglong(value))));
}

bool EntityEditor::setValueNoThrow(Entity* entity, const AttributePath& path, bool value)
{
    return put(entity, path, std::make_unique<ValueAttribute>(labelOf(path), QVariant(value)));
}

bool EntityEditor::setValueNoThrow(Entity* entity, const AttributePath& path, const TypeRef& value)
{
    return writeChoice(entity, path, value);
}

bool EntityEditor::setValueNoThrow(Entity* entity, const TypeRef& attribute, const QString& value)
{
    return writeString(entity, attribute, value);
}

bool EntityEditor::setValueNoThrow(Entity* entity, const TypeRef& attribute, const char* value)
{
    return writeString(entity, attribute, QString::fromUtf8(value));
}

bool EntityEditor::setValueNoThrow(Entity* entity, const TypeRef& attribute, int value)
{
    return put(entity, attribute, std::make_unique<ValueAttribute>(attribute, QVariant(qlonglong(value))));
}

bool EntityEditor::setValueNoThrow(Entity* entity, const TypeRef& attribute, bool value)
{
    return put(entity, attribute, std::make_unique<ValueAttribute>(attribute, QVariant(value)));
}

bool EntityEditor::setValueNoThrow(Entity* entity, const TypeRef& attribute, const TypeRef& value)
{
    return writeChoice(entity, attribute, value);
}

void EntityEditor::setValue(Entity* entity, const AttributePath& path, const QString& value)
{
    orThrow(setValueNoThrow(entity, path, value), "setValue", entity, path);
}

void EntityEditor::setValue(Entity* entity, const AttributePath& path, const char* value)
{
    orThrow(setValueNoThrow(entity, path, value), "setValue", entity, path);
}

void EntityEditor::setValue(Entity* entity, const AttributePath& path, int value)
{
    orThrow(setValueNoThrow(entity, path, value), "setValue", entity, path);
}

void EntityEditor::setValue(Entity* entity, const AttributePath& path, bool value)
{
    orThrow(setValueNoThrow(entity, path, value), "setValue", entity, path);
}

void EntityEditor::setValue(Entity* entity, const AttributePath& path, const TypeRef& value)
{
    orThrow(setValueNoThrow(entity, path, value), "setValue", entity, path);
}

bool EntityEditor::setSIValueNoThrow(Entity* entity, const AttributePath& path, double value, bool)
{
    return writeDouble(entity, path, value);
}

bool EntityEditor::setSIValueNoThrow(Entity* entity, const TypeRef& attribute, double value, bool)
{
    return writeDouble(entity, attribute, value);
}

void EntityEditor::setSIValue(Entity* entity, const AttributePath& path, double value, bool notify)
{
    orThrow(setSIValueNoThrow(entity, path, value, notify), "setSIValue", entity, path);
}

bool EntityEditor::setSIDoubleListValueNoThrow(Entity* entity, const AttributePath& path,
                                               const QVector<double>& values)
{
    if (!allFinite(values))
        return false;
    return put(entity, path, std::make_unique<DoubleListAttribute>(labelOf(path), values));
}

void EntityEditor::setSIDoubleListValue(Entity* entity, const AttributePath& path, const QVector<double>& values)
{
    orThrow(setSIDoubleListValueNoThrow(entity, path, values), "setSIDoubleListValue", entity, path);
}

bool EntityEditor::setSIPointsCurveNoThrow(Entity* entity, const AttributePath& path, const QVector<QPointF>& points)
{
    for (const QPointF& point : points) {
        if (!std::isfinite(point.x()) || !std::isfinite(point.y()))
            return false;
    }
    return put(entity, path, std::make_unique<CurveAttribute>(labelOf(path), points));
}

void EntityEditor::setSIPointsCurve(Entity* entity, const AttributePath& path, const QVector<QPointF>& points)
{
    orThrow(setSIPointsCurveNoThrow(entity, path, points), "setSIPointsCurve", entity, path);
}

bool EntityEditor::setLinksNoThrow(Entity* entity, const AttributePath& path, const std::vector<Entity*>& targets)
{
    return writeLinks(entity, path, targets);
}

bool EntityEditor::setLinksNoThrow(Entity* entity, const TypeRef& attribute, const std::vector<Entity*>& targets)
{
    return writeLinks(entity, attribute, targets);
}

void EntityEditor::setLinks(Entity* entity, const AttributePath& path, const std::vector<Entity*>& targets)
{
    orThrow(setLinksNoThrow(entity, path, targets), "setLinks", entity, path);
}

bool EntityEditor::setConvertValueToUnitsNoThrow(Entity* entity, const AttributePath& path, const TypeRef& quantity,
                                                 const TypeRef& unit)
{
    const ValueAttribute* current = doubleAt(entity, path);
    if (!current || !UnitConverter::instance().isKnown(quantity, unit))
        return false;
    return put(entity, path, std::make_unique<ValueAttribute>(labelOf(path), current->getValue(), unit));
}

void EntityEditor::setConvertValueToUnits(Entity* entity, const AttributePath& path, const TypeRef& quantity,
                                          const TypeRef& unit)
{
    orThrow(setConvertValueToUnitsNoThrow(entity, path, quantity, unit), "setConvertValueToUnits", entity, path);
}

Entity* EntityEditor::getRootEntity(const Entity* entity)
{
    return entity ? entity->getModel()->getRoot() : nullptr;
}

} // namespace EntityModel
