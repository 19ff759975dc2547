#include "ModelDiff.h"

#include "ModelLookup.h"

#include <tarvex/host/CellGrid.h>
#include <tarvex/host/CurveAttribute.h>
#include <tarvex/host/ListAttributeEditor.h>

#include <QJsonArray>
#include <QJsonObject>
#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <unordered_set>

using namespace EntityModel;

namespace {

const QString TypePath = QStringLiteral("(type)");
const QString OwnerPath = QStringLiteral("(owner)");

// Ten digits read well; every digit is shown only where ten cannot tell two values apart.
QString number(double value, bool exact)
{
    return exact ? QString::number(value, 'g', QLocale::FloatingPointShortest) : QString::number(value, 'g', 10);
}

QString quoted(QString text)
{
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

bool isGroup(const Attribute& attribute)
{
    return attribute.getKind() == Attribute::Kind::Composite || attribute.getKind() == Attribute::Kind::Entity;
}

// Whether two plain attributes hold the same value. Doubles are compared exactly: the host's
// own test takes numbers a millionth of a millionth apart (and curve points closer than
// that) for the same.
bool sameValue(const Attribute& before, const Attribute& after)
{
    if (before.getKind() == Attribute::Kind::Value && after.getKind() == Attribute::Kind::Value) {
        const auto& a = static_cast<const ValueAttribute&>(before);
        const auto& b = static_cast<const ValueAttribute&>(after);
        if (a.getValue().type() == QVariant::Double && b.getValue().type() == QVariant::Double)
            return a.getValue().toDouble() == b.getValue().toDouble() && a.getUnit() == b.getUnit();
    }
    if (before.getKind() == Attribute::Kind::Curve && after.getKind() == Attribute::Kind::Curve) {
        const QVector<QPointF>& a = static_cast<const CurveAttribute&>(before).getPoints();
        const QVector<QPointF>& b = static_cast<const CurveAttribute&>(after).getPoints();
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const QPointF& p, const QPointF& q) {
            return p.x() == q.x() && p.y() == q.y();
        });
    }
    return before.holdsSameAs(after);
}

// The direct children of a composite in label order. A cell item that its grid has not made
// yet is made for its turn only, so that walking a large grid never makes it whole.
class ChildCursor
{
public:
    explicit ChildCursor(const CompositeAttribute& composite)
        : m_composite(composite), m_made(composite.madeChildren()), m_grid(composite.getCellGrid())
    {
        settle();
    }

    bool atEnd() const { return !m_current; }
    const Attribute& current() const { return *m_current; }
    const QString& label() const { return m_label; }

    void next()
    {
        if (m_fromGrid)
            ++m_cell;
        else
            ++m_madeIndex;
        settle();
    }

private:
    void settle()
    {
        while (m_grid && m_cell < m_grid->getCount() && !m_composite.isCellUnmade(m_cell))
            ++m_cell;
        const bool haveCell = m_grid && m_cell < m_grid->getCount();
        const bool haveMade = m_madeIndex < m_made.size();
        m_item.reset();
        m_current = nullptr;
        if (!haveCell && !haveMade)
            return;
        const QString cellLabel = haveCell ? ListAttributeEditor::itemLabel(m_cell) : QString();
        m_fromGrid = haveCell && (!haveMade || cellLabel < m_made[m_madeIndex]->getType().getLabel());
        if (m_fromGrid) {
            m_item = m_grid->makeItem(m_cell);
            m_current = m_item.get();
            m_label = cellLabel;
        } else {
            m_current = m_made[m_madeIndex];
            m_label = m_current->getType().getLabel();
        }
    }

    const CompositeAttribute& m_composite;
    const std::vector<Attribute*> m_made;
    const CellGrid* m_grid;
    size_t m_madeIndex = 0;
    int m_cell = 0;
    bool m_fromGrid = false;
    std::unique_ptr<CompositeAttribute> m_item;
    const Attribute* m_current = nullptr;
    QString m_label;
};

// Collects the attributes that differ between two composites, walking both in label order.
class AttributeComparer
{
public:
    explicit AttributeComparer(std::vector<ModelDiff::AttributeChange>& changes) : m_changes(changes) {}

