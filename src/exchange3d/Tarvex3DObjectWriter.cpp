#include <tarvex/exchange3d/Tarvex3DObjectWriter.h>

#include <tarvex/host/DisplayColour.h>
#include <tarvex/host/EntityGUI.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/HeatSourceAttributes.h>
#include <tarvex/host/SolverTypes.h>

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

using namespace EntityModel;

namespace Tarvex3D {

namespace {

// The GUIDs by which the solver knows each kind of object.
const QString dataGroupMeta = QStringLiteral("82102418-0843-4B2E-A7F5-FD6DF07D0B44");
const QString geomMeta = QStringLiteral("BC1329BE-CBC8-4B24-B034-EEB1A5778C78");
const QString baseBodyMeta = QStringLiteral("DC56F8F7-4FC6-4A13-A9D8-CA15EA1B2C63");
const QString htcGroupMeta = QStringLiteral("69F16594-B5B2-4B9E-A496-F9AA496D9367");
const QString boundaryMeta = QStringLiteral("5ACCD8FF-D2C9-4D14-8139-DD9B92AE6BA3");
const QString sensorMeta = QStringLiteral("E87C64A4-FD21-4CAD-BC4A-E152A978F4C9");
const QString probeMeta = QStringLiteral("E11A71F4-2B3E-4935-BCEF-E9F2D56E03AE");
const QString terminalGroupMeta = QStringLiteral("D7300C25-9FFA-4D62-9C87-6498521AF869");
const QString terminalMeta = QStringLiteral("68A8C0C3-8463-469D-B618-E3789F820B2E");
const QString surfaceStressMeta = QStringLiteral("db646b35-01f9-4432-b482-ea6e69d3dafb");
const QString nodeStressMeta = QStringLiteral("3B91F0B0-56F0-4B40-A5A8-B8C5A1F62D6C");
const QString patchObjectMeta = QStringLiteral("09d0c7a5-d28e-427e-a384-15e815e71df0");
const QString parameterMeta = QStringLiteral("182E2077-ABFF-484A-A374-4E9E40C0991A");
const QString patchMeta = QStringLiteral("65AC832A-D103-45B2-BE1E-73445C05BCCC");

// Grey, for an entity without a colour of its own.
constexpr quint32 defaultColour = 0xB4B4B400u;

QString tr(const char* text) { return QCoreApplication::translate("Tarvex3D::Tarvex3DExporter", text); }

QString number(double value) { return QString::number(value, 'g', QLocale::FloatingPointShortest); }

QString flag(bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); }

bool isOneOf(const TypeRef& type, std::initializer_list<const TypeRef*> types)
{
    return std::any_of(types.begin(), types.end(), [&](const TypeRef* one) { return *one == type; });
}

bool isGroupType(const TypeRef& type)
{
    return isOneOf(type, {&Group_Obstruction_t, &Subassembly_t, &Subcomponent_Group_t, &Net_t, &Conductor_Layer_t,
                          &Dielectric_Layer_t});
}

/// The kinds written as boundary, sensor, terminal or stress objects rather than as solids.
bool isBoundaryType(const TypeRef& type)
{
    return isOneOf(type, {&HTC_Boundary_t, &Heat_Source_t, &Sensor_t, &Terminal_t, &Displacement_t, &Force_t,
                          &Electrical_Boundary_t});
}

std::vector<Entity*> childrenOf(const Entity* entity)
{
    std::vector<Entity*> children;
    entity->getOwnedChildEntities(children, false, true);
    return children;
}

/// The analysis an entity belongs to. A terminal always belongs to the extraction; an entity
/// whose analysis was never set has the host's default for new boundaries, static.
TypeRef analysisOf(const Entity* entity)
{
    if (entity->getType() == Terminal_t)
        return Solid_Extraction_t;
    return getTypeValue(entity, Analysis_Type_t, Static_t);
}

QString thermalSimulationType(const Entity* entity)
{
    const TypeRef analysis = analysisOf(entity);
    if (analysis == Static_t)
        return QStringLiteral("0");
    if (analysis == Transient_t)
        return QStringLiteral("1");
    if (analysis == Solid_Extraction_t)
        return QStringLiteral("2");
    return QStringLiteral("-1");
}

void setAttributes(QDomElement& element, std::initializer_list<std::pair<const char*, QString>> attributes)
{
    for (const auto& [name, value] : attributes)
        element.setAttribute(QString::fromLatin1(name), value);
}

QDomElement appendValue(QDomElement& parent, const QString& tag, const QString& value)
{
    QDomElement child = parent.ownerDocument().createElement(tag);
    child.setAttribute(QStringLiteral("Value"), value);
    parent.appendChild(child);
    return child;
}

QDomElement childGroup(const QDomElement& parent, const QString& name)
{
    for (QDomElement group = parent.firstChildElement(QStringLiteral("DataGroup")); !group.isNull();
         group = group.nextSiblingElement(QStringLiteral("DataGroup"))) {
        if (group.attribute(QStringLiteral("Name")) == name)
            return group;
    }
    return QDomElement();
}

} // namespace

