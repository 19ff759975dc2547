#include <tarvex/exchange3d/Tarvex3DExporter.h>

#include <tarvex/exchange3d/Tarvex3DImporter.h>
#include <tarvex/exchange3d/Tarvex3DMaterialWriter.h>
#include <tarvex/exchange3d/Tarvex3DObjectWriter.h>
#include <tarvex/exchange3d/Tarvex3DProjectTemplate.h>
#include <tarvex/exchange3d/Tarvex3DSolverProcess.h>
#include <tarvex/exchange3d/Tarvex3DSolverScript.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/QuorlinApplicationData.h>
#include <tarvex/host/SolverTypes.h>
#include <tarvex/host/TemporaryFolder.h>
#include <tarvex/host/ZipArchiveWriter.h>
#include <tarvex/host/ZipExtractor.h>

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QXmlStreamWriter>

#include <algorithm>
#include <utility>
#include <vector>

using namespace EntityModel;

namespace Tarvex3D {

namespace {

QDomElement ensureChild(QDomElement parent, const QString& tag)
{
    QDomElement child = parent.firstChildElement(tag);
    if (child.isNull()) {
        child = parent.ownerDocument().createElement(tag);
        parent.appendChild(child);
    }
    return child;
}

/// The solver's analysis kind from the studio control's three switches.
int analysisKind(bool thermal, bool electric, bool warpage)
{
    if (thermal)
        return electric ? (warpage ? 4 : 2) : (warpage ? 3 : 0);
    if (electric)
        return warpage ? 0 : 1;
    return warpage ? 5 : 0;
}

int transientKind(const TypeRef& type)
{
    if (type == ET_Co_Simulation_t)
        return 2;
    return type == Warpage_and_Stress_t ? 5 : 0;
}

/// The attributes of `element` in the order they are written: "id" and "Name" first, the
/// others by name. The document keeps them in no order of its own, so the same model would
/// otherwise give a different file at every run.
QStringList attributeOrder(const QDomElement& element)
{
    QStringList names;
    const QDomNamedNodeMap attributes = element.attributes();
    for (int i = 0; i < attributes.count(); ++i)
        names << attributes.item(i).nodeName();
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const auto rank = [](const QString& name) { return name == QLatin1String("id") ? 0 : name == QLatin1String("Name") ? 1 : 2; };
        return rank(a) != rank(b) ? rank(a) < rank(b) : a < b;
    });
    return names;
}

void writeNode(QXmlStreamWriter& writer, const QDomNode& node)
{
    if (node.isComment()) {
        writer.writeComment(node.nodeValue());
    } else if (node.isText()) {
        writer.writeCharacters(node.nodeValue());
    } else if (node.isElement()) {
        const QDomElement element = node.toElement();
        writer.writeStartElement(element.tagName());
        for (const QString& name : attributeOrder(element))
            writer.writeAttribute(name, element.attribute(name));
        for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling())
            writeNode(writer, child);
        writer.writeEndElement();
    }
}

/// The project text, UTF-8 with an indent of 2.
QByteArray projectText(const QDomDocument& document)
{
    QByteArray text;
    QXmlStreamWriter writer(&text);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(2);
    writer.writeStartDocument();
    for (QDomNode node = document.firstChild(); !node.isNull(); node = node.nextSibling())
        writeNode(writer, node);
    writer.writeEndDocument();
    return text;
}

} // namespace

Tarvex3DExporter::Tarvex3DExporter(QObject* parent)
    : QObject(parent), m_solverFolder(QuorlinApplicationData::getTarvex3DFolder())
{
}

Tarvex3DExporter::~Tarvex3DExporter() = default;

bool Tarvex3DExporter::fail(const QString& text)
{
    m_lastError = text.toStdString();
    fatalError(text);
    return false;
}

QString Tarvex3DExporter::solverPath() const
{
    return m_solverFolder + QStringLiteral("/Tarvex3D.exe");
}

bool Tarvex3DExporter::exportModel(Entity* root, const std::string& path, bool feaOnly, Tools::ToolProgress* sink)
{
    return exportWay(root, path, feaOnly, sink, Way::Direct);
}

bool Tarvex3DExporter::exportModel_tcl_solid(Entity* root, const std::string& path, bool feaOnly,
                                             Tools::ToolProgress* sink)
{
    return exportWay(root, path, feaOnly, sink, Way::ThroughSolver);
}

