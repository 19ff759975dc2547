#pragma once

#include <tarvex/host/TypeRef.h>

#include <QVariant>
#include <QVector>

#include <memory>
#include <vector>

namespace EntityModel {

class Entity;

/// One node of an entity's attribute tree. Plain attributes hold a value; composites hold
/// further attributes; entity lists own child entities. An entity is itself a composite.
class Attribute
{
public:
    /// What an attribute holds.
    enum class Kind { Value, Choice, Link, Curve, DoubleList, EntityList, Composite, Entity };

    virtual ~Attribute();
    Attribute(const Attribute&) = delete;
    Attribute& operator=(const Attribute&) = delete;

    /// The kind of content.
    Kind getKind() const { return m_kind; }
    /// For an entity its entity type; for any other attribute the label it is stored under.
    const TypeRef& getType() const { return m_type; }
    /// The attribute directly holding this one, or null when it is detached or the root.
    Attribute* getParent() const { return m_parent; }
    /// The nearest entity above this attribute (for an entity: its owner), or null.
    Entity* getOwnerEntity() const;
    /// A deep copy of a plain attribute or an empty composite; null for anything that owns
    /// entities (those are never copied).
    virtual std::unique_ptr<Attribute> clone() const = 0;
    /// True when `other` is a plain attribute of the same label holding the same value (of
    /// the same type, unit and order): writing it over this one would change nothing.
    virtual bool holdsSameAs(const Attribute& other) const;

protected:
    Attribute(Kind kind, const TypeRef& type) : m_kind(kind), m_type(type) {}

private:
    friend class CompositeAttribute;
    friend class EntityListAttribute;
    Kind m_kind;
    TypeRef m_type;
    Attribute* m_parent = nullptr;
};

/// A scalar: a double in SI units, an integer, a boolean or a string.
class ValueAttribute : public Attribute
{
public:
    /// A value stored under `label`; doubles are in SI, `unit` is the unit shown to people.
    ValueAttribute(const TypeRef& label, const QVariant& value, const TypeRef& unit = TypeRef());
    /// The stored value (double, qlonglong, bool or QString).
    const QVariant& getValue() const { return m_value; }
    /// The display unit of a double, or the null reference.
    const TypeRef& getUnit() const { return m_unit; }
    std::unique_ptr<Attribute> clone() const override;
    bool holdsSameAs(const Attribute& other) const override;

private:
    QVariant m_value;
    TypeRef m_unit;
};

/// A choice among host types, such as `Yes_t` or `Top_t`.
class ChoiceAttribute : public Attribute
{
public:
    ChoiceAttribute(const TypeRef& label, const TypeRef& choice);
    /// The chosen type.
    const TypeRef& getChoice() const { return m_choice; }
    std::unique_ptr<Attribute> clone() const override;
    bool holdsSameAs(const Attribute& other) const override;

private:
    TypeRef m_choice;
};

/// Links to other entities of the same model, kept by entity id so that a deleted target
/// simply stops resolving.
class LinkAttribute : public Attribute
{
public:
    LinkAttribute(const TypeRef& label, const QVector<quint64>& ids);
    /// Ids of the linked entities, in link order.
    const QVector<quint64>& getIds() const { return m_ids; }
    std::unique_ptr<Attribute> clone() const override;
    bool holdsSameAs(const Attribute& other) const override;

private:
    QVector<quint64> m_ids;
};

/// A list of doubles in SI units.
class DoubleListAttribute : public Attribute
{
public:
    DoubleListAttribute(const TypeRef& label, const QVector<double>& values);
    /// The values in SI units.
    const QVector<double>& getValues() const { return m_values; }
    std::unique_ptr<Attribute> clone() const override;
    bool holdsSameAs(const Attribute& other) const override;

private:
    QVector<double> m_values;
};

/// An ordered list of owned child entities.
class EntityListAttribute : public Attribute
{
public:
    explicit EntityListAttribute(const TypeRef& label);
    ~EntityListAttribute() override;

    /// Number of entities held.
    int count() const { return int(m_entities.size()); }
    /// The entity at `index` (no range check).
    Entity* at(int index) const { return m_entities[size_t(index)].get(); }
    /// Position of `entity` in the list, or -1.
    int indexOf(const Entity* entity) const;
    /// Takes ownership of `entity` and inserts it at `index` (append when out of range);
    /// answers the index it went to.
    int insert(int index, std::unique_ptr<Entity> entity);
    /// Gives up ownership of the entity at `index`.
    std::unique_ptr<Entity> take(int index);
    /// An empty list of the same label; null when the list holds entities.
    std::unique_ptr<Attribute> clone() const override;

private:
    std::vector<std::unique_ptr<Entity>> m_entities;
};

} // namespace EntityModel