bool Tarvex3DObjectWriter::canExport(const TypeRef& type)
{
    return isOneOf(type, {&Group_Obstruction_t,  &Subassembly_t,         &Subcomponent_Group_t, &PCB_t,
                          &Solid_Obstruction_t,  &Component_t,           &HTC_Boundary_t,       &Heat_Source_t,
                          &Face_t,               &Sensor_t,              &Terminal_t,           &Force_t,
                          &Displacement_t,       &Electrical_Boundary_t, &Conductor_Layer_t,    &Dielectric_Layer_t,
                          &PCB_Conductor_t,      &PCB_Pad_t,             &Net_t,                &Trace_t,
                          &Trace_Segment_t,      &Trace_Junction_t,      &Via_t,                &Capacitor_t,
                          &Daughter_Board_t,     &Daughter_Board_Socket_t, &Resistor_t,         &Substrate_t,
                          &Substrate_Conductor_t, &Substrate_Hole_t,     &Substrate_Trace_t,    &Substrate_Net_t});
}

bool Tarvex3DObjectWriter::solvesInFea(const Entity* entity)
{
    const Attribute* solveUsing = entity->findAttribute(Solve_Using_t);
    return !solveUsing || hasAttributeSetTo(entity, Solve_Using_t, FEA_t);
}

quint32 Tarvex3DObjectWriter::colourValue(const Entity* entity)
{
    const std::optional<DisplayColour> colour = getColour(entity);
    if (!colour)
        return defaultColour;
    return quint32(colour->red) << 24 | quint32(colour->green) << 16 | quint32(colour->blue) << 8;
}

int Tarvex3DObjectWriter::faceNumber(const Entity* face)
{
    if (face->findAttribute(Side_t) && getBoolValue(face, IsOnCuboid_t, false)) {
        const TypeRef side = getTypeValue(face, Side_t);
        const std::pair<const TypeRef*, int> sides[] = {{&Top_t, 5},   {&Bottom_t, 2}, {&Left_t, 3}, {&Right_t, 4},
                                                        {&Front_t, 6}, {&Back_t, 1},   {&Rear_t, 1}};
        for (const auto& [type, number] : sides) {
            if (*type == side)
                return number;
        }
    }
    const Entity* cadFace = getLinkedEntity(face, FaceDefinition_t);
    const QVector<double> normal = cadFace && cadFace->getType() == CAD_Face_t
                                       ? getStandardDoubleListValues(cadFace, Normals_t)
                                       : QVector<double>();
    if (normal.size() < 3)
        return 1;
    const double x = std::abs(normal[0]), y = std::abs(normal[1]), z = std::abs(normal[2]);
    if (z >= std::max(x, y))
        return normal[2] > 0 ? 6 : 1;
    if (x > y)
        return normal[0] > 0 ? 4 : 3;
    return normal[1] > 0 ? 5 : 2;
}

QString Tarvex3DObjectWriter::getReferenceFace(const Entity* entity) const
{
    const Entity* face = nullptr;
    const Entity* owner = entity->getOwnerEntity();
    if (entity->getType() == Face_t)
        face = entity;
    else if (owner && owner->getType() == Component_t)
        face = entity;
    else if (owner && owner->getType() == Face_t)
        face = owner;
    if (!face)
        return QStringLiteral("-1");
    const Entity* solid = face->getOwnerEntity();
    // Two blanks before "I", as the solver writes it.
    return QStringLiteral("S %1 F 1 1 %2 1 %3  I 0")
        .arg(m_state.structuralIdOf(solid))
        .arg(faceNumber(face))
        .arg(m_state.operationIdOf(solid));
}

