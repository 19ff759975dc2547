#include <tarvex/export/TarvexCFDExport.h>

#include <tarvex/host/CurveAttribute.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/ListAttributeEditor.h>
#include <tarvex/host/ResultTypes.h>
#include <tarvex/host/Solid.h>
#include <tarvex/host/SolverTypes.h>
#include <tarvex/host/TerminalAttributes.h>
#include <tarvex/objects/FlatGeometryOutlineGenerator.h>
#include <tarvex/objects/TarvexCoordinateFrames.h>

#include <QFile>
#include <QXmlStreamWriter>

#include <cmath>
#include <optional>
#include <stdexcept>

using namespace EntityModel;
using Geometry::Bound;
using Geometry::Transform;
using Geometry::Vec3;

namespace Tarvex {

namespace {

AttributePath pinItemsPath()
{
    return AttributePath(Simulation_Results_t) / Pin_Results_t / Pin_Results_Summary_t / Pins_t;
}

AttributePath pinOffsetPath(int axis)
{
    return AttributePath(Placement_t) / AttributePath(QStringLiteral("Pin Offset %1").arg(axis));
}

bool isLumpedGroup(const Entity* entity)
{
    return entity && entity->getType() == Terminal_Group_t &&
           hasAttributeSetTo(entity, TerminalAttributes::exportType(), Lump_t);
}

// Lengths are metres: what is left of a zero after rotations and subtractions (some 1e-17)
// is written as 0, so that the file does not depend on where the board stands.
double coordinate(double value)
{
    return std::abs(value) < 1e-12 ? 0.0 : value;
}

// Adding 0 turns a negative zero into 0, which is what the tools read.
QString number(double value)
{
    return QString::number(value + 0.0, 'g', 6);
}

QString point(const Vec3& p)
{
    return QStringLiteral("(%1, %2, %3)").arg(number(coordinate(p.x)), number(coordinate(p.y)), number(coordinate(p.z)));
}

// Names come from people; characters that XML 1.0 cannot carry become "_" so that the file
// stays well formed.
QString xmlSafe(const QString& text)
{
    QString safe;
    safe.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            safe.append(c).append(text.at(++i));
            continue;
        }
        const ushort u = c.unicode();
        const bool allowed = u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u < 0xD800) || (u >= 0xE000 && u <= 0xFFFD);
        safe.append(allowed ? c : QChar(QLatin1Char('_')));
    }
    return safe;
}

// How a terminal lies on a face of its block's box: the axis across the face, whether it is
// the high face of that axis, and the axes of its 2-D frame ("Offset_1"/"Width" along the
// first, "Offset_2"/"Depth" along the second): top and bottom faces take x then z, left and
// right z then y, front and rear x then y. Sides are named as the interchange import names
// them: left is high x, top high y and front high z, except that a component on the bottom
// of a board is seen from below, its top and left being its low y and low x.
struct FaceFrame
{
    int across = 1;
    bool high = true;
    Vec3 axis1{1, 0, 0};
    Vec3 axis2{0, 0, 1};
};

std::optional<FaceFrame> faceFrameOf(const TypeRef& side, bool topSide)
{
    const Vec3 x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
    if (side == Top_t || side == Bottom_t)
        return FaceFrame{1, (side == Top_t) == topSide, x, z};
    if (side == Left_t || side == Right_t)
        return FaceFrame{0, (side == Left_t) == topSide, z, y};
    if (side == Front_t || side == Rear_t || side == Back_t)
        return FaceFrame{2, side == Front_t, x, y};
    return std::nullopt;
}

// The entity a terminal stands on: its first owner that is not a terminal group.
const Entity* blockOf(const Entity* terminal)
{
    const Entity* block = terminal->getOwnerEntity();
    while (block && block->getType() == Terminal_Group_t)
        block = block->getOwnerEntity();
    return block;
}