bool Tarvex3DExporter::exportWay(Entity* root, const std::string& path, bool feaOnly, Tools::ToolProgress* sink,
                                 Way way)
{
    // Nothing of an earlier export carries over: lists, maps, notes, ids and names.
    m_state.clear();
    m_lastError.clear();
    m_progress = sink;
    m_state.feaOnly = feaOnly;
    // A relative path is taken from the working folder before its folder is looked at.
    const QString archive = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    const bool done = exportGuarded(root, archive, way);
    if (done)
        showMessage(tr("Exporting Tarvex3D model Finished"));
    m_progress = nullptr;
    return done;
}

bool Tarvex3DExporter::exportGuarded(Entity* root, const QString& archive, Way way)
{
    const QString directory = QFileInfo(archive).absolutePath();
    if (!QFileInfo(directory).isDir())
        return fail(tr("Unable to write to the selected directory: ") + directory);
    if (way == Way::ThroughSolver && (m_solverFolder.isEmpty() || !QFileInfo(solverPath()).isFile()))
        return fail(tr("Unable to find Tarvex3D in Quorlin installation folder: \"%1\".").arg(m_solverFolder));
    // The project and geometry files are made in a folder of their own inside the target
    // folder, never beside the user's files, and go with it however the export ends.
    const FileSystem::TemporaryFolder staging(QStringLiteral(".tarvex3d-export"), directory);
    if (!staging.isValid())
        return fail(tr("Unable to write to the selected directory: ") + directory);
    m_state.directory = staging.path();

    if (!m_state.document.setContent(Tarvex3DProjectTemplate::text()) || !openProject())
        return fail(tr("Internal Error: Invalid template"));

    Entity* chassis = root ? EntityFetcher::getChassis(root) : nullptr;
    if (!chassis)
        return fail(tr("The model has no chassis to export."));
    const Entity* top = EntityEditor::getRootEntity(root);
    std::vector<Entity*> everything;
    top->getOwnedChildEntities(everything, true, true);
    std::vector<const Entity*> materialEntities;
    for (const Entity* entity : everything) {
        if (entity->getType() == Material_t)
            materialEntities.push_back(entity);
    }
    std::vector<Entity*> parts;
    chassis->getOwnedChildEntities(parts, true, true);
    if (m_progress) {
        m_progress->reset();
        m_progress->setTotalSteps(parts.size() + materialEntities.size() + (way == Way::ThroughSolver ? 1 : 0));
    }
    showMessage(tr("Exporting Tarvex3D model"));

    if (way == Way::ThroughSolver) {
        if (!exportThroughSolver(chassis, archive, materialEntities))
            return false;
    } else {
        exportMaterials(materialEntities);
    }
    Tarvex3DObjectWriter objectWriter(m_state);
    std::vector<Entity*> children;
    chassis->getOwnedChildEntities(children, false, true);
    for (const Entity* child : children)
        objectWriter.exportEntity(child, m_state.parts);

    finaliseProjectXML(root);
    if (!saveProjectXML())
        return false;
    QString problem;
    if (!FileSystem::ZipArchiveWriter::write(archive, m_state.files, &problem))
        return fail(tr("Failed to write the project archive: %1").arg(problem));
    return true;
}

bool Tarvex3DExporter::openProject()
{
    m_state.startIds(m_state.document);
    m_state.project = m_state.document.firstChildElement(QStringLiteral("Project"));
    m_state.library = m_state.project.firstChildElement(QStringLiteral("DataDefinitions"))
                          .firstChildElement(QStringLiteral("Norvane_Material_Lib"));
    m_state.objects = m_state.project.firstChildElement(QStringLiteral("Objects"));
    m_state.structure = m_state.project.firstChildElement(QStringLiteral("Structure"));
    m_state.parts = QDomElement();
    for (QDomElement group = m_state.structure.firstChildElement(QStringLiteral("DataGroup")); !group.isNull();
         group = group.nextSiblingElement(QStringLiteral("DataGroup"))) {
        if (group.attribute(QStringLiteral("Name")) == QLatin1String("Parts")) {
            m_state.parts = group;
            break;
        }
    }
    return !m_state.library.isNull() && !m_state.objects.isNull() && !m_state.parts.isNull();
}