QString Tarvex3DObjectWriter::ownerId(const Entity* entity) const
{
    const Entity* owner = entity->getOwnerEntity();
    if (owner && owner->getType() == Face_t)
        owner = owner->getOwnerEntity();
    return m_state.structuralIdOf(owner);
}

QString Tarvex3DObjectWriter::materialName(const Entity* entity) const
{
    if (isOneOf(entity->getType(), {&Trace_Segment_t, &Trace_Junction_t}) && entity->getOwnerEntity())
        entity = entity->getOwnerEntity();
    for (const TypeRef* link : {&Material_t, &MaterialLink_t, &Dielectric_Material_t, &Conductor_Material_t}) {
        if (const Entity* material = getLinkedEntity(entity, *link))
            return m_state.materialNames.value(material, QStringLiteral("None"));
    }
    return QStringLiteral("None");
}

QDomElement Tarvex3DObjectWriter::createObjectElem(const QString& id, QDomElement parent)
{
    if (parent.isNull())
        return QDomElement();
    QDomElement link = parent.ownerDocument().createElement(QStringLiteral("Object"));
    link.setAttribute(QStringLiteral("id"), id);
    parent.appendChild(link);
    return link;
}

QDomElement Tarvex3DObjectWriter::newObject(const QString& tag, const QString& metaid, const QString& name,
                                            const Entity* recordFor)
{
    QDomElement object = m_state.document.createElement(tag);
    object.setAttribute(QStringLiteral("id"), m_state.newStructuralId(recordFor));
    object.setAttribute(QStringLiteral("metaid"), metaid);
    object.setAttribute(QStringLiteral("Name"), name);
    m_state.objects.appendChild(object);
    return object;
}

void Tarvex3DObjectWriter::setCommon(QDomElement& object, const Entity* entity) const
{
    setAttributes(object, {{"refid", ownerId(entity)},
                           {"Enabled", flag(getBoolValue(entity, Installed_t, true))},
                           {"ThermalSimulationType", thermalSimulationType(entity)}});
}

QDomElement Tarvex3DObjectWriter::getAttachementStructureNode(const Entity* entity, const QString& group) const
{
    const TypeRef analysis = analysisOf(entity);
    QString top;
    if (analysis == Static_t)
        top = QStringLiteral("Static Analysis");
    else if (analysis == Transient_t)
        top = QStringLiteral("Transient Analysis");
    else if (analysis == Solid_Extraction_t)
        top = QStringLiteral("Extraction");
    else
        return QDomElement(); // written, but linked under no analysis
    return childGroup(childGroup(m_state.structure, top), group);
}

QDomElement Tarvex3DObjectWriter::exportEntity(const Entity* entity, QDomElement& parent)
{
    if (!entity || !canExport(entity->getType()))
        return QDomElement();
    const TypeRef& type = entity->getType();
    m_state.step(tr("Exporting Object: %1").arg(getDisplayName(entity)));

    QDomElement container;
    if (isGroupType(type)) {
        container = m_state.solidMode ? m_state.parts
                                      : exportDataGroup(entity, parent, m_state.uniqueName(getDisplayName(entity)));
    } else if (type == Face_t) {
        container = parent;
    } else {
        if (m_state.feaOnly && !solvesInFea(entity))
            return QDomElement();
        if (type == HTC_Boundary_t)
            return exportHTC(entity);
        if (type == Heat_Source_t)
            return exportHeatsource(entity);
        if (type == Sensor_t) {
            if (hasAttributeSetTo(entity, Type_t, Point_t))
                return exportSensor(entity);
            return hasAttributeSetTo(entity, Type_t, Average_t) ? exportProbe3D(entity) : QDomElement();
        }
        if (type == Terminal_t)
            return exportTerminal(entity);
        if (type == Displacement_t || type == Force_t)
            return exportStressObject(entity);
        if (type == Electrical_Boundary_t)
            return exportElectricalBoundary(entity);
        container = m_state.solidMode ? m_state.parts : exportSolid(entity, parent);
    }
    if (container.isNull())
        return container;
    for (const Entity* child : childrenOf(entity))
        exportEntity(child, container);
    return container;
}

