#pragma once

#include "objects/TarvexObject.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <ostream>
#include <vector>

/// Lets test failures show Qt strings as text.
inline void PrintTo(const QString& text, std::ostream* stream) { *stream << '"' << text.toStdString() << '"'; }

namespace TestSupport {

/// A Geom element: a rectangle from (x0, y0) to (x1, y1) at height z, `dz` thick, in the
/// file's length unit; `extra` is pasted into the start tag.
inline QString geom(const QString& objectName, const QString& name, const QString& type, double x0, double y0,
                    double x1, double y1, double z, double dz, const QString& extra = QString())
{
    QString nodes;
    const double xs[] = {x0, x1, x1, x0};
    const double ys[] = {y0, y0, y1, y1};
    for (int i = 0; i < 4; ++i)
        nodes += QStringLiteral("<node x=\"%1\" y=\"%2\" z=\"%3\"/>").arg(xs[i]).arg(ys[i]).arg(z);
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

/// The tree as lines "depth kind name [children of composites]", one per node, in tree
/// order: two trees are the same when the lines are.
QStringList describeTree(const std::vector<std::unique_ptr<Tarvex::TarvexObject>>& objects);

} // namespace TestSupport