void Tarvex3DExporter::exportMaterials(const std::vector<const Entity*>& materials)
{
    Tarvex3DMaterialWriter materialWriter(m_state);
    for (const Entity* material : materials)
        materialWriter.exportMaterial(material);
}

bool Tarvex3DExporter::exportThroughSolver(const Entity* chassis, const QString& archive,
                                           const std::vector<const Entity*>& materials)
{
    // The solver works in a folder that holds the project archive alone, under the name the
    // user gave it, so that no such name can meet the script, the geometry files or the
    // extraction beside it.
    const QDir staging(m_state.directory);
    const QString projectFolder = staging.filePath(QStringLiteral("project"));
    const QString extractFolder = staging.filePath(QStringLiteral("extract"));
    if (!staging.mkdir(QStringLiteral("project")) || !staging.mkdir(QStringLiteral("extract")))
        return fail(tr("Unable to write to the selected directory: ") + QFileInfo(archive).absolutePath());
    const QString archiveName = QFileInfo(archive).fileName();
    const QString solverArchive = QDir(projectFolder).filePath(archiveName);

    // The solver opens a project and adds to it, so it is given the bare template.
    QString problem;
    if (!saveProjectXML())
        return false;
    if (!FileSystem::ZipArchiveWriter::write(solverArchive, m_state.files, &problem))
        return fail(tr("Failed to write the project archive: %1").arg(problem));
    m_state.files.clear();

    Tarvex3DObjectWriter objectWriter(m_state);
    std::vector<Entity*> children;
    chassis->getOwnedChildEntities(children, false, true);
    for (const Entity* child : children)
        objectWriter.exportGeometry(child);
    const QString script = staging.filePath(QStringLiteral("run.tcl"));
    QSaveFile scriptFile(script);
    const QByteArray scriptText = Tarvex3DSolverScript::text(archiveName, m_state.files).toUtf8();
    if (!scriptFile.open(QIODevice::WriteOnly) || scriptFile.write(scriptText) != scriptText.size() ||
        !scriptFile.commit())
        return fail(tr("Failed to create TCL file."));
    m_state.files.clear();

    // Spelled as the family's tools have always spelled it: scripts match it as it stands.
    m_state.step(tr("Processing Exported Geoemtries"));
    const Tarvex3DSolverProcess::Result run =
        Tarvex3DSolverProcess::run(QFileInfo(solverPath()).absoluteFilePath(), {QStringLiteral("-b"), QStringLiteral("-noui"), QStringLiteral("-tcl"), script},
                                   projectFolder, m_solverTimeout);
    // The solver's last words, for the messages that say why its project is not there.
    const QString lastLine = run.output.trimmed().split(QLatin1Char('\n')).last().trimmed();
    const QString said = lastLine.isEmpty() ? QString() : tr(" The solver said: %1").arg(lastLine);
    switch (run.outcome) {
    case Tarvex3DSolverProcess::Outcome::NotStarted:
        return fail(tr("The 3D solver %1 could not be started: %2.").arg(solverPath(), run.error));
    case Tarvex3DSolverProcess::Outcome::TimedOut:
        return fail(tr("The 3D solver did not finish within %1 s and was stopped; nothing was exported.")
                        .arg(m_solverTimeout.count()) + said);
    case Tarvex3DSolverProcess::Outcome::Crashed:
        return fail(tr("The 3D solver crashed; nothing was exported.") + said);
    case Tarvex3DSolverProcess::Outcome::Finished:
        break;
    }
    // The exit code alone says nothing of the project; it explains a project that is missing.
    const QString ended = tr(" (the solver ended with exit code %1)").arg(run.exitCode);
    const QString unread = readSolverProject(solverArchive, extractFolder);
    if (!unread.isEmpty())
        return fail(tr("The 3D solver saved no project that can be read (%1)%2.").arg(unread, ended) + said);

    exportMaterials(materials);
    const QStringList missing = objectWriter.adoptSolverSolids();
    if (!missing.isEmpty())
        return fail(tr("The 3D solver's project holds no solid for %1%2; nothing was exported.")
                        .arg(missing.join(QStringLiteral(", ")), ended) + said);
    m_state.solidMode = true;
    return true;
}