void Tarvex3DObjectWriter::exportGeometry(const Entity* entity)
{
    if (!entity || !canExport(entity->getType()))
        return;
    const TypeRef& type = entity->getType();
    const bool solid = !isGroupType(type) && type != Face_t && !isBoundaryType(type);
    // Left out of an FEA-only export, a solid's children are still looked at.
    if (solid && !(m_state.feaOnly && !solvesInFea(entity))) {
        const CADinterface::CADModel geometry = EntityGUI::get_geometry(entity);
        if (!geometry.getBodies().empty()) {
            const QString name = solidName(entity);
            m_state.reporter().showMessage(tr("Exporting Geometry: ") + name);
            if (!dumpGeomFile(entity, geometry, name + QStringLiteral(".sab")).isEmpty()) {
                // The ids the solid would have as a project object of ours; the solver's
                // own replace them once its project is read.
                m_state.newStructuralId();
                for (std::size_t body = 0; body < geometry.getBodies().size(); ++body) {
                    m_state.newStructuralId(entity);
                    m_state.newStructuralId();
                }
                m_state.newOperationId(entity);
                m_state.solverSolids.append({entity, name});
            }
        }
    }
    for (const Entity* child : childrenOf(entity))
        exportGeometry(child);
}

QStringList Tarvex3DObjectWriter::adoptSolverSolids()
{
    // The first group of each name that a geometry object follows: the template's own groups
    // ("Parts", "Probings") stand in "Objects" too, and a solid may bear such a name.
    QHash<QString, QDomElement> groups;
    for (QDomElement group = m_state.objects.firstChildElement(QStringLiteral("DataGroup")); !group.isNull();
         group = group.nextSiblingElement(QStringLiteral("DataGroup"))) {
        const QString name = group.attribute(QStringLiteral("Name"));
        if (!groups.contains(name) && group.nextSiblingElement().tagName() == QLatin1String("GeomObject"))
            groups.insert(name, group);
    }
    QStringList missing;
    for (const auto& [entity, name] : std::as_const(m_state.solverSolids)) {
        const auto group = groups.constFind(name);
        if (group == groups.constEnd()) {
            missing << name;
            continue;
        }
        QString structural, operation;
        for (QDomElement object = group->nextSiblingElement();
             !object.isNull() && object.tagName() != QLatin1String("DataGroup"); object = object.nextSiblingElement()) {
            if (object.tagName() == QLatin1String("GeomObject")) {
                if (structural.isEmpty())
                    structural = object.attribute(QStringLiteral("id"));
                // "ObjectName" keeps the entity's own name, as the direct way writes it.
                setAttributes(object, {{"ObjectName", getDisplayName(entity)},
                                       {"Material", materialName(entity)},
                                       {"Color", QString::number(colourValue(entity))}});
            } else if (object.tagName() == QLatin1String("Operation") && operation.isEmpty()) {
                operation = object.attribute(QStringLiteral("OpId"), QStringLiteral("1 -1")).mid(2);
            }
        }
        m_state.replaceIds(entity, structural, operation);
    }
    return missing;
}

QString Tarvex3DObjectWriter::solidName(const Entity* entity)
{
    // The name also names the geometry file, so an unnamed solid is called after its type.
    const QString name = getDisplayName(entity);
    return m_state.uniqueName(name.isEmpty() ? entity->getType().getLabel() : name);
}

QDomElement Tarvex3DObjectWriter::exportSolid(const Entity* entity, QDomElement& parent)
{
    const QString name = solidName(entity);
    QDomElement container = createSolidGeom(entity, parent, name);
    // A solid without a body of its own still holds its children, in a group.
    if (container.isNull())
        return exportDataGroup(entity, parent, name);
    if (!childrenOf(entity).empty())
        return exportDataGroup(nullptr, parent, name + QStringLiteral("_Group"));
    return container;
}

QDomElement Tarvex3DObjectWriter::exportDataGroup(const Entity* entity, QDomElement& parent, const QString& name)
{
    QDomElement group = newObject(QStringLiteral("DataGroup"), dataGroupMeta,
                                  entity ? name : m_state.uniqueName(name), entity);
    setAttributes(group, {{"states", "1"}, {"fixed", "0"}, {"sortBy", "0"}, {"Customized", "1"}});
    return createObjectElem(group.attribute(QStringLiteral("id")), parent);
}