// The terminal as a flat box in its block's frame, carried into the model by the block's
// transform. A terminal without a side has no face: its box is empty.
Geometry::Part terminalPart(Geometry::GeometryBuilder& geometry, Entity* terminal)
{
    const Entity* block = blockOf(terminal);
    const Geometry::Part* blockPart = geometry.lookupOrBuildPart(block);
    const Transform placement = blockPart ? blockPart->getTransform() : Transform();
    const std::optional<FaceFrame> frame = faceFrameOf(getTypeValue(terminal, Side_t), isOnBoardTopSide(block));
    if (!frame || !blockPart)
        return Geometry::Part(terminal, Bound(), placement);
    Bound blockBox = Geometry::GeometryBuilder::ownBoxOf(block);
    if (blockBox.isEmpty())
        blockBox = blockPart->getLocalBound();
    Vec3 low = blockBox.getLow();
    low[frame->across] = frame->high ? blockBox.getHigh()[frame->across] : blockBox.getLow()[frame->across];
    low += frame->axis1 * getStandardDoubleValue(terminal, Offset_1_t, 0.0) +
           frame->axis2 * getStandardDoubleValue(terminal, Offset_2_t, 0.0);
    const Vec3 high = low + frame->axis1 * getStandardDoubleValue(terminal, Width_t, 0.0) +
                      frame->axis2 * getStandardDoubleValue(terminal, Depth_t, 0.0);
    return Geometry::Part(terminal, Bound(low, high), placement);
}

// The corners of a part's flat box as the host's box gives them, carried into the model by
// the part's transform (so that a turned block keeps its terminals' shape).
std::vector<Vec3> outlineOf(const Geometry::Part& part)
{
    FlatGeometryOutlineGenerator::Outline outline;
    if (!part.getLocalBound().isEmpty())
        FlatGeometryOutlineGenerator(&outline).generate(Geometry::Box(part.getLocalBound()));
    for (Vec3& point : outline.points)
        point = part.getTransform().transform(point);
    return outline.points;
}

// A lumped group as the rectangle bounding its terminals in the frame of the block of the
// first of them, in that terminal's plane; none when no terminal of the group has a face.
std::optional<Geometry::Part> lumpedGroupPart(Geometry::GeometryBuilder& geometry, Entity* group)
{
    std::vector<Entity*> members;
    group->getOwnedChildEntities(members, true, true);
    std::optional<Geometry::Part> first;
    Bound rectangle;
    for (Entity* member : members) {
        if (member->getType() != Terminal_t)
            continue;
        const Geometry::Part face = terminalPart(geometry, member);
        if (face.getLocalBound().isEmpty())
            continue;
        if (!first)
            first = face;
        const Transform intoFirst = first->getTransform().inverse();
        for (const Vec3& corner : outlineOf(face))
            rectangle.unite(intoFirst.transform(corner));
    }
    if (!first)
        return std::nullopt;
    const Bound& face = first->getLocalBound();
    for (int axis = 0; axis < 3; ++axis) {
        if (face.getSize()[axis] == 0.0) {
            Vec3 low = rectangle.getLow();
            Vec3 high = rectangle.getHigh();
            low[axis] = high[axis] = face.getLow()[axis];
            return Geometry::Part(group, Bound(low, high), first->getTransform());
        }
    }
    return std::nullopt;
}

// Model coordinates into the file's: relative to the board (inverse of its transform), z up
// (+90 degrees about x), turned by the board's angle in the interchange placement (degrees,
// the host's unit of angles) about the file's z, and moved so that the low corner of the
// board's own box lands on the origin. That last move also takes away the placement's
// location, so the file does not change when the board is moved.
Transform exportFrame(const Geometry::Part& pcb)
{
    const Entity* board = pcb.getEntity();
    const double angle = getStandardDoubleValue(board, Tarvex_Interchange_Placement_t / Angle_t, 0.0);
    const Transform rotation =
        Transform::createRotation(Vec3(0, 0, 1), angle * M_PI / 180.0) * hostToInterchangeRotation();
    Bound own = Geometry::GeometryBuilder::ownBoxOf(board);
    if (own.isEmpty())
        own = pcb.getLocalBound();
    const Bound turned = own.transformed(rotation);
    const Transform corner = turned.isEmpty() ? Transform() : Transform::createTranslation(-turned.getLow());
    return corner * rotation * pcb.getTransform().inverse();
}

