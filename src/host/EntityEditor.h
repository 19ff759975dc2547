#pragma once

#include <tarvex/host/AttributePath.h>
#include <tarvex/host/Entity.h>

#include <QPointF>
#include <QVector>

#include <vector>

namespace EntityModel {

/// The host's edit operations. Every edit is recorded in the model's undo history (inside
/// the open `UndoStackOpener` step, or as a step of its own). The plain forms throw
/// `std::runtime_error` where the `NoThrow` forms return false; a failed edit changes nothing.
class EntityEditor
{
public:
    /// A new entity of `type` in the entity list at `path` of `owner`, at `index` (-1: the
    /// end), named `name` when not empty; null when the place cannot hold entities. The
    /// library and flags are accepted for the host's signature.
    static Entity* createEntity(const TypeRef& type, Entity* owner, const AttributePath& path,
                                Entity* library = nullptr, int flags = 0, const QString& name = QString(),
                                int index = -1);
    /// Attaches a detached `entity` to the list at `path` of `owner`.
    static bool addEntity(Entity* owner, const AttributePath& path, Entity* entity, int index = -1);
    /// Detaches `entity` from the list at `path` of `owner`; the model keeps it detached.
    /// True when it was detached.
    static bool removeEntity(Entity* owner, const AttributePath& path, Entity* entity, bool = true);
    /// Detaches every entity of the list at `path` of `owner`.
    static bool removeAllEntities(Entity* owner, const AttributePath& path);
    /// Moves `entity` (attached or detached) into the list at `path` of `newOwner`.
    static bool moveEntity(Entity* entity, Entity* newOwner, const AttributePath& path, int index = -1);
    /// Moves `entity` to `index` of the list that holds it.
    static bool shiftEntity(Entity* entity, int index);
    /// Deletes `entity` and everything it owns (undo brings them back).
    static bool deleteEntity(Entity* entity);
    /// Deletes every entity of `entities` that is still alive; true when all went.
    static bool deleteEntities(const std::vector<Entity*>& entities, bool = true);

    /// Writes a string (onto a choice attribute the string is taken as the choice's label).
    static void setValue(Entity* entity, const AttributePath& path, const QString& value);
    static void setValue(Entity* entity, const AttributePath& path, const char* value);
    static void setValue(Entity* entity, const AttributePath& path, int value);
    static void setValue(Entity* entity, const AttributePath& path, bool value);
    /// Writes a choice; one that the attribute may not hold (see `TypeCatalogue::choicesFor`)
    /// is rejected.
    static void setValue(Entity* entity, const AttributePath& path, const TypeRef& value);
    static bool setValueNoThrow(Entity* entity, const AttributePath& path, const QString& value);
    static bool setValueNoThrow(Entity* entity, const AttributePath& path, const char* value);
    static bool setValueNoThrow(Entity* entity, const AttributePath& path, int value);
    static bool setValueNoThrow(Entity* entity, const AttributePath& path, bool value);
    static bool setValueNoThrow(Entity* entity, const AttributePath& path, const TypeRef& value);
    /// The writes above for an attribute of the entity itself, without building a path.
    static bool setValueNoThrow(Entity* entity, const TypeRef& attribute, const QString& value);
    static bool setValueNoThrow(Entity* entity, const TypeRef& attribute, const char* value);
    static bool setValueNoThrow(Entity* entity, const TypeRef& attribute, int value);
    static bool setValueNoThrow(Entity* entity, const TypeRef& attribute, bool value);
    static bool setValueNoThrow(Entity* entity, const TypeRef& attribute, const TypeRef& value);

    /// Writes a double in SI units; NaN and infinities are rejected.
    static void setSIValue(Entity* entity, const AttributePath& path, double value, bool = true);
    static bool setSIValueNoThrow(Entity* entity, const AttributePath& path, double value, bool = true);
    /// Writes a double in SI units to an attribute of the entity itself, without building a path.
    static bool setSIValueNoThrow(Entity* entity, const TypeRef& attribute, double value, bool = true);
    /// Writes a list of doubles in SI units; non-finite values are rejected.
    static void setSIDoubleListValue(Entity* entity, const AttributePath& path, const QVector<double>& values);
    static bool setSIDoubleListValueNoThrow(Entity* entity, const AttributePath& path, const QVector<double>& values);
    /// Writes an (x, y) curve in SI units; non-finite points are rejected.
    static void setSIPointsCurve(Entity* entity, const AttributePath& path, const QVector<QPointF>& points);
    static bool setSIPointsCurveNoThrow(Entity* entity, const AttributePath& path, const QVector<QPointF>& points);
    /// Writes links to `targets` (entities of the same model).
    static void setLinks(Entity* entity, const AttributePath& path, const std::vector<Entity*>& targets);
    static bool setLinksNoThrow(Entity* entity, const AttributePath& path, const std::vector<Entity*>& targets);
    /// Writes links to an attribute of the entity itself, without building a path.
    static bool setLinksNoThrow(Entity* entity, const TypeRef& attribute, const std::vector<Entity*>& targets);
    /// Changes the unit a stored double is shown in; the SI value stays. Fails for an
    /// unknown unit or when there is no double at `path`.
    static void setConvertValueToUnits(Entity* entity, const AttributePath& path, const TypeRef& quantity,
                                       const TypeRef& unit);
    static bool setConvertValueToUnitsNoThrow(Entity* entity, const AttributePath& path, const TypeRef& quantity,
                                              const TypeRef& unit);

    /// The top entity of the model `entity` belongs to.
    static Entity* getRootEntity(const Entity* entity);
};

} // namespace EntityModel
