#pragma once

#include <tarvex/host/Model.h>

#include <QJsonDocument>
#include <QString>

#include <optional>
#include <vector>

/// What differs between two host models, entity by entity, matched by id: the entities only
/// the first holds (removed), those only the second holds (added), and those both hold whose
/// type, place (owner and list) or attributes differ, each attribute with its old and new
/// value. Entities are compared where they stand in their models' trees; the order of
/// entities inside one list is not compared. Time and memory grow linearly with the models:
/// cell items that a layer has not made yet are made one at a time and dropped.
class ModelDiff
{
public:
    /// One attribute that differs, by its path of labels joined by "/" as `tarvex set` takes
    /// it ("(type)" and "(owner)" for the entity's type and place); a side that does not
    /// hold the attribute is empty.
    struct AttributeChange
    {
        QString path;
        std::optional<QString> before;
        std::optional<QString> after;
    };

    /// How an entity differs.
    enum class Kind { Added, Removed, Changed };

    /// One entity that differs: as the model that holds it describes it (the second model
    /// for a changed one), with its owner's description (empty for the root).
    struct EntityChange
    {
        Kind kind = Kind::Changed;
        quint64 id = 0;
        QString type;
        QString name;
        QString description;
        quint64 ownerId = 0;
        QString owner;
        /// For a changed entity, what changed, in label order.
        std::vector<AttributeChange> attributes;
    };

    /// Compares `before` with `after`.
    ModelDiff(const EntityModel::Model& before, const EntityModel::Model& after);

    /// Every entity that differs, by id.
    const std::vector<EntityChange>& changes() const { return m_changes; }
    /// True when the models hold the same entities with the same attributes.
    bool isEmpty() const { return m_changes.empty(); }

    /// One line per entity that differs ("+ " added, "- " removed, "~ " changed, then type,
    /// name, id and for the first two its owner), a changed entity's attributes below it as
    /// "    PATH: OLD -> NEW" ("(none)" for a side without it); empty when equal.
    QString toText() const;
    /// The same as a document: {"added": N, "removed": N, "changed": N, "entities": [{"change":
    /// "added"|"removed"|"changed", "id", "type", "name", "owner": id or null, "attributes":
    /// [{"path", "old", "new"}] (changed only; null for a side without it)}]}.
    QJsonDocument toJson() const;

    /// An attribute's value as the difference shows it: numbers in SI to ten digits, or with
    /// every digit when `exact` (a display unit in brackets), text quoted, choices by label,
    /// links as "#ID", curves as X:Y points.
    static QString describeValue(const EntityModel::Attribute& attribute, bool exact = false);

private:
    std::vector<EntityChange> m_changes;
};
