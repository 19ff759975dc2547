#include "ModelSceneBuilder.h"

#include <tarvex/host/CompositeAttribute.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/HeatSourceAttributes.h>
#include <tarvex/host/MaterialAttributes.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/SolverTypes.h>
#include <tarvex/host/TypeRef.h>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace EntityModel;
using Geometry::Transform;
using Geometry::Vec3;

namespace Render {

namespace {

// The model stands y up with z towards the viewer of its front; the file's axes, which the
// pictures use, have z up and y away from that viewer.
QPointF plan(const Vec3& point)
{
    return QPointF(point.x * 1000.0, -point.z * 1000.0);
}

double up(const Vec3& point)
{
    return point.y * 1000.0;
}

// A rectangle of an entity's frame at height `y`, seen from above.
QPolygonF planRectangle(const Transform& frame, double x, double z, double width, double depth, double y)
{
    return QPolygonF(QVector<QPointF>{plan(frame.transform(Vec3(x, y, z))), plan(frame.transform(Vec3(x + width, y, z))),
                                      plan(frame.transform(Vec3(x + width, y, z + depth))),
                                      plan(frame.transform(Vec3(x, y, z + depth)))});
}

double number(const Entity* entity, const AttributePath& path)
{
    return getStandardDoubleValue(entity, path, 0.0);
}

const AttributePath& layersPath()
{
    static const AttributePath path = Tarvex_Interchange_Model_t / Tarvex_Layers_Definition_t / Tarvex_Layers_t;
    return path;
}

SceneMaterial materialOf(const Entity* material)
{
    const double none = std::numeric_limits<double>::quiet_NaN();
    const AttributePath conductivity = MaterialAttributes::conductivity();
    return SceneMaterial{material->getName(),
                         {getStandardDoubleValue(material, conductivity / K1_t, none),
                          getStandardDoubleValue(material, conductivity / K2_t, none),
                          getStandardDoubleValue(material, conductivity / K3_t, none)},
                         getStandardDoubleValue(material, MaterialAttributes::valueOf(MaterialAttributes::density()), none),
                         getStandardDoubleValue(material, MaterialAttributes::valueOf(MaterialAttributes::specificHeat()),
                                                none),
                         getStandardDoubleValue(material, MaterialAttributes::valueOf(MaterialAttributes::emissivity()),
                                                none)};
}

std::vector<Entity*> ownedEntities(const Entity* entity)
{
    std::vector<Entity*> children;
    CompositeAttribute::getOwnedChildEntities(entity, children, false, true);
    return children;
}

// Where the walk stands: the outline of the component or block it is inside (-1 for none),
// and whether that stands on a board's bottom face.
struct Context
{
    int outline = -1;
    bool bottomSide = false;
};

class Walker
{
public:
    explicit Walker(RenderScene& scene) : m_scene(scene) {}

    void visit(const Entity* entity, const Context& context)
    {
        const TypeRef& type = entity->getType();
        if (type == Bump_t) {
            addBall(entity, context);
            return;
        }
        if (type == Material_t)
            return;
        Context inner = context;
        if (type == PCB_t) {
            addBoard(entity);
            inner = Context();
        } else if (type == Component_t) {
            inner.bottomSide = hasAttributeSetTo(entity, Board_Side_t, Bottom_t);
            inner.outline = addOutline(entity, OutlineKind::Component, inner.bottomSide,
                                       number(entity, Thermal_Design_Power_t));
        } else if (type == Group_Obstruction_t && context.outline < 0 && holdsSolids(entity)) {
            inner.outline = addOutline(entity, OutlineKind::Block, context.bottomSide, 0.0);
        } else if (type == Solid_Obstruction_t || type == Substrate_t) {
            const double power = number(entity, Heat_Dissipated_t) + layerPower(entity);
            if (context.outline < 0)
                inner.outline = addOutline(entity, OutlineKind::Block, context.bottomSide, power);
            else
                m_scene.outlines[context.outline].power += power;
        } else if (type == Terminal_t) {
            addOutline(entity, OutlineKind::Terminal, context.bottomSide, 0.0);
        } else if (type == Heat_Source_t) {
            addHeatSource(entity, context);
        } else if (type == Power_Map_t) {
            addPowerMap(entity, context);
        }
        for (const Entity* child : ownedEntities(entity))
            visit(child, inner);
    }

