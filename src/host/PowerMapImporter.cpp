#include <tarvex/host/PowerMapImporter.h>

#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/MemoryGuard.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/UndoStackOpener.h>
#include <tarvex/host/UnitConverter.h>

#include <array>
#include <cmath>

using namespace EntityModel;

namespace ServerConstructor {

// Forwards to the caller's sink and counts the fatal errors, so that applying can tell a
// reader that failed from a file that holds no map.
class PowerMapImporter::CountingProgress : public Tools::ToolProgress
{
public:
    explicit CountingProgress(Tools::ToolProgress* sink) : m_sink(sink) {}

    void reset() override
    {
        if (m_sink)
            m_sink->reset();
    }
    void setTotalSteps(quint64 total) override
    {
        if (m_sink)
            m_sink->setTotalSteps(total);
    }
    void setStep(quint64 count) override
    {
        if (m_sink)
            m_sink->setStep(count);
    }
    void post(Kind kind, const QString& text) override
    {
        if (kind == Kind::FatalError)
            ++m_fatalErrors;
        if (m_sink)
            m_sink->post(kind, text);
    }

    int fatalErrors() const { return m_fatalErrors; }

private:
    Tools::ToolProgress* m_sink;
    int m_fatalErrors = 0;
};

// One record in SI units, checked and ready to be written.
struct PowerMapImporter::Converted
{
    QString name;
    QString file;
    bool isArea = false;
    int rows = 0;
    int columns = 0;
    std::optional<std::array<double, 4>> dieArea;
    QVector<double> powers;
    std::array<QVector<double>, 4> blocks; // x low, y low, x high, y high
    double total = 0.0;
    std::vector<std::pair<int, double>> links; // linked record, temperature in K
};

namespace {

const AttributePath& mapsList()
{
    static const AttributePath path(Power_Maps_t);
    return path;
}

std::array<TypeRef, 4> corners() { return {X_Low_t, Y_Low_t, X_High_t, Y_High_t}; }

} // namespace

PowerMapImporter::PowerMapImporter(Tools::ToolProgress* progress, QObject* parent)
    : QObject(parent), m_progress(std::make_unique<CountingProgress>(progress))
{
}

PowerMapImporter::PowerMapImporter(bool reportApplied, Tools::ToolProgress* progress, QObject* parent)
    : QObject(parent), m_progress(std::make_unique<CountingProgress>(progress)), m_reportApplied(reportApplied)
{
}

PowerMapImporter::~PowerMapImporter() = default;

Tools::ToolProgress* PowerMapImporter::getProgress() const { return m_progress.get(); }

void PowerMapImporter::setFlip(bool flipX, bool flipY)
{
    m_flipX = flipX;
    m_flipY = flipY;
}

void PowerMapImporter::setPowerScale(double scale) { m_powerScale = scale; }

void PowerMapImporter::setGeometryScale(double scale) { m_geometryScale = scale; }

void PowerMapImporter::setRotation(double degrees) { m_rotation = degrees; }

TypeRef PowerMapImporter::getDefaultPowerUnit() const { return W_t; }

TypeRef PowerMapImporter::getDefaultLengthUnit() const { return um_t; }

PowerMapData PowerMapImporter::createPowerMapData(const QString& path) const
{
    PowerMapData data;
    data.path = path;
    data.powerUnit = getDefaultPowerUnit();
    data.lengthUnit = getDefaultLengthUnit();
    return data;
}

std::vector<PowerMapData> PowerMapImporter::readPowerMapData(const QString& path)
{
    const int before = m_progress->fatalErrors();
    std::vector<PowerMapData> records = readPowerMapDataImpl(path);
    if (m_progress->fatalErrors() != before)
        records.clear();
    return records;
}

bool PowerMapImporter::importPowerMap(Entity* entity, const QString& path)
{
    Model* model = entity && entity->isAlive() ? entity->getModel() : nullptr;
    return MemoryGuard::run(model, *this, tr("Import Power Map"), false,
                            [&] { return importPowerMapGuarded(entity, path); });
}

bool PowerMapImporter::importPowerMapGuarded(Entity* entity, const QString& path)
{
    if (!entity || !entity->isAlive() || !entity->getModel()) {
        fatalError(tr("There is no entity to apply the power map %1 to.").arg(path));
        return false;
    }
    if (const Attribute* held = entity->child(Power_Maps_t.getLabel());
        held && held->getKind() != Attribute::Kind::EntityList) {
        fatalError(tr("The entity %1 has a \"%2\" attribute that cannot hold power maps.")
                       .arg(entity->getName(), Power_Maps_t.getLabel()));
        return false;
    }
    const int before = m_progress->fatalErrors();
    const std::vector<PowerMapData> records = readPowerMapData(path);
    if (m_progress->fatalErrors() != before)
        return false;
    if (records.empty()) {
        fatalError(tr("No power map found in %1.").arg(path));
        return false;
    }
    std::vector<Converted> maps;
    if (!convert(records, maps))
        return false;

    Model* model = entity->getModel();
    UndoStack& history = model->getUndoStack();
    const bool joined = history.isStepOpen();
    const int doneBefore = history.doneCount();
    bool written = false;
    {
        UndoStackOpener step(model, tr("Import Power Map"));
        written = write(entity, maps);
    }
    if (!written) {
        // Every edit went into one step; taking it back restores the entity. A step the
        // caller holds open cannot be taken back from here.
        if (!joined)
            history.undoTo(doneBefore);
        fatalError(tr("The power map %1 could not be applied to %2.").arg(path, entity->getName()));
        return false;
    }
    if (m_reportApplied) {
        for (const Converted& map : maps)
            showInformational(tr("Applied power map %1 to %2").arg(map.name, entity->getName()));
    }
    return true;
}

bool PowerMapImporter::convert(const std::vector<PowerMapData>& records, std::vector<Converted>& converted) const
{
    const UnitConverter& units = UnitConverter::instance();
    const int count = int(records.size());
    for (const PowerMapData& record : records) {
        const QString name = QString::fromStdString(record.name);
        if (!units.isKnown(Power_t, record.powerUnit)) {
            fatalError(UnitConverter::describeUnknown(Power_t, record.powerUnit));
            return false;
        }
        if (!units.isKnown(Length_t, record.lengthUnit)) {
            fatalError(UnitConverter::describeUnknown(Length_t, record.lengthUnit));
            return false;
        }
        Converted map;
        map.name = name;
        map.file = record.path;
        map.isArea = record.isAreaMap();
        map.rows = record.rows;
        map.columns = record.columns;
        const bool sized = map.isArea ? record.blocks.size() == record.powers.size()
                                      : record.rows > 0 && record.columns > 0 &&
                                            record.powers.size() == size_t(record.rows) * size_t(record.columns);
        if (!sized || record.powers.empty()) {
            fatalError(tr("The power map %1 holds %2 powers, which do not match its size.").arg(name).arg(record.powers.size()));
            return false;
        }
        bool finite = true;
        const auto length = [&](double value) {
            const double si = units.convertToSI(Length_t, value, record.lengthUnit);
            finite = finite && std::isfinite(si);
            return si;
        };
        if (record.area) {
            const Geometry::Bound2D& area = *record.area;
            map.dieArea = std::array<double, 4>{length(area.getLow().x), length(area.getLow().y), length(area.getHigh().x),
                                                length(area.getHigh().y)};
        }
        for (const Geometry::Bound2D& block : record.blocks) {
            map.blocks[0].append(length(block.getLow().x));
            map.blocks[1].append(length(block.getLow().y));
            map.blocks[2].append(length(block.getHigh().x));
            map.blocks[3].append(length(block.getHigh().y));
        }
        map.powers.reserve(int(record.powers.size()));
        for (const double power : record.powers) {
            map.powers.append(units.convertToSI(Power_t, power, record.powerUnit));
            map.total += map.powers.back();
            finite = finite && std::isfinite(map.powers.back());
        }
        for (const PowerMapLink& link : record.links) {
            const double kelvin = units.convertToSI(Temperature_t, link.leakageTemperature, C_t);
            finite = finite && std::isfinite(kelvin);
            if (link.linkedRecord < 0 || link.linkedRecord >= count) {
                fatalError(tr("The power map %1 is linked with a map that does not exist.").arg(name));
                return false;
            }
            map.links.emplace_back(link.linkedRecord, kelvin);
        }
        if (!finite || !std::isfinite(map.total)) {
            fatalError(tr("The power map %1 holds a value out of range.").arg(name));
            return false;
        }
        converted.push_back(std::move(map));
    }
    return true;
}

// True when `entity`, a map entity written before, holds the same attributes `map` will
// write (no attribute of another kind of map would be left behind).
bool PowerMapImporter::sameShape(const Entity* entity, const Converted& map)
{
    return entity->getType() == Power_Map_t &&
           hasAttributeSetTo(entity, Power_Map_Kind_t, map.isArea ? Area_Map_t : Grid_Map_t) &&
           (entity->findAttribute(Die_Area_t) != nullptr) == map.dieArea.has_value() &&
           (entity->findAttribute(Leakage_Links_t) != nullptr) == !map.links.empty();
}

bool PowerMapImporter::write(Entity* entity, const std::vector<Converted>& maps) const
{
    std::vector<Entity*> old;
    if (const auto* list = entity->child(Power_Maps_t.getLabel())) {
        const auto* entities = static_cast<const EntityListAttribute*>(list);
        for (int i = 0; i < entities->count(); ++i)
            old.push_back(entities->at(i));
    }
    // A map entity of the same shape in the same place is written over, so that applying a
    // file again gives the same entities; the others go and new ones are made.
    std::vector<Entity*> kept;
    for (size_t i = 0; i < old.size(); ++i) {
        if (i < maps.size() && sameShape(old[i], maps[i]))
            kept.push_back(old[i]);
        else
            break;
    }
    const std::vector<Entity*> gone(old.begin() + long(kept.size()), old.end());
    if (!gone.empty() && !EntityEditor::deleteEntities(gone))
        return false;

    std::vector<Entity*> made;
    for (size_t k = 0; k < maps.size(); ++k) {
        const Converted& map = maps[k];
        Entity* target = k < kept.size() ? kept[k]
                                         : EntityEditor::createEntity(Power_Map_t, entity, mapsList(), nullptr, 0, map.name);
        if (!target || !EntityEditor::setValueNoThrow(target, Name_t, map.name))
            return false;
        made.push_back(target);
        bool ok = EntityEditor::setValueNoThrow(target, Power_Map_File_t, map.file) &&
                  EntityEditor::setValueNoThrow(target, Power_Map_Kind_t, map.isArea ? Area_Map_t : Grid_Map_t) &&
                  EntityEditor::setSIDoubleListValueNoThrow(target, Powers_t, map.powers) &&
                  EntityEditor::setSIValueNoThrow(target, Total_Power_t, map.total) &&
                  EntityEditor::setSIValueNoThrow(target, Power_Scale_t, m_powerScale) &&
                  EntityEditor::setSIValueNoThrow(target, Geometry_Scale_t, m_geometryScale) &&
                  EntityEditor::setSIValueNoThrow(target, Map_Rotation_t, m_rotation) &&
                  EntityEditor::setValueNoThrow(target, Flip_X_t, m_flipX) &&
                  EntityEditor::setValueNoThrow(target, Flip_Y_t, m_flipY);
        if (!map.isArea) {
            ok = ok && EntityEditor::setValueNoThrow(target, Grid_Rows_t, map.rows) &&
                 EntityEditor::setValueNoThrow(target, Grid_Columns_t, map.columns);
        }
        for (int i = 0; i < 4; ++i) {
            if (map.dieArea)
                ok = ok && EntityEditor::setSIValueNoThrow(target, Die_Area_t / corners()[size_t(i)], (*map.dieArea)[size_t(i)]);
            if (map.isArea)
                ok = ok && EntityEditor::setSIDoubleListValueNoThrow(target, Power_Blocks_t / corners()[size_t(i)],
                                                                     map.blocks[size_t(i)]);
        }
        if (!ok)
            return false;
    }
    for (size_t i = 0; i < maps.size(); ++i) {
        if (maps[i].links.empty())
            continue;
        std::vector<Entity*> targets;
        QVector<double> temperatures;
        for (const auto& link : maps[i].links) {
            targets.push_back(made[size_t(link.first)]);
            temperatures.append(link.second);
        }
        if (!EntityEditor::setLinksNoThrow(made[i], Leakage_Links_t, targets) ||
            !EntityEditor::setSIDoubleListValueNoThrow(made[i], Leakage_Temperatures_t, temperatures))
            return false;
    }
    return true;
}

} // namespace ServerConstructor
