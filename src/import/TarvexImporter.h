#pragma once

#include <tarvex/builders/TarvexEntityExtender.h>
#include <tarvex/builders/TarvexReuseMap.h>
#include <tarvex/host/Entity.h>
#include <tarvex/host/ForwardingProgress.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/ProgressBaseObject.h>
#include <tarvex/objectbuild/TarvexObjectReading.h>

#include <QFileInfo>
#include <QObject>
#include <QStringList>

#include <functional>
#include <vector>

class QIODevice;

namespace Tarvex {

/// The entry of every interchange-model import: builds host entities from an interchange
/// file (XML, or a JSON list of files), updates the entities of an earlier import, or
/// extends an existing board. Each operation is one undo step of the host model, taken back
/// whole when memory runs out inside it.
class TarvexImporter : public QObject, public Log::ProgressBaseObject
{
    Q_OBJECT

public:
    /// Published for the host; the importer itself never reads it.
    static const int importerVersion = 2;

    /// An importer that builds below `parent`, reports to `progress` and asks `builder`
    /// for the geometry of entities.
    TarvexImporter(EntityModel::Entity* parent, Tools::ToolProgress* progress, Geometry::GeometryBuilder* builder,
                   QObject* qtParent = nullptr);
    ~TarvexImporter() override;

    /// Imports the file at `path`; with `centre` the new entities are centred in their
    /// owners. Returns the created top-level entities. Without a parent (a model without a
    /// chassis) nothing is read: a fatal error, and the "with some errors" closing message.
    std::vector<EntityModel::Entity*> importModel(const QString& path, bool centre);
    /// Imports the file at `path` over the entities `existing` of an earlier import,
    /// reusing those that match and deleting the others. Without a parent the earlier
    /// entities are left as they are, after the same fatal error as importModel's.
    std::vector<EntityModel::Entity*> updateModel(const QString& path, const std::vector<EntityModel::Entity*>& existing);
    /// Extends `board` in place with the file at `path`; throws std::runtime_error
    /// "Failed to import : <path>" when the file cannot be read. Always returns an empty list.
    std::vector<EntityModel::Entity*> extendPCB(EntityModel::Entity* board, const QString& path);
    /// The most files one import or update may open through import lists (lists and models
    /// together, 10 000 unless set): past it the operation stops with a fatal error and is
    /// taken back whole.
    void setListFileCap(size_t cap);
    /// Lets the next import or update of the file of `reading` take its objects from it
    /// instead of reading the file itself: a caller may have read it beforehand (on a thread
    /// of its own, while it did other work). The caller keeps `reading` alive until then.
    void takeObjectsFrom(TarvexObjectReading* reading) { m_reading = reading; }
    /// What the last `extendPCB` put on its board (nothing before one ran).
    const TarvexBoardExtension& getLastExtension() const { return m_extension; }
    /// Switches on the solution-control options an imported model needs.
    static void enableSolutionControlOptions(EntityModel::Entity* entity);

    /// The messages that close an operation, as the importer posts them: the import's and
    /// the update's "Finished" and their "with some errors" variants, and the extension's.
    static QStringList closingMessages();

    /// The prefixing sink every message of an import goes through.
    Tools::ToolProgress* getProgress() const override;

private:
    std::vector<EntityModel::Entity*> importModelGuarded(const QString& path, bool centre);
    std::vector<EntityModel::Entity*> updateModelGuarded(const QString& path,
                                                         const std::vector<EntityModel::Entity*>& existing);
    std::vector<EntityModel::Entity*> extendPCBGuarded(EntityModel::Entity* board, const QString& path);
    std::vector<EntityModel::Entity*>
    takenBackWhenListsStop(const std::function<std::vector<EntityModel::Entity*>()>& operation);
    std::vector<EntityModel::Entity*> importModelImpl(const QString& path, TarvexReuseMap* reuse);
    std::vector<EntityModel::Entity*> importModelImpl(const QString& path, size_t level, TarvexReuseMap* reuse);
    std::vector<EntityModel::Entity*> importModelImplJson(const QFileInfo& file, QIODevice* device, size_t level,
                                                          TarvexReuseMap* reuse);
    void groupObjectsAndCentre(const std::vector<EntityModel::Entity*>& entities, const QString& name);
    Geometry::Part* getClosestPCB(Geometry::Part* part, const std::vector<Geometry::Part*>& boards) const;

    // Whether there is a parent to build below; reports the fatal error and clears the
    // success flag when there is none.
    bool hasPlaceToBuild();
    void centreInOwners(const std::vector<EntityModel::Entity*>& entities);
    void placeEntry(const std::vector<EntityModel::Entity*>& entities, const Geometry::Vec3& target);
    Geometry::Bound currentBound(const std::vector<EntityModel::Entity*>& entities);
    static void moveBy(const std::vector<EntityModel::Entity*>& entities, const Geometry::Vec3& offset);

    EntityModel::Entity* m_parent;
    Geometry::GeometryBuilder* m_geometryBuilder;
    std::vector<EntityModel::Entity*> m_updatedEntities;
    mutable Tools::ForwardingProgress m_progress;
    bool m_success = true;
    // Files of the import lists being read, outermost first: a list that names itself,
    // directly or through others, is stopped instead of recursing without end.
    QStringList m_openLists;
    // True while an entry of an import list that places what it builds is being imported:
    // everything it builds, reused or new, starts where the file puts it, so that placing
    // it gives the same model however often the list is imported or updated.
    bool m_placingEntry = false;
    TarvexBoardExtension m_extension;
    // A reading started before the operation, taken by the import of its file.
    TarvexObjectReading* m_reading = nullptr;
    // Files opened through import lists by the running operation, its cap, and whether the
    // cap stopped it.
    size_t m_listFilesOpened = 0;
    size_t m_listFileCap = 10000;
    bool m_listsStopped = false;
};

} // namespace Tarvex
