#pragma once

#include <tarvex/host/TypeRef.h>

#include <QStringList>

namespace EntityModel {

/// Where an attribute lives inside an entity: attribute labels from the entity down,
/// written joined with "/".
class AttributePath
{
public:
    /// The empty path (the entity itself).
    AttributePath() = default;
    /// A one-step path.
    AttributePath(const TypeRef& step); // NOLINT: a type is a path of one step
    /// A path written as labels joined with "/"; empty steps are dropped.
    explicit AttributePath(const QString& text);

    /// The labels, outermost first.
    const QStringList& steps() const { return m_steps; }
    /// True when the path has no step.
    bool isEmpty() const { return m_steps.isEmpty(); }
    /// Number of steps.
    int size() const { return m_steps.size(); }
    /// The path without its last step.
    AttributePath parent() const;
    /// The last step's label (empty for the empty path).
    QString last() const;
    /// The labels joined with "/".
    QString toString() const { return m_steps.join(QLatin1Char('/')); }

    /// This path followed by another.
    AttributePath operator/(const AttributePath& tail) const;
    bool operator==(const AttributePath& other) const { return m_steps == other.m_steps; }
    bool operator!=(const AttributePath& other) const { return m_steps != other.m_steps; }

private:
    QStringList m_steps;
};

/// `Solid_Objects_t / Output_convective_HTC_t` reads as the two-step path.
inline AttributePath operator/(const TypeRef& head, const TypeRef& tail)
{
    return AttributePath(head) / AttributePath(tail);
}

} // namespace EntityModel
