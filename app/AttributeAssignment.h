#pragma once

#include <tarvex/host/AttributePath.h>

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace EntityModel {
class Entity;
}

/// One "PATH=VALUE" of the commands that edit a saved model. PATH is the attribute labels as
/// the saved model writes them, joined by "/" (labels may hold blanks); list items are named
/// by their saved labels ("Pins/0000000001"). VALUE is written as the attribute takes it:
/// - a curve (an attribute that holds one, or whose label ends in "_Curve") as SI points
///   "X:Y,X:Y...";
/// - a choice (an attribute that holds one, or whose choices the host fixes) by its label;
/// - a name, reference designator or other text attribute as text;
/// - otherwise a number, in SI or followed by a unit the unit converter knows ("2 mm",
///   "85 C"), which the attribute then keeps for display; what is not a number is text,
///   except on an attribute that holds a number.
class AttributeAssignment
{
public:
    /// The assignment `text` stands for; none, with the reason in `problem`, when it has no
    /// "=" or no path.
    static std::optional<AttributeAssignment> parse(const QString& text, QString* problem);
    /// Every assignment of `texts`, in order; none, with the reason, when one is not one.
    static std::optional<std::vector<AttributeAssignment>> parseAll(const QStringList& texts, QString* problem);
    /// Applies `assignments` to `entity` in order, stopping at the first that fails (its
    /// reason in `problem`); true when all were written.
    static bool applyAll(const std::vector<AttributeAssignment>& assignments, EntityModel::Entity* entity,
                         QString* problem);

    /// Writes the value onto `entity` through the host's editor, making the composites on the
    /// way and the list item the path names when it is the next of its list. False, with the
    /// reason in `problem`, when the path names a composite or entities, an item beyond the
    /// next, a value that does not fit the attribute, or a value the host refuses.
    bool apply(EntityModel::Entity* entity, QString* problem) const;

    /// The assignment as it was written.
    const QString& text() const { return m_text; }

private:
    AttributeAssignment(const QString& text, const EntityModel::AttributePath& path, const QString& value);
    bool makeItems(EntityModel::Entity* entity, QString* problem) const;
    bool write(EntityModel::Entity* entity, QString* problem) const;

    QString m_text;
    EntityModel::AttributePath m_path;
    QString m_value;
};
