#include <tarvex/model3d/TarvexMaterialImporter.h>

#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/MaterialAttributes.h>
#include <tarvex/host/LibraryManager.h>
#include <tarvex/host/MemoryGuard.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/UndoStackOpener.h>

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QPointF>
#include <QVector>

using namespace EntityModel;

namespace Tarvex3D {

namespace {

const QString temperatureDependent = QStringLiteral("Temperature Dependent");
const QString constant = QStringLiteral("Constant");

/// The value a property takes from its curve when it is not temperature dependent: the
/// first point's, or 0 for an empty curve.
double firstValue(const Tarvex3DCurveProperties& curve)
{
    return curve.getCurveData().empty() ? 0.0 : curve.getCurveData().front().second;
}

QVector<QPointF> toPoints(const Tarvex3DCurveProperties& curve)
{
    QVector<QPointF> points;
    points.reserve(int(curve.getCurveData().size()));
    for (const auto& point : curve.getCurveData())
        points.append(QPointF(point.first, point.second));
    return points;
}

/// Writes a property that the host can hold as a temperature curve: the curve when it
/// varies, else its first value. Values the host rejects (not finite) are skipped.
void writeCurveProperty(Entity* entity, const AttributePath& property, const Tarvex3DCurveProperties& curve)
{
    if (curve.isCurveOrPointValue()) {
        EntityEditor::setValueNoThrow(entity, property / AttributePath(Option_t), temperatureDependent);
        EntityEditor::setSIPointsCurveNoThrow(entity, MaterialAttributes::curveOf(property), toPoints(curve));
    } else {
        // An entity populated again may have held a curve before: the option says which applies.
        EntityEditor::setValueNoThrow(entity, property / AttributePath(Option_t), constant);
        EntityEditor::setSIValueNoThrow(entity, MaterialAttributes::valueOf(property), firstValue(curve));
    }
}

} // namespace

const QString TarvexMaterialImporter::libraryName = QStringLiteral("Norvane Material Library");

TarvexMaterialImporter::TarvexMaterialImporter(Tools::ToolProgress* sink, QObject* parent)
    : QObject(parent), m_progress(sink)
{
}

TarvexMaterialImporter::~TarvexMaterialImporter() = default;

void TarvexMaterialImporter::optionalWarning(const QString& text) const
{
    if (m_warningsAsInformational)
        showInformational(text);
    else
        warning(text);
}

std::vector<Tarvex3DMaterial> TarvexMaterialImporter::readMaterials(const QString& path)
{
    const Tarvex3DDomModel model = Tarvex3DDomModel::fromFile(path, m_progress);
    if (model.isNull())
        return {};
    return generateMaterials(model);
}

QList<Tarvex3DDataDescription> TarvexMaterialImporter::generateDataDescription(const Tarvex3DDomModel& model) const
{
    return model.getDataDescriptions(m_descriptionNames) + model.getStructuralDataDescriptions(m_structuralDescriptionNames);
}

std::vector<Tarvex3DMaterial> TarvexMaterialImporter::generateMaterials(const Tarvex3DDomModel& model)
{
    std::vector<Tarvex3DMaterial> materials = model.getMaterials();
    const QList<Tarvex3DDataDescription> descriptions = generateDataDescription(model);
    for (Tarvex3DMaterial& material : materials) {
        material.parseMaterialProperties(descriptions);
        reportTableIssues(material);
    }
    return materials;
}

void TarvexMaterialImporter::reportTableIssues(const Tarvex3DMaterial& material) const
{
    for (const Tarvex3DTableIssue& issue : material.getTableIssues()) {
        if (issue.line > 0) {
            optionalWarning(tr("Material \"%1\", %2 table, line %3: %4")
                                .arg(material.getName(), issue.table, QString::number(issue.line), issue.text));
        } else {
            optionalWarning(tr("Material \"%1\", %2 table: %3").arg(material.getName(), issue.table, issue.text));
        }
    }
}

Entity* TarvexMaterialImporter::createMaterial(const Tarvex3DMaterial& material, Entity* parent)
{
    m_notes.clear();
    if (material.getThermalConductivity().getCurveData().empty()) {
        const QString text =
            tr("%1: No thermal conductivity curve in file. Material not imported.").arg(material.getName());
        optionalWarning(text);
        m_notes.append({nullptr, text});
        return nullptr;
    }
    Entity* entity = EntityEditor::createEntity(Material_t, parent, Materials_t);
    if (!entity) {
        const QString text = tr("%1: the material entity could not be created.").arg(material.getName());
        optionalWarning(text);
        m_notes.append({nullptr, text});
        return nullptr;
    }
    populate(material, entity);
    return entity;
}

std::vector<Entity*> TarvexMaterialImporter::createMaterials(const std::vector<Tarvex3DMaterial>& materials,
                                                             Entity* parent)
{
    std::vector<Entity*> entities;
    entities.reserve(materials.size());
    for (const Tarvex3DMaterial& material : materials)
        entities.push_back(createMaterial(material, parent));
    return entities;
}

void TarvexMaterialImporter::populateEntityMaterial(const Tarvex3DMaterial& material, Entity* entity)
{
    m_notes.clear();
    populate(material, entity);
}

void TarvexMaterialImporter::populate(const Tarvex3DMaterial& material, Entity* entity)
{
    if (!entity)
        return;
    EntityEditor::setValueNoThrow(entity, Name_t, material.getName());

    // Without a conductivity curve the entity keeps the conductivity it has (a new one is
    // never made for such a material).
    if (!material.getThermalConductivity().getCurveData().empty())
        writeCurveProperty(entity, MaterialAttributes::conductivity(), material.getThermalConductivity());
    else
        m_notes.append({entity, tr("%1: No thermal conductivity curve in file.").arg(material.getName())});

    writeCurveProperty(entity, MaterialAttributes::electricalConductivity(), material.getElectricalConductivity());

    writeCurveProperty(entity, MaterialAttributes::specificHeat(), material.getSpecificHeat());
    if (material.getSpecificHeat().getCurveData().empty()) {
        // The material is still imported, with 0: a message, not the end of the import.
        const QString text = tr("Material has no Specific Heat value, setting to 0.");
        warning(text);
        m_notes.append({entity, text});
    }

    writeCurveProperty(entity, MaterialAttributes::youngsModulus(), material.getYoungsModulus());
    writeCurveProperty(entity, MaterialAttributes::poissonsRatio(), material.getPoissonsRatio());

    const AttributePath expansion = MaterialAttributes::thermalExpansion();
    writeCurveProperty(entity, expansion, material.getCTE());
    EntityEditor::setSIValueNoThrow(entity, expansion / AttributePath(Reference_Temperature_t), material.getCTERefTemp());

    EntityEditor::setSIValueNoThrow(entity, MaterialAttributes::valueOf(MaterialAttributes::density()),
                                    firstValue(material.getDensity()));
    if (material.getDensity().getCurveData().empty()) {
        // The material is still imported, with 0: a message, not the end of the import.
        const QString text = tr("Material has no density value, setting to 0.");
        warning(text);
        m_notes.append({entity, text});
    }

    EntityEditor::setSIValueNoThrow(entity, MaterialAttributes::valueOf(MaterialAttributes::emissivity()),
                                    firstValue(material.getEmissivity()));
    EntityEditor::setSIValueNoThrow(entity, MaterialAttributes::valueOf(MaterialAttributes::solarReflectance()),
                                    firstValue(material.getSolarReflectance()));
}

bool TarvexMaterialImporter::importMaterialLibrary(const QString& path)
{
    Model* store = m_libraryManager ? &m_libraryManager->getStore() : nullptr;
    return MemoryGuard::run(store, *this, tr("Import Material Library"), false,
                            [&] { return importMaterialLibraryGuarded(path); });
}

bool TarvexMaterialImporter::importMaterialLibraryGuarded(const QString& path)
{
    const std::vector<Tarvex3DMaterial> materials = readMaterials(path);
    if (materials.empty())
        return true;
    if (!m_libraryManager) {
        fatalError(tr("There is no material library to import \"%1\" into.").arg(path));
        return false;
    }

    const QDateTime fileTime = QFileInfo(path).lastModified();
    Entity* library = m_libraryManager->findLibraryByLibraryPath(libraryName);
    if (library) {
        const QDateTime stored = m_libraryManager->getLastModified(library);
        if (stored.isValid() && stored >= fileTime)
            return false;
    }

    // Everything below is one step of the store's history, taken back whole when a write
    // fails half way, so that the library is never left half updated.
    Model& store = library ? *library->getModel() : m_libraryManager->getStore();
    const int doneBefore = store.getUndoStack().doneCount();
    bool changed = false;
    bool done = false;
    {
        const UndoStackOpener step(&store, tr("Import Material Library"));
        if (!library) {
            library = m_libraryManager->createLibraryByLibraryPath(libraryName);
            changed = library != nullptr;
        }
        if (!library)
            fatalError(tr("The material library \"%1\" cannot be created.").arg(libraryName));
        else if (!m_libraryManager->setLibraryReadOnly(library, false))
            fatalError(tr("The material library \"%1\" is read-only and cannot be updated.").arg(libraryName));
        else {
            changed = true;
            done = m_libraryManager->setLastModified(library, fileTime) && updateLibrary(library, materials);
        }
    }
    if (!done && changed) {
        store.getUndoStack().undoTo(doneBefore);
        fatalError(tr("The material library \"%1\" was left unchanged.").arg(libraryName));
    }
    return done;
}

bool TarvexMaterialImporter::updateLibrary(Entity* library, const std::vector<Tarvex3DMaterial>& materials)
{
    // Free-standing materials are made in a scratch model of their own, then copied into the
    // library; the scratch model goes when the import ends.
    Model scratch;
    // The items by name, the first of a name as the library manager finds it: looking each
    // material up in a list of thousands would make a large import quadratic.
    QHash<QString, Entity*> items;
    for (Entity* item : m_libraryManager->getLibraryItems(library)) {
        if (!items.contains(item->getName()))
            items.insert(item->getName(), item);
    }
    for (const Tarvex3DMaterial& material : materials) {
        Entity* item = items.value(material.getName(), nullptr);
        Entity* made = createMaterial(material, scratch.getRoot());
        if (!made)
            continue;
        Entity* saved = item ? m_libraryManager->updateLibraryItem(item, made) : m_libraryManager->saveToLibrary(library, made);
        items.insert(material.getName(), saved);
        if (!saved) {
            fatalError(tr("Material \"%1\" cannot be saved to the material library \"%2\".")
                           .arg(material.getName(), libraryName));
            return false;
        }
        EntityEditor::deleteEntity(made);
        scratch.getUndoStack().clear();
    }
    if (!m_libraryManager->setLibraryReadOnly(library, true) || !m_libraryManager->saveLibrary(library)) {
        fatalError(tr("The material library \"%1\" cannot be saved.").arg(libraryName));
        return false;
    }
    return true;
}

} // namespace Tarvex3D
