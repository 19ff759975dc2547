#pragma once

#include <tarvex/host/Entity.h>

#include <QJsonObject>
#include <QTextStream>

#include <vector>

/// Writes entities as an indented tree: each entity on one line with its type, name (or
/// reference designator) and id, its attributes below it, then the entities it owns. Doubles
/// are SI (metres for lengths) unless an attribute has a display unit of its own, or lengths
/// are asked for in millimetres. Item lists (the layers of a layered model, the cells of a
/// layer) show one numbered item per line group. Lines stay within `LineWidth` columns:
/// long lists and texts are cut, saying how much was left out.
class ModelPrinter
{
public:
    /// The widest line written (deeper levels than fit are not cut).
    static constexpr int LineWidth = 100;

    /// What to print.
    struct Options
    {
        /// Levels of owned entities below the one printed (-1: all).
        int depth = -1;
        /// Lengths in millimetres instead of metres.
        bool millimetres = false;
    };

    /// Prints to `out`, all of each entity, lengths in metres.
    explicit ModelPrinter(QTextStream& out);
    /// Prints to `out` as `options` say.
    ModelPrinter(QTextStream& out, Options options) : m_out(out), m_options(options) {}
    /// Prints `entity` and what it owns, indented by `level` levels.
    void print(const EntityModel::Entity& entity, int level = 0);
    /// Says "`verb` N top-level entities:" and prints each of `entities` one level down.
    void printTopLevel(const std::vector<EntityModel::Entity*>& entities, const QString& verb);

    /// `entity` and what it owns as JSON: "id", "type", "name" (its name or reference
    /// designator, "" when it has none), "attributes" (by path as `tarvex set` takes it;
    /// doubles in SI) and, within the depth of the options, "children".
    QJsonObject toJson(const EntityModel::Entity& entity, int level = 0) const;

private:
    void printEntity(const EntityModel::Entity& entity, int level, int depth);
    void printAttributes(const EntityModel::CompositeAttribute& holder, const QString& prefix, int level);
    void printChildren(const EntityModel::CompositeAttribute& holder, int level, int depth);
    void printItems(const EntityModel::CompositeAttribute& list, const QString& label, int level);
    void printLine(int level, const QString& label, const QString& value);
    QString describe(const EntityModel::Attribute& attribute, const QString& label, int room) const;

    QTextStream& m_out;
    Options m_options;
};