    void compare(const CompositeAttribute& before, const CompositeAttribute& after, const QString& prefix)
    {
        ChildCursor a(before);
        ChildCursor b(after);
        while (!a.atEnd() || !b.atEnd()) {
            const int order = a.atEnd() ? 1 : b.atEnd() ? -1 : QString::compare(a.label(), b.label());
            if (order < 0) {
                onlyOne(a.current(), prefix + a.label(), true);
                a.next();
            } else if (order > 0) {
                onlyOne(b.current(), prefix + b.label(), false);
                b.next();
            } else {
                both(a.current(), b.current(), prefix + a.label());
                a.next();
                b.next();
            }
        }
    }

private:
    void both(const Attribute& before, const Attribute& after, const QString& path)
    {
        // Owned entities are compared as entities of their own.
        if (before.getKind() == Attribute::Kind::EntityList && after.getKind() == Attribute::Kind::EntityList)
            return;
        if (isGroup(before) && isGroup(after)) {
            compare(static_cast<const CompositeAttribute&>(before), static_cast<const CompositeAttribute&>(after),
                    path + QLatin1Char('/'));
        } else if (!isGroup(before) && !isGroup(after) && before.getKind() != Attribute::Kind::EntityList &&
                   after.getKind() != Attribute::Kind::EntityList) {
            if (sameValue(before, after))
                return;
            QString old = ModelDiff::describeValue(before);
            QString now = ModelDiff::describeValue(after);
            if (old == now) {
                old = ModelDiff::describeValue(before, true);
                now = ModelDiff::describeValue(after, true);
            }
            m_changes.push_back({path, old, now});
        } else {
            onlyOne(before, path, true);
            onlyOne(after, path, false);
        }
    }

    // An attribute that one side holds and the other does not: each value it holds.
    void onlyOne(const Attribute& attribute, const QString& path, bool before)
    {
        if (attribute.getKind() == Attribute::Kind::EntityList)
            return;
        if (isGroup(attribute)) {
            ChildCursor children(static_cast<const CompositeAttribute&>(attribute));
            if (children.atEnd())
                record(path, QStringLiteral("(empty)"), before);
            for (; !children.atEnd(); children.next())
                onlyOne(children.current(), path + QLatin1Char('/') + children.label(), before);
            return;
        }
        record(path, ModelDiff::describeValue(attribute), before);
    }

    void record(const QString& path, const QString& value, bool before)
    {
        ModelDiff::AttributeChange change{path, std::nullopt, std::nullopt};
        (before ? change.before : change.after) = value;
        m_changes.push_back(change);
    }

    std::vector<ModelDiff::AttributeChange>& m_changes;
};

std::vector<Entity*> entitiesOf(const Model& model)
{
    std::vector<Entity*> all{model.getRoot()};
    model.getRoot()->getOwnedChildEntities(all, true, true);
    return all;
}

// The labels from an entity's owner down to the list that holds it ("Components").
QString listOf(const Entity& entity)
{
    QStringList labels;
    for (const Attribute* step = entity.getParent(); step && step->getKind() != Attribute::Kind::Entity;
         step = step->getParent())
        labels.prepend(step->getType().getLabel());
    return labels.join(QLatin1Char('/'));
}

QString placeOf(const Entity& entity)
{
    const Entity* owner = entity.getOwnerEntity();
    return owner ? listOf(entity) + QStringLiteral(" of ") + describeEntity(*owner) : QStringLiteral("(no owner)");
}

ModelDiff::EntityChange describe(ModelDiff::Kind kind, const Entity& entity)
{
    ModelDiff::EntityChange change;
    change.kind = kind;
    change.id = entity.getId();
    change.type = entity.getType().getLabel();
    change.name = lookupNameOf(entity);
    change.description = describeEntity(entity);
    if (const Entity* owner = entity.getOwnerEntity()) {
        change.ownerId = owner->getId();
        change.owner = describeEntity(*owner);
    }
    return change;
}

QJsonValue side(const std::optional<QString>& value) { return value ? QJsonValue(*value) : QJsonValue(); }

} // namespace

ModelDiff::ModelDiff(const Model& before, const Model& after)
{
    const std::vector<Entity*> oldEntities = entitiesOf(before);
    const std::vector<Entity*> newEntities = entitiesOf(after);
    std::unordered_map<quint64, const Entity*> newById;
    newById.reserve(newEntities.size());
    for (const Entity* entity : newEntities)
        newById.emplace(entity->getId(), entity);
    std::unordered_set<quint64> oldIds;
    oldIds.reserve(oldEntities.size());

    for (const Entity* old : oldEntities) {
        oldIds.insert(old->getId());
        const auto found = newById.find(old->getId());
        if (found == newById.end()) {
            m_changes.push_back(describe(Kind::Removed, *old));
            continue;
        }
        const Entity& now = *found->second;
        std::vector<AttributeChange> attributes;
        if (old->getType() != now.getType())
            attributes.push_back({TypePath, old->getType().getLabel(), now.getType().getLabel()});
        const Entity* oldOwner = old->getOwnerEntity();
        const Entity* newOwner = now.getOwnerEntity();
        if ((oldOwner ? oldOwner->getId() : 0) != (newOwner ? newOwner->getId() : 0) || listOf(*old) != listOf(now))
            attributes.push_back({OwnerPath, placeOf(*old), placeOf(now)});
        AttributeComparer(attributes).compare(*old, now, QString());
        if (attributes.empty())
            continue;
        m_changes.push_back(describe(Kind::Changed, now));
        m_changes.back().attributes = std::move(attributes);
    }
    for (const Entity* entity : newEntities) {
        if (!oldIds.count(entity->getId()))
            m_changes.push_back(describe(Kind::Added, *entity));
    }
    std::sort(m_changes.begin(), m_changes.end(),
              [](const EntityChange& a, const EntityChange& b) { return a.id < b.id; });
}

