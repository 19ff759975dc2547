#include <tarvex/host/EntityReading.h>

#include <tarvex/host/Model.h>
#include <tarvex/host/UnitConverter.h>

namespace EntityModel {

namespace {

const Attribute* find(const Entity* entity, const AttributePath& path, Attribute::Kind kind)
{
    const Attribute* at = entity ? entity->findAttribute(path) : nullptr;
    return at && at->getKind() == kind ? at : nullptr;
}

const QVariant* valueAt(const Entity* entity, const AttributePath& path)
{
    const auto* at = static_cast<const ValueAttribute*>(find(entity, path, Attribute::Kind::Value));
    return at ? &at->getValue() : nullptr;
}

bool isNumber(const QVariant& value)
{
    return value.type() == QVariant::Double || value.type() == QVariant::LongLong;
}

} // namespace

double getStandardDoubleValue(const Entity* entity, const AttributePath& path, double fallback)
{
    const QVariant* value = valueAt(entity, path);
    return value && isNumber(*value) ? value->toDouble() : fallback;
}

double getDoubleValue(const Entity* entity, const AttributePath& path, const TypeRef& quantity, const TypeRef& unit,
                      double fallback)
{
    const QVariant* value = valueAt(entity, path);
    if (!value || !isNumber(*value))
        return fallback;
    bool ok = false;
    const double converted = UnitConverter::instance().convertFromSI(quantity, value->toDouble(), unit, &ok);
    return ok ? converted : fallback;
}

int getIntValue(const Entity* entity, const AttributePath& path, int fallback)
{
    const QVariant* value = valueAt(entity, path);
    return value && isNumber(*value) ? int(value->toLongLong()) : fallback;
}

bool getBoolValue(const Entity* entity, const AttributePath& path, bool fallback)
{
    if (const QVariant* value = valueAt(entity, path))
        return value->type() == QVariant::Bool ? value->toBool() : fallback;
    if (const auto* choice = static_cast<const ChoiceAttribute*>(find(entity, path, Attribute::Kind::Choice)))
        return choice->getChoice() == Yes_t;
    return fallback;
}

bool isOnBoardTopSide(const Entity* entity)
{
    const Entity* component = nullptr;
    for (const Entity* owner = entity; owner; owner = owner->getOwnerEntity()) {
        if (!component) {
            if (owner->getType() == Component_t)
                component = owner;
        } else if (owner->getType() == PCB_t) {
            return !hasAttributeSetTo(component, Board_Side_t, Bottom_t);
        }
    }
    return true;
}

QString getDisplayName(const Entity* entity)
{
    if (!entity)
        return QString();
    const QString name = entity->getName();
    return name.isEmpty() ? getStringValue(entity, Reference_Designator_t) : name;
}

QString getStringValue(const Entity* entity, const AttributePath& path, const QString& fallback)
{
    if (const QVariant* value = valueAt(entity, path))
        return value->type() == QVariant::Double ? QString::number(value->toDouble(), 'g', 17) : value->toString();
    if (const auto* choice = static_cast<const ChoiceAttribute*>(find(entity, path, Attribute::Kind::Choice)))
        return choice->getChoice().getLabel();
    return fallback;
}

TypeRef getTypeValue(const Entity* entity, const AttributePath& path, const TypeRef& fallback)
{
    if (const auto* choice = static_cast<const ChoiceAttribute*>(find(entity, path, Attribute::Kind::Choice)))
        return choice->getChoice();
    if (const QVariant* value = valueAt(entity, path)) {
        if (value->type() == QVariant::String)
            return TypeRef(value->toString());
    }
    return fallback;
}

QVector<double> getStandardDoubleListValues(const Entity* entity, const AttributePath& path)
{
    const auto* list = static_cast<const DoubleListAttribute*>(find(entity, path, Attribute::Kind::DoubleList));
    return list ? list->getValues() : QVector<double>();
}

std::vector<Entity*> getLinkedEntities(const Entity* entity, const AttributePath& path)
{
    std::vector<Entity*> result;
    const auto* links = static_cast<const LinkAttribute*>(find(entity, path, Attribute::Kind::Link));
    if (!links)
        return result;
    for (quint64 id : links->getIds()) {
        if (Entity* target = entity->getModel()->findEntity(id))
            result.push_back(target);
    }
    return result;
}

Entity* getLinkedEntity(const Entity* entity, const AttributePath& path)
{
    const std::vector<Entity*> all = getLinkedEntities(entity, path);
    return all.empty() ? nullptr : all.front();
}

std::vector<Attribute*> getChildAttributes(const Entity* entity, const AttributePath& path)
{
    const Attribute* at = entity ? entity->findAttribute(path) : nullptr;
    if (!at || (at->getKind() != Attribute::Kind::Composite && at->getKind() != Attribute::Kind::Entity))
        return {};
    return static_cast<const CompositeAttribute*>(at)->children();
}

Attribute* getNthChildAttribute(const Entity* entity, const AttributePath& path, int n)
{
    const std::vector<Attribute*> all = getChildAttributes(entity, path);
    return n >= 0 && size_t(n) < all.size() ? all[size_t(n)] : nullptr;
}

AttributePath getOwnerPath(const Entity* entity)
{
    return entity ? entity->getModel()->slotOf(entity).path : AttributePath();
}

bool hasAttributeSetTo(const Entity* entity, const AttributePath& path, const TypeRef& value)
{
    return !value.isNull() && getTypeValue(entity, path) == value;
}

bool attributeIsSetTo(const Entity* entity, const AttributePath& path, const TypeRef& value)
{
    return hasAttributeSetTo(entity, path, value);
}

} // namespace EntityModel
