#include <tarvex/builders/TarvexLayeredEntityBuilder.h>

#include <tarvex/builders/TarvexEntityBuildState.h>
#include <tarvex/builders/TarvexHoleEntityBuilder.h>
#include <tarvex/builders/TarvexLayeredMaterialEntityBuilder.h>
#include <tarvex/builders/TarvexPartPlacement.h>
#include <tarvex/builders/TarvexPowerEntityBuilder.h>
#include <tarvex/builders/TarvexTerminalEntityBuilder.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/ListAttributeEditor.h>
#include <tarvex/host/TypeCatalogue.h>
#include <tarvex/objects/TarvexBasicPart.h>
#include <tarvex/objects/TarvexCompositeGeometryObject.h>
#include <tarvex/objects/TarvexLayeredPart.h>
#include <tarvex/objects/TarvexPartClass.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace Tarvex {

using namespace EntityModel;
using Geometry::Bound;
using Geometry::Transform;
using Geometry::Vec3;

/// One layer as the host gets it: a name and its cells.
struct TarvexLayeredEntityBuilder::Layer
{
    QString name;
    std::vector<const TarvexBasicPart*> cells;
};

namespace {

const AttributePath& layersPath()
{
    static const AttributePath path = Tarvex_Interchange_Model_t / Tarvex_Layers_Definition_t / Tarvex_Layers_t;
    return path;
}

AttributePath itemOf(const AttributePath& list, int index)
{
    return list / AttributePath(TypeRef(ListAttributeEditor::itemLabel(index)));
}

// The entity type of a layered part: boards are boards; packages are the substrate of their
// component; anything else given as layers is a plain solid.
TypeRef entityTypeOf(int partClass)
{
    switch (partClass) {
    case BoardPart:
        return PCB_t;
    case PackagePart:
        return Substrate_t;
    default:
        return Solid_Obstruction_t;
    }
}

} // namespace

Entity* TarvexLayeredEntityBuilder::buildLayered(const TarvexPart& part, Entity* parentEntity,
                                                 const Transform& placement, TarvexEntityBuildState* sharedState,
                                                 Tools::ToolProgress* progress, Transform* frame)
{
    TarvexLayeredEntityBuilder builder(parentEntity, placement, sharedState, progress);
    part.accept(builder);
    if (frame)
        *frame = builder.getEntityFrame();
    return builder.getEntity();
}

TarvexLayeredEntityBuilder::TarvexLayeredEntityBuilder(Entity* parentEntity, const Transform& placement,
                                                       TarvexEntityBuildState* sharedState,
                                                       Tools::ToolProgress* progress, Entity* entity)
    : TarvexEntityBuilderBase(parentEntity, placement, sharedState, progress), entity(entity)
{
}

TarvexLayeredEntityBuilder::~TarvexLayeredEntityBuilder() = default;

bool TarvexLayeredEntityBuilder::visitChildren(const TarvexPart&) { return false; }

bool TarvexLayeredEntityBuilder::visitComposite(const TarvexCompositeGeometryObject& composite)
{
    std::vector<Layer> layers;
    const TarvexPartBaseWithPowerSources* first = nullptr;
    for (const auto& child : composite.getChildren()) {
        const auto* block = dynamic_cast<const TarvexBasicPart*>(child.get());
        if (!block)
            continue;
        layers.push_back({displayName(*block, false), {block}});
        if (!first)
            first = block;
    }
    std::stable_sort(layers.begin(), layers.end(), [](const Layer& a, const Layer& b) {
        return placedGeometryOf(*a.cells.front()).getPlacedBound().getLow().z <
               placedGeometryOf(*b.cells.front()).getPlacedBound().getLow().z;
    });
    // The sources of a part made of blocks are carried by each block; they are built once.
    return build(composite, layers, first);
}

bool TarvexLayeredEntityBuilder::visitLayeredPart(const TarvexLayeredPart& part)
{
    std::vector<Layer> layers;
    for (const auto& layer : part.getLayers()) {
        if (!layer)
            continue;
        Layer view{displayName(*layer, false), {}};
        for (const auto& cell : layer->getCells()) {
            if (const auto* block = dynamic_cast<const TarvexBasicPart*>(cell.get()))
                view.cells.push_back(block);
        }
        if (!view.cells.empty())
            layers.push_back(std::move(view));
    }
    return build(part, layers, &part);
}

bool TarvexLayeredEntityBuilder::visitBasicPart(const TarvexBasicPart& part)
{
    return build(part, {{displayName(part, false), {&part}}}, &part);
}

bool TarvexLayeredEntityBuilder::visitLayer(const TarvexLayeredPartLayer&) { return true; }

