#include "ObjectTreePrinter.h"

#include <tarvex/objects/TarvexBasicPart.h>
#include <tarvex/objects/TarvexCompositeGeometryObject.h>
#include <tarvex/objects/TarvexLayeredPart.h>
#include <tarvex/objects/TarvexLayeredPartLayer.h>
#include <tarvex/objects/TarvexMaterial.h>
#include <tarvex/objects/TarvexPartType.h>
#include <tarvex/objects/TarvexSolderJoint.h>

#include <QJsonArray>

#include <algorithm>

using namespace Tarvex;

namespace {

QString kindOf(int type)
{
    switch (type) {
    case BasicPart:
        return QStringLiteral("block");
    case Basic2RPart:
        return QStringLiteral("two-resistor");
    case CompositeGeometryObject:
        return QStringLiteral("composite");
    case SolderBall:
        return QStringLiteral("solder ball");
    case SolderBump:
        return QStringLiteral("solder bump");
    case LayeredPart:
        return QStringLiteral("layered");
    case LayeredPartLayer:
        return QStringLiteral("layer");
    case LayeredPartLayerCell:
        return QStringLiteral("cell");
    default:
        return QStringLiteral("part %1").arg(type);
    }
}

QString number(double value) { return QString::number(value, 'g', 6); }

QString boundText(const Geometry::Bound& bound)
{
    if (bound.isEmpty())
        return QStringLiteral("no bound");
    const Geometry::Vec3& low = bound.getLow();
    const Geometry::Vec3& high = bound.getHigh();
    return QStringLiteral("(%1, %2, %3) .. (%4, %5, %6) m")
        .arg(number(low.x), number(low.y), number(low.z), number(high.x), number(high.y), number(high.z));
}

std::shared_ptr<TarvexMaterial> materialPointer(const TarvexPart& part)
{
    if (const auto* basic = dynamic_cast<const TarvexBasicPart*>(&part))
        return basic->getMaterial();
    if (const auto* joint = dynamic_cast<const TarvexSolderJoint*>(&part))
        return joint->getMaterial();
    return nullptr;
}

// The parts inside a part: a composite's children, a layered part's layers, a layer's cells.
std::vector<const TarvexPart*> partsInside(const TarvexPart& part)
{
    std::vector<const TarvexPart*> inside;
    if (const auto* composite = dynamic_cast<const TarvexCompositeGeometryObject*>(&part)) {
        for (const std::unique_ptr<TarvexPart>& child : composite->getChildren())
            inside.push_back(child.get());
    } else if (const auto* layered = dynamic_cast<const TarvexLayeredPart*>(&part)) {
        for (const std::unique_ptr<TarvexLayeredPartLayer>& layer : layered->getLayers())
            inside.push_back(layer.get());
    } else if (const auto* layer = dynamic_cast<const TarvexLayeredPartLayer*>(&part)) {
        for (const std::unique_ptr<TarvexPart>& cell : layer->getCells())
            inside.push_back(cell.get());
    }
    inside.erase(std::remove(inside.begin(), inside.end(), nullptr), inside.end());
    return inside;
}

QJsonArray point(const Geometry::Vec3& at) { return QJsonArray{at.x, at.y, at.z}; }

QJsonObject nodeJson(const TarvexObject& node)
{
    QJsonObject object = node.part ? ObjectTreePrinter::partJson(*node.part) : QJsonObject();
    QJsonArray children;
    for (const std::unique_ptr<TarvexObject>& child : node.children)
        children.append(nodeJson(*child));
    object.insert(QStringLiteral("children"), children);
    return object;
}

QString materialOf(const TarvexPart& part)
{
    const std::shared_ptr<TarvexMaterial> material = materialPointer(part);
    return material ? QStringLiteral(", material %1").arg(material->getName()) : QString();
}

} // namespace

void ObjectTreePrinter::print(const std::vector<std::unique_ptr<TarvexObject>>& objects)
{
    for (const std::unique_ptr<TarvexObject>& object : objects)
        printNode(*object, 0);
    m_stream << objects.size() << (objects.size() == 1 ? " top-level object, " : " top-level objects, ") << m_nodes
             << (m_nodes == 1 ? " node, " : " nodes, ") << m_parts << (m_parts == 1 ? " part.\n" : " parts.\n");
    m_stream.flush();
}

void ObjectTreePrinter::printNode(const TarvexObject& node, int depth)
{
    ++m_nodes;
    if (node.part)
        printPart(*node.part, depth, true);
    else
        m_stream << QString(2 * depth, QLatin1Char(' ')) << "(empty node)\n";
    for (const std::unique_ptr<TarvexObject>& child : node.children)
        printNode(*child, depth + 1);
}

void ObjectTreePrinter::printPart(const TarvexPart& part, int depth, bool inTree)
{
    ++m_parts;
    TarvexPart& mutablePart = const_cast<TarvexPart&>(part);
    m_stream << QString(2 * depth, QLatin1Char(' ')) << (inTree ? "" : "- ") << kindOf(part.getPartType()) << " \""
             << part.getName(true) << "\"";
    if (part.getObjectName() != part.getName(true))
        m_stream << " of " << part.getObjectName();
    if (!part.getType().isEmpty())
        m_stream << ", type " << part.getType();
    m_stream << materialOf(part) << ": " << boundText(mutablePart.getGeometry().getPlacedBound()) << '\n';

    // The parts inside a part are listed with a dash, to tell them from tree nodes.
    for (const TarvexPart* inside : partsInside(part))
        printPart(*inside, depth + 1, false);
}

QJsonObject ObjectTreePrinter::toJson(const std::vector<std::unique_ptr<TarvexObject>>& objects)
{
    QJsonArray nodes;
    for (const std::unique_ptr<TarvexObject>& object : objects)
        nodes.append(nodeJson(*object));
    return QJsonObject{{QStringLiteral("objects"), nodes}};
}

QJsonObject ObjectTreePrinter::partJson(const TarvexPart& part)
{
    const std::shared_ptr<TarvexMaterial> material = materialPointer(part);
    const Geometry::Bound bound = const_cast<TarvexPart&>(part).getGeometry().getPlacedBound();
    QJsonArray inside;
    for (const TarvexPart* child : partsInside(part))
        inside.append(partJson(*child));
    return QJsonObject{
        {QStringLiteral("kind"), kindOf(part.getPartType())},
        {QStringLiteral("name"), part.getName(true)},
        {QStringLiteral("objectName"), part.getObjectName()},
        {QStringLiteral("type"), part.getType()},
        {QStringLiteral("material"), material ? material->getName() : QString()},
        {QStringLiteral("bound"), bound.isEmpty() ? QJsonValue()
                                                  : QJsonValue(QJsonObject{{QStringLiteral("low"), point(bound.getLow())},
                                                                           {QStringLiteral("high"), point(bound.getHigh())}})},
        {QStringLiteral("parts"), inside}};
}
