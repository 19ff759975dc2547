#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <map>
#include <unordered_map>
#include <vector>

namespace EntityModel {

class Entity;
class Model;

/// Counts what the edits of a model do to its entities while it is attached to the model
/// (Model::setChangeCount): entities created, deleted (with all they own) and changed (an
/// attribute holding another value at the end than before the first change), by type. An
/// entity counts once, as what it ends up being:
/// one created and then changed is created, one created and then deleted is neither. What an
/// operation taken back by undo made or deleted is not counted; what it changed still is.
class ModelChangeCount
{
public:
    /// Numbers of entities by type label.
    using ByType = std::map<QString, int>;

    /// Notes that `entity` was created.
    void created(const Entity& entity);
    /// Notes that `entity` and everything it owns were deleted.
    void deleted(const Entity& entity);
    /// Notes that an attribute of `entity` took another value.
    void changed(const Entity& entity);

    /// The entities created and alive in `model`, by type.
    ByType createdByType(const Model& model) const { return count(Fate::Created, model, true); }
    /// The entities that were there before and were changed, by type.
    ByType changedByType(const Model& model) const { return count(Fate::Changed, model, true); }
    /// The entities that were there before and are deleted from `model` (an operation taken
    /// back brings them back), by type.
    ByType deletedByType(const Model& model) const { return count(Fate::Deleted, model, false); }

    /// The sum of the numbers of `byType`.
    static int total(const ByType& byType);

private:
    enum class Fate { Created, Changed, Deleted, Gone };
    struct Record
    {
        QString type;
        Fate fate;
        QByteArray before; // what a changed entity held before, as fingerprint() gives it
    };
    // A digest of the plain attributes of `entity` (not of the entities it owns).
    static QByteArray fingerprint(const Entity& entity);
    ByType count(Fate fate, const Model& model, bool alive) const;
    // The record of the entity `id`, or null.
    Record* find(quint64 id);
    void add(quint64 id, Record record);

    // An import creates entities by the hundred thousand with ids one above the other: their
    // records stand in a vector from the id m_runStart on, without a node and a rehash each.
    std::vector<Record> m_run;
    quint64 m_runStart = 0;
    std::unordered_map<quint64, Record> m_records; // by entity id, those outside the run
    quint64 m_lastChanged = 0; // imports write many values of one entity in a row
};

} // namespace EntityModel