// "Outline": the points last first, then the pin grid.
void writeOutline(QXmlStreamWriter& writer, const std::vector<Vec3>& points, const Transform& frame, int nx, int ny)
{
    writer.writeStartElement(QStringLiteral("Outline"));
    writer.writeAttribute(QStringLiteral("Type"), QStringLiteral("grid"));
    for (size_t i = 0; i < points.size(); ++i) {
        writer.writeAttribute(QStringLiteral("Node%1").arg(i + 1),
                              point(frame.transform(points[points.size() - 1 - i])));
    }
    writer.writeAttribute(QStringLiteral("NX"), QString::number(nx));
    writer.writeAttribute(QStringLiteral("NY"), QString::number(ny));
    writer.writeEndElement();
}

void writePin(QXmlStreamWriter& writer, const QString& name, int id, const Vec3& position,
              const TarvexCFDExport::HeatFluxData& data)
{
    writer.writeStartElement(QStringLiteral("Pin"));
    writer.writeAttribute(QStringLiteral("PinName"), xmlSafe(name));
    writer.writeAttribute(QStringLiteral("PinID"), QString::number(id));
    writer.writeAttribute(QStringLiteral("x"), number(coordinate(position.x)));
    writer.writeAttribute(QStringLiteral("y"), number(coordinate(position.y)));
    writer.writeAttribute(QStringLiteral("z"), number(coordinate(position.z)));
    writer.writeAttribute(QStringLiteral("A"), number(data.effectiveArea));
    writer.writeAttribute(QStringLiteral("ConvectionHeatTransfer"), number(data.convection));
    writer.writeAttribute(QStringLiteral("ConductionHeatTransfer"), number(data.conduction));
    writer.writeAttribute(QStringLiteral("RadiationHeatTransfer"), number(data.radiation));
    writer.writeAttribute(QStringLiteral("TotalHeatTransfer"),
                          number(data.convection + data.conduction + data.radiation));
    writer.writeAttribute(QStringLiteral("Rth"), number(data.thermalResistance));
    writer.writeAttribute(QStringLiteral("htc"), number(data.heatTransferCoefficient));
    writer.writeAttribute(QStringLiteral("Tsurf"), number(data.surfaceTemperature));
    writer.writeAttribute(QStringLiteral("Tamb"), number(data.referenceTemperature));
    writer.writeEndElement();
}

// "HeatTransfer" and "AverageTemperature" of a whole terminal.
void writeTotals(QXmlStreamWriter& writer, const TarvexCFDExport::HeatFluxData& data)
{
    writer.writeStartElement(QStringLiteral("HeatTransfer"));
    writer.writeAttribute(QStringLiteral("Convective"), number(data.convection));
    writer.writeAttribute(QStringLiteral("Conduction"), number(data.conduction));
    writer.writeAttribute(QStringLiteral("Radiation"), number(data.radiation));
    writer.writeAttribute(QStringLiteral("Total"), number(data.convection + data.conduction + data.radiation));
    writer.writeEndElement();
    writer.writeStartElement(QStringLiteral("AverageTemperature"));
    writer.writeAttribute(QStringLiteral("Tsurf"), number(data.surfaceTemperature));
    writer.writeAttribute(QStringLiteral("Tamb"), number(data.referenceTemperature));
    writer.writeEndElement();
}

const CompositeAttribute* resultsOf(const Entity* entity)
{
    const Attribute* results = entity->findAttribute(Simulation_Results_t);
    return results && results->getKind() == Attribute::Kind::Composite ? static_cast<const CompositeAttribute*>(results)
                                                                       : nullptr;
}

} // namespace

TarvexCFDExport::TarvexCFDExport() : QObject(nullptr) {}

TarvexCFDExport::TarvexCFDExport(QObject* parent) : QObject(parent) {}

