#include <tarvex/builders/TarvexTerminalEntityBuilder.h>

#include <tarvex/builders/TarvexEntityBuildState.h>
#include <tarvex/builders/TarvexPartPlacement.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/SolverTypes.h>
#include <tarvex/host/TerminalAttributes.h>
#include <tarvex/host/TypeCatalogue.h>
#include <tarvex/objects/TarvexBasicPart.h>
#include <tarvex/objects/TarvexCompositeGeometryObject.h>
#include <tarvex/objects/TarvexCoordinateFrames.h>
#include <tarvex/objects/TarvexLayeredPart.h>
#include <tarvex/objects/TarvexLayeredPartLayer.h>
#include <tarvex/objects/TarvexPartClass.h>

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

namespace Tarvex {

using namespace EntityModel;
using Geometry::Bound;
using Geometry::Transform;
using Geometry::Vec3;

namespace {

// Normals are told apart, faces chosen and node points merged at a micrometre's scale; a
// normal lies along an axis only when its other components are far finer still.
constexpr double tolerance = 1e-6;
constexpr double axisTolerance = 1e-9;

// "(x, y, z)": each field trimmed and read as a number, missing fields 0; any other text
// gives no direction at all.
Vec3 readNormal(const QString& text)
{
    Vec3 normal;
    if (!text.startsWith(QLatin1Char('(')) || !text.endsWith(QLatin1Char(')')))
        return normal;
    const QStringList fields = text.mid(1, text.size() - 2).split(QLatin1Char(','));
    for (int i = 0; i < 3 && i < fields.size(); ++i)
        normal[i] = fields[i].trimmed().toDouble();
    return normal;
}

bool differs(const Vec3& a, const Vec3& b)
{
    return std::abs(a.x - b.x) >= tolerance || std::abs(a.y - b.y) >= tolerance || std::abs(a.z - b.z) >= tolerance;
}

bool isVertical(const Vec3& normal)
{
    return !differs(normal, Vec3(0.0, 0.0, 1.0)) || !differs(normal, Vec3(0.0, 0.0, -1.0));
}

bool liesAlongAnAxis(const Vec3& normal)
{
    int zeros = 0;
    for (int i = 0; i < 3; ++i)
        zeros += std::abs(normal[i]) < axisTolerance ? 1 : 0;
    return zeros == 2;
}

// Terminals conduct into their part unless their group connects them outside the model.
TypeRef conductionOf(const TarvexTerminalGroup& group)
{
    return group.getConnectionType() == QLatin1String("External") ? No_t : Yes_t;
}

// The file's normal in the part's own frame: into host axes, then against the part's host
// placement; a unit vector, or zero.
Vec3 normalInPart(const Vec3& fileNormal, const Transform& hostPlacement)
{
    const Vec3 host = interchangeToHostRotation().transformVector(fileNormal);
    return hostPlacement.inverse().transformVector(host).normalized();
}

// Blocks of one composite made from Geoms of one name share that name's terminals;
// the first of them carries them, as it carries the object's heat sources.
bool carriesItsTerminals(const TarvexPart& part)
{
    const auto* composite = dynamic_cast<const TarvexCompositeGeometryObject*>(part.getParent());
    if (!composite)
        return true;
    for (const auto& child : composite->getChildren()) {
        if (child.get() == &part)
            return true;
        if (child && child->getName(true) == part.getName(true))
            return false;
    }
    return true;
}

QList<TarvexTerminal> terminalsOf(const TarvexPart& part)
{
    if (const auto* basic = dynamic_cast<const TarvexBasicPart*>(&part))
        return basic->getTerminals();
    if (const auto* layer = dynamic_cast<const TarvexLayeredPartLayer*>(&part))
        return layer->getTerminals();
    if (const auto* layered = dynamic_cast<const TarvexLayeredPart*>(&part))
        return layered->getTerminals();
    QList<TarvexTerminal> terminals;
    if (const auto* composite = dynamic_cast<const TarvexCompositeGeometryObject*>(&part)) {
        for (const auto& child : composite->getChildren()) {
            if (child)
                terminals += terminalsOf(*child);
        }
    }
    return terminals;
}

// `terminals` in the order the file has them: those of a layered part are gathered cell by
// cell. Terminals not read from a file (no source position) keep the order they come in.
QList<TarvexTerminal> inFileOrder(QList<TarvexTerminal> terminals)
{
    const bool parsed = std::all_of(terminals.begin(), terminals.end(),
                                    [](const TarvexTerminal& terminal) { return terminal.getSourcePosition() >= 0; });
    if (parsed) {
        std::stable_sort(terminals.begin(), terminals.end(), [](const TarvexTerminal& a, const TarvexTerminal& b) {
            return a.getSourcePosition() < b.getSourcePosition();
        });
    }
    return terminals;
}

// The parts a layered entity holds as its layers: the layers of a layered part, the blocks
// of a part of the older layout made of blocks, or the one block of a part given as one.
std::vector<const TarvexPart*> layersOf(const TarvexPart& part)
{
    std::vector<const TarvexPart*> layers;
    if (const auto* layered = dynamic_cast<const TarvexLayeredPart*>(&part)) {
        for (const auto& layer : layered->getLayers())
            layers.push_back(layer.get());
    } else if (const auto* composite = dynamic_cast<const TarvexCompositeGeometryObject*>(&part)) {
        for (const auto& child : composite->getChildren())
            layers.push_back(child.get());
    } else {
        layers.push_back(&part);
    }
    layers.erase(std::remove(layers.begin(), layers.end(), nullptr), layers.end());
    return layers;
}

// A layer of a legacy layered part gives its vertical terminals the part's simplification
// grid (one pin without one); a name made of several elements is one terminal of one pin;
// otherwise the file's grid stands.
TarvexPinGrid pinGridFor(const QList<TarvexTerminal>& named, const Vec3& normal, const TarvexPart& part)
{
    const auto* layered = part.getPartType() == LayeredPartLayer
                              ? dynamic_cast<const TarvexLayeredPart*>(part.getParent())
                              : nullptr;
    if (layered && isVertical(normal)) {
        if (const auto& grid = layered->getSimplificationGrid())
            return {grid->first, grid->second};
        return {1, 1};
    }
    if (named.size() > 1)
        return {1, 1};
    return {named.front().getNX(), named.front().getNY()};
}

// The board that holds `parent` itself, terminal groups aside; null for anything else.
const Entity* boardHolding(const Entity* parent)
{
    const Entity* owner = parent;
    while (owner && owner->getType() == Terminal_Group_t)
        owner = owner->getOwnerEntity();
    return owner && owner->getType() == PCB_t ? owner : nullptr;
}

// One face of the part's host bound: the host axis it faces along and which way, its side
// label and its size and offsets as the host measures them on that side.
struct Face
{
    TypeRef side;
    int axis;
    bool outward;
    double width;
    double depth;
    double offset1;
    double offset2;
};

// The first non-zero component of the normal (in the part's own frame) picks the face.
std::optional<Face> faceOf(const Vec3& n, bool topSide, const Bound& bound, const Vec3& offset)
{
    const Vec3 size = bound.getSize();
    if (std::abs(n.x) >= tolerance)
        return Face{(n.x > 0) == topSide ? Left_t : Right_t, 0, n.x > 0, size.z, size.y, offset.z, offset.y};
    if (std::abs(n.y) >= tolerance)
        return Face{(n.y > 0) == topSide ? Top_t : Bottom_t, 1, n.y > 0, size.x, size.z, offset.x, offset.z};
    if (std::abs(n.z) >= tolerance)
        return Face{n.z > 0 ? Front_t : Rear_t, 2, n.z > 0, size.x, size.y, offset.x, offset.y};
    return std::nullopt;
}

// Ascending x, then y, then z; coordinates closer than the tolerance count as equal.
bool nodeBefore(const Vec3& p, const Vec3& q)
{
    for (int i = 0; i < 3; ++i) {
        if (std::abs(p[i] - q[i]) >= tolerance)
            return p[i] < q[i];
    }
    return false;
}

// The terminal's node points: the four corners of its face, in the part's own frame in the
// file's axes (z up, from the part's low corner), all at the middle of their heights. A top
// or bottom face keeps its four corners; a side face becomes the two ends of its middle
// line. Flat list x0, y0, z0, x1, ... without duplicates, in ascending (x, y, z).
QVector<double> faceNodes(const Bound& bound, const Face& face)
{
    const Vec3 low = bound.getLow();
    const Vec3 high = bound.getHigh();
    const Vec3 half = (high - low) / 2.0;
    // From the centre of the part half its extent out onto the face, then half the
    // extents each way along the face's two directions to its corners.
    Vec3 centre = (low + high) / 2.0;
    centre[face.axis] += face.outward ? half[face.axis] : -half[face.axis];
    const int first = (face.axis + 1) % 3;
    const int second = (face.axis + 2) % 3;
    std::vector<Vec3> points;
    for (const double a : {-1.0, 1.0}) {
        for (const double b : {-1.0, 1.0}) {
            Vec3 corner = centre;
            corner[first] += a * half[first];
            corner[second] += b * half[second];
            // The host's (x, y, z) is the file's (x, -z, y) about the part's low corner.
            points.emplace_back(corner.x - low.x, high.z - corner.z, corner.y - low.y);
        }
    }
    const auto heights = std::minmax_element(points.begin(), points.end(),
                                             [](const Vec3& p, const Vec3& q) { return p.z < q.z; });
    const double middle = (heights.first->z + heights.second->z) / 2.0;
    for (Vec3& point : points)
        point.z = middle;
    std::sort(points.begin(), points.end(), nodeBefore);
    points.erase(std::unique(points.begin(), points.end(),
                             [](const Vec3& p, const Vec3& q) { return !nodeBefore(p, q) && !nodeBefore(q, p); }),
                 points.end());
    QVector<double> values;
    for (const Vec3& point : points)
        values << point.x << point.y << point.z;
    return values;
}

// A top or bottom terminal of a polygonal board covers the board's outline, not its
// bounding rectangle.
void writeBoardOutline(Entity* terminal, const TarvexPart& part, const Entity* parent, const Transform& hostPlacement)
{
    const Entity* board = boardHolding(parent);
    if (!board || !hasAttributeSetTo(board, Shape_t, Polygon_t))
        return;
    const TarvexPlacedGeometry& placed = placedGeometryOf(part);
    const std::vector<Vec3> outline = fileOutline(placed);
    if (outline.empty() || hasRectangleProfile(placed))
        return;
    EntityEditor::setSIDoubleListValueNoThrow(terminal, Outline_t, hostOutline(outline, hostPlacement, Vec3()));
    EntityEditor::setValueNoThrow(terminal, Shape_t, Polygon_t);
}

} // namespace

void TarvexTerminalEntityBuilder::buildTerminals(TarvexEntityBuildState* sharedState, Tools::ToolProgress* progress,
                                                 const QList<TarvexTerminal>& terminals, const TarvexPart& part,
                                                 Entity* partEntity, const Transform& entityFrame)
{
    TarvexTerminalEntityBuilder builder(sharedState, progress);
    builder.build(terminals, part, partEntity, entityFrame);
}

void TarvexTerminalEntityBuilder::buildLayeredTerminals(TarvexEntityBuildState* sharedState,
                                                        Tools::ToolProgress* progress, const TarvexPart& part,
                                                        Entity* entity, const Transform& entityFrame)
{
    TarvexTerminalEntityBuilder builder(sharedState, progress);
    if (classifyPart(part) == BoardPart) {
        builder.build(terminalsOf(part), part, entity, entityFrame);
        return;
    }
    // Inside a component each layer carries the terminals of its own cells, on its own
    // faces; the layers stand in the layered entity's frame.
    for (const TarvexPart* layer : layersOf(part))
        builder.build(terminalsOf(*layer), *layer, entity, entityFrame);
}

TarvexTerminalEntityBuilder::TarvexTerminalEntityBuilder(TarvexEntityBuildState* sharedState,
                                                         Tools::ToolProgress* progress)
    : sharedState(sharedState), progress(progress)
{
}

TarvexTerminalEntityBuilder::~TarvexTerminalEntityBuilder() = default;

Tools::ToolProgress* TarvexTerminalEntityBuilder::getProgress() const { return progress; }

void TarvexTerminalEntityBuilder::build(const QList<TarvexTerminal>& terminals, const TarvexPart& part,
                                        Entity* partEntity, const Transform& entityFrame)
{
    if (!partEntity || terminals.isEmpty() || !carriesItsTerminals(part))
        return;
    std::map<QString, QList<TarvexTerminal>> byName;
    for (const TarvexTerminal& terminal : inFileOrder(terminals))
        byName[terminal.getName()].append(terminal);

    for (const auto& entry : byName) {
        const QList<TarvexTerminal>& named = entry.second;
        const Vec3 normal = readNormal(named.front().getNormal());
        const bool oneWay = std::none_of(named.begin(), named.end(), [&normal](const TarvexTerminal& terminal) {
            return differs(readNormal(terminal.getNormal()), normal);
        });
        if (oneWay) {
            // One face: the name is one terminal, hidden, standing for all its elements.
            if (Entity* terminal = obtainTerminal(named.front(), pinGridFor(named, normal, part), part, partEntity,
                                                  entityFrame))
                EntityEditor::setValueNoThrow(terminal, Hidden_t, Yes_t);
            continue;
        }
        // Several faces: each element in the group entity of its "TerminalGroup", when it
        // faces straight along an axis of the part.
        const Transform hostPlacement = toHostFrame(flatBoundOf(placedGeometryOf(part))).transform;
        for (const TarvexTerminal& terminal : named) {
            Entity* group = obtainTerminalGroup(terminal.getGroup(), partEntity);
            if (group && liesAlongAnAxis(normalInPart(readNormal(terminal.getNormal()), hostPlacement)))
                obtainTerminal(terminal, {terminal.getNX(), terminal.getNY()}, part, group, entityFrame);
        }
    }
}

Entity* TarvexTerminalEntityBuilder::obtainTerminalGroup(const TarvexTerminalGroup& group, Entity* parent)
{
    if (!sharedState || !parent)
        return nullptr;
    const QString& name = group.getName();
    if (Entity* made = sharedState->getTerminalGroup(parent, name))
        return made;
    Entity* entity = sharedState
                         ->getOrCreate(Name_t, name, Terminal_Group_t, parent,
                                       TypeCatalogue::listFor(parent->getType(), Terminal_Group_t))
                         .entity;
    if (!entity)
        return nullptr;
    EntityEditor::setValueNoThrow(entity, Hidden_t, Yes_t);
    EntityEditor::setValueNoThrow(entity, TerminalAttributes::constructionType(), Tarvex_Interchange_Model_t);
    TypeRef exportType = Separate_t;
    switch (group.getTerminalType()) {
    case TerminalGroupTerminalType::Lump:
        exportType = Lump_t;
        break;
    case TerminalGroupTerminalType::Separate:
        break;
    default:
        warning(tr("Unsupported terminal Export Typ"));
        break;
    }
    EntityEditor::setValueNoThrow(entity, TerminalAttributes::exportType(), exportType);
    EntityEditor::setValueNoThrow(entity, Include_Conduction_t, conductionOf(group));
    sharedState->setTerminalGroup(parent, name, entity);
    return entity;
}

Entity* TarvexTerminalEntityBuilder::obtainTerminal(const TarvexTerminal& terminal, const TarvexPinGrid& pins,
                                                    const TarvexPart& part, Entity* parent,
                                                    const Transform& entityFrame)
{
    if (!sharedState || !parent)
        return nullptr;
    Entity* entity = sharedState
                         ->getOrCreate(Name_t, terminal.getName(), Terminal_t, parent,
                                       TypeCatalogue::listFor(parent->getType(), Terminal_t))
                         .entity;
    if (!entity)
        return nullptr;
    EntityEditor::setValueNoThrow(entity, TerminalAttributes::constructionType(), Tarvex_Interchange_Model_t);
    EntityEditor::setValueNoThrow(entity, Include_Conduction_t, conductionOf(terminal.getGroup()));

    // The part in host axes: its own bound from the origin, its host placement, and its low
    // corner from the corner of the entity the terminal stands on (0 for a block's own
    // terminals; a layer's place in its layered entity). Measured there, offsets stay true
    // when the entity is moved.
    const TarvexPlacedGeometry host = toHostFrame(flatBoundOf(placedGeometryOf(part)));
    const Vec3 offset = hostLowCorner(host, entityFrame);
    const Vec3 normal = normalInPart(readNormal(terminal.getNormal()), host.transform);
    const std::optional<Face> face = faceOf(normal, isOnBoardTopSide(parent), host.bound, offset);
    if (!face)
        return entity;
    EntityEditor::setValueNoThrow(entity, Side_t, face->side);
    EntityEditor::setSIValueNoThrow(entity, Width_t, face->width);
    EntityEditor::setSIValueNoThrow(entity, Depth_t, face->depth);
    EntityEditor::setSIValueNoThrow(entity, Offset_1_t, face->offset1);
    EntityEditor::setSIValueNoThrow(entity, Offset_2_t, face->offset2);
    EntityEditor::setValueNoThrow(entity, TerminalAttributes::pinsAlongFirst(), int(std::max(pins.first, 1)));
    EntityEditor::setValueNoThrow(entity, TerminalAttributes::pinsAlongSecond(), int(std::max(pins.second, 1)));
    if (face->axis == 1)
        writeBoardOutline(entity, part, parent, host.transform);
    // A host whose terminals keep no nodes refuses the write, and the terminal goes without.
    EntityEditor::setSIDoubleListValueNoThrow(entity, TerminalAttributes::nodes(), faceNodes(host.bound, *face));
    return entity;
}

} // namespace Tarvex