bool TarvexLayeredEntityBuilder::build(const TarvexPart& part, const std::vector<Layer>& layers,
                                       const TarvexPartBaseWithPowerSources* sourcesOf)
{
    if (layers.empty())
        return false;
    const Bound stack = stackBound(layers);
    const TarvexPlacedGeometry host = toHostFrame(TarvexPlacedGeometry(nullptr, Transform(), stack));
    if (!placeEntity(part, host))
        return false;
    writeShape(part, host);

    if (!ListAttributeEditor::setItemCount(entity, layersPath(), int(layers.size())))
        return false;
    for (size_t i = 0; i < layers.size(); ++i)
        fillLayer(layers[i], itemOf(layersPath(), int(i)));

    TarvexHoleEntityBuilder::buildHoles(part.getFlatGeometryPieces(), part.getObjectName(), entity, entityFrame,
                                        host.bound.getSize().y, getSharedState());
    if (sourcesOf) {
        TarvexPowerEntityBuilder::buildPowerSources(sourcesOf->getPowerSources(), stack, entity,
                                                    entityFrame, getSharedState(), getProgress());
    }
    TarvexTerminalEntityBuilder::buildLayeredTerminals(getSharedState(), getProgress(), part, entity, entityFrame);
    return true;
}

bool TarvexLayeredEntityBuilder::placeEntity(const TarvexPart& part, const TarvexPlacedGeometry& host)
{
    entityFrame = host.transform;
    if (entity)
        return true;
    Entity* parent = getParentEntity();
    TarvexEntityBuildState* state = getSharedState();
    if (!parent || !state)
        return false;

    const int kind = classifyPart(part);
    const bool keyedByDesignator = kind == BoardPart || kind == PackagePart;
    const TypeRef type = entityTypeOf(kind);
    const TarvexObtainedEntity obtained =
        state->getOrCreate(keyedByDesignator ? Reference_Designator_t : Name_t,
                           keyedByDesignator ? part.getObjectName() : displayName(part, false), type, parent,
                           TypeCatalogue::listFor(parent->getType(), type));
    if (!obtained.entity)
        return false;
    if (!obtained.entity->getOwnerEntity())
        throw std::runtime_error(("Unable to find a suitable parent for " + type.getLabel()).toStdString());
    entity = obtained.entity;

    if (keyedByDesignator)
        EntityEditor::setValueNoThrow(entity, Model_t, part.getObjectName());
    EntityEditor::setValueNoThrow(entity, Construction_t / Modelling_Level_t, Tarvex_Interchange_Model_t);
    const Vec3 corner = lowCorner(host, getPlacement());
    // An entity of an earlier import stays where the user may have moved it, unless the
    // import places it anew.
    if (!obtained.existing || state->isPlacingReused()) {
        writeLocation(entity, host, getPlacement());
        writeOrderedRotation(entity, Transform());
    }
    writeExtents(entity, host);
    // A component standing on a board or substrate reads which side it is on from this.
    if (type == PCB_t || type == Substrate_t)
        EntityEditor::setSIValueNoThrow(entity, Thickness_t, host.bound.getSize().y);
    if (kind == BoardPart) {
        // Where the file put the board, so that a later extension or update can find it.
        const AttributePath placement = Tarvex_Interchange_Placement_t;
        EntityEditor::setValueNoThrow(entity, placement / Importer_Version_t, 2);
        EntityEditor::setSIValueNoThrow(entity, placement / X_Location_t, corner.x);
        EntityEditor::setSIValueNoThrow(entity, placement / Y_Location_t, corner.y);
        EntityEditor::setSIValueNoThrow(entity, placement / Z_Location_t, corner.z);
        EntityEditor::setSIValueNoThrow(entity, placement / Angle_t, 0.0);
    }
    return true;
}

void TarvexLayeredEntityBuilder::writeShape(const TarvexPart& part, const TarvexPlacedGeometry& stack)
{
    // The outline of the whole part is the one its layers share; a stack whose layers differ
    // (a die on a substrate) is given by its bounding rectangle.
    const TarvexPlacedGeometry& placed = placedGeometryOf(part);
    const std::vector<Vec3> outline = fileOutline(placed);
    const Bound footprint = toHostFrame(TarvexPlacedGeometry(nullptr, Transform(), placed.getPlacedBound())).bound;
    const Vec3 size = stack.bound.getSize();
    const bool wholeStack = std::abs(footprint.getSize().x - size.x) < 1e-9 && std::abs(footprint.getSize().z - size.z) < 1e-9;
    if (outline.empty() || hasRectangleProfile(placed) || !wholeStack) {
        EntityEditor::setValueNoThrow(entity, Shape_t, Rectangle_t);
        return;
    }
    EntityEditor::setValueNoThrow(entity, Shape_t, Polygon_t);
    EntityEditor::setSIDoubleListValueNoThrow(entity, Outline_t, hostOutline(outline, entityFrame, Vec3()));
}