void TarvexCFDExport::exportModel(Geometry::Part* pcb, const QString& path, Tools::ToolProgress* sink)
{
    if (sink) {
        sink->reset();
        sink->post(Tools::ToolProgress::Kind::Message, tr("Wrting Terminal Data File"));
    }
    if (!pcb || !pcb->getEntity())
        throw std::runtime_error(tr("No Root Part provided").toStdString());
    if (pcb->getEntity()->getType() != PCB_t)
        throw std::runtime_error(tr("Only PCBs can be exported").toStdString());

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    // No declaration: the file begins with its document element. The writer's indentation
    // would put a line break before it, so it starts once the element is open.
    QXmlStreamWriter writer(&file);
    writer.writeStartElement(QStringLiteral("CFD_TERMINAL_DEFINITION"));
    writer.writeAttribute(QStringLiteral("Version"), QStringLiteral("2019.0"));
    writer.setAutoFormatting(true);

    const Transform frame = exportFrame(*pcb);
    std::vector<Entity*> below;
    pcb->getEntity()->getOwnedChildEntities(below, true, true);
    std::vector<Entity*> terminals;
    for (Entity* entity : below) {
        if (entity->getType() == Terminal_t || entity->getType() == Terminal_Group_t)
            terminals.push_back(entity);
    }
    if (sink)
        sink->setTotalSteps(terminals.size());
    Geometry::GeometryBuilder geometry;
    quint64 step = 0;
    for (Entity* entity : terminals) {
        if (isLumpedGroup(entity)) {
            if (std::optional<Geometry::Part> group = lumpedGroupPart(geometry, entity))
                writeLumpTerminalGroup(writer, &*group, frame);
        } else if (entity->getType() == Terminal_t && !isLumpedGroup(entity->getOwnerEntity())) {
            Geometry::Part terminal = terminalPart(geometry, entity);
            writeTerminal(writer, &terminal, frame);
        }
        if (sink)
            sink->setStep(++step);
    }
    writer.writeEndElement();
    writer.writeEndDocument();
}

void TarvexCFDExport::writeTerminal(QXmlStreamWriter& writer, Geometry::Part* terminal, const Transform& transform)
{
    const Entity* entity = terminal->getEntity();
    writer.writeStartElement(QStringLiteral("Terminal"));
    writer.writeAttribute(QStringLiteral("name"), xmlSafe(entity->getName()));
    const AttributePath layout = AttributePath(Simulation_Results_t) / Pin_Results_t / Pin_Layout_t;
    writeOutline(writer, outlineOf(*terminal), transform, getIntValue(entity, layout / N_1_t, 0),
                 getIntValue(entity, layout / N_2_t, 0));

    // Pin offsets are taken from the terminal's low corner along the axes of its face; a
    // terminal without a face measures them from its block's origin along x and z.
    const FaceFrame face = faceFrameOf(getTypeValue(entity, Side_t), true).value_or(FaceFrame());
    const Bound& box = terminal->getLocalBound();
    const Vec3 origin = box.isEmpty() ? Vec3() : box.getLow();
    const std::vector<CompositeAttribute*> pins = ListAttributeEditor::getItems(entity, pinItemsPath());
    writer.writeStartElement(QStringLiteral("TerminalPinSet"));
    writer.writeAttribute(QStringLiteral("num"), QString::number(pins.size()));
    for (size_t i = 0; i < pins.size(); ++i) {
        const Vec3 local = origin + face.axis1 * extractResultStandardValue(pins[i], pinOffsetPath(1)) +
                           face.axis2 * extractResultStandardValue(pins[i], pinOffsetPath(2));
        const Attribute* name = pins[i]->findAttribute(Name_t);
        writePin(writer,
                 name && name->getKind() == Attribute::Kind::Value
                     ? static_cast<const ValueAttribute*>(name)->getValue().toString()
                     : QString(),
                 int(i) + 1, transform.transform(terminal->getTransform().transform(local)), getHeatFluxData(pins[i]));
    }
    writer.writeEndElement();
    writeTotals(writer, getHeatFluxData(resultsOf(entity)));
    writer.writeEndElement();
}