    void addMaterials(const Entity* root)
    {
        for (const Entity* child : ownedEntities(root)) {
            if (child->getType() == Material_t)
                m_scene.materials.append(materialOf(child));
        }
    }

private:
    const Transform& frameOf(const Entity* entity) { return m_geometry.lookupOrBuildPart(entity)->getTransform(); }

    QString labelOf(const Entity* entity) const
    {
        const QString designator = getStringValue(entity, Reference_Designator_t);
        return designator.isEmpty() ? getDisplayName(entity) : designator;
    }

    double heightOf(const Entity* entity) const
    {
        const double height = number(entity, Height_t);
        return height > 0.0 ? height : number(entity, Thickness_t);
    }

    int addOutline(const Entity* entity, OutlineKind kind, bool bottomSide, double power)
    {
        const Transform& frame = frameOf(entity);
        SceneOutline outline;
        outline.kind = kind;
        outline.label = kind == OutlineKind::Terminal ? entity->getName() : labelOf(entity);
        outline.type = getStringValue(entity, Modelling_Level_t);
        if (outline.type.isEmpty() || outline.type == QLatin1String("Tarvex_Interchange_Model"))
            outline.type = getStringValue(entity, Model_t, entity->getType().getLabel());
        if (const Entity* material = getLinkedEntity(entity, MaterialLink_t))
            outline.material = material->getName();
        // A group (a heat sink) is made of what its first solid is made of.
        for (const Entity* child : outline.material.isEmpty() && entity->getType() == Group_Obstruction_t
                                       ? ownedEntities(entity)
                                       : std::vector<Entity*>()) {
            if (const Entity* material = getLinkedEntity(child, MaterialLink_t)) {
                outline.material = material->getName();
                break;
            }
        }
        const double width = number(entity, Width_t);
        if (width > 0.0) {
            const double height = heightOf(entity);
            outline.outline = planRectangle(frame, 0.0, 0.0, width, number(entity, Depth_t), 0.0);
            outline.zLow = up(frame.transform(Vec3(0.0, 0.0, 0.0)));
            outline.zHigh = up(frame.transform(Vec3(0.0, height, 0.0)));
            if (outline.zLow > outline.zHigh)
                std::swap(outline.zLow, outline.zHigh);
        } else {
            // A group has no size of its own: it is as large as what it holds.
            const Geometry::Bound bound = m_geometry.lookupOrBuildPart(entity)->getBound();
            outline.outline = QPolygonF(QRectF(plan(bound.getLow()), plan(bound.getHigh())).normalized());
            outline.zLow = up(bound.getLow());
            outline.zHigh = up(bound.getHigh());
        }
        outline.bottomSide = bottomSide;
        outline.power = power;
        m_scene.outlines.append(outline);
        return m_scene.outlines.size() - 1;
    }

    static bool holdsSolids(const Entity* entity)
    {
        const std::vector<Entity*> children = ownedEntities(entity);
        return std::any_of(children.begin(), children.end(),
                           [](const Entity* child) { return child->getType() == Solid_Obstruction_t; });
    }

    double layerPower(const Entity* entity) const
    {
        double power = 0.0;
        for (const Attribute* layer : getChildAttributes(entity, layersPath())) {
            const AttributePath items = layersPath() / AttributePath(layer->getType()) / Tarvex_Layer_Items_t;
            for (const Attribute* item : getChildAttributes(entity, items))
                power += number(entity, items / AttributePath(item->getType()) / Power_t / Value_t);
        }
        return power;
    }

