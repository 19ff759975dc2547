#pragma once

#include <tarvex/host/AttributePath.h>
#include <tarvex/host/Entity.h>
#include <tarvex/host/UndoStack.h>

#include <QHash>

#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

namespace EntityModel {

class ModelChangeCount;

/// Where an entity sits: in an entity list of an owner (at `index`, -1 meaning the end), or
/// detached (held by the model, `owner` null).
struct EntitySlot
{
    Entity* owner = nullptr;
    AttributePath path;
    int index = -1;
};

/// One host model: the root project entity, every entity made in it, the entities detached
/// from their owners, and the undo history. Every change goes through the recorded edits
/// below, so that an undo step can take it back exactly.
class Model
{
public:
    /// An empty model: a root `Project_t` entity and nothing else.
    Model();
    ~Model();
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    /// A new project as a user starts it: a chassis and a solution control under the root.
    static std::unique_ptr<Model> createDefault();

    /// The project entity at the top of the tree.
    Entity* getRoot() const { return m_root.get(); }
    /// The live entity with `id`, or null.
    Entity* findEntity(quint64 id) const;
    /// The history of edits.
    UndoStack& getUndoStack() { return m_undo; }
    /// Whether edits go into the undo history (on by default). A run that will never undo
    /// turns it off: the history is dropped, edits cost no copies, and a failed operation is
    /// no longer taken back in memory, so its caller must drop the model (not save it).
    void setUndoRecording(bool on) { m_undo.setRecording(on); }
    /// The entities currently detached from any owner.
    std::vector<Entity*> getDetachedEntities() const;

    /// Recorded edit: puts `attribute` at `path` of `entity` (its label must be the path's
    /// last step), creating missing composites on the way. Fails, changing nothing, when a
    /// step of the way is not a composite or the attribute there owns entities.
    bool setAttribute(Entity* entity, const AttributePath& path, std::unique_ptr<Attribute> attribute,
                      const QString& stepName);
    /// Recorded edit: `setAttribute` at the one-step path of `attribute`'s own label (an
    /// attribute of the entity itself), without building that path: imports write millions.
    bool setOwnAttribute(Entity* entity, std::unique_ptr<Attribute> attribute, const QString& stepName);
    /// Recorded edit: puts `attribute` at `path` of `entity` as `setAttribute` does, but
    /// whatever stood there (a composite with all it holds too) moves into the undo history
    /// instead of being copied, and comes back whole on undo. Fails, changing nothing, for a
    /// way that is not made of composites or when what stands there owns entities.
    bool replaceAttribute(Entity* entity, const AttributePath& path, std::unique_ptr<Attribute> attribute,
                          const QString& stepName);
    /// Recorded edit: a new entity of `type` at `slot` (the entity list is made if missing).
    Entity* createEntity(const TypeRef& type, const EntitySlot& slot, const QString& stepName);
    /// Recorded edit: moves `entity` to `slot`. Fails when the entity is deleted, the slot's
    /// owner is not alive, or the slot lies inside the entity itself.
    bool moveEntity(Entity* entity, const EntitySlot& slot, const QString& stepName);
    /// Recorded edit: deletes `entity` (with everything it owns); undo brings it back.
    bool deleteEntity(Entity* entity, const QString& stepName);
    /// Where `entity` is now.
    EntitySlot slotOf(const Entity* entity) const;

    /// Has `count` (not owned; null for none) told of every entity the recorded edits
    /// create, delete or change (told before the change) from now on.
    void setChangeCount(ModelChangeCount* count) { m_changeCount = count; }
    /// The change count edits are told of, or null.
    ModelChangeCount* getChangeCount() const { return m_changeCount; }

    /// Loading support: a registered entity with a given id (0 picks the next free id).
    std::unique_ptr<Entity> makeEntity(const TypeRef& type, quint64 id = 0);
    /// Loading support: makes room for `count` entities in the id table at once.
    void reserveEntities(int count) { m_entities.reserve(count); }
    /// Loading support: replaces the root entity and forgets the history.
    void resetRoot(std::unique_ptr<Entity> root);

private:
    friend class Entity;
    friend class SlotMover;
    void forget(Entity* entity);
    std::unique_ptr<Entity> takeFrom(const EntitySlot& slot, Entity* entity);
    int putAt(const EntitySlot& slot, std::unique_ptr<Entity> entity);
    bool ensureList(const EntitySlot& slot, const QString& stepName);
    int existingWay(Entity* entity, const AttributePath& path) const;
    void makeWay(Entity* entity, const AttributePath& path, int existingSteps, const QString& stepName);
    void recordSwap(Entity* entity, AttributePath path, std::unique_ptr<Attribute> attribute, const QString& stepName);

    QHash<quint64, Entity*> m_entities;
    quint64 m_nextId = 1;
    // Entities held outside the tree, by id: found again in constant time (an update detaches
    // and attaches again every entity of the earlier import), sorted by id when listed.
    std::unordered_map<quint64, std::unique_ptr<Entity>> m_detached;
    // Entities deleted while no history is kept: callers may still ask whether they live.
    std::vector<std::unique_ptr<Entity>> m_deleted;
    std::unique_ptr<Entity> m_root;
    UndoStack m_undo;
    ModelChangeCount* m_changeCount = nullptr;
};

} // namespace EntityModel
