#include "ObjectSceneBuilder.h"

#include <tarvex/host/UnitConverter.h>
#include <tarvex/maps/TarvexPowerMapImporter.h>
#include <tarvex/objects/TarvexBasicPart.h>
#include <tarvex/objects/TarvexCompositeGeometryObject.h>
#include <tarvex/objects/TarvexLayeredPart.h>
#include <tarvex/objects/TarvexLayeredPartLayer.h>
#include <tarvex/objects/TarvexMaterial.h>
#include <tarvex/objects/TarvexMaterialMap.h>
#include <tarvex/objects/TarvexMaterialSimple.h>
#include <tarvex/objects/TarvexObject.h>
#include <tarvex/objects/TarvexPartType.h>
#include <tarvex/objects/TarvexPowerSourcePowerMap.h>
#include <tarvex/objects/TarvexSolderJoint.h>

#include <algorithm>
#include <limits>
#include <map>
#include <set>

using namespace Tarvex;

namespace Render {

namespace {

constexpr double Millimetres = 1000.0; // the object tree is in metres

QPolygonF planOf(const Geometry::Bound& bound)
{
    return QPolygonF(QRectF(QPointF(bound.getLow().x, bound.getLow().y) * Millimetres,
                            QPointF(bound.getHigh().x, bound.getHigh().y) * Millimetres));
}

QPolygonF planOf(TarvexPart& part)
{
    if (const auto* basic = dynamic_cast<const TarvexBasicPart*>(&part)) {
        QPolygonF nodes;
        for (const Geometry::Vec3& node : basic->getNodes())
            nodes.append(QPointF(node.x, node.y) * Millimetres);
        if (nodes.size() >= 3)
            return nodes;
    }
    return planOf(part.getGeometry().getPlacedBound());
}

std::shared_ptr<TarvexMaterial> materialOf(const TarvexPart& part)
{
    std::shared_ptr<TarvexMaterial> material;
    if (const auto* basic = dynamic_cast<const TarvexBasicPart*>(&part))
        material = basic->getMaterial();
    else if (const auto* joint = dynamic_cast<const TarvexSolderJoint*>(&part))
        material = joint->getMaterial();
    return material;
}

// A layout's cell is named by its metal, one of the materials the import mixes in it.
QString nameOf(std::shared_ptr<TarvexMaterial> material)
{
    while (const auto* map = dynamic_cast<const TarvexMaterialMap*>(material.get()))
        material = map->getMetal() ? map->getMetal() : map->getDielectric();
    return material ? material->getName() : QString();
}

class Walker
{
public:
    explicit Walker(RenderScene& scene) : m_scene(scene) {}

    void visit(const TarvexObject& node)
    {
        if (node.part)
            addPart(*node.part);
        for (const std::unique_ptr<TarvexObject>& child : node.children)
            visit(*child);
    }

private:
    void addPart(TarvexPart& part)
    {
        if (auto* joint = dynamic_cast<TarvexSolderJoint*>(&part)) {
            addBall(*joint);
            return;
        }
        auto* layered = dynamic_cast<TarvexLayeredPart*>(&part);
        if (layered && part.getType() == QLatin1String("PCB")) {
            addBoard(*layered);
            return;
        }
        const Geometry::Bound bound = part.getGeometry().getPlacedBound();
        SceneOutline outline;
        outline.label = part.getObjectName().isEmpty() ? part.getName(true) : part.getObjectName();
        outline.type = part.getType();
        outline.material = nameOf(materialOf(part));
        outline.outline = planOf(part);
        outline.zLow = bound.getLow().z * Millimetres;
        outline.zHigh = bound.getHigh().z * Millimetres;
        outline.kind = OutlineKind::Component;
        outline.power = powerOf(part);
        if (auto* composite = dynamic_cast<TarvexCompositeGeometryObject*>(&part)) {
            // A composite of plain blocks (a heat sink) is a block; one holding layers, a package.
            bool blocks = true;
            Geometry::Bound whole = bound;
            for (const std::unique_ptr<TarvexPart>& child : composite->getChildren()) {
                if (!child)
                    continue;
                // The composite's own bound is its first part's; the drawing holds them all.
                whole.unite(child->getGeometry().getPlacedBound());
                if (auto* joint = dynamic_cast<TarvexSolderJoint*>(child.get()))
                    addBall(*joint);
                else
                    outline.power += powerOf(*child);
                blocks = blocks && child->getPartType() == BasicPart;
                addHeatSources(*child, outline.label);
            }
            outline.kind = blocks ? OutlineKind::Block : OutlineKind::Component;
            outline.outline = planOf(whole);
            outline.zLow = whole.getLow().z * Millimetres;
            outline.zHigh = whole.getHigh().z * Millimetres;
        } else if (part.getPartType() == BasicPart) {
            outline.kind = OutlineKind::Block;
        }
        addHeatSources(part, outline.label);
        m_scene.outlines.append(outline);
        remember(materialOf(part));
    }

