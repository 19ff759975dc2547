#pragma once

#include <tarvex/objects/TarvexObject.h>

#include <QJsonObject>
#include <QTextStream>

#include <memory>
#include <vector>

/// Writes an object tree as indented text: one line per node with the part's kind, name,
/// object name, type and placed bound in metres; layers and cells of layered parts and the
/// children of composites below their part.
class ObjectTreePrinter
{
public:
    /// A printer writing to `stream` (not owned).
    explicit ObjectTreePrinter(QTextStream& stream) : m_stream(stream) {}

    /// Prints every top-level object and what lies below it, then a summary line.
    void print(const std::vector<std::unique_ptr<Tarvex::TarvexObject>>& objects);
    /// The same tree as JSON: {"objects": [NODE...]}, each node a part as partJson gives it
    /// with its "children" (the nodes below it), an empty node as {"children": [...]}.
    static QJsonObject toJson(const std::vector<std::unique_ptr<Tarvex::TarvexObject>>& objects);
    /// One part: "kind", "name", "objectName", "type", "material" ("" when none), "bound"
    /// ({"low": [x, y, z], "high": [x, y, z]} in metres, file axes; null when empty) and
    /// "parts" (its layers, cells or composite parts, each the same way).
    static QJsonObject partJson(const Tarvex::TarvexPart& part);

private:
    void printNode(const Tarvex::TarvexObject& node, int depth);
    void printPart(const Tarvex::TarvexPart& part, int depth, bool inTree);

    QTextStream& m_stream;
    int m_nodes = 0;
    int m_parts = 0;
};
