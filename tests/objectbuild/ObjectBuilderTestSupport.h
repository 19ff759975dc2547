#pragma once

#include "support/RecordingProgress.h"
#include "support/TempDir.h"
#include <tarvex/objectbuild/TarvexObjectBuilder.h>
#include <tarvex/objects/TarvexCompositeGeometryObject.h>
#include <tarvex/objects/TarvexObject.h>

#include <QString>
#include <QStringList>

#include <memory>
#include <ostream>
#include <vector>

/// Lets test failures show Qt strings as text.
inline void PrintTo(const QString& text, std::ostream* stream) { *stream << '"' << text.toStdString() << '"'; }

namespace TestSupport {

/// The material attribute most Geoms of these tests carry.
inline const QString fr4 = QStringLiteral("MatName=\"FR4\"");

/// A file read and built: the builder, what it reported, and the tree it gave.
struct BuiltFile
{
    Tools::RecordingProgress progress;
    Tarvex::TarvexObjectBuilder builder{&progress};
    std::vector<std::unique_ptr<Tarvex::TarvexObject>> objects;
    bool read = false;
};

/// Reads `bytes` as the interchange file model.xml of `dir` (other files of the folder
/// written first) and builds its tree.
inline std::unique_ptr<BuiltFile> build(const TestSupport::TempDir& dir, const QByteArray& bytes)
{
    auto built = std::make_unique<BuiltFile>();
    built->read = built->builder.readFile(dir.write(QStringLiteral("model.xml"), bytes));
    built->builder.buildTree();
    built->objects = built->builder.takeObjects();
    return built;
}

/// A Geom element: a rectangle from (x0, y0) to (x1, y1) at height z, `dz` thick, in the
/// file's length unit; `extra` is pasted into the start tag.
inline QString geom(const QString& objectName, const QString& name, const QString& type, double x0, double y0,
                    double x1, double y1, double z, double dz, const QString& extra = QString())
{
    QString nodes;
    for (const auto& [x, y] : std::initializer_list<std::pair<double, double>>{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}})
        nodes += QStringLiteral("<node x=\"%1\" y=\"%2\" z=\"%3\"/>").arg(x).arg(y).arg(z);
    return QStringLiteral("<Geom ObjectName=\"%1\" Name=\"%2\" Type=\"%3\" dz=\"%4\" %5>%6</Geom>\n")
        .arg(objectName, name, type)
        .arg(dz)
        .arg(extra, nodes);
}

/// A whole interchange file of `version` with lengths in mm and the given element sets.
inline QByteArray interchangeFile(const QString& version, const QString& geoms, const QString& rest = QString(),
                                  const QString& materials = QStringLiteral(
                                      "<Material Name=\"FR4\" k=\"0.3\" density=\"1900\" specificheat=\"1150\"/>"))
{
    return QStringLiteral("<?xml version=\"1.0\"?>\n<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"%1\">\n"
                          "<UNITSet><Length Unit=\"mm\"/><Power Unit=\"mW\"/><Conductivity Unit=\"W/(m-K)\"/>"
                          "<Density Unit=\"kg/(m^3)\"/><SpecificHeat Unit=\"J/(kg-K)\"/></UNITSet>\n"
                          "<MaterialSet>%2</MaterialSet>\n<GEOMSet>\n%3</GEOMSet>\n%4</TARVEX_INTERCHANGE_MODEL>\n")
        .arg(version, materials, geoms, rest)
        .toUtf8();
}

/// A part as "kind name", a composite followed by its children in brackets.
inline QString describePart(const Tarvex::TarvexPart& part)
{
    QString text = QString::number(part.getPartType()) + QLatin1Char(' ') + part.getName(true);
    if (const auto* composite = dynamic_cast<const Tarvex::TarvexCompositeGeometryObject*>(&part)) {
        QStringList children;
        for (const auto& child : composite->getChildren())
            children << describePart(*child);
        text += QStringLiteral(" [") + children.join(QStringLiteral(", ")) + QLatin1Char(']');
    }
    return text;
}

/// The tree as lines "depth kind name [children of composites]", one per node, in tree
/// order: two trees are the same when the lines are. Broken parent links show as lines.
inline QStringList describeTree(const std::vector<std::unique_ptr<Tarvex::TarvexObject>>& objects, int depth = 0,
                                const Tarvex::TarvexObject* parent = nullptr)
{
    QStringList lines;
    for (const auto& node : objects) {
        if (node->parent != parent)
            lines << QStringLiteral("broken parent link");
        lines << QString::number(depth) + QLatin1Char(' ') +
                     (node->part ? describePart(*node->part) : QStringLiteral("-"));
        lines << describeTree(node->children, depth + 1, node.get());
    }
    return lines;
}

} // namespace TestSupport