    void addBoard(const Entity* entity)
    {
        const Transform& frame = frameOf(entity);
        SceneBoard board;
        board.name = labelOf(entity);
        QPainterPath outline;
        outline.setFillRule(Qt::WindingFill);
        for (const Attribute* layerAttribute : getChildAttributes(entity, layersPath())) {
            const AttributePath path = layersPath() / AttributePath(layerAttribute->getType());
            SceneLayer layer;
            layer.name = getStringValue(entity, path / Name_t);
            const double elevation = number(entity, path / Y_Location_t);
            layer.elevation = up(frame.transform(Vec3(0.0, elevation, 0.0)));
            layer.thickness = number(entity, path / Thickness_t) * 1000.0;
            const std::vector<Entity*> mixed = getLinkedEntities(entity, path / Materials_t);
            const AttributePath items = path / Tarvex_Layer_Items_t;
            for (const Attribute* itemAttribute : getChildAttributes(entity, items)) {
                const AttributePath item = items / AttributePath(itemAttribute->getType());
                if (hasAttributeSetTo(entity, item / Active_t, No_t))
                    continue;
                SceneCell cell;
                const double x = number(entity, item / X_Location_t);
                const double z = number(entity, item / Z_Location_t);
                const QVector<double> points = getStandardDoubleListValues(entity, item / Outline_t);
                if (points.size() >= 6) {
                    for (int i = 0; i + 1 < points.size(); i += 2)
                        cell.outline.append(plan(frame.transform(Vec3(x + points[i], elevation, z + points[i + 1]))));
                } else {
                    cell.outline = planRectangle(frame, x, z, number(entity, item / Width_t),
                                                 number(entity, item / Depth_t), elevation);
                }
                cell.material = getStringValue(entity, item / Material_t / Name_t);
                if (cell.material.isEmpty()) {
                    // A mixed cell shows the material it holds most of.
                    const QVector<double> fractions = getStandardDoubleListValues(entity, item / Material_Fraction_t);
                    int most = 0;
                    for (int i = 1; i < fractions.size(); ++i)
                        most = fractions[i] > fractions[most] ? i : most;
                    cell.material = most < int(mixed.size()) ? mixed[size_t(most)]->getName() : QString();
                }
                board.power += number(entity, item / Power_t / Value_t);
                outline.addPolygon(cell.outline);
                outline.closeSubpath();
                layer.cells.append(cell);
            }
            board.layers.append(layer);
        }
        board.shape = outline.simplified();
        for (const Entity* hole : ownedEntities(entity)) {
            const TypeRef& type = hole->getType();
            if (type != PCB_Hole_t && type != Substrate_Hole_t && type != Obstruction_Hole_t)
                continue;
            const QPolygonF area =
                planRectangle(frameOf(hole), 0.0, 0.0, number(hole, Width_t), number(hole, Depth_t), 0.0);
            if (hasAttributeSetTo(hole, Partial_Hole_t, From_Top_t)) {
                board.topHoles.append(area);
            } else if (hasAttributeSetTo(hole, Partial_Hole_t, From_Bottom_t)) {
                board.bottomHoles.append(area);
            } else {
                QPainterPath cut;
                cut.addPolygon(area);
                cut.closeSubpath();
                board.shape = board.shape.subtracted(cut);
            }
        }
        m_scene.boards.append(board);
    }

    // Boards carry joints by the 100 000: their paths are made once, their owner's frame
    // looked up once per owner.
    void addBall(const Entity* entity, const Context& context)
    {
        static const AttributePath x(X_Location_t), y(Y_Location_t), z(Z_Location_t), height(Height_t),
            largest(Max_Diameter_t), bottom(Bottom_Diameter_t), top(Top_Diameter_t);
        const Entity* owner = entity->getOwnerEntity();
        if (owner != m_ballOwner) {
            m_ballOwner = owner;
            m_ballFrame = owner ? frameOf(owner) : Transform();
        }
        const Vec3 centre = m_ballFrame.transform(Vec3(number(entity, x), number(entity, y), number(entity, z)));
        double diameter = number(entity, largest);
        if (diameter <= 0.0)
            diameter = std::max(number(entity, bottom), number(entity, top));
        const QPointF point = plan(centre);
        const bool bump = owner && owner->getType() == Subcomponent_Group_t;
        m_scene.balls.push_back(SceneBall{float(point.x()), float(point.y()), float(diameter * 500.0),
                                          float(up(centre)), float(number(entity, height) * 1000.0), bump,
                                          context.bottomSide});
    }