QString Tarvex3DObjectWriter::dumpGeomFile(const Entity* entity, const CADinterface::CADModel& geometry,
                                          const QString& fileName)
{
    const QString path = QDir(m_state.directory).filePath(fileName);
    QString problem;
    if (!geometry.writeFile(path, &problem)) {
        m_state.note(entity, tr("The geometry of %1 was not written: %2").arg(getDisplayName(entity), problem));
        return QString();
    }
    m_state.note(entity, tr("Wrote %1 (%2 bodies).").arg(fileName).arg(geometry.getBodies().size()));
    m_state.files << path;
    return path;
}

QDomElement Tarvex3DObjectWriter::createSolidGeom(const Entity* entity, QDomElement& parent, const QString& name)
{
    const CADinterface::CADModel geometry = EntityGUI::get_geometry(entity);
    if (geometry.getBodies().empty())
        return QDomElement();
    const QString file = dumpGeomFile(entity, geometry, name + QStringLiteral(".geom"));
    if (file.isEmpty())
        return QDomElement();
    QDomElement geom = newObject(QStringLiteral("GeomObject"), geomMeta, name, entity);
    // "ObjectName" keeps the entity's own name, so that an import gives it back as it was.
    setAttributes(geom, {{"states", "1"},
                         {"ObjectName", getDisplayName(entity)},
                         {"ObjectFileName", QFileInfo(file).fileName()},
                         {"Source", "0"},
                         {"Simulate", flag(getBoolValue(entity, Installed_t, true))},
                         {"Visible", flag(!getBoolValue(entity, Display_Options_t / Hidden_t, false))},
                         {"Model", "1"},
                         {"UCS", "WorldCS"},
                         {"NetId", "0"},
                         {"MeshType", "0"},
                         {"SolidThermalType", "0"},
                         {"SolidThermalPowerValue", "0"},
                         {"UseAmbient", "1"},
                         {"InitTemp", "25"},
                         {"Transparency", "0"},
                         {"RenderMode", "0"},
                         {"Material", materialName(entity)},
                         {"Color", QString::number(colourValue(entity))}});
    QDomElement properties = m_state.document.createElement(QStringLiteral("Properties"));
    for (const auto& [property, state] : {std::pair<const char*, const char*>{"Name", "136"}, {"Material", "160"}}) {
        QDomElement element = m_state.document.createElement(QStringLiteral("Property"));
        setAttributes(element, {{"name", property}, {"state", state}});
        properties.appendChild(element);
    }
    geom.appendChild(properties);
    QDomElement seeding = appendValue(geom, QStringLiteral("MeshSeeding"), QStringLiteral("0"));
    seeding.setAttribute(QStringLiteral("SeedingType"), QStringLiteral("0"));

    QDomElement operation = m_state.document.createElement(QStringLiteral("Operation"));
    setAttributes(operation, {{"id", m_state.newStructuralId()},
                              {"metaid", baseBodyMeta},
                              {"OpId", QStringLiteral("1 ") + m_state.newOperationId(entity)},
                              {"Name", "BaseBody"},
                              {"states", "1"},
                              {"StartDS", "2"},
                              {"EndDS", "3"}});
    m_state.objects.appendChild(operation);

    QDomElement link = createObjectElem(geom.attribute(QStringLiteral("id")), parent);
    createObjectElem(operation.attribute(QStringLiteral("id")), link);
    return link;
}