    double powerOf(const TarvexPart& part) const
    {
        if (const auto* basic = dynamic_cast<const TarvexBasicPart*>(&part))
            return basic->getPower();
        double power = 0.0;
        if (const auto* layered = dynamic_cast<const TarvexLayeredPart*>(&part)) {
            for (const std::unique_ptr<TarvexLayeredPartLayer>& layer : layered->getLayers()) {
                if (!layer)
                    continue;
                for (const std::unique_ptr<TarvexPart>& cell : layer->getCells())
                    power += cell ? powerOf(*cell) : 0.0;
            }
        }
        return power;
    }

    void addHeatSources(TarvexPart& part, const QString& owner)
    {
        const auto* carrier = dynamic_cast<const TarvexPartBaseWithPowerSources*>(&part);
        if (!carrier)
            return;
        const Geometry::Bound bound = part.getGeometry().getPlacedBound();
        for (const std::shared_ptr<TarvexPowerSource>& source : carrier->getPowerSources()) {
            // The pieces of one part (a heat sink's base and fins) share its sources: count each once.
            if (!source || !m_heatSources.insert(source.get()).second)
                continue;
            SceneHeat heat;
            heat.name = source->getName();
            heat.owner = owner;
            heat.area = QPolygonF(QRectF(source->getXll() * Millimetres, source->getYll() * Millimetres,
                                         source->getDx() * Millimetres, source->getDy() * Millimetres));
            if (const auto* map = dynamic_cast<const TarvexPowerSourcePowerMap*>(source.get())) {
                heat.power = map->getPower() * map->getPowerScale();
                addAreaMaps(*map, heat);
            }
            heat.z = (source->getNormal().z < 0.0 ? bound.getLow().z : bound.getHigh().z) * Millimetres;
            m_scene.heats.append(heat);
        }
    }

    // A source whose map file holds area maps has their power, scaled, as the import gives it.
    static void addAreaMaps(const TarvexPowerSourcePowerMap& source, SceneHeat& heat)
    {
        if (source.getPowerMapFile().isEmpty())
            return;
        TarvexPowerMapImporter reader(nullptr);
        QStringList names;
        double power = 0.0;
        for (const ServerConstructor::PowerMapData& map : reader.readPowerMapData(source.getPowerMapFile())) {
            if (!map.isAreaMap())
                continue;
            names.append(QString::fromStdString(map.name));
            for (const double block : map.powers)
                power += EntityModel::UnitConverter::instance().convertToSI(EntityModel::Power_t, block, map.powerUnit);
        }
        if (!names.isEmpty()) {
            heat.power = power * source.getPowerScale();
            heat.areaMap = names.join(QStringLiteral(", "));
        }
    }