    QString ownerLabel(const Context& context) const
    {
        return context.outline >= 0 ? m_scene.outlines[context.outline].label : QString();
    }

    void addHeatSource(const Entity* entity, const Context& context)
    {
        const Transform& frame = frameOf(entity);
        SceneHeat heat;
        heat.name = entity->getName();
        heat.owner = ownerLabel(context);
        heat.area = planRectangle(frame, 0.0, 0.0, number(entity, Width_t), number(entity, Depth_t), 0.0);
        heat.power = number(entity, HeatSourceAttributes::dissipated());
        // An area map gives the source its power: the map's total times the scale it was laid with.
        QStringList maps;
        double mapPower = 0.0;
        for (const Entity* map : ownedEntities(entity)) {
            if (map->getType() != Power_Map_t || !hasAttributeSetTo(map, Power_Map_Kind_t, Area_Map_t))
                continue;
            maps.append(map->getName());
            mapPower += number(map, Total_Power_t) * getStandardDoubleValue(map, Power_Scale_t, 1.0);
        }
        if (!maps.isEmpty()) {
            heat.power = mapPower;
            heat.areaMap = maps.join(QStringLiteral(", "));
        }
        heat.z = up(frame.transform(Vec3()));
        heat.bottomSide = context.bottomSide;
        m_scene.heats.append(heat);
    }

    // A grid map lies on the top face of the entity that owns it, its die area measured from
    // that entity's low corner in the file's axes, rows from the low y up.
    void addPowerMap(const Entity* entity, const Context& context)
    {
        const Entity* owner = entity->getOwnerEntity();
        const int rows = getIntValue(entity, Grid_Rows_t, 0);
        const int columns = getIntValue(entity, Grid_Columns_t, 0);
        const QVector<double> powers = getStandardDoubleListValues(entity, Powers_t);
        if (!owner || rows <= 0 || columns <= 0 || powers.size() < rows * columns)
            return;
        const Transform& frame = frameOf(owner);
        const double depth = number(owner, Depth_t);
        const double face = heightOf(owner);
        const double xLow = number(entity, Die_Area_t / X_Low_t);
        const double yLow = number(entity, Die_Area_t / Y_Low_t);
        const double cellWidth = (number(entity, Die_Area_t / X_High_t) - xLow) / columns;
        const double cellDepth = (number(entity, Die_Area_t / Y_High_t) - yLow) / rows;
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                SceneHeat heat;
                heat.name = entity->getName();
                heat.owner = ownerLabel(context);
                heat.area = planRectangle(frame, xLow + column * cellWidth, depth - yLow - (row + 1) * cellDepth,
                                          cellWidth, cellDepth, face);
                heat.power = powers[row * columns + column];
                heat.z = up(frame.transform(Vec3(0.0, face, 0.0)));
                heat.bottomSide = context.bottomSide;
                heat.mapCell = true;
                m_scene.heats.append(heat);
            }
        }
    }

    RenderScene& m_scene;
    Geometry::GeometryBuilder m_geometry;
    const Entity* m_ballOwner = nullptr;
    Transform m_ballFrame;
};

} // namespace

RenderScene ModelSceneBuilder::build(const Entity& entity)
{
    RenderScene scene;
    Walker walker(scene);
    if (const Model* model = entity.getModel())
        walker.addMaterials(model->getRoot());
    Context context;
    context.bottomSide = !isOnBoardTopSide(&entity);
    walker.visit(&entity, context);
    scene.markBottomSide();
    return scene;
}

} // namespace Render