QDomElement Tarvex3DObjectWriter::exportHTC(const Entity* entity)
{
    const QString name = m_state.uniqueName(getDisplayName(entity));
    const auto common = [&](QDomElement& object) {
        setAttributes(object, {{"Enabled", flag(getBoolValue(entity, Installed_t, true))},
                               {"ThermalSimulationType", thermalSimulationType(entity)},
                               {"Type", "8"},
                               {"DisplayType", "-1"},
                               {"Area", "-1"},
                               {"Volume", "-1"},
                               {"EnablePowerMap", "0"},
                               {"TimeDependentHeatDissipation", "0"},
                               {"CFDTerminalObjID", "-1"},
                               {"CFDTerminalGrpObjID", "-1"},
                               {"MapHTValuesChanged", "0"}});
    };
    QDomElement group = newObject(QStringLiteral("BoundaryCondObject"), htcGroupMeta, name, nullptr);
    setAttributes(group, {{"states", "1"}, {"refid", "-1"}});
    common(group);
    QDomElement boundary = newObject(QStringLiteral("BoundaryCondObject"), boundaryMeta, name, entity);
    setAttributes(boundary, {{"states", "5"}, {"refid", ownerId(entity)}, {"RefFace", getReferenceFace(entity)}});
    common(boundary);
    appendValue(boundary, QStringLiteral("RowsExp"), QStringLiteral("1"));
    appendValue(boundary, QStringLiteral("ColumnExp"), QStringLiteral("1"));
    QDomElement values = m_state.document.createElement(QStringLiteral("HeatTransferMapNodeValue"));
    // The temperature in °C, as the solver's other temperatures; 25 when none is set.
    const double kelvin = getStandardDoubleValue(entity, Temperature_t, 273.15 + 25.0);
    setAttributes(values, {{"TemperatureExpression", "0"},
                           {"HExpression", "0"},
                           {"H", number(getStandardDoubleValue(entity, Heat_Transfer_Coefficient_t, 0.0))},
                           {"Temperature", QString::number(kelvin - 273.15, 'g', 12)}});
    boundary.appendChild(values);

    QDomElement link = createObjectElem(group.attribute(QStringLiteral("id")),
                                        getAttachementStructureNode(entity, QStringLiteral("Heat Transfer Conditions")));
    createObjectElem(boundary.attribute(QStringLiteral("id")), link);
    return boundary;
}

QDomElement Tarvex3DObjectWriter::exportHeatsource(const Entity* entity)
{
    // Both limits are noted and the source is written all the same, as its total heat over
    // its parent's size.
    if (!getBoolValue(entity, HeatSourceAttributes::sizeFromParent(), true))
        m_state.note(entity, tr("Currently only support heat source with parent size."));
    if (getTypeValue(entity, HeatSourceAttributes::option(), Total_Heat_t) != Total_Heat_t)
        m_state.note(entity, tr("Currently only support heat source with Total Heat."));
    QDomElement source = newObject(QStringLiteral("BoundaryCondObject"), boundaryMeta,
                                   m_state.uniqueName(getDisplayName(entity)), entity);
    source.setAttribute(QStringLiteral("states"), QStringLiteral("1"));
    setCommon(source, entity);
    setAttributes(source, {{"Type", "10"},
                           {"DisplayType", "2"},
                           {"Area", "-1"},
                           {"Volume", "0.000000001162075"},
                           {"EnablePowerMap", "0"},
                           {"PowerOption", "0"},
                           {"TimeDependentHeatDissipation", "0"}});
    appendValue(source, QStringLiteral("PowerExp"), number(getStandardDoubleValue(entity, HeatSourceAttributes::dissipated(), 0.0)));
    appendValue(source, QStringLiteral("TemperatureExp"), QStringLiteral("273.14999999999997726"));
    createObjectElem(source.attribute(QStringLiteral("id")), getAttachementStructureNode(entity, QStringLiteral("Power Input")));
    return source;
}

QDomElement Tarvex3DObjectWriter::exportSensor(const Entity* entity)
{
    QDomElement sensor = newObject(QStringLiteral("Node"), sensorMeta, m_state.uniqueName(getDisplayName(entity)), entity);
    sensor.setAttribute(QStringLiteral("states"), QStringLiteral("1"));
    setCommon(sensor, entity);
    sensor.setAttribute(QStringLiteral("VTMType"), QStringLiteral("0"));
    // A point sensor has no size: its place is its origin in the world, in millimetres.
    // The builder owns the part, so it must outlive every use of it.
    Geometry::GeometryBuilder geometry;
    const Geometry::Part* part = geometry.buildPart(entity);
    const Geometry::Vec3 at =
        part->getBound().isEmpty() ? part->getTransform().getTranslation() : part->getBound().getCentre();
    QDomElement position = m_state.document.createElement(QStringLiteral("Position"));
    appendValue(position, QStringLiteral("x"), number(at.x * 1000.0));
    appendValue(position, QStringLiteral("y"), number(at.y * 1000.0));
    appendValue(position, QStringLiteral("z"), number(at.z * 1000.0));
    sensor.appendChild(position);
    appendValue(sensor, QStringLiteral("ProbDisplayType"), QStringLiteral("0"));
    appendValue(sensor, QStringLiteral("MeasurementType"), QStringLiteral("0"));
    createObjectElem(sensor.attribute(QStringLiteral("id")), getAttachementStructureNode(entity, QStringLiteral("Probings")));
    return sensor;
}

