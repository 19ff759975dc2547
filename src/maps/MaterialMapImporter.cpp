#include <tarvex/maps/MaterialMapImporter.h>

#include <tarvex/host/CellGrid.h>

#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/MemoryGuard.h>
#include <tarvex/host/Model.h>

#include <QFileInfo>

#include <algorithm>
#include <limits>

using namespace EntityModel;

namespace Tarvex {

namespace {

const AttributePath& modellingLevelPath()
{
    static const AttributePath path = Construction_t / Modelling_Level_t;
    return path;
}

Entity* entityOf(CompositeAttribute* attribute)
{
    if (attribute && attribute->getKind() == Attribute::Kind::Entity)
        return static_cast<Entity*>(attribute);
    return attribute ? attribute->getOwnerEntity() : nullptr;
}

} // namespace

MaterialMapImporter::MaterialMapImporter(Tools::ToolProgress* progress, QObject* parent)
    : MaterialMapImporter(true, progress, parent)
{
}

MaterialMapImporter::MaterialMapImporter(bool fileIsZUp, Tools::ToolProgress* progress, QObject* parent)
    : MaterialMapEditor(progress, parent), m_fileIsZUp(fileIsZUp)
{
}

MaterialMapImporter::~MaterialMapImporter() = default;

bool MaterialMapImporter::checkCellCount(qint64 rows, qint64 columns)
{
    if (EntityModel::CellGrid::fitsModel(rows, columns))
        return true;
    fatalError(EntityModel::CellGrid::tooManyCellsMessage(tr("material map"), rows, columns));
    return false;
}

bool MaterialMapImporter::checkFile(const QString& path) const
{
    // Folders and devices are not map files.
    if (QFileInfo(path).isFile())
        return true;
    fatalError(tr("Unable to open %1").arg(path));
    return false;
}

bool MaterialMapImporter::importFile(const QString& path, Entity* entity)
{
    Model* model = entity && entity->isAlive() ? entity->getModel() : nullptr;
    return MemoryGuard::run(model, *this, stepName(), false, [&] { return importFileGuarded(path, entity); });
}

bool MaterialMapImporter::importFileInLayer(const QString& path, CompositeAttribute* layer)
{
    const Entity* owner = entityOf(layer);
    Model* model = owner && owner->isAlive() ? owner->getModel() : nullptr;
    return MemoryGuard::run(model, *this, stepName(), false, [&] { return importFileInLayerGuarded(path, layer); });
}

std::vector<MaterialMapData> MaterialMapImporter::readMaterialMapData(const QString& path)
{
    return MemoryGuard::run(nullptr, *this, stepName(), std::vector<MaterialMapData>(),
                            [&] { return readMaterialMapDataGuarded(path); });
}

bool MaterialMapImporter::importFileGuarded(const QString& path, Entity* entity)
{
    if (!entity || !entity->isAlive()) {
        fatalError(tr("No entity to import material map into"));
        return false;
    }
    if (!checkFile(path))
        return false;
    std::vector<MaterialMapData> records = readMaterialMapData(path);
    if (records.empty())
        warning(tr("Power Map with no supported features"));
    EditStep step(entity->getModel(), stepName());
    EntityEditor::setValueNoThrow(entity, modellingLevelPath(), Tarvex_Interchange_Model_t.getLabel());
    return step.finish(applyDataToEntity(records, entity));
}

bool MaterialMapImporter::importFileInLayerGuarded(const QString& path, CompositeAttribute* layer)
{
    Entity* owner = entityOf(layer);
    if (!owner || !owner->isAlive()) {
        fatalError(tr("No layer to import material map into"));
        return false;
    }
    if (!checkFile(path))
        return false;
    EditStep step(owner->getModel(), stepName());
    EntityEditor::setValueNoThrow(owner, modellingLevelPath(), Tarvex_Interchange_Model_t.getLabel());
    const std::vector<MaterialMapData> records = readMaterialMapData(path);
    if (records.empty()) {
        warning(tr("Power Map with no supported features"));
        fatalError(tr("Material Map Has No Layers"));
        return step.finish(false);
    }
    warning(tr("Material Map with %1 layers, only first layer will be applied").arg(records.size()));
    return step.finish(applyDataToLayer(records.front(), layer));
}

std::vector<MaterialMapData> MaterialMapImporter::readMaterialMapDataGuarded(const QString& path)
{
    std::vector<MaterialMapData> records = readMaterialMapDataImpl(path);
    if (records.empty())
        return records;
    double lowest = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < records.size(); ++i) {
        MaterialMapData& record = records[i];
        if (record.thickness < 0.0) {
            record.thickness = -record.thickness;
            record.upPos -= record.thickness;
        }
        lowest = std::min(lowest, record.upPos);
        if (record.name.empty())
            record.name = records.size() == 1 ? tr("Layer").toStdString() : tr("Layer %1").arg(i + 1).toStdString();
    }
    if (lowest < 0.0) {
        warning(tr("Minimal Y position is non zero, shifting it up to make it zero"));
        for (MaterialMapData& record : records)
            record.upPos -= lowest;
    }
    std::stable_sort(records.begin(), records.end(), [](const MaterialMapData& a, const MaterialMapData& b) {
        return a.upPos < b.upPos || (a.upPos == b.upPos && a.thickness < b.thickness);
    });
    if (!transformMaterialMapData(records)) {
        fatalError(tr("Material Map rotation of %1 degrees is not supported").arg(m_rotationInPlane));
        return {};
    }
    if (m_fileIsZUp && !flipMaterialMapData(records, false, true))
        return {};
    return records;
}

bool MaterialMapImporter::transformMaterialMapData(std::vector<MaterialMapData>& data) const
{
    const bool flipped = flipMaterialMapData(data, m_flipXInPlane, m_flipYInPlane);
    const bool rotated = rotateMaterialMapData(data, m_rotationInPlane);
    return flipped && rotated;
}

MaterialMapData MaterialMapImporter::createMaterialMapData(const QString&) const
{
    MaterialMapData data;
    data.metal = m_defaultMetal;
    data.dielectric = m_defaultDielectric;
    data.rows = 1;
    data.columns = 1;
    data.upPos = m_defaultUpPos;
    data.thickness = m_defaultLayerThickness;
    data.lengthScaling = m_defaultLengthScaling;
    data.lengthUnit = m_defaultLengthUnit;
    return data;
}

} // namespace Tarvex