QString ModelDiff::toText() const
{
    QString text;
    for (const EntityChange& change : m_changes) {
        text += change.kind == Kind::Added ? QStringLiteral("+ ") : change.kind == Kind::Removed ? QStringLiteral("- ")
                                                                                                 : QStringLiteral("~ ");
        text += change.description;
        if (change.kind != Kind::Changed && !change.owner.isEmpty())
            text += QStringLiteral(" in ") + change.owner;
        text += QLatin1Char('\n');
        for (const AttributeChange& attribute : change.attributes)
            text += QStringLiteral("    ") + attribute.path + QStringLiteral(": ") +
                    attribute.before.value_or(QStringLiteral("(none)")) + QStringLiteral(" -> ") +
                    attribute.after.value_or(QStringLiteral("(none)")) + QLatin1Char('\n');
    }
    return text;
}

QJsonDocument ModelDiff::toJson() const
{
    QJsonArray entities;
    int counts[3] = {0, 0, 0};
    for (const EntityChange& change : m_changes) {
        ++counts[int(change.kind)];
        static const char* const kinds[] = {"added", "removed", "changed"};
        QJsonObject entity{{"change", kinds[int(change.kind)]},
                           {"id", double(change.id)},
                           {"type", change.type},
                           {"name", change.name},
                           {"owner", change.ownerId ? QJsonValue(double(change.ownerId)) : QJsonValue()}};
        if (change.kind == Kind::Changed) {
            QJsonArray attributes;
            for (const AttributeChange& attribute : change.attributes)
                attributes.append(QJsonObject{
                    {"path", attribute.path}, {"old", side(attribute.before)}, {"new", side(attribute.after)}});
            entity.insert(QStringLiteral("attributes"), attributes);
        }
        entities.append(entity);
    }
    return QJsonDocument(QJsonObject{{"added", counts[int(Kind::Added)]},
                                     {"removed", counts[int(Kind::Removed)]},
                                     {"changed", counts[int(Kind::Changed)]},
                                     {"entities", entities}});
}

QString ModelDiff::describeValue(const Attribute& attribute, bool exact)
{
    switch (attribute.getKind()) {
    case Attribute::Kind::Value: {
        const auto& value = static_cast<const ValueAttribute&>(attribute);
        const QVariant& v = value.getValue();
        if (v.type() == QVariant::Double)
            return number(v.toDouble(), exact) +
                   (value.getUnit().isNull() ? QString() : QStringLiteral(" [%1]").arg(value.getUnit().getLabel()));
        if (v.type() == QVariant::Bool)
            return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
        if (v.type() == QVariant::String)
            return quoted(v.toString());
        return v.toString();
    }
    case Attribute::Kind::Choice:
        return static_cast<const ChoiceAttribute&>(attribute).getChoice().getLabel();
    case Attribute::Kind::Link: {
        QStringList ids;
        for (quint64 id : static_cast<const LinkAttribute&>(attribute).getIds())
            ids << QLatin1Char('#') + QString::number(id);
        return ids.isEmpty() ? QStringLiteral("(no links)") : ids.join(QStringLiteral(", "));
    }
    case Attribute::Kind::Curve: {
        QStringList points;
        for (const QPointF& point : static_cast<const CurveAttribute&>(attribute).getPoints())
            points << number(point.x(), exact) + QLatin1Char(':') + number(point.y(), exact);
        return points.isEmpty() ? QStringLiteral("(empty curve)") : points.join(QStringLiteral(", "));
    }
    case Attribute::Kind::DoubleList: {
        QStringList values;
        for (double value : static_cast<const DoubleListAttribute&>(attribute).getValues())
            values << number(value, exact);
        return QLatin1Char('[') + values.join(QStringLiteral(", ")) + QLatin1Char(']');
    }
    case Attribute::Kind::EntityList:
    case Attribute::Kind::Composite:
    case Attribute::Kind::Entity:
        break;
    }
    return QStringLiteral("(group)");
}
