#include <tarvex/exchange3d/Tarvex3DImporter.h>

#include <tarvex/exchange3d/TarvexRefFace.h>
#include <tarvex/host/CADModel.h>
#include <tarvex/host/DisplayColour.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/HeatSourceAttributes.h>
#include <tarvex/host/EntityGUI.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/MemoryGuard.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/SolverTypes.h>
#include <tarvex/host/TemporaryFolder.h>
#include <tarvex/host/UndoStackOpener.h>
#include <tarvex/host/ZipExtractor.h>
#include <tarvex/model3d/TarvexMaterialImporter.h>

#include <QFileInfo>

#include <cmath>
#include <vector>

using namespace EntityModel;

namespace Tarvex3D {

namespace {

const QString projectFile = QStringLiteral("Project.xml");

// How far a face's normal may lie from the one a face number stands for, per component.
constexpr double normalTolerance = 0.001;

// How deep the nesting below `top` goes (its children counting 1) and how many elements it
// holds; walked with a stack of its own, so that a structure nested without end is
// measured before anything recurses into it.
struct StructureSize
{
    int depth = 0;
    qint64 elements = 0;
};

StructureSize measure(const QDomElement& top)
{
    StructureSize size;
    std::vector<std::pair<QDomElement, int>> open{{top, 0}};
    while (!open.empty()) {
        const auto [element, depth] = open.back();
        open.pop_back();
        size.depth = std::max(size.depth, depth);
        for (QDomElement child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
            open.emplace_back(child, depth + 1);
            ++size.elements;
        }
    }
    return size;
}

int childElementCount(const QDomElement& element)
{
    int count = 0;
    for (QDomElement child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement())
        ++count;
    return count;
}

// A name that stays a file of the folder it is looked up in: no folder, no way out of it.
bool isBareFileName(const QString& name)
{
    return !name.contains(QLatin1Char('/')) && FileSystem::ZipExtractor::safeRelativePath(name, nullptr) == name &&
           !name.isEmpty();
}

// The outward normal a face number stands for, by the operation that made the solid. A
// "BaseBody" is a body the exporter wrote, numbered as the CAD bodies number a box's faces.
bool expectedNormal(const QString& operation, int face, Geometry::Vec3* normal)
{
    static const Geometry::Vec3 createBox[] = {{0, 0, 1}, {0, 0, -1}, {0, -1, 0}, {-1, 0, 0}, {0, 1, 0}, {1, 0, 0}};
    static const Geometry::Vec3 baseBody[] = {{0, 0, -1}, {0, -1, 0}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    if (face < 1 || face > 6)
        return false;
    if (operation == QLatin1String("CreateBox"))
        *normal = createBox[face - 1];
    else if (operation == QLatin1String("BaseBody"))
        *normal = baseBody[face - 1];
    else
        return false;
    return true;
}

bool isNormal(const QVector<double>& values, const Geometry::Vec3& normal)
{
    return values.size() >= 3 && std::abs(values[0] - normal.x) <= normalTolerance &&
           std::abs(values[1] - normal.y) <= normalTolerance && std::abs(values[2] - normal.z) <= normalTolerance;
}

// The analysis an object belongs to, by the number a project gives it.
const TypeRef* const analysisTypes[] = {&Static_t, &Transient_t, &Solid_Extraction_t};

} // namespace

Tarvex3DImporter::Tarvex3DImporter(Tools::ToolProgress* sink, QObject* parent) : QObject(parent), m_progress(sink)
{
}

Tarvex3DImporter::~Tarvex3DImporter() = default;

QString Tarvex3DImporter::closingMessage()
{
    return tr("Importing Tarvex3D model Finished");
}

bool Tarvex3DImporter::fail(const QString& error)
{
    m_lastError = error.toStdString();
    return false;
}

void Tarvex3DImporter::note(Entity* entity, const QString& text)
{
    m_notes.append({entity, text});
}

bool Tarvex3DImporter::importModel(Entity* root, const std::string& path)
{
    m_lastError.clear();
    m_notes.clear();
    m_group = nullptr;
    m_root = root;
    m_step = 0;
    if (!root)
        return fail(tr("Internal Error. Root entity nullptr."));
    const bool imported = MemoryGuard::run(root->getModel(), *this, tr("Import Tarvex3D model"), false,
                                           [&] { return importGuarded(root, QString::fromStdString(path)); });
    if (!imported && m_lastError.empty())
        m_lastError = MemoryGuard::message(tr("Import Tarvex3D model")).toStdString();
    m_objects.clear();
    m_operations.clear();
    m_entities.clear();
    m_materials.clear();
    m_extractedFiles.clear();
    m_geometry.clear();
    m_bounds.clear();
    m_bodies.clear();
    m_faces.clear();
    return imported;
}

bool Tarvex3DImporter::importGuarded(Entity* root, const QString& path)
{
    // Everything unpacked lives in this folder and goes with it, however the import ends.
    const FileSystem::TemporaryFolder folder(QStringLiteral("Tarvex3DExtract"));
    if (!folder.isValid())
        return fail(tr("No temporary folder can be made to unpack %1: %2").arg(path, folder.errorString()));
    FileSystem::ZipExtractor extractor;
    if (!extractor.extract(path, folder.path()))
        return fail(tr("The archive %1 was refused: %2.").arg(QFileInfo(path).fileName(), extractor.errorString()));
    if (!extractor.extractedFiles().contains(projectFile))
        return fail(tr("Invalid file structure. No model xml found."));
    m_extractDirectory = folder.path();
    m_extractedFiles = QSet<QString>(extractor.extractedFiles().begin(), extractor.extractedFiles().end());
    if (m_progress) {
        m_progress->reset();
        showMessage(tr("Importing Tarvex3D model"));
        m_progress->setTotalSteps(quint64(extractor.extractedFiles().size()));
    }

    Model* model = root->getModel();
    const int doneBefore = model->getUndoStack().doneCount();
    bool imported = false;
    {
        const UndoStackOpener step(model, tr("Import Tarvex3D model"));
        imported = importExtracted(path);
    }
    // A failed import leaves nothing of itself: its step is taken back whole.
    if (!imported) {
        model->getUndoStack().undoTo(doneBefore);
        m_group = nullptr;
    }
    return imported;
}

bool Tarvex3DImporter::importExtracted(const QString& path)
{
    const QString projectPath = m_extractDirectory + QLatin1Char('/') + projectFile;
    if (QFileInfo(projectPath).size() > maximumProjectFileBytes)
        return fail(tr("Invalid file structure. The model xml holds %1 bytes, more than %2.")
                        .arg(QFileInfo(projectPath).size())
                        .arg(maximumProjectFileBytes));
    const Tarvex3DDomModel model = Tarvex3DDomModel::fromFile(projectPath, m_progress);
    if (model.isNull())
        return fail(tr("Invalid file structure. The model xml cannot be read."));
    const Tarvex3DDomElement structure = model.getStructure();
    if (!structure)
        return fail(tr("Invalid file structure. No hierachy found in model xml."));
    const StructureSize size = measure(structure.get());
    if (size.depth > maximumStructureDepth)
        return fail(tr("Invalid file structure. The hierarchy in the model xml is nested deeper than %1 levels.")
                        .arg(maximumStructureDepth));
    if (size.elements > maximumStructureObjects)
        return fail(tr("Invalid file structure. The hierarchy in the model xml places %1 objects, more than %2.")
                        .arg(size.elements)
                        .arg(maximumStructureObjects));

    // "my.model.zip" is the project "my.model".
    m_group = createEntity(Group_Obstruction_t, m_root, Obstructions_t, QFileInfo(path).completeBaseName());
    if (!m_group)
        return fail(tr("The group for the project cannot be made in %1.").arg(m_root->getName()));
    m_objects = model.getObjectMap();
    m_operations = model.getOperationIDMap();
    importMaterials(model);
    if (!importObjects(structure.get(), m_group))
        return false;
    if (m_progress)
        showMessage(closingMessage());
    return true;
}

void Tarvex3DImporter::importMaterials(const Tarvex3DDomModel& model)
{
    TarvexMaterialImporter importer(nullptr);
    for (const Tarvex3DMaterial& material : importer.generateMaterials(model)) {
        Entity* entity = importer.createMaterial(material, m_root);
        m_notes.append(importer.getNotes());
        if (entity)
            m_materials.emplace(material.getName().toStdString(), entity);
    }
}

bool Tarvex3DImporter::importObjects(const QDomElement& node, Entity* parent)
{
    for (QDomElement child = node.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        if (!importObject(child, parent))
            return false;
    }
    return true;
}

bool Tarvex3DImporter::importObject(const QDomElement& node, Entity* parent)
{
    const std::string id = node.attribute(QStringLiteral("id")).toStdString();
    const auto found = m_objects.find(id);
    if (found == m_objects.end() || !found->second)
        return true;
    const Tarvex3DDomElement& object = found->second;
    const QString tag = object.get().tagName();

    Entity* entity = nullptr;
    if (tag == QLatin1String("DataGroup")) {
        entity = createEntity(Group_Obstruction_t, parent, Obstructions_t, object.getAttributeStringValue(QStringLiteral("Name")));
    } else if (tag == QLatin1String("GeomObject")) {
        entity = importSolid(object, parent);
        if (!m_lastError.empty())
            return false;
    } else if (tag == QLatin1String("BoundaryCondObject")) {
        entity = importBoundary(object, parent);
    } else if (tag == QLatin1String("Node")) {
        entity = importSensor(object, parent, Point_t);
    } else if (tag == QLatin1String("ProbingObject")) {
        entity = importSensor(object, parent, Average_t);
    } else if (tag == QLatin1String("SurfaceStressObject")) {
        entity = importStressObject(object);
    } else if (tag == QLatin1String("Thermal3DPatchObject")) {
        entity = importElectricalBoundary(object, node);
    } else if (tag == QLatin1String("TerminalObject")) {
        entity = importTerminal(object);
    } else if (tag != QLatin1String("Operation") && tag != QLatin1String("Patch")) {
        // Operations and patches are parts of the solid or boundary that links them.
        note(nullptr, tr("No Implementation for %1 Object").arg(tag));
    }

    if (entity) {
        m_entities[id] = entity;
        if (!importObjects(node, entity))
            return false;
        if (entity->findAttribute(Solve_Using_t))
            EntityEditor::setValueNoThrow(entity, Solve_Using_t, FEA_t);
    } else if (tag == QLatin1String("TerminalObject")) {
        // A terminal group makes no entity; its terminals find their faces by themselves.
        return importObjects(node, nullptr);
    }
    return true;
}

Entity* Tarvex3DImporter::importSolid(const Tarvex3DDomElement& object, Entity* parent)
{
    const QString name = object.getAttributeStringValue(QStringLiteral("ObjectName"));
    const QString fileName = object.getAttributeStringValue(QStringLiteral("ObjectFileName"));
    // The name reaches a file path: only a file the archive itself brought is read.
    if (!isBareFileName(fileName)) {
        fail(tr("The geometry file \"%1\" of \"%2\" is not a file of the archive; the archive was refused.")
                 .arg(fileName.left(200), name));
        return nullptr;
    }
    if (!m_extractedFiles.contains(fileName)) {
        note(nullptr, tr("Failed to import %1: the archive has no geometry file \"%2\".").arg(name, fileName));
        return nullptr;
    }
    if (m_progress) {
        m_progress->setStep(++m_step);
        showMessage(tr("Processing geometry: %1").arg(QFileInfo(fileName).completeBaseName()));
    }
    // The CAD reader knows the file by its content, so it is read under the name it came with.
    Entity* solid = addCADGeom(m_extractDirectory + QLatin1Char('/') + fileName, name, parent);
    if (!solid)
        return nullptr;

    const auto integer = [&](const char* attribute, int fallback) {
        return object.getAttributeIntValue(QString::fromLatin1(attribute), fallback);
    };
    EntityEditor::setValueNoThrow(solid, Installed_t, integer("Simulate", 1) == 1 ? Yes_t : No_t);
    EntityEditor::setValueNoThrow(solid, Cooling_t / Modelling_Detail_t, integer("Model", 1) != 0 ? Full_t : Ignored_t);
    EntityEditor::setValueNoThrow(solid, Display_Options_t / Hidden_t, integer("Visible", 1) == 1 ? No_t : Yes_t);
    EntityEditor::setValueNoThrow(solid, Display_Options_t / Transparency_t, integer("Transparency", 0));
    const int renderMode = integer("RenderMode", 0);
    EntityEditor::setValueNoThrow(solid, Display_Options_t / Render_Style_t,
                                  renderMode == 1 ? Wireframe_t : renderMode == 2 ? Solid_t : Solid_Outlined_t);
    const quint32 colour = object.getAttributeUint32Value(QStringLiteral("Color"), 0xB4B4B400u);
    setColourNoThrow(solid, DisplayColour{int(colour >> 24), int((colour >> 16) & 0xff), int((colour >> 8) & 0xff)});
    const auto material = m_materials.find(object.getAttributeStringValue(QStringLiteral("Material")).toStdString());
    if (material != m_materials.end())
        EntityEditor::setLinksNoThrow(solid, MaterialLink_t, {material->second});
    EntityEditor::setValueNoThrow(solid, Name_t, name);
    return solid;
}

Entity* Tarvex3DImporter::addCADGeom(const QString& file, const QString& name, Entity* parent)
{
    QString problem;
    const std::optional<CADinterface::CADModel> cad = CADinterface::CADModel::readFile(file, &problem);
    if (!cad || cad->getBodies().empty() || !parent) {
        note(nullptr, tr("Failed to import %1").arg(name) + (problem.isEmpty() ? QString() : QStringLiteral(": ") + problem));
        return nullptr;
    }
    const std::vector<CADinterface::CADBody>& bodies = cad->getBodies();
    // One body is the solid itself; several become solids of a group of that name.
    Entity* made = bodies.size() == 1 ? nullptr : createEntity(Group_Obstruction_t, parent, Obstructions_t, name);
    Entity* owner = made ? made : parent;
    // Owners never move while an import runs, so the frame of one is worked out once.
    const Geometry::Transform frame = m_geometry.lookupOrBuildPart(owner)->getTransform();
    int count = 0;
    for (const CADinterface::CADBody& body : bodies) {
        const QString solidName = made ? QStringLiteral("%1 %2").arg(name).arg(++count) : name;
        Entity* solid = createEntity(Solid_Obstruction_t, owner, Obstructions_t, solidName);
        if (!solid) {
            note(made, tr("Failed to create child CAD Solid %1").arg(solidName));
            continue;
        }
        Geometry::Vec3 origin = body.getPlacement();
        if (body.getKind() == CADinterface::CADBody::Kind::Box) {
            origin = origin + body.getLocalBox().getLow();
            const Geometry::Vec3 size = body.getLocalBox().getSize();
            EntityEditor::setSIValueNoThrow(solid, Width_t, size.x);
            EntityEditor::setSIValueNoThrow(solid, Height_t, size.y);
            EntityEditor::setSIValueNoThrow(solid, Depth_t, size.z);
        } else {
            origin.y += body.getBase();
            QVector<double> outline;
            for (const Geometry::Vec2& point : body.getOutline())
                outline << point.x << point.y;
            EntityEditor::setValueNoThrow(solid, Shape_t, Polygon_t);
            EntityEditor::setSIDoubleListValueNoThrow(solid, Outline_t, outline);
            EntityEditor::setSIValueNoThrow(solid, Height_t, body.getHeight());
        }
        EntityGUI::transform_entity(solid, Geometry::Transform::createTranslation(frame.inverseTransformedVector(origin)));
        m_bodies.emplace(solid, body);
        placed(solid);
        if (!made)
            made = solid;
    }
    return made;
}

Entity* Tarvex3DImporter::importBoundary(const Tarvex3DDomElement& object, Entity* parent)
{
    if (Entity* owner = mappedEntity(object.getAttributeStringValue(QStringLiteral("refid"))))
        parent = owner;
    switch (object.getAttributeIntValue(QStringLiteral("Type"), -1)) {
    case 8:
        note(parent, tr("No Implementation (HTC)"));
        return nullptr;
    case 9:
    case 10:
        return importHeatSource(object, parent);
    default:
        return nullptr;
    }
}

Entity* Tarvex3DImporter::importHeatSource(const Tarvex3DDomElement& object, Entity* parent)
{
    if (object.hasAttributeValue(QStringLiteral("RefFace")))
        parent = getReferenceCFDFace(object.getAttributeStringValue(QStringLiteral("RefFace")));
    Entity* source = createEntity(Heat_Source_t, parent, Heat_Sources_t, QString());
    if (!source)
        return nullptr;
    const bool power = object.hasAttributeValue(QStringLiteral("PowerOption"));
    const bool temperature = object.hasAttributeValue(QStringLiteral("TemperatureNewParm"));
    if (power && temperature) {
        note(source, tr("Heat Souce Entity has ambiguous heat options"));
        return source;
    }
    EntityEditor::setValueNoThrow(source, Name_t, object.getAttributeStringValue(QStringLiteral("Name")));
    if (power || temperature)
        EntityEditor::setValueNoThrow(source, HeatSourceAttributes::option(), power ? Total_Heat_t : Fixed_Temperature_t);
    EntityEditor::setValueNoThrow(source, HeatSourceAttributes::timeDependent(),
                                  object.getAttributeIntValue(QStringLiteral("TimeDependentHeatDissipation"), 0) == 1 ? Yes_t : No_t);
    setThermalSimulationType(source, object.getAttributeIntValue(QStringLiteral("ThermalSimulationType"), -1));

    const QString missing = tr("Heat Source Entity missing heat dissipation value");
    if (power) {
        const int option = object.getAttributeIntValue(QStringLiteral("PowerOption"), 0);
        if (option != 0 && option != 1)
            note(source, tr("Temperature Curve not implemented for Heat Source."));
        const Tarvex3DDomElement value(object.get().firstChildElement(QStringLiteral("PowerExp")));
        if (value)
            EntityEditor::setSIValueNoThrow(source, HeatSourceAttributes::dissipated(),
                                            value.getAttributeDoubleValue(QStringLiteral("Value"), 0.0));
        else
            note(source, missing);
    }
    if (temperature) {
        // The project gives the temperature in kelvin, which is what the host keeps.
        const Tarvex3DDomElement value(object.get().firstChildElement(QStringLiteral("TemperatureExp")));
        if (value)
            EntityEditor::setSIValueNoThrow(source, HeatSourceAttributes::temperature(),
                                            value.getAttributeDoubleValue(QStringLiteral("Value"), 0.0));
        else
            note(source, missing);
    }
    EntityEditor::setValueNoThrow(source, HeatSourceAttributes::sizeFromParent(), Yes_t);
    return source;
}

Entity* Tarvex3DImporter::importSensor(const Tarvex3DDomElement& object, Entity* parent, const TypeRef& type)
{
    if (Entity* owner = mappedEntity(object.getAttributeStringValue(QStringLiteral("refid"))))
        parent = owner;
    Entity* sensor = createEntity(Sensor_t, parent, Sensors_t,
                                  object.getAttributeStringValue(QStringLiteral("Name"), QStringLiteral("Sensor")));
    if (!sensor)
        return nullptr;
    EntityEditor::setValueNoThrow(sensor, Type_t, type);
    setThermalSimulationType(sensor, object.getAttributeIntValue(QStringLiteral("ThermalSimulationType"), -1));
    if (type == Average_t) {
        if (object.hasAttributeValue(QStringLiteral("RefFace")))
            note(sensor, tr("No Implementation (Probe) - RefFace"));
        return sensor;
    }
    // The project gives the point in millimetres in the world; the sensor sits in its
    // owner, counted from the low corner of the owner's box. The host places entities by
    // their locations, so those are what the point is written to.
    const Geometry::Vec3 low = worldBound(parent).getLow();
    const QDomElement position = object.get().firstChildElement(QStringLiteral("Position"));
    const TypeRef* const locations[] = {&X_Location_t, &Y_Location_t, &Z_Location_t};
    const double corner[] = {low.x, low.y, low.z};
    const char* const axes[] = {"x", "y", "z"};
    for (int axis = 0; axis < 3; ++axis) {
        const Tarvex3DDomElement value(position.firstChildElement(QString::fromLatin1(axes[axis])));
        const double millimetres = value.getAttributeDoubleValue(QStringLiteral("Value"), 0.0) - 1000.0 * corner[axis];
        const double metres = QString::asprintf("%f", millimetres).toDouble() / 1000.0;
        EntityEditor::setSIValueNoThrow(sensor, *locations[axis], metres);
        EntityEditor::setConvertValueToUnitsNoThrow(sensor, *locations[axis], Length_t, mm_t);
    }
    return sensor;
}

Entity* Tarvex3DImporter::importTerminal(const Tarvex3DDomElement& object)
{
    Entity* face = getReferenceCFDFace(object.getAttributeStringValue(QStringLiteral("RefFace")));
    Entity* terminal = createEntity(Terminal_t, face, TerminalLink_t,
                                    object.getAttributeStringValue(QStringLiteral("Name"), QStringLiteral("Terminal")));
    if (!terminal)
        return nullptr;
    setThermalSimulationType(terminal, object.getAttributeIntValue(QStringLiteral("ThermalSimulationType"), -1));
    const int nodeType = object.getAttributeIntValue(QStringLiteral("TerminalNodeType"), 0);
    if (nodeType == 12)
        EntityEditor::setValueNoThrow(terminal, Boundary_Type_t, External_t);
    else if (nodeType == 11)
        EntityEditor::setValueNoThrow(terminal, Boundary_Type_t, Connection_t);
    return terminal;
}

Entity* Tarvex3DImporter::importStressObject(const Tarvex3DDomElement& object)
{
    const QString bits = object.getAttributeStringValue(QStringLiteral("StressControlBits"));
    const bool displacement = bits.startsWith(QLatin1Char('1'));
    if (bits.size() != 4 || (!displacement && !bits.startsWith(QLatin1Char('2')))) {
        note(nullptr, tr("StressControlBits %1 is unsupported").arg(bits.left(40)));
        return nullptr;
    }
    const TypeRef& type = displacement ? Displacement_t : Force_t;
    Entity* face = getReferenceCFDFace(object.getAttributeStringValue(QStringLiteral("refFace")));
    Entity* stress = createEntity(type, face, displacement ? Displacements_t : Forces_t,
                                  object.getAttributeStringValue(QStringLiteral("Name"), QStringLiteral("Surface Stress")));
    if (!stress)
        return nullptr;
    EntityEditor::setValueNoThrow(stress, displacement ? Displacement_Type_t : Distribution_Type_t, Surface_t);
    const TypeRef* const uses[] = {&Use_X_t, &Use_Y_t, &Use_Z_t};
    // The components are named by the first letter of the kind: Dx for a displacement, Fx for a force.
    const TypeRef* const components[] = {displacement ? &Dx_t : &Fx_t, displacement ? &Dy_t : &Fy_t,
                                         displacement ? &Dz_t : &Fz_t};
    const char* const read[] = {"Dx", "Dy", "Dz"};
    for (int axis = 0; axis < 3; ++axis) {
        EntityEditor::setValueNoThrow(stress, *uses[axis], bits.at(axis + 1) == QLatin1Char('1'));
        EntityEditor::setSIValueNoThrow(stress, *components[axis],
                                        object.getAttributeDoubleValue(QString::fromLatin1(read[axis]), 0.0));
    }
    EntityEditor::setValueNoThrow(stress, Enabled_t, object.getAttributeIntValue(QStringLiteral("Enabled"), 1) != 0);
    setThermalSimulationType(stress, object.getAttributeIntValue(QStringLiteral("ThermalSimulationType"), -1));
    return stress;
}

Entity* Tarvex3DImporter::importElectricalBoundary(const Tarvex3DDomElement& object, const QDomElement& node)
{
    // The boundary's place is its patch, the one structure entry below it.
    if (childElementCount(node) != 1)
        return nullptr;
    const auto patch = m_objects.find(node.firstChildElement().attribute(QStringLiteral("id")).toStdString());
    if (patch == m_objects.end() || !patch->second)
        return nullptr;
    Entity* face = getReferenceCFDFace(patch->second.getAttributeStringValue(QStringLiteral("RefFace")));
    Entity* boundary = createEntity(Electrical_Boundary_t, face, ElectricalBoundaries_t,
                                    object.getAttributeStringValue(QStringLiteral("Name")));
    if (!boundary)
        return nullptr;
    const bool voltage = object.getAttributeIntValue(QStringLiteral("Type"), 0) == 0;
    EntityEditor::setValueNoThrow(boundary, Electrical_Option_t, voltage ? Voltage_t : Current_t);
    EntityEditor::setValueNoThrow(boundary, Enabled_t, object.getAttributeIntValue(QStringLiteral("Enabled"), 1) != 0);
    setThermalSimulationType(boundary, object.getAttributeIntValue(QStringLiteral("ThermalSimulationType"), -1));
    const QString parameterId =
        object.get().firstChildElement(QStringLiteral("TotalValueExp")).attribute(QStringLiteral("id"));
    const auto parameter = m_objects.find(parameterId.toStdString());
    if (parameter != m_objects.end() && parameter->second) {
        EntityEditor::setSIValueNoThrow(boundary, voltage ? Voltage_t : Current_t,
                                        parameter->second.getAttributeDoubleValue(QStringLiteral("Value"), 0.0));
        if (parameter->second.hasAttributeValue(QStringLiteral("Expression")))
            EntityEditor::setValueNoThrow(boundary, Expression_t,
                                          parameter->second.getAttributeStringValue(QStringLiteral("Expression")));
    }
    return boundary;
}

Entity* Tarvex3DImporter::getReferenceCFDFace(const QString& text)
{
    TarvexRefFace reference;
    if (!reference.parse(text.toStdString()) || reference.getFaces().empty() || reference.getOperationIds().empty())
        return nullptr;
    Entity* solid = mappedEntity(QString::fromStdString(reference.getObjectId()));
    if (!solid)
        return nullptr;
    QString operation;
    const auto operationId = m_operations.find("1 " + reference.getOperationIds().front());
    if (operationId != m_operations.end()) {
        const auto found = m_objects.find(operationId->second);
        if (found != m_objects.end())
            operation = found->second.getAttributeStringValue(QStringLiteral("Name"));
    }
    Geometry::Vec3 normal;
    if (!expectedNormal(operation, reference.getFaces().front(), &normal)) {
        note(solid, tr("Failed to look up referece face"));
        return nullptr;
    }
    Entity* face = faceOf(solid, normal);
    if (!face)
        note(solid, tr("Failed to look up referece face"));
    return face;
}

Entity* Tarvex3DImporter::faceOf(Entity* solid, const Geometry::Vec3& normal)
{
    const int direction = normal.x != 0 ? (normal.x > 0 ? 1 : 0) : normal.y != 0 ? (normal.y > 0 ? 3 : 2) : (normal.z > 0 ? 5 : 4);
    const auto known = m_faces.find({solid, direction});
    if (known != m_faces.end())
        return known->second;
    Entity*& face = m_faces[{solid, direction}];
    const auto body = m_bodies.find(solid);
    if (body == m_bodies.end())
        return nullptr;
    for (const CADinterface::CADFace& candidate : body->second.getFaces()) {
        if (!isNormal({candidate.normal.x, candidate.normal.y, candidate.normal.z}, normal))
            continue;
        Entity* cadFace = createEntity(CAD_Face_t, solid, CAD_Faces_t, QString());
        face = createEntity(Face_t, solid, Faces_t, QString());
        EntityEditor::setSIDoubleListValueNoThrow(cadFace, Normals_t, {candidate.normal.x, candidate.normal.y, candidate.normal.z});
        EntityEditor::setLinksNoThrow(face, FaceDefinition_t, {cadFace});
        break;
    }
    return face;
}

Geometry::Bound Tarvex3DImporter::worldBound(const Entity* entity)
{
    const auto known = m_bounds.find(entity);
    if (known != m_bounds.end())
        return known->second;
    const Geometry::Bound bound = m_geometry.refreshPart(entity)->getBound();
    m_bounds.emplace(entity, bound);
    return bound;
}

void Tarvex3DImporter::placed(Entity* solid)
{
    // A new solid has nothing in it yet, so its box is quick to work out; the boxes known of
    // the entities holding it grow by it.
    const Geometry::Bound box = m_geometry.refreshPart(solid)->getBound();
    for (const Entity* owner = solid->getOwnerEntity(); owner; owner = owner->getOwnerEntity()) {
        const auto known = m_bounds.find(owner);
        if (known != m_bounds.end())
            known->second.unite(box);
    }
}

Entity* Tarvex3DImporter::mappedEntity(const QString& id) const
{
    const auto found = m_entities.find(id.toStdString());
    return found == m_entities.end() ? nullptr : found->second;
}

Entity* Tarvex3DImporter::createEntity(const TypeRef& type, Entity* parent, const TypeRef& link, const QString& name)
{
    // Every entity of this model can hold a list of any name, so the list asked for is
    // always there; an entity without a parent is not made.
    if (!parent)
        return nullptr;
    Entity* entity = EntityEditor::createEntity(type, parent, link);
    if (entity && !name.isEmpty())
        EntityEditor::setValueNoThrow(entity, Name_t, name);
    return entity;
}

void Tarvex3DImporter::setThermalSimulationType(Entity* entity, int type)
{
    if (type >= 0 && type < int(std::size(analysisTypes))) {
        EntityEditor::setValueNoThrow(entity, Analysis_Type_t, *analysisTypes[type]);
        return;
    }
    note(entity, tr("Unsupported Thermal Simulation Type (%1) for %2").arg(type).arg(entity->getType().getLabel()));
}

} // namespace Tarvex3D