    void addBall(const TarvexSolderJoint& joint)
    {
        const Geometry::Vec3& position = joint.getPosition();
        const double diameter = joint.getDmax() > 0.0 ? joint.getDmax() : std::max(joint.getD1(), joint.getD2());
        m_scene.balls.push_back(SceneBall{float(position.x * Millimetres), float(position.y * Millimetres),
                                          float(diameter * Millimetres / 2.0), float(position.z * Millimetres),
                                          float(joint.getHeight() * Millimetres),
                                          joint.getPartType() == SolderBump, false});
        remember(materialOf(joint));
    }

    void addBoard(TarvexLayeredPart& part)
    {
        SceneBoard board;
        board.name = part.getObjectName().isEmpty() ? part.getName(true) : part.getObjectName();
        QPainterPath outline;
        outline.setFillRule(Qt::WindingFill);
        for (const std::unique_ptr<TarvexLayeredPartLayer>& layerPart : part.getLayers()) {
            if (!layerPart)
                continue;
            const Geometry::Bound bound = layerPart->getGeometry().getPlacedBound();
            SceneLayer layer;
            layer.name = layerPart->getName(true);
            layer.elevation = bound.getLow().z * Millimetres;
            layer.thickness = (bound.getHigh().z - bound.getLow().z) * Millimetres;
            for (const std::unique_ptr<TarvexPart>& cellPart : layerPart->getCells()) {
                if (!cellPart)
                    continue;
                SceneCell cell{planOf(*cellPart), nameOf(materialOf(*cellPart))};
                board.power += powerOf(*cellPart);
                outline.addPolygon(cell.outline);
                outline.closeSubpath();
                remember(materialOf(*cellPart));
                layer.cells.append(cell);
            }
            board.layers.append(layer);
        }
        board.shape = outline.simplified();
        addHeatSources(part, board.name);
        m_scene.boards.append(board);
    }

    // The file's own materials are known only through the parts that use them.
    void remember(const std::shared_ptr<TarvexMaterial>& material)
    {
        if (!material || m_materials.count(material->getName()))
            return;
        if (const auto* map = dynamic_cast<const TarvexMaterialMap*>(material.get())) {
            remember(map->getMetal());
            remember(map->getDielectric());
            return;
        }
        m_materials.emplace(material->getName(), m_scene.materials.size());
        const double none = std::numeric_limits<double>::quiet_NaN();
        SceneMaterial scene{material->getName(), {none, none, none}, none, none, none};
        if (const auto* simple = dynamic_cast<const TarvexMaterialSimple*>(material.get())) {
            const Geometry::Vec3 k = simple->getHostConductivity();
            scene = SceneMaterial{material->getName(), {k.x, k.y, k.z}, simple->getDensity(), simple->getSpecificHeat(),
                                  simple->getEmissivity()};
        }
        m_scene.materials.append(scene);
    }

    RenderScene& m_scene;
    std::map<QString, int> m_materials;
    std::set<const TarvexPowerSource*> m_heatSources;
};

bool isNamed(const TarvexObject& node, const QString& name)
{
    return node.part && (node.part->getName(true) == name || node.part->getObjectName() == name);
}

void collectNamed(const TarvexObject& node, const QString& name, std::vector<const TarvexObject*>& found)
{
    if (isNamed(node, name)) {
        found.push_back(&node);
        return;
    }
    for (const std::unique_ptr<TarvexObject>& child : node.children)
        collectNamed(*child, name, found);
}

} // namespace

RenderScene ObjectSceneBuilder::build(const std::vector<std::unique_ptr<TarvexObject>>& objects, const QString& name)
{
    RenderScene scene;
    scene.fromFile = true;
    Walker walker(scene);
    std::vector<const TarvexObject*> roots;
    for (const std::unique_ptr<TarvexObject>& object : objects) {
        if (name.isEmpty())
            roots.push_back(object.get());
        else
            collectNamed(*object, name, roots);
    }
    for (const TarvexObject* root : roots)
        walker.visit(*root);
    scene.markBottomSide();
    return scene;
}

} // namespace Render