void TarvexCFDExport::writeLumpTerminalGroup(QXmlStreamWriter& writer, Geometry::Part* group, const Transform& transform)
{
    const Entity* entity = group->getEntity();
    const HeatFluxData data = getHeatFluxData(resultsOf(entity));
    writer.writeStartElement(QStringLiteral("Terminal"));
    writer.writeAttribute(QStringLiteral("name"), xmlSafe(entity->getName()));
    writeOutline(writer, outlineOf(*group), transform, 1, 1);
    writer.writeStartElement(QStringLiteral("TerminalPinSet"));
    writer.writeAttribute(QStringLiteral("num"), QStringLiteral("1"));
    writePin(writer, entity->getName(), 1, transform.transform(group->getTransform().transform(group->getLocalBound().getCentre())),
             data);
    writer.writeEndElement();
    writeTotals(writer, data);
    writer.writeEndElement();
}

TarvexCFDExport::HeatFluxData TarvexCFDExport::getHeatFluxData(const CompositeAttribute* results)
{
    HeatFluxData data;
    if (!results)
        return data;
    const AttributePath fluxes = Summary_t / Heat_Fluxes_t;
    const auto leaving = [&](const TypeRef& out, const TypeRef& outCurve, const TypeRef& in, const TypeRef& inCurve) {
        return extractResultStandardValues(results, {fluxes / out, fluxes / outCurve}, {fluxes / in, fluxes / inCurve});
    };
    if (includesConduction(results->getOwnerEntity())) {
        data.conduction = leaving(Heat_Conduction_Out_t, Heat_Conduction_Out_Curve_t, Heat_Conduction_In_t,
                                  Heat_Conduction_In_Curve_t);
    }
    data.convection = leaving(Heat_Convection_Out_t, Heat_Convection_Out_Curve_t, Heat_Convection_In_t,
                              Heat_Convection_In_Curve_t);
    data.radiation = leaving(Heat_Radiation_Out_t, Heat_Radiation_Out_Curve_t, Heat_Radiation_In_t,
                             Heat_Radiation_In_Curve_t);

    const AttributePath summary(Heat_Transfer_Summary_t);
    const auto twins = [&](const TypeRef& value, const TypeRef& curve) {
        return extractResultStandardValues(results, {summary / value, summary / curve}, {});
    };
    data.surfaceTemperature = twins(Surface_Temperature_t, Surface_Temperature_Curve_t);
    data.referenceTemperature = twins(Reference_Temperature_t, Reference_Temperature_Curve_t);
    data.heatTransferCoefficient = twins(Heat_Transfer_Coefficient_t, Heat_Transfer_Coefficient_Curve_t);
    data.thermalResistance = twins(Thermal_Resistance_t, Thermal_Resistance_Curve_t);
    data.effectiveArea = extractResultStandardValue(results, summary / Effective_Area_t);
    return data;
}

double TarvexCFDExport::extractResultStandardValue(const CompositeAttribute* results, const AttributePath& path)
{
    const Attribute* at = results ? results->findAttribute(path) : nullptr;
    if (!at)
        return 0.0;
    if (at->getKind() == Attribute::Kind::Value) {
        const QVariant& value = static_cast<const ValueAttribute*>(at)->getValue();
        return value.type() == QVariant::Double || value.type() == QVariant::LongLong ? value.toDouble() : 0.0;
    }
    if (at->getKind() == Attribute::Kind::Curve) {
        // A transient result is a curve over time; what the solution ended with is its value.
        const QVector<QPointF>& points = static_cast<const CurveAttribute*>(at)->getPoints();
        return points.isEmpty() ? 0.0 : points.last().y();
    }
    return 0.0;
}

double TarvexCFDExport::extractResultStandardValues(const CompositeAttribute* results,
                                                    const QList<AttributePath>& added,
                                                    const QList<AttributePath>& subtracted)
{
    double sum = 0.0;
    for (const AttributePath& path : added)
        sum += extractResultStandardValue(results, path);
    for (const AttributePath& path : subtracted)
        sum -= extractResultStandardValue(results, path);
    return sum;
}

bool TarvexCFDExport::includesConduction(const Entity* entity)
{
    if (!entity)
        return false;
    const Entity* owner = entity->getOwnerEntity();
    return hasAttributeSetTo(owner && owner->getType() == Terminal_Group_t ? owner : entity, Include_Conduction_t,
                             Yes_t);
}

} // namespace Tarvex
