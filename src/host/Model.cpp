#include <tarvex/host/Model.h>

#include <tarvex/host/ModelChangeCount.h>
#include <tarvex/host/TypeRef.h>

#include <algorithm>

namespace EntityModel {

namespace {

CompositeAttribute* asComposite(Attribute* attribute)
{
    if (attribute && (attribute->getKind() == Attribute::Kind::Composite ||
                      attribute->getKind() == Attribute::Kind::Entity))
        return static_cast<CompositeAttribute*>(attribute);
    return nullptr;
}

EntityListAttribute* listAt(const EntitySlot& slot)
{
    if (!slot.owner)
        return nullptr;
    Attribute* attribute = slot.owner->findAttribute(slot.path);
    if (attribute && attribute->getKind() == Attribute::Kind::EntityList)
        return static_cast<EntityListAttribute*>(attribute);
    return nullptr;
}

void setAlive(Entity* entity, bool alive, void (*mark)(Entity*, bool))
{
    mark(entity, alive);
    std::vector<Entity*> below;
    entity->getOwnedChildEntities(below, true, true);
    for (Entity* child : below)
        mark(child, alive);
}

// The composite that holds the attribute at `path` in `entity` (the path without its last
// step), found without making that shorter path: writes ask for it millions of times.
CompositeAttribute* holderOf(Entity* entity, const AttributePath& path)
{
    Attribute* at = entity;
    const QStringList& steps = path.steps();
    for (int i = 0; at && i + 1 < steps.size(); ++i) {
        CompositeAttribute* composite = asComposite(at);
        at = composite ? composite->child(steps[i]) : nullptr;
    }
    return at ? asComposite(at) : nullptr;
}

// Swaps what stands at one attribute place between two recorded states (null = absent).
class SetAttributeCommand : public UndoCommand
{
public:
    SetAttributeCommand(Entity* entity, AttributePath path, std::unique_ptr<Attribute> before,
                        std::unique_ptr<Attribute> after)
        : m_entity(entity), m_path(std::move(path)), m_before(std::move(before)), m_after(std::move(after))
    {
    }
    void undo() override { apply(m_before); }
    void redo() override { apply(m_after); }

private:
    void apply(const std::unique_ptr<Attribute>& state)
    {
        CompositeAttribute* holder = holderOf(m_entity, m_path);
        if (!holder)
            return;
        if (state)
            holder->put(state->clone());
        else
            holder->take(m_path.last());
    }
    Entity* m_entity;
    AttributePath m_path;
    std::unique_ptr<Attribute> m_before;
    std::unique_ptr<Attribute> m_after;
};

// Swaps the attribute at one place with the one this command holds (null = absent), so
// that undo and redo move whole attributes instead of copies.
class SwapAttributeCommand : public UndoCommand
{
public:
    SwapAttributeCommand(Entity* entity, AttributePath path, std::unique_ptr<Attribute> held)
        : m_entity(entity), m_path(std::move(path)), m_held(std::move(held))
    {
    }
    void undo() override { swap(); }
    void redo() override { swap(); }

private:
    void swap()
    {
        CompositeAttribute* holder = holderOf(m_entity, m_path);
        if (!holder)
            return;
        std::unique_ptr<Attribute> current = holder->take(m_path.last());
        if (m_held)
            holder->put(std::move(m_held));
        m_held = std::move(current);
    }
    Entity* m_entity;
    AttributePath m_path;
    std::unique_ptr<Attribute> m_held;
};

// What writing an attribute over `current` (null when absent) asks for. Something that
// holds entities or attributes is never replaced wholesale; writing what is already there
// changes nothing and leaves nothing to undo (an update from an unchanged file writes
// millions of such values).
enum class WriteNeed { Refused, Unchanged, Needed };

WriteNeed writeNeed(const Attribute* current, const Attribute& attribute)
{
    if (!current)
        return WriteNeed::Needed;
    const Attribute::Kind kind = current->getKind();
    const bool replaceable = (kind != Attribute::Kind::Entity && kind != Attribute::Kind::EntityList &&
                              kind != Attribute::Kind::Composite) ||
                             current->clone();
    if (!replaceable)
        return WriteNeed::Refused;
    return current->holdsSameAs(attribute) ? WriteNeed::Unchanged : WriteNeed::Needed;
}

bool ownsEntities(const Attribute& attribute)
{
    if (attribute.getKind() == Attribute::Kind::EntityList)
        return static_cast<const EntityListAttribute&>(attribute).count() > 0;
    std::vector<Entity*> owned;
    if (const CompositeAttribute* composite = asComposite(const_cast<Attribute*>(&attribute)))
        composite->getOwnedChildEntities(owned, false, true);
    return !owned.empty();
}

} // namespace

// Moves one entity between two places; "nowhere" (the deleted state, or not yet created)
// means this command holds it.
class SlotMover : public UndoCommand
{
public:
    struct Place
    {
        bool exists = true;
        EntitySlot slot;
    };
    SlotMover(Model* model, Entity* entity, Place from, Place to, std::unique_ptr<Entity> held)
        : m_model(model), m_entity(entity), m_from(std::move(from)), m_to(std::move(to)), m_held(std::move(held))
    {
    }
    void undo() override { move(m_to, m_from); }
    void redo() override { move(m_from, m_to); }

private:
    static void mark(Entity* entity, bool alive) { entity->m_alive = alive; }
    void move(const Place& from, const Place& to)
    {
        std::unique_ptr<Entity> entity = from.exists ? m_model->takeFrom(from.slot, m_entity) : std::move(m_held);
        if (!entity)
            return;
        if (to.exists) {
            setAlive(entity.get(), true, &SlotMover::mark);
            m_model->putAt(to.slot, std::move(entity));
        } else {
            setAlive(entity.get(), false, &SlotMover::mark);
            m_held = std::move(entity);
        }
    }
    Model* m_model;
    Entity* m_entity;
    Place m_from;
    Place m_to;
    std::unique_ptr<Entity> m_held;
};

Model::Model() : m_root(makeEntity(Project_t)) {}

Model::~Model()
{
    m_undo.clear();
    m_deleted.clear();
    m_detached.clear();
    m_root.reset();
}

std::unique_ptr<Model> Model::createDefault()
{
    auto model = std::make_unique<Model>();
    Entity* root = model->getRoot();
    model->createEntity(Chassis_t, EntitySlot{root, AttributePath(Chassis_t), -1}, QString());
    model->createEntity(Solution_Control_t, EntitySlot{root, AttributePath(Solution_Control_t), -1}, QString());
    model->getUndoStack().clear();
    return model;
}

Entity* Model::findEntity(quint64 id) const
{
    Entity* entity = m_entities.value(id, nullptr);
    return entity && entity->isAlive() ? entity : nullptr;
}

std::vector<Entity*> Model::getDetachedEntities() const
{
    std::vector<Entity*> result;
    result.reserve(m_detached.size());
    for (const auto& entry : m_detached)
        result.push_back(entry.second.get());
    std::sort(result.begin(), result.end(), [](const Entity* a, const Entity* b) { return a->getId() < b->getId(); });
    return result;
}

std::unique_ptr<Entity> Model::makeEntity(const TypeRef& type, quint64 id)
{
    if (id == 0 || m_entities.contains(id))
        id = m_nextId;
    m_nextId = std::max(m_nextId, id + 1);
    std::unique_ptr<Entity> entity(new Entity(this, id, type));
    m_entities.insert(id, entity.get());
    return entity;
}

void Model::resetRoot(std::unique_ptr<Entity> root)
{
    m_undo.clear();
    m_deleted.clear();
    m_detached.clear();
    m_root = std::move(root);
}

void Model::forget(Entity* entity)
{
    // By key, not by iterator: erasing through an iterator looks for the next entry, which
    // in a hash emptied one entity at a time costs a scan of the whole table each time.
    if (m_entities.value(entity->getId()) == entity)
        m_entities.remove(entity->getId());
}

int Model::existingWay(Entity* entity, const AttributePath& path) const
{
    if (!entity || !entity->isAlive() || entity->getModel() != this || path.isEmpty())
        return -1;
    Attribute* at = entity;
    int existingSteps = 0;
    const QStringList& steps = path.steps();
    for (int i = 0; i + 1 < steps.size(); ++i) {
        Attribute* next = asComposite(at)->child(steps[i]);
        if (!next)
            break;
        if (!asComposite(next) || next->getKind() == Attribute::Kind::Entity)
            return -1;
        at = next;
        ++existingSteps;
    }
    return existingSteps;
}

void Model::makeWay(Entity* entity, const AttributePath& path, int existingSteps, const QString& stepName)
{
    if (existingSteps >= path.size() - 1)
        return; // the way is there already, as it mostly is
    AttributePath made;
    for (int i = 0; i < path.size() - 1; ++i) {
        made = made / AttributePath(TypeRef(path.steps()[i]));
        if (i < existingSteps)
            continue;
        asComposite(entity->findAttribute(made.parent()))->put(std::make_unique<CompositeAttribute>(TypeRef(path.steps()[i])));
        if (m_undo.isRecording())
            m_undo.record(std::make_unique<SetAttributeCommand>(
                              entity, made, nullptr, std::make_unique<CompositeAttribute>(TypeRef(path.steps()[i]))),
                          stepName);
    }
}

bool Model::setAttribute(Entity* entity, const AttributePath& path, std::unique_ptr<Attribute> attribute,
                         const QString& stepName)
{
    // Check the whole way before changing anything.
    const int existingSteps = existingWay(entity, path);
    if (existingSteps < 0 || !attribute || attribute->getType().getLabel() != path.last())
        return false;
    const bool wayComplete = existingSteps == path.size() - 1;
    const Attribute* current = wayComplete ? holderOf(entity, path)->child(path.last()) : nullptr;
    const WriteNeed need = writeNeed(current, *attribute);
    if (need != WriteNeed::Needed)
        return need == WriteNeed::Unchanged;
    if (m_changeCount)
        m_changeCount->changed(*entity);
    makeWay(entity, path, existingSteps, stepName);
    if (m_undo.isRecording())
        recordSwap(entity, path, std::move(attribute), stepName);
    else
        holderOf(entity, path)->put(std::move(attribute));
    return true;
}

bool Model::setOwnAttribute(Entity* entity, std::unique_ptr<Attribute> attribute, const QString& stepName)
{
    if (!entity || !entity->isAlive() || entity->getModel() != this || !attribute || attribute->getType().isNull())
        return false;
    const WriteNeed need = writeNeed(entity->child(attribute->getType().getLabel()), *attribute);
    if (need != WriteNeed::Needed)
        return need == WriteNeed::Unchanged;
    if (m_changeCount)
        m_changeCount->changed(*entity);
    if (m_undo.isRecording()) {
        AttributePath path(attribute->getType()); // before the attribute moves into the call
        recordSwap(entity, std::move(path), std::move(attribute), stepName);
    } else {
        entity->put(std::move(attribute));
    }
    return true;
}

void Model::recordSwap(Entity* entity, AttributePath path, std::unique_ptr<Attribute> attribute, const QString& stepName)
{
    // The replaced attribute is kept by the command rather than copied: an import writes
    // millions of values, each one undoable.
    auto command = std::make_unique<SwapAttributeCommand>(entity, std::move(path), std::move(attribute));
    command->redo();
    m_undo.record(std::move(command), stepName);
}

bool Model::replaceAttribute(Entity* entity, const AttributePath& path, std::unique_ptr<Attribute> attribute,
                             const QString& stepName)
{
    const int existingSteps = existingWay(entity, path);
    if (existingSteps < 0 || !attribute || attribute->getType().getLabel() != path.last())
        return false;
    const bool wayComplete = existingSteps == path.size() - 1;
    Attribute* current = wayComplete ? asComposite(entity->findAttribute(path.parent()))->child(path.last()) : nullptr;
    if (current && ownsEntities(*current))
        return false; // they would leave the tree while still alive
    if (m_changeCount)
        m_changeCount->changed(*entity);
    makeWay(entity, path, existingSteps, stepName);
    if (!m_undo.isRecording()) {
        holderOf(entity, path)->put(std::move(attribute));
        return true;
    }
    recordSwap(entity, path, std::move(attribute), stepName);
    return true;
}

bool Model::ensureList(const EntitySlot& slot, const QString& stepName)
{
    if (listAt(slot))
        return true;
    if (!slot.owner || slot.path.isEmpty() || slot.owner->findAttribute(slot.path))
        return false;
    return setAttribute(slot.owner, slot.path, std::make_unique<EntityListAttribute>(TypeRef(slot.path.last())),
                        stepName);
}

Entity* Model::createEntity(const TypeRef& type, const EntitySlot& slot, const QString& stepName)
{
    if (type.isNull() || !slot.owner || !slot.owner->isAlive() || slot.owner->getModel() != this ||
        !ensureList(slot, stepName))
        return nullptr;
    std::unique_ptr<Entity> entity = makeEntity(type);
    Entity* made = entity.get();
    const int index = putAt(slot, std::move(entity));
    if (m_changeCount)
        m_changeCount->created(*made);
    if (!m_undo.isRecording())
        return made;
    // Where it went is the slot asked for, at the place the list gave it.
    const EntitySlot placed{slot.owner, slot.path, index};
    m_undo.record(std::make_unique<SlotMover>(this, made, SlotMover::Place{false, {}}, SlotMover::Place{true, placed},
                                              nullptr),
                  stepName);
    return made;
}

bool Model::moveEntity(Entity* entity, const EntitySlot& slot, const QString& stepName)
{
    if (!entity || !entity->isAlive() || entity->getModel() != this || entity == m_root.get())
        return false;
    if (slot.owner) {
        if (!slot.owner->isAlive() || slot.owner->getModel() != this)
            return false;
        for (Entity* up = slot.owner; up; up = up->getOwnerEntity()) {
            if (up == entity)
                return false;
        }
        if (!ensureList(slot, stepName))
            return false;
    }
    const EntitySlot from = slotOf(entity);
    EntitySlot to = slot;
    to.index = putAt(slot, takeFrom(from, entity));
    if (m_undo.isRecording())
        m_undo.record(std::make_unique<SlotMover>(this, entity, SlotMover::Place{true, from},
                                                  SlotMover::Place{true, to}, nullptr),
                      stepName);
    return true;
}

bool Model::deleteEntity(Entity* entity, const QString& stepName)
{
    if (!entity || !entity->isAlive() || entity->getModel() != this || entity == m_root.get())
        return false;
    if (m_changeCount)
        m_changeCount->deleted(*entity);
    if (!m_undo.isRecording()) {
        std::unique_ptr<Entity> deleted = takeFrom(slotOf(entity), entity);
        if (!deleted)
            return false;
        setAlive(deleted.get(), false, [](Entity* gone, bool alive) { gone->m_alive = alive; });
        m_deleted.push_back(std::move(deleted));
        return true;
    }
    // The mover's redo is the deletion itself, so one piece of code moves and marks.
    auto mover = std::make_unique<SlotMover>(this, entity, SlotMover::Place{true, slotOf(entity)},
                                             SlotMover::Place{false, {}}, nullptr);
    mover->redo();
    m_undo.record(std::move(mover), stepName);
    return true;
}

EntitySlot Model::slotOf(const Entity* entity) const
{
    EntitySlot slot;
    auto* list = entity->getParent();
    if (!list || list->getKind() != Attribute::Kind::EntityList)
        return slot; // detached
    slot.owner = list->getOwnerEntity();
    // Built step by step rather than parsed from text: an update asks this of every entity.
    for (const Attribute* at = list; at && at != slot.owner; at = at->getParent())
        slot.path = AttributePath(at->getType()) / slot.path;
    slot.index = static_cast<EntityListAttribute*>(list)->indexOf(entity);
    return slot;
}

std::unique_ptr<Entity> Model::takeFrom(const EntitySlot& slot, Entity* entity)
{
    if (EntityListAttribute* list = listAt(slot)) {
        const int index = list->indexOf(entity);
        if (index >= 0)
            return list->take(index);
        return nullptr;
    }
    const auto it = m_detached.find(entity->getId());
    if (it == m_detached.end() || it->second.get() != entity)
        return nullptr;
    std::unique_ptr<Entity> taken = std::move(it->second);
    m_detached.erase(it);
    return taken;
}

int Model::putAt(const EntitySlot& slot, std::unique_ptr<Entity> entity)
{
    if (!entity)
        return -1;
    if (EntityListAttribute* list = listAt(slot))
        return list->insert(slot.index, std::move(entity));
    const quint64 id = entity->getId();
    m_detached[id] = std::move(entity);
    return -1;
}

} // namespace EntityModel
