#pragma once

#include <tarvex/host/AttributePath.h>
#include <tarvex/host/Entity.h>

#include <QVector>

#include <vector>

namespace EntityModel {

// Reading an entity's attributes: each returns `fallback` when the entity is null, the
// attribute is missing or it holds another kind of value.

/// A double in SI units.
double getStandardDoubleValue(const Entity* entity, const AttributePath& path, double fallback);
/// A double converted from SI to `unit` of `quantity`.
double getDoubleValue(const Entity* entity, const AttributePath& path, const TypeRef& quantity, const TypeRef& unit,
                      double fallback);
/// An integer (a double is truncated).
int getIntValue(const Entity* entity, const AttributePath& path, int fallback);
/// A boolean (a choice reads as true for `Yes_t`).
bool getBoolValue(const Entity* entity, const AttributePath& path, bool fallback);
/// False when `entity` belongs to a component standing on the bottom side of a board (the
/// component's top-level `Board_Side_t` holds `Bottom_t`): seen from below, its top is the
/// board's bottom and its left the board's right. True for anything else.
bool isOnBoardTopSide(const Entity* entity);
/// The name the host shows for `entity`: its `Name_t`, or for entities known by their
/// reference designator (components, boards) that designator; empty for none.
QString getDisplayName(const Entity* entity);
/// A string; a choice reads as its label, a number as its text.
QString getStringValue(const Entity* entity, const AttributePath& path, const QString& fallback = QString());
/// A choice; a string value reads as the type of that label.
TypeRef getTypeValue(const Entity* entity, const AttributePath& path, const TypeRef& fallback = TypeRef());
/// A list of doubles in SI units.
QVector<double> getStandardDoubleListValues(const Entity* entity, const AttributePath& path);
/// The first live linked entity, or null.
Entity* getLinkedEntity(const Entity* entity, const AttributePath& path);
/// The live linked entities, in link order.
std::vector<Entity*> getLinkedEntities(const Entity* entity, const AttributePath& path);
/// The direct children of the composite at `path` (the entity itself for the empty path).
std::vector<Attribute*> getChildAttributes(const Entity* entity, const AttributePath& path);
/// The `n`th of those children, or null.
Attribute* getNthChildAttribute(const Entity* entity, const AttributePath& path, int n);
/// The path of the entity list holding `entity` inside its owner (empty when detached).
AttributePath getOwnerPath(const Entity* entity);
/// True when the attribute holds the choice `value` (or a string equal to its label).
bool hasAttributeSetTo(const Entity* entity, const AttributePath& path, const TypeRef& value);
/// Same as `hasAttributeSetTo`.
bool attributeIsSetTo(const Entity* entity, const AttributePath& path, const TypeRef& value);

} // namespace EntityModel
