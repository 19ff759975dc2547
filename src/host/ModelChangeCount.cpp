#include <tarvex/host/ModelChangeCount.h>

#include <tarvex/host/Entity.h>
#include <tarvex/host/CurveAttribute.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/TypeRef.h>

#include <QCryptographicHash>
#include <QDataStream>

#include <vector>

namespace EntityModel {

namespace {

// Feeds every plain attribute below `holder`, in label order, into `stream`.
void write(const CompositeAttribute& holder, QDataStream& stream)
{
    holder.forEachChild([&stream](const Attribute& attribute) {
        stream << attribute.getType().getLabel() << int(attribute.getKind());
        switch (attribute.getKind()) {
        case Attribute::Kind::Value: {
            // A number is the same number whether it was read as an integer or written as a double.
            const QVariant& value = static_cast<const ValueAttribute&>(attribute).getValue();
            if (value.type() == QVariant::Double || value.type() == QVariant::Int || value.type() == QVariant::LongLong)
                stream << value.toDouble();
            else
                stream << value;
            stream << static_cast<const ValueAttribute&>(attribute).getUnit().getLabel();
            break;
        }
        case Attribute::Kind::Choice:
            stream << static_cast<const ChoiceAttribute&>(attribute).getChoice().getLabel();
            break;
        case Attribute::Kind::Link:
            stream << static_cast<const LinkAttribute&>(attribute).getIds();
            break;
        case Attribute::Kind::Curve:
            stream << static_cast<const CurveAttribute&>(attribute).getPoints();
            break;
        case Attribute::Kind::DoubleList:
            stream << static_cast<const DoubleListAttribute&>(attribute).getValues();
            break;
        case Attribute::Kind::Composite:
            write(static_cast<const CompositeAttribute&>(attribute), stream);
            stream << QStringLiteral("/");
            break;
        case Attribute::Kind::EntityList:
        case Attribute::Kind::Entity:
            break;
        }
    });
}

} // namespace

void ModelChangeCount::created(const Entity& entity)
{
    m_records[entity.getId()] = Record{entity.getType().getLabel(), Fate::Created, {}};
}

void ModelChangeCount::deleted(const Entity& entity)
{
    std::vector<Entity*> gone{const_cast<Entity*>(&entity)};
    entity.getOwnedChildEntities(gone, true, true);
    for (const Entity* one : gone) {
        const auto found = m_records.find(one->getId());
        if (found == m_records.end())
            m_records.emplace(one->getId(), Record{one->getType().getLabel(), Fate::Deleted, {}});
        else
            found->second.fate = found->second.fate == Fate::Created ? Fate::Gone : Fate::Deleted;
    }
    m_lastChanged = 0;
}

void ModelChangeCount::changed(const Entity& entity)
{
    if (entity.getId() == m_lastChanged)
        return;
    m_lastChanged = entity.getId();
    // A record keeps its fate: what was created or deleted is counted as such.
    if (m_records.count(entity.getId()) == 0)
        m_records.emplace(entity.getId(), Record{entity.getType().getLabel(), Fate::Changed, fingerprint(entity)});
}

QByteArray ModelChangeCount::fingerprint(const Entity& entity)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    write(entity, stream);
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

int ModelChangeCount::total(const ByType& byType)
{
    int sum = 0;
    for (const auto& entry : byType)
        sum += entry.second;
    return sum;
}

ModelChangeCount::ByType ModelChangeCount::count(Fate fate, const Model& model, bool alive) const
{
    ByType result;
    for (const auto& entry : m_records) {
        const Entity* entity = model.findEntity(entry.first);
        if (entry.second.fate != fate || (entity != nullptr) != alive)
            continue;
        // Values written and then written back are no change.
        if (fate == Fate::Changed && fingerprint(*entity) == entry.second.before)
            continue;
        ++result[entry.second.type];
    }
    return result;
}

} // namespace EntityModel
