#include <tarvex/host/BasicJsonObject.h>

#include <QJsonValue>

namespace InterProcess {
namespace Types {

BasicJsonObject::BasicJsonObject(const QJsonObject& object) : m_object(object), m_null(false) {}

BasicJsonObject::~BasicJsonObject() = default;

bool BasicJsonObject::hasItem(const QString& key) const
{
    return m_object.contains(key);
}

QJsonObject BasicJsonObject::getItemObject(const QString& key) const
{
    return m_object.value(key).toObject();
}

QJsonArray BasicJsonObject::getItemArray(const QString& key) const
{
    return m_object.value(key).toArray();
}

QString BasicJsonObject::getItemString(const QString& key, const QString& fallback) const
{
    const QJsonValue value = m_object.value(key);
    return value.isString() ? value.toString() : fallback;
}

bool BasicJsonObject::isItemDouble(const QString& key) const
{
    return m_object.value(key).isDouble();
}

double BasicJsonObject::getItemDouble(const QString& key, double fallback) const
{
    const QJsonValue value = m_object.value(key);
    return value.isDouble() ? value.toDouble() : fallback;
}

bool BasicJsonObject::getItemBool(const QString& key, bool fallback) const
{
    const QJsonValue value = m_object.value(key);
    return value.isBool() ? value.toBool() : fallback;
}

void BasicJsonObject::setItem(const QString& key, const QJsonValue& value)
{
    // Writing into the null object starts a real one: whatever is built this way is meant
    // to be written out, not taken for a failed read.
    m_object.insert(key, value);
    m_null = false;
}

void BasicJsonObject::removeItem(const QString& key)
{
    m_object.remove(key);
}

} // namespace Types
} // namespace InterProcess
