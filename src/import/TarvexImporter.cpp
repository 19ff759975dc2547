#include <tarvex/import/TarvexImporter.h>

#include <tarvex/builders/TarvexEntityBuildState.h>
#include <tarvex/builders/TarvexEntityBuilder.h>
#include <tarvex/builders/TarvexEntityExtender.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/MemoryGuard.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/EntityGUI.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/TypeCatalogue.h>
#include <tarvex/host/UndoStackOpener.h>
#include <tarvex/host/UnitConverter.h>
#include <tarvex/import/TarvexImportListEntry.h>
#include <tarvex/interchange/TXMJSONFile.h>
#include <tarvex/interchange/TarvexTXMJsonParser.h>
#include <tarvex/objects/TarvexCoordinateFrames.h>
#include <tarvex/objectbuild/TarvexObjectBuilder.h>

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <functional>
#include <new>
#include <optional>
#include <stdexcept>

namespace Tarvex {

using namespace EntityModel;

namespace {

// Import lists nested deeper than this are refused: no real list needs it, and a chain of
// lists must not exhaust the stack.
constexpr size_t MaxListNesting = 64;
constexpr double PlacementTolerance = 1e-6; // metres

Model* modelOf(const Entity* entity) { return entity ? entity->getModel() : nullptr; }

Geometry::Vec3 locationOf(const Entity* entity)
{
    return Geometry::Vec3(getStandardDoubleValue(entity, X_Location_t, 0.0),
                          getStandardDoubleValue(entity, Y_Location_t, 0.0),
                          getStandardDoubleValue(entity, Z_Location_t, 0.0));
}

// Restores the progress prefix on every way out of one file's import.
class PrefixScope
{
public:
    PrefixScope(Tools::ForwardingProgress& progress, const QString& prefix)
        : m_progress(progress), m_saved(progress.getPrefix())
    {
        m_progress.setPrefix(prefix);
    }
    ~PrefixScope() { m_progress.setPrefix(m_saved); }
    PrefixScope(const PrefixScope&) = delete;
    PrefixScope& operator=(const PrefixScope&) = delete;

private:
    Tools::ForwardingProgress& m_progress;
    QString m_saved;
};

// Keeps a list's file among the lists being read for as long as the list is walked, on
// every way out.
class OpenListScope
{
public:
    OpenListScope(QStringList& openLists, const QString& file) : m_openLists(openLists) { m_openLists << file; }
    ~OpenListScope() { m_openLists.removeLast(); }
    OpenListScope(const OpenListScope&) = delete;
    OpenListScope& operator=(const OpenListScope&) = delete;

private:
    QStringList& m_openLists;
};

// Positions in `TarvexImporter::closingMessages`.
enum ClosingMessage
{
    ImportFinished,
    ImportFinishedWithErrors,
    UpdateFinished,
    UpdateFinishedWithErrors,
    ExtendFinished
};

void append(std::vector<Entity*>& to, const std::vector<Entity*>& from) { to.insert(to.end(), from.begin(), from.end()); }

} // namespace

TarvexImporter::TarvexImporter(Entity* parent, Tools::ToolProgress* progress, Geometry::GeometryBuilder* builder,
                               QObject* qtParent)
    : QObject(qtParent), m_parent(parent), m_geometryBuilder(builder), m_progress(progress)
{
}

TarvexImporter::~TarvexImporter() = default;

QStringList TarvexImporter::closingMessages()
{
    return {tr("Importing Tarvex Interchange Model Finished"),
            tr("Importing Tarvex Interchange Model Finished with some errors"),
            tr("Updating Tarvex Interchange Model Finished"),
            tr("Updating Tarvex Interchange Model Finished with some errors"), tr("Extend PCB Finished")};
}

Tools::ToolProgress* TarvexImporter::getProgress() const { return &m_progress; }

std::vector<Entity*> TarvexImporter::importModel(const QString& path, bool centre)
{
    return MemoryGuard::run(modelOf(m_parent), *this, tr("Import Tarvex Data"), std::vector<Entity*>(), [&] {
        return takenBackWhenListsStop([&] { return importModelGuarded(path, centre); });
    });
}

std::vector<Entity*> TarvexImporter::updateModel(const QString& path, const std::vector<Entity*>& existing)
{
    return MemoryGuard::run(modelOf(m_parent), *this, tr("Update Tarvex Data"), std::vector<Entity*>(), [&] {
        return takenBackWhenListsStop([&] { return updateModelGuarded(path, existing); });
    });
}

void TarvexImporter::setListFileCap(size_t cap) { m_listFileCap = cap; }

std::vector<Entity*> TarvexImporter::takenBackWhenListsStop(const std::function<std::vector<Entity*>()>& operation)
{
    m_listFilesOpened = 0;
    m_listsStopped = false;
    const MemoryGuard start(modelOf(m_parent));
    std::vector<Entity*> result = operation();
    if (!m_listsStopped)
        return result;
    // Lists stopped part way would leave an arbitrary part of what they name: none of it stays.
    start.rollBack();
    return {};
}

std::vector<Entity*> TarvexImporter::extendPCB(Entity* board, const QString& path)
{
    return MemoryGuard::run(modelOf(board ? board : m_parent), *this, tr("Update Tarvex Data"),
                            std::vector<Entity*>(), [&] { return extendPCBGuarded(board, path); });
}

std::vector<Entity*> TarvexImporter::importModelGuarded(const QString& path, bool centre)
{
    m_progress.reset();
    showMessage(tr("Reading Tarvex Interchange Model For Import"));
    m_updatedEntities.clear();
    UndoStackOpener undoStep(modelOf(m_parent), tr("Import Tarvex Data"), true, true);
    m_success = true;
    std::vector<Entity*> result;
    if (hasPlaceToBuild()) {
        enableSolutionControlOptions(m_parent);
        result = importModelImpl(path, 0, nullptr);
        if (centre)
            centreInOwners(result);
    }

    showMessage(closingMessages().at(m_success ? ImportFinished : ImportFinishedWithErrors));
    return result;
}

std::vector<Entity*> TarvexImporter::updateModelGuarded(const QString& path, const std::vector<Entity*>& existing)
{
    m_progress.reset();
    showMessage(tr("Reading Tarvex Interchange Model Model"));
    m_updatedEntities = existing;
    UndoStackOpener undoStep(modelOf(m_parent), tr("Update Tarvex Data"), true, true);
    m_success = true;

    std::vector<Entity*> result;
    // Without a place for the new entities the earlier ones are not even detached: they
    // would all be deleted for nothing.
    if (hasPlaceToBuild()) {
        TarvexReuseMap reuse;
        reuse.detachImports(existing);
        result = importModelImpl(path, &reuse);

        const std::vector<Entity*> waiting = reuse.waiting();
        if (!waiting.empty())
            EntityEditor::deleteEntities(waiting, true);
    }

    showMessage(closingMessages().at(m_success ? UpdateFinished : UpdateFinishedWithErrors));
    return result;
}

std::vector<Entity*> TarvexImporter::extendPCBGuarded(Entity* board, const QString& path)
{
    m_progress.reset();
    m_extension = TarvexBoardExtension();
    showMessage(tr("Reading Simplified Model"));
    TarvexObjectBuilder builder(&m_progress);
    if (!builder.readFile(path))
        throw std::runtime_error(tr("Failed to import : %1").arg(path).toStdString());

    enableSolutionControlOptions(m_parent);
    UndoStackOpener undoStep(modelOf(board ? board : m_parent), tr("Update Tarvex Data"), true, true);

    m_progress.reset();
    m_progress.setTotalSteps(0);
    showMessage(tr("Building Tarvex Geometry"));
    builder.buildTree();
    const std::vector<std::unique_ptr<TarvexObject>> objects = builder.takeObjects();

    m_progress.reset();
    m_progress.setTotalSteps(0);
    showMessage(tr("Importing Geometry"));
    // The heat sources an earlier extension gave the board wait to be reused, so that
    // extending again with the same file rewrites its "HeatSource ..." instead of adding a
    // second one; those the file does not name go back to the board. Other heat sources of
    // the board are not the extension's and stay where they are.
    TarvexReuseMap reuse;
    if (board) {
        for (Entity* source : board->getOwnedChildEntitiesOfType(Heat_Source_t)) {
            if (getStringValue(source, Name_t).startsWith(QLatin1String("HeatSource ")))
                reuse.detach(source);
        }
    }
    {
        TarvexEntityBuildState state(reuse);
        m_extension = extendBoard(objects, board, &state, &m_progress);
    }
    for (Entity* source : reuse.waitingFrom(board))
        reuse.reattach(board, Name_t, getStringValue(source, Name_t), Heat_Source_t, board, Heat_Sources_t);

    m_progress.reset();
    m_progress.setTotalSteps(0);
    showMessage(tr("Finalizing Geometry"));
    EntityEditor::setValueNoThrow(board, Is_Tarvex_Extended_t, Yes_t);
    showMessage(closingMessages().at(ExtendFinished));
    return {};
}

bool TarvexImporter::hasPlaceToBuild()
{
    if (m_parent)
        return true;
    // Every entity would be built below the parent: an import without one builds nothing,
    // and that is an error, not a run that finished.
    fatalError(tr("There is no entity to import into (no parent entity was given, or the model has no "
                  "chassis); nothing was imported"));
    m_success = false;
    return false;
}

void TarvexImporter::enableSolutionControlOptions(Entity* entity)
{
    Entity* control = EntityFetcher::getSolutionControl(entity);
    if (!control)
        return;
    EntityEditor::setValueNoThrow(control, Solid_Objects_t / Allow_Temperature_Dependent_Power_t, Yes_t.getLabel());
    EntityEditor::setValueNoThrow(control, Solid_Objects_t / Output_convective_HTC_t, Yes_t.getLabel());
}

std::vector<Entity*> TarvexImporter::importModelImpl(const QString& path, TarvexReuseMap* reuse)
{
    enableSolutionControlOptions(m_parent);
    return importModelImpl(path, 0, reuse);
}

std::vector<Entity*> TarvexImporter::importModelImpl(const QString& path, size_t level, TarvexReuseMap* reuse)
{
    const PrefixScope prefix(m_progress, QFileInfo(path).fileName() + QStringLiteral(" : "));

    // Folders, pipes and devices cannot be opened as model files: some never end.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    char first = 0;
    const bool hasByte = file.getChar(&first);
    file.seek(0);
    if (hasByte && (first == '{' || first == '['))
        return importModelImplJson(QFileInfo(path), &file, level, reuse);
    file.close();

    std::vector<std::unique_ptr<TarvexObject>> objects;
    const TarvexObjectReading::Outcome read = m_reading && m_reading->getPath() == path
                                                  ? m_reading->finish(&m_progress, objects)
                                                  : TarvexObjectReading::readNow(path, &m_progress, objects);
    if (read != TarvexObjectReading::Outcome::Built) {
        // An outline that is not flat (the builder named it) ends the reading of this file;
        // others of a list go on.
        if (read == TarvexObjectReading::Outcome::Stopped)
            fatalError(tr("Failed to read file : ") + path);
        m_success = false;
        return {};
    }

    TarvexReuseMap fresh;
    // A part that fails is reported and the others are built; the import then has errors.
    const int errorsBefore = m_progress.getFatalErrorCount();
    const TarvexBuiltEntities built =
        buildEntities(objects, m_parent, reuse ? *reuse : fresh, &m_progress, m_placingEntry);
    if (m_progress.getFatalErrorCount() != errorsBefore)
        m_success = false;
    std::vector<Entity*> result = built.newEntities;
    append(result, built.updatedEntities);
    return result;
}

std::vector<Entity*> TarvexImporter::importModelImplJson(const QFileInfo& file, QIODevice* device, size_t level,
                                                         TarvexReuseMap* reuse)
{
    const QString canonical = file.canonicalFilePath();
    if (m_openLists.contains(canonical)) {
        fatalError(tr("The import list %1 includes itself; it is not read again").arg(file.filePath()));
        m_success = false;
        return {};
    }
    if (level >= MaxListNesting) {
        fatalError(tr("Import lists are nested more than %1 deep at %2").arg(MaxListNesting).arg(file.filePath()));
        m_success = false;
        return {};
    }

    TarvexTXMJsonParser parser(&m_progress);
    const TXMJSONFile list = parser.read(device);
    if (!list) {
        fatalError(tr("Invalid File Format."));
        return {};
    }
    const TypeRef lengthUnit(list.getUnit().getLength().replace(QLatin1Char('-'), QLatin1Char(' ')));

    const QList<TXMJSONImport> imports = list.getModel().getImport();
    if (imports.isEmpty()) {
        warning(tr("No files to import"));
        return {};
    }
    std::map<int, std::vector<TXMJSONImport>> groups;
    for (const TXMJSONImport& entry : imports) {
        QMap<QString, int> priorities = entry.getPriority();
        if (priorities.isEmpty())
            priorities.insert(QStringLiteral("all"), 0);
        for (auto it = priorities.cbegin(); it != priorities.cend(); ++it)
            groups[it.value()].push_back(entry);
    }

    const OpenListScope openList(m_openLists, canonical);
    std::vector<Entity*> result;
    const QDir here = file.absoluteDir();
    for (const auto& group : groups) {
        for (const TXMJSONImport& entry : group.second) {
            const QString written = entry.getItemString(QStringLiteral("file"));
            const QString resolved = locateListEntry(here, written);
            // A folder or a device of that name is not the file the entry asks for.
            const QFileInfo found(resolved);
            if (written.isEmpty() || !found.exists() || !found.isFile()) {
                warning(tr("Unable to locate : %1").arg(written));
                continue;
            }
            if (!found.isReadable()) {
                warning(tr("Unable to read : %1").arg(written));
                continue;
            }
            const QString keys[] = {QStringLiteral("CENX"), QStringLiteral("CENY"), QStringLiteral("MINZ")};
            const bool placed = std::any_of(std::begin(keys), std::end(keys),
                                            [&](const QString& key) { return entry.isItemDouble(key); });
            // Lists naming each other several times multiply: each level may double what
            // one operation opens, so the count is bounded, not only the nesting.
            if (++m_listFilesOpened > m_listFileCap) {
                fatalError(tr("The import list %1 would open more than %2 files; the import is stopped and "
                              "nothing of it is kept")
                               .arg(file.filePath())
                               .arg(m_listFileCap));
                m_success = false;
                m_listsStopped = true;
                return result;
            }
            const bool placingBefore = m_placingEntry;
            m_placingEntry = placingBefore || placed;
            const std::vector<Entity*> entities = importModelImpl(resolved, level + 1, reuse);
            m_placingEntry = placingBefore;
            if (m_listsStopped)
                return result;

            std::optional<Geometry::Vec3> target;
            bool unitKnown = true;
            for (int axis = 0; axis < 3; ++axis) {
                if (!entry.isItemDouble(keys[axis]))
                    continue;
                bool ok = false;
                const double value = UnitConverter::instance().convertToSI(Length_t, entry.getItemDouble(keys[axis]),
                                                                          lengthUnit, &ok);
                unitKnown = unitKnown && ok;
                if (!target)
                    target = Geometry::Vec3();
                (axis == 0 ? target->x : axis == 1 ? target->y : target->z) = value;
            }
            if (target && !unitKnown)
                warning(UnitConverter::describeUnknown(Length_t, lengthUnit) + tr("; %1 is not placed").arg(written));
            else if (target)
                placeEntry(entities, interchangeToHostRotation().transform(*target));

            if (m_geometryBuilder) {
                for (Entity* entity : entities)
                    m_geometryBuilder->refreshPart(entity);
            }
            append(result, entities);
        }
    }
    return result;
}

Geometry::Bound TarvexImporter::currentBound(const std::vector<Entity*>& entities)
{
    Geometry::Bound bound;
    if (!m_geometryBuilder)
        return bound;
    for (Entity* entity : entities) {
        if (const Geometry::Part* part = m_geometryBuilder->refreshPart(entity))
            bound.unite(part->getBound());
    }
    return bound;
}

void TarvexImporter::moveBy(const std::vector<Entity*>& entities, const Geometry::Vec3& offset)
{
    for (Entity* entity : entities) {
        const Geometry::Vec3 at = locationOf(entity) + offset;
        EntityEditor::setSIValueNoThrow(entity, X_Location_t, at.x, true);
        EntityEditor::setSIValueNoThrow(entity, Y_Location_t, at.y, true);
        EntityEditor::setSIValueNoThrow(entity, Z_Location_t, at.z, true);
    }
}

void TarvexImporter::placeEntry(const std::vector<Entity*>& entities, const Geometry::Vec3& target)
{
    const Geometry::Bound bound = currentBound(entities);
    if (bound.isEmpty())
        return;
    // The file gives the footprint centre in x and y and the bottom in z; in host axes the
    // bottom is the low y of the bound.
    const Geometry::Vec3 reference(bound.getCentre().x, bound.getLow().y, bound.getCentre().z);
    const Geometry::Vec3 offset = target - reference;
    if (std::abs(offset.x) < PlacementTolerance && std::abs(offset.y) < PlacementTolerance &&
        std::abs(offset.z) < PlacementTolerance)
        return;
    moveBy(entities, offset);
}

void TarvexImporter::centreInOwners(const std::vector<Entity*>& entities)
{
    if (!m_geometryBuilder)
        return;
    std::map<Entity*, std::vector<Entity*>> groups;
    for (Entity* entity : entities) {
        if (entity)
            groups[entity->getOwnerEntity()].push_back(entity);
    }
    for (const auto& group : groups) {
        Entity* target = group.first ? group.first : m_parent;
        const Geometry::Part* targetPart = m_geometryBuilder->lookupOrBuildPart(target);
        const Geometry::Bound bound = currentBound(group.second);
        if (!targetPart || bound.isEmpty() || targetPart->getBound().isEmpty())
            continue;
        moveBy(group.second, targetPart->getBound().getCentre() - bound.getCentre());
    }
}

Geometry::Part* TarvexImporter::getClosestPCB(Geometry::Part* part, const std::vector<Geometry::Part*>& boards) const
{
    if (!part || part->getLocalBound().isEmpty())
        return nullptr;
    const Geometry::Vec3 centre = part->getLocalBound().getCentre();
    Geometry::Part* best = nullptr;
    double bestDistance = 1e10;
    for (Geometry::Part* board : boards) {
        if (!board || board->getLocalBound().isEmpty())
            continue;
        const Geometry::Vec3 c =
            Geometry::Transform::multiply(board->getTransform().inverse(), part->getTransform()).transform(centre);
        const Geometry::Bound& q = board->getLocalBound();
        double d = std::abs(c.y - q.getCentre().y);
        if (c.x < q.getLow().x)
            d = std::max(d, q.getLow().x - c.x);
        else if (c.x > q.getHigh().x)
            d = std::max(d, c.x - q.getHigh().x);
        if (c.z < q.getLow().z)
            d = std::max(d, q.getLow().z - c.z);
        else if (c.z > q.getHigh().z)
            d = std::max(d, c.z - q.getHigh().z);
        if (d < bestDistance) {
            bestDistance = d;
            best = board;
        }
    }
    return best;
}

void TarvexImporter::groupObjectsAndCentre(const std::vector<Entity*>& entities, const QString& name)
{
    if (!m_geometryBuilder)
        return;
    std::vector<Entity*> boards;
    std::vector<Geometry::Part*> boardParts;
    std::vector<std::pair<Entity*, Geometry::Part*>> components;
    std::vector<Entity*> others;
    Entity* chassis = EntityFetcher::getChassis(m_parent);
    for (Entity* entity : entities) {
        if (!entity)
            continue;
        const TypeRef type = entity->getType();
        Entity* owner = entity->getOwnerEntity();
        if (type == PCB_t) {
            boards.push_back(entity);
            boardParts.push_back(m_geometryBuilder->lookupOrBuildPart(entity));
        } else if (type == Component_t && owner && owner->getType() != PCB_t) {
            if (Geometry::Part* part = m_geometryBuilder->lookupOrBuildPart(entity))
                components.emplace_back(entity, part);
        } else if (type == Group_Obstruction_t || (type == Solid_Obstruction_t && owner && owner == chassis)) {
            others.push_back(entity);
        }
    }

    std::vector<Entity*> placedComponents;
    for (const auto& component : components) {
        Geometry::Part* board = getClosestPCB(component.second, boardParts);
        if (!board) {
            placedComponents.push_back(component.first);
            continue;
        }
        // Keep the component where it is in space while it moves into the board's frame.
        const Geometry::Transform local =
            Geometry::Transform::multiply(board->getTransform().inverse(), component.second->getTransform());
        Entity* boardEntity = board->getEntity();
        EntityEditor::moveEntity(component.first, boardEntity,
                                 TypeCatalogue::listFor(boardEntity->getType(), Component_t));
        EntityGUI::transform_entity(component.first, local);
        if (hasAttributeSetTo(component.first, Board_Side_t, Top_t)) {
            EntityEditor::setSIValueNoThrow(component.first, Y_Location_t,
                                            getStandardDoubleValue(component.first, Y_Location_t, 0.0) -
                                                getStandardDoubleValue(boardEntity, Thickness_t, 0.0));
        }
        m_geometryBuilder->refreshPart(component.first);
    }

    if (!chassis)
        return;
    Entity* group = EntityEditor::createEntity(Subassembly_t, chassis, TypeCatalogue::listFor(Chassis_t, Subassembly_t),
                                               nullptr, 0, name);
    if (!group)
        return;
    std::vector<Entity*> moving = boards;
    append(moving, others);
    append(moving, placedComponents);
    for (Entity* entity : moving)
        EntityEditor::moveEntity(entity, group, TypeCatalogue::listFor(Subassembly_t, entity->getType()));
    centreInOwners({group});
}

} // namespace Tarvex