QDomElement Tarvex3DObjectWriter::exportProbe3D(const Entity* entity)
{
    QDomElement probe = newObject(QStringLiteral("ProbingObject"), probeMeta, m_state.uniqueName(getDisplayName(entity)), entity);
    probe.setAttribute(QStringLiteral("states"), QStringLiteral("1"));
    setCommon(probe, entity);
    setAttributes(probe, {{"ProbType", "2"}, {"ProbDisplayType", "2"}, {"Area", "-1"}, {"Volume", "0"}, {"ThermalFlow", "0"}});
    createObjectElem(probe.attribute(QStringLiteral("id")), getAttachementStructureNode(entity, QStringLiteral("Probings")));
    return probe;
}

QDomElement Tarvex3DObjectWriter::exportTerminalGroup(const Entity* entity, QDomElement& parent, const QString& name)
{
    QDomElement group = newObject(QStringLiteral("TerminalObject"), terminalGroupMeta, name, entity);
    setAttributes(group, {{"states", "1"},
                          {"refid", "-1"},
                          {"Enabled", flag(!entity || getBoolValue(entity, Installed_t, true))},
                          {"Type", "0"},
                          {"ThermalSimulationType", "2"},
                          {"LumpSubTerminals", "0"},
                          {"TerminalGroupType", "0"},
                          {"RefTemperatureType", "0"},
                          {"LocalTemperature", "0"},
                          {"TerminalHTCObjID", "-1"},
                          {"TerminalHTCGrpObjID", "-1"}});
    appendValue(group, QStringLiteral("Rows"), QStringLiteral("1"));
    appendValue(group, QStringLiteral("Cols"), QStringLiteral("1"));
    return createObjectElem(group.attribute(QStringLiteral("id")), parent);
}

QDomElement Tarvex3DObjectWriter::exportTerminal(const Entity* entity)
{
    const QString name = m_state.uniqueName(getDisplayName(entity));
    QDomElement attachment = getAttachementStructureNode(entity, QStringLiteral("Terminals"));
    const Entity* owner = entity->getOwnerEntity();
    // A terminal outside a terminal group gets a group of its own; the terminal keeps its own
    // id as its record, so that what refers to it finds the terminal, not the group.
    if (!owner || owner->getType() != Terminal_Group_t)
        attachment = exportTerminalGroup(nullptr, attachment, m_state.uniqueName(name + QStringLiteral("_Group")));
    QDomElement terminal = newObject(QStringLiteral("TerminalObject"), terminalMeta, name, entity);
    const TypeRef boundary = getTypeValue(entity, Boundary_Type_t);
    setAttributes(terminal, {{"states", "5"},
                             {"refid", "-1"},
                             {"Enabled", flag(getBoolValue(entity, Installed_t, true))},
                             {"Type", "0"},
                             {"ThermalSimulationType", "2"},
                             {"LumpSubTerminals", "0"},
                             {"TerminalGroupType", "0"},
                             {"RefTemperatureType", "0"},
                             {"LocalTemperature", "0"},
                             {"TerminalHTCObjID", "-1"},
                             {"TerminalHTCGrpObjID", "-1"},
                             {"RefFace", getReferenceFace(entity)},
                             {"TerminalNodeType", boundary == Connection_t ? "11" : boundary == External_t ? "12" : "13"}});
    appendValue(terminal, QStringLiteral("Rows"), QStringLiteral("1"));
    appendValue(terminal, QStringLiteral("Cols"), QStringLiteral("1"));
    createObjectElem(terminal.attribute(QStringLiteral("id")), attachment);
    return terminal;
}

