#include <tarvex/host/Attribute.h>

#include <tarvex/host/Entity.h>

#include <algorithm>

namespace EntityModel {

Attribute::~Attribute() = default;

Entity* Attribute::getOwnerEntity() const
{
    for (Attribute* up = m_parent; up; up = up->m_parent) {
        if (up->getKind() == Kind::Entity)
            return static_cast<Entity*>(up);
    }
    return nullptr;
}

bool Attribute::holdsSameAs(const Attribute&) const { return false; }

namespace {

// `other` as an attribute of the same kind and label as `self`, or null.
template <typename Plain>
const Plain* sameKindAndLabel(const Plain& self, const Attribute& other)
{
    return other.getKind() == self.getKind() && other.getType() == self.getType() ? static_cast<const Plain*>(&other)
                                                                                    : nullptr;
}

} // namespace

ValueAttribute::ValueAttribute(const TypeRef& label, const QVariant& value, const TypeRef& unit)
    : Attribute(Kind::Value, label), m_value(value), m_unit(unit)
{
}

std::unique_ptr<Attribute> ValueAttribute::clone() const
{
    return std::make_unique<ValueAttribute>(getType(), m_value, m_unit);
}

bool ValueAttribute::holdsSameAs(const Attribute& other) const
{
    // 1 and 1.0 compare equal as variants but are saved differently.
    const ValueAttribute* value = sameKindAndLabel(*this, other);
    return value && value->m_value.userType() == m_value.userType() && value->m_value == m_value &&
           value->m_unit == m_unit;
}

ChoiceAttribute::ChoiceAttribute(const TypeRef& label, const TypeRef& choice)
    : Attribute(Kind::Choice, label), m_choice(choice)
{
}

std::unique_ptr<Attribute> ChoiceAttribute::clone() const
{
    return std::make_unique<ChoiceAttribute>(getType(), m_choice);
}

bool ChoiceAttribute::holdsSameAs(const Attribute& other) const
{
    const ChoiceAttribute* choice = sameKindAndLabel(*this, other);
    return choice && choice->m_choice == m_choice;
}

LinkAttribute::LinkAttribute(const TypeRef& label, const QVector<quint64>& ids)
    : Attribute(Kind::Link, label), m_ids(ids)
{
}

std::unique_ptr<Attribute> LinkAttribute::clone() const
{
    return std::make_unique<LinkAttribute>(getType(), m_ids);
}

bool LinkAttribute::holdsSameAs(const Attribute& other) const
{
    const LinkAttribute* link = sameKindAndLabel(*this, other);
    return link && link->m_ids == m_ids;
}

DoubleListAttribute::DoubleListAttribute(const TypeRef& label, const QVector<double>& values)
    : Attribute(Kind::DoubleList, label), m_values(values)
{
}

std::unique_ptr<Attribute> DoubleListAttribute::clone() const
{
    return std::make_unique<DoubleListAttribute>(getType(), m_values);
}

bool DoubleListAttribute::holdsSameAs(const Attribute& other) const
{
    const DoubleListAttribute* list = sameKindAndLabel(*this, other);
    return list && list->m_values == m_values;
}

EntityListAttribute::EntityListAttribute(const TypeRef& label) : Attribute(Kind::EntityList, label) {}

EntityListAttribute::~EntityListAttribute()
{
    // Children go before the list so that each can still find its model while it unwinds.
    while (!m_entities.empty())
        m_entities.pop_back();
}

int EntityListAttribute::indexOf(const Entity* entity) const
{
    // From the end: the entity asked for is most often the one just appended, and lists of
    // hundreds of thousands of balls are built one append at a time.
    const auto it = std::find_if(m_entities.rbegin(), m_entities.rend(),
                                 [entity](const std::unique_ptr<Entity>& held) { return held.get() == entity; });
    return it == m_entities.rend() ? -1 : int(m_entities.rend() - it) - 1;
}

int EntityListAttribute::insert(int index, std::unique_ptr<Entity> entity)
{
    entity->m_parent = this;
    if (index < 0 || size_t(index) >= m_entities.size()) {
        m_entities.push_back(std::move(entity));
        return count() - 1;
    }
    m_entities.insert(m_entities.begin() + index, std::move(entity));
    return index;
}

std::unique_ptr<Entity> EntityListAttribute::take(int index)
{
    std::unique_ptr<Entity> entity = std::move(m_entities[size_t(index)]);
    m_entities.erase(m_entities.begin() + index);
    entity->m_parent = nullptr;
    return entity;
}

std::unique_ptr<Attribute> EntityListAttribute::clone() const
{
    if (!m_entities.empty())
        return nullptr;
    return std::make_unique<EntityListAttribute>(getType());
}

} // namespace EntityModel
