#pragma once

#include <tarvex/host/Entity.h>

#include <QTextStream>

#include <vector>

/// Writes entities as an indented tree: type, name and id on one line, then the plain
/// attributes (doubles in SI, or in their display unit when they have one). Item lists (the
/// layers of a layered model, the cells of a layer) show one numbered item per line group.
class ModelPrinter
{
public:
    /// Prints to `out`.
    explicit ModelPrinter(QTextStream& out) : m_out(out) {}
    /// Prints `entity` and everything it owns, indented by `depth` levels.
    void print(const EntityModel::Entity& entity, int depth = 0);
    /// Says "`verb` N top-level entities:", prints each of `entities` one level down, and
    /// closes with one line counting what they hold (components, blocks, solder balls and
    /// bumps, heat sources, terminals) and the run's `warnings` and `errors`, so that a run
    /// that built nothing reads as such.
    void printTopLevel(const std::vector<EntityModel::Entity*>& entities, const QString& verb, int warnings,
                       int errors);

private:
    void printAttributes(const EntityModel::CompositeAttribute& holder, const QString& prefix, int depth);
    void printItems(const EntityModel::CompositeAttribute& list, const QString& label, int depth);
    QTextStream& m_out;
};