QDomElement Tarvex3DObjectWriter::exportStressObject(const Entity* entity)
{
    const bool displacement = entity->getType() == Displacement_t;
    const TypeRef kind = getTypeValue(entity, displacement ? Displacement_Type_t : Distribution_Type_t);
    QString tag, metaid;
    if (kind == Surface_t) {
        tag = QStringLiteral("SurfaceStressObject");
        metaid = surfaceStressMeta;
    } else if (kind == Point_t) {
        tag = QStringLiteral("NodeStressObject");
        metaid = nodeStressMeta;
    } else {
        return QDomElement();
    }
    QDomElement stress = newObject(tag, metaid, m_state.uniqueName(getDisplayName(entity)), entity);
    stress.setAttribute(QStringLiteral("states"), QStringLiteral("1"));
    setCommon(stress, entity);
    const Entity* owner = entity->getOwnerEntity();
    const QString bits = QString(displacement ? QLatin1Char('1') : QLatin1Char('2')) +
                         flag(getBoolValue(entity, Use_X_t, false)) + flag(getBoolValue(entity, Use_Y_t, false)) +
                         flag(getBoolValue(entity, Use_Z_t, false));
    const TypeRef* axes[3] = {&Dx_t, &Dy_t, &Dz_t};
    if (!displacement) {
        axes[0] = &Fx_t;
        axes[1] = &Fy_t;
        axes[2] = &Fz_t;
    }
    setAttributes(stress, {{"refFace", owner ? getReferenceFace(owner) : QStringLiteral("-1")},
                           {"StressControlBits", bits},
                           {"Dx", number(getStandardDoubleValue(entity, *axes[0], 0.0))},
                           {"Dy", number(getStandardDoubleValue(entity, *axes[1], 0.0))},
                           {"Dz", number(getStandardDoubleValue(entity, *axes[2], 0.0))}});
    createObjectElem(stress.attribute(QStringLiteral("id")),
                     getAttachementStructureNode(entity, QStringLiteral("Stress Constraint")));
    return stress;
}

QDomElement Tarvex3DObjectWriter::exportElectricalBoundary(const Entity* entity)
{
    const bool voltage = hasAttributeSetTo(entity, Electrical_Option_t, Voltage_t);
    const double value = getStandardDoubleValue(entity, voltage ? Voltage_t : Current_t, 0.0);
    const QString name = m_state.uniqueName(getDisplayName(entity));
    const QString enabled = flag(getBoolValue(entity, Installed_t, true));

    QDomElement object = newObject(QStringLiteral("Thermal3DPatchObject"), patchObjectMeta, name, entity);
    setAttributes(object, {{"states", "1"},
                           {"refid", "-1"},
                           {"Enabled", enabled},
                           {"ThermalSimulationType", thermalSimulationType(entity)},
                           {"Type", voltage ? "0" : "1"},
                           {"Repeatable", "0"},
                           {"StartTime", "0"},
                           {"NumberOfCycles", "1"},
                           {"CircuitPatchID", "-1"}});
    QDomElement parameter = newObject(QStringLiteral("Parameter"), parameterMeta, name, nullptr);
    const QString expression = getStringValue(entity, Expression_t, number(value));
    setAttributes(parameter, {{"name", name + QStringLiteral("_Value")},
                              {"Value", number(value)},
                              {"EvalValue", number(value)},
                              {"UnitVal", voltage ? "1000000" : "1"},
                              {"UnitSig", voltage ? "2 1 -3 -1 0 0 0 0 0" : "0 0 0 1 0 0 0 0 0"},
                              {"UnitDiffId", "0"},
                              {"Expression", expression},
                              {"Type", "0"},
                              {"Sweep", "0"}});
    QDomElement properties = m_state.document.createElement(QStringLiteral("Properties"));
    QDomElement property = m_state.document.createElement(QStringLiteral("Property"));
    setAttributes(property, {{"name", "TotalValue"}, {"state", "0"}});
    properties.appendChild(property);
    object.appendChild(properties);
    QDomElement total = appendValue(object, QStringLiteral("TotalValueExp"), number(value));
    total.setAttribute(QStringLiteral("id"), parameter.attribute(QStringLiteral("id")));

    QDomElement patch = newObject(QStringLiteral("Patch"), patchMeta, name + QStringLiteral("_Patch"), nullptr);
    // "Enbaled" is the solver's own spelling of the patch's attribute.
    setAttributes(patch, {{"Enbaled", enabled},
                          {"RefFace", getReferenceFace(entity)},
                          {"PowerOrGround", "0"},
                          {"Area", "-1"},
                          {"states", "5"},
                          {"refid", "-1"}});
    const QString group = voltage ? QStringLiteral("Voltage Source (VRM)") : QStringLiteral("Current Source (Sink)");
    QDomElement link =
        createObjectElem(object.attribute(QStringLiteral("id")), getAttachementStructureNode(entity, group));
    createObjectElem(patch.attribute(QStringLiteral("id")), link);
    return object;
}

} // namespace Tarvex3D
