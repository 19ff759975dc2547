#include "ObjectBuilderTestSupport.h"

#include "objects/TarvexCompositeGeometryObject.h"

namespace TestSupport {

namespace {

QString describePart(const Tarvex::TarvexPart& part)
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

void describe(const Tarvex::TarvexObject& node, int depth, QStringList& lines)
{
    lines << QString::number(depth) + QLatin1Char(' ') + (node.part ? describePart(*node.part) : QStringLiteral("-"));
    for (const auto& child : node.children) {
        if (child->parent != &node)
            lines << QStringLiteral("broken parent link below ") + lines.back();
        describe(*child, depth + 1, lines);
    }
}

} // namespace

QStringList describeTree(const std::vector<std::unique_ptr<Tarvex::TarvexObject>>& objects)
{
    QStringList lines;
    for (const auto& object : objects) {
        if (object->parent)
            lines << QStringLiteral("top-level node with a parent");
        describe(*object, 0, lines);
    }
    return lines;
}

} // namespace TestSupport
