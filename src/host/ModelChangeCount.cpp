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

ModelChangeCount::Record* ModelChangeCount::find(quint64 id)
{
    if (id >= m_runStart && id - m_runStart < m_run.size())
        return &m_run[size_t(id - m_runStart)];
    const auto found = m_records.find(id);
    return found == m_records.end() ? nullptr : &found->second;
}

void ModelChangeCount::add(quint64 id, Record record)
{
    if (m_run.empty())
        m_runStart = id;
    if (id == m_runStart + m_run.size())
        m_run.push_back(std::move(record));
    else
        m_records.emplace(id, std::move(record));
}

void ModelChangeCount::created(const Entity& entity)
{
    Record record{entity.getType().getLabel(), Fate::Created, {}};
    if (Record* known = find(entity.getId()))
        *known = std::move(record);
    else
        add(entity.getId(), std::move(record));
}

void ModelChangeCount::deleted(const Entity& entity)
{
    std::vector<Entity*> gone{const_cast<Entity*>(&entity)};
    entity.getOwnedChildEntities(gone, true, true);
    for (const Entity* one : gone) {
        if (Record* known = find(one->getId()))
            known->fate = known->fate == Fate::Created ? Fate::Gone : Fate::Deleted;
        else
            add(one->getId(), Record{one->getType().getLabel(), Fate::Deleted, {}});
    }
    m_lastChanged = 0;
}

void ModelChangeCount::changed(const Entity& entity)
{
    if (entity.getId() == m_lastChanged)
        return;
    m_lastChanged = entity.getId();
    // A record keeps its fate: what was created or deleted is counted as such.
    if (!find(entity.getId()))
        add(entity.getId(), Record{entity.getType().getLabel(), Fate::Changed, fingerprint(entity)});
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
    const auto note = [&](quint64 id, const Record& record) {
        if (record.fate != fate)
            return;
        const Entity* entity = model.findEntity(id);
        if ((entity != nullptr) != alive)
            return;
        // Values written and then written back are no change.
        if (fate == Fate::Changed && fingerprint(*entity) == record.before)
            return;
        ++result[record.type];
    };
    for (size_t i = 0; i < m_run.size(); ++i)
        note(m_runStart + i, m_run[i]);
    for (const auto& entry : m_records)
        note(entry.first, entry.second);
    return result;
}

} // namespace EntityModel