QString Tarvex3DExporter::readSolverProject(const QString& archive, const QString& extract)
{
    FileSystem::ZipExtractor extractor;
    if (!extractor.extract(archive, extract))
        return extractor.errorString();
    QFile project(QDir(extract).filePath(QStringLiteral("Project.xml")));
    if (!project.exists())
        return tr("it holds no Project.xml");
    if (project.size() > Tarvex3DImporter::maximumProjectFileBytes || !project.open(QIODevice::ReadOnly) ||
        !m_state.document.setContent(&project) || !openProject())
        return tr("its Project.xml is not a project");
    // The names the solids' files were given stay theirs: no object added later takes one.
    for (const auto& solid : std::as_const(m_state.solverSolids))
        m_state.uniqueName(solid.second);
    // The project is written again with the files the solver put in it.
    m_state.directory = extract;
    m_state.files.clear();
    for (const QString& file : extractor.extractedFiles())
        m_state.files << QDir(extract).filePath(file);
    return QString();
}

void Tarvex3DExporter::finaliseProjectXML(const Entity* root)
{
    QDomElement& project = m_state.project;
    if (project.isNull())
        return;
    project.firstChildElement(QStringLiteral("IdSeed")).setAttribute(QStringLiteral("Value"), m_state.newStructuralId());

    QDomElement cadImport = ensureChild(ensureChild(project, QStringLiteral("Model")), QStringLiteral("CADImport"));
    ensureChild(cadImport, QStringLiteral("CADImportType")).setAttribute(QStringLiteral("Value"), 3);
    QDomElement importFiles = m_state.document.createElement(QStringLiteral("CADImportFiles"));
    for (const QString& file : m_state.files) {
        if (file.endsWith(QLatin1String(".geom"))) {
            QDomElement entry = m_state.document.createElement(QStringLiteral("ImportFile"));
            entry.setAttribute(QStringLiteral("Value"), QFileInfo(file).fileName());
            importFiles.appendChild(entry);
        }
    }
    cadImport.appendChild(importFiles);

    const Entity* control = EntityFetcher::getTarvexStudioControl(root);
    if (!control)
        return;
    QDomElement options = ensureChild(ensureChild(ensureChild(project, QStringLiteral("Model")),
                                                  QStringLiteral("AnalysisSetup")),
                                      QStringLiteral("ThermalSimulationOptions"));
    const auto setFlag = [&](const char* name, const TypeRef& attribute) {
        options.setAttribute(QString::fromLatin1(name), getBoolValue(control, attribute, false) ? 1 : 0);
    };
    options.setAttribute(QStringLiteral("SimulationType"), getIntValue(control, Analysis_Type_t / Simulation_Type_t, 0));
    options.setAttribute(QStringLiteral("Type"),
                         analysisKind(getBoolValue(control, Thermal_t, false), getBoolValue(control, Electric_t, false),
                                      getBoolValue(control, Warpage_and_Stress_t, false)));
    options.setAttribute(QStringLiteral("Type2"), transientKind(getTypeValue(control, Transient_Type_t)));
    const auto number = [](double value) { return QString::number(value, 'g', QLocale::FloatingPointShortest); };
    options.setAttribute(QStringLiteral("EvaluationTempExp"),
                         number(getStandardDoubleValue(control, Evaluation_Temperature_t, 298.15)) + QStringLiteral(" K"));
    setFlag("EnableEvalRelativeHumidity", Enable_HTHH_t);
    options.setAttribute(QStringLiteral("EvalHumidityTemperature"),
                         number(getStandardDoubleValue(control, Evaluation_Humidity_Temperature_t, 0.0)) +
                             QStringLiteral(" C"));
    options.setAttribute(QStringLiteral("EvalHumidity"),
                         number(getStandardDoubleValue(control, Relative_Humidity_t, 0.0)) + QStringLiteral(" C"));
    options.setAttribute(QStringLiteral("AmbientRelativeHumidity"),
                         number(getStandardDoubleValue(control, Ambient_Relative_Humidity_t, 0.0)));
    setFlag("EnableDefaultCPUAccelerator", Enable_Default_CPU_Accelerator_t);
    setFlag("EnableDistributedComputing", Enable_Distributed_Computing_t);
}

bool Tarvex3DExporter::saveProjectXML()
{
    const QString target = QDir(m_state.directory).filePath(QStringLiteral("Project.xml"));
    QSaveFile file(target);
    const QByteArray text = projectText(m_state.document);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return fail(tr("Failed to write files to disk!"));
    m_state.files << target;
    return true;
}

} // namespace Tarvex3D