void TarvexLayeredEntityBuilder::fillLayer(const Layer& layer, const AttributePath& item)
{
    double bottom = 0.0;
    double top = 0.0;
    std::vector<TarvexPlacedGeometry> hosts;
    hosts.reserve(layer.cells.size());
    for (size_t j = 0; j < layer.cells.size(); ++j) {
        hosts.push_back(hostFrameOf(*layer.cells[j]));
        const double low = lowCorner(hosts.back(), entityFrame).y;
        const double high = low + hosts.back().bound.getSize().y;
        bottom = j == 0 ? low : std::min(bottom, low);
        top = j == 0 ? high : std::max(top, high);
    }
    EntityEditor::setValueNoThrow(entity, item / Name_t, layer.name);
    EntityEditor::setSIValueNoThrow(entity, item / Thickness_t, top - bottom);
    EntityEditor::setSIValueNoThrow(entity, item / Y_Location_t, bottom);

    const AttributePath cells = item / Tarvex_Layer_Items_t;
    ListAttributeEditor::setItemCount(entity, cells, int(layer.cells.size()));
    EntityEditor::setLinksNoThrow(entity, item / Materials_t, {});
    for (size_t j = 0; j < layer.cells.size(); ++j)
        fillCell(*layer.cells[j], hosts[j], layer, item, itemOf(cells, int(j)));

    // A cell written before the layer's list of materials grew has a shorter list of
    // fractions: every cell lists one fraction per material of its layer.
    const int materials = int(getLinkedEntities(entity, item / Materials_t).size());
    for (size_t j = 0; j < layer.cells.size() && materials > 0; ++j) {
        const AttributePath fractionsPath = itemOf(cells, int(j)) / Material_Fraction_t;
        QVector<double> fractions = getStandardDoubleListValues(entity, fractionsPath);
        if (fractions.isEmpty() || fractions.size() == materials)
            continue;
        fractions.resize(materials);
        EntityEditor::setSIDoubleListValueNoThrow(entity, fractionsPath, fractions);
    }
}

void TarvexLayeredEntityBuilder::fillCell(const TarvexBasicPart& cell, const TarvexPlacedGeometry& host,
                                          const Layer& layer, const AttributePath& layerItem, const AttributePath& item)
{
    // Layers have no horizontal position of their own: cells are placed in the entity's frame.
    const Vec3 low = lowCorner(host, entityFrame);
    EntityEditor::setValueNoThrow(entity, item / Active_t, Yes_t);
    EntityEditor::setValueNoThrow(entity, item / Name_t, displayName(cell, false));
    EntityEditor::setSIValueNoThrow(entity, item / X_Location_t, low.x);
    EntityEditor::setSIValueNoThrow(entity, item / Z_Location_t, low.z);

    const TarvexPlacedGeometry& placed = placedGeometryOf(cell);
    if (hasRectangleProfile(placed)) {
        EntityEditor::setValueNoThrow(entity, item / Shape_t, Rectangle_t);
    } else {
        // Rewritten every time, so that an update never leaves the outline of an earlier file.
        EntityEditor::setValueNoThrow(entity, item / Shape_t, Polygon_t);
        EntityEditor::setSIDoubleListValueNoThrow(entity, item / Outline_t,
                                                  hostOutline(fileOutline(placed), entityFrame, low));
    }
    const Vec3 size = host.bound.getSize();
    EntityEditor::setSIValueNoThrow(entity, item / Width_t, size.x);
    EntityEditor::setSIValueNoThrow(entity, item / Depth_t, size.z);
    EntityEditor::setSIValueNoThrow(entity, item / Power_t / Value_t, cell.getPower());

    if (!cell.getMaterial())
        return;
    const TarvexLayerCellPlace place{entity, layerItem, item, displayName(cell, false), layer.name,
                                     int(layer.cells.size())};
    TarvexLayeredMaterialEntityBuilder materials(place, getSharedState(), getProgress());
    cell.getMaterial()->accept(materials);
}

Bound TarvexLayeredEntityBuilder::stackBound(const std::vector<Layer>& layers)
{
    // The bound of every cell: layers of different outlines do not unite into one solid,
    // so the united solid of the part may leave some out.
    Bound stack;
    for (const Layer& layer : layers) {
        for (const TarvexBasicPart* cell : layer.cells)
            stack.unite(placedGeometryOf(*cell).getPlacedBound());
    }
    return stack;
}

} // namespace Tarvex
