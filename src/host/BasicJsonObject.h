#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

namespace InterProcess {
namespace Types {

/// A value around one JSON object with typed item reading that never fails; false when it
/// is the null object (the result of a failed read).
class BasicJsonObject
{
public:
    /// The null object.
    BasicJsonObject() = default;
    /// An object around `object`.
    explicit BasicJsonObject(const QJsonObject& object);
    virtual ~BasicJsonObject();

    /// The wrapped object.
    const QJsonObject& object() const { return m_object; }
    /// False for the null object.
    explicit operator bool() const { return !m_null; }
    /// True for the null object.
    bool isNull() const { return m_null; }

    /// True when `key` is present.
    bool hasItem(const QString& key) const;
    /// The object at `key`, or an empty object.
    QJsonObject getItemObject(const QString& key) const;
    /// The array at `key`, or an empty array.
    QJsonArray getItemArray(const QString& key) const;
    /// The string at `key`, or `fallback` when absent or not a string.
    QString getItemString(const QString& key, const QString& fallback = QString()) const;
    /// True when `key` holds a number.
    bool isItemDouble(const QString& key) const;
    /// The number at `key`, or `fallback` when absent or not a number.
    double getItemDouble(const QString& key, double fallback = 0.0) const;
    /// The boolean at `key`, or `fallback` when absent or not a boolean.
    bool getItemBool(const QString& key, bool fallback = false) const;
    /// Writes `value` at `key`; the null object becomes a real one.
    void setItem(const QString& key, const QJsonValue& value);
    /// Removes `key`.
    void removeItem(const QString& key);

protected:
    QJsonObject m_object;
    bool m_null = true;
};

} // namespace Types
} // namespace InterProcess
