#pragma once

#include <tarvex/host/CADBody.h>
#include <tarvex/host/Entity.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/ProgressBaseObject.h>
#include <tarvex/host/ToolProgress.h>
#include <tarvex/model3d/Tarvex3DDomElement.h>
#include <tarvex/model3d/Tarvex3DDomModel.h>

#include <QList>
#include <QObject>
#include <QPair>
#include <QSet>
#include <QString>

#include <map>
#include <string>
#include <unordered_map>

namespace Tarvex3D {

/// Imports a project archive of the 3D solver tool into the host model: one group named
/// after the archive holds the project's structure (its groups, solids with their geometry,
/// heat sources, sensors, terminals, stress constraints and electrical boundaries), and the
/// project's materials are made beside it.
///
/// The archive is unpacked into a temporary folder of its own, which goes whichever way the
/// import ends. A hostile archive, a structure nested too deep or a geometry file named
/// outside the archive ends the import; a failed import takes back everything it made, so
/// that the model is as it was.
class Tarvex3DImporter : public QObject, public Log::ProgressBaseObject
{
    Q_OBJECT

public:
    /// One note: the entity it is about (null when none) and the text.
    using Note = QPair<EntityModel::Entity*, QString>;

    /// Deepest nesting of the project's structure accepted, counted from its top groups.
    static constexpr int maximumStructureDepth = 64;
    /// The most objects a project's "Structure" may place. Every one becomes an entity; real
    /// projects place thousands, and a small archive naming one object a million times
    /// would make a model of hundreds of megabytes.
    static constexpr qint64 maximumStructureObjects = 100000;
    /// The largest "Project.xml" read (64 MiB). Its DOM takes about forty times its size in
    /// memory; real projects are a few megabytes, the geometry being in files of its own.
    static constexpr qint64 maximumProjectFileBytes = qint64(64) << 20;

    /// An importer reporting to `sink` (may be null).
    explicit Tarvex3DImporter(Tools::ToolProgress* sink, QObject* parent = nullptr);
    ~Tarvex3DImporter() override;

    /// Imports the archive at `path` under `root` (the group and the materials are made in
    /// it) as one undo step. True when the project was read and imported; false with
    /// importError() set, and the model as it was, otherwise (inside an undo step the caller
    /// holds open, what was made stays in that step, for the caller to take back).
    bool importModel(EntityModel::Entity* root, const std::string& path);
    /// Why the last import failed (empty when it did not).
    const std::string& importError() const { return m_lastError; }
    /// What the last import could not bring over, in the order met; the import goes on.
    const QList<Note>& getNotes() const { return m_notes; }
    /// The group the last successful import made (null otherwise).
    EntityModel::Entity* getImportedGroup() const { return m_group; }

    /// The message that closes a successful import.
    static QString closingMessage();

    /// The sink given at construction (may be null).
    Tools::ToolProgress* getProgress() const override { return m_progress; }

private:
    bool importGuarded(EntityModel::Entity* root, const QString& path);
    bool importExtracted(const QString& path);
    bool fail(const QString& error);
    void note(EntityModel::Entity* entity, const QString& text);

    void importMaterials(const Tarvex3DDomModel& model);
    bool importObjects(const QDomElement& node, EntityModel::Entity* parent);
    bool importObject(const QDomElement& node, EntityModel::Entity* parent);

    EntityModel::Entity* importSolid(const Tarvex3DDomElement& object, EntityModel::Entity* parent);
    EntityModel::Entity* addCADGeom(const QString& file, const QString& name, EntityModel::Entity* parent);
    EntityModel::Entity* importBoundary(const Tarvex3DDomElement& object, EntityModel::Entity* parent);
    EntityModel::Entity* importHeatSource(const Tarvex3DDomElement& object, EntityModel::Entity* parent);
    EntityModel::Entity* importSensor(const Tarvex3DDomElement& object, EntityModel::Entity* parent,
                                      const EntityModel::TypeRef& type);
    EntityModel::Entity* importTerminal(const Tarvex3DDomElement& object);
    EntityModel::Entity* importStressObject(const Tarvex3DDomElement& object);
    EntityModel::Entity* importElectricalBoundary(const Tarvex3DDomElement& object, const QDomElement& node);

    EntityModel::Entity* getReferenceCFDFace(const QString& text);
    EntityModel::Entity* faceOf(EntityModel::Entity* solid, const Geometry::Vec3& normal);
    Geometry::Bound worldBound(const EntityModel::Entity* entity);
    void placed(EntityModel::Entity* solid);
    EntityModel::Entity* mappedEntity(const QString& id) const;
    EntityModel::Entity* createEntity(const EntityModel::TypeRef& type, EntityModel::Entity* parent,
                                      const EntityModel::TypeRef& link, const QString& name);
    void setThermalSimulationType(EntityModel::Entity* entity, int type);

    Tools::ToolProgress* m_progress = nullptr;
    EntityModel::Entity* m_root = nullptr;
    EntityModel::Entity* m_group = nullptr;
    std::string m_lastError;
    QList<Note> m_notes;
    QString m_extractDirectory;
    QSet<QString> m_extractedFiles;
    std::unordered_map<std::string, Tarvex3DDomElement> m_objects;
    std::unordered_map<std::string, std::string> m_operations;
    std::unordered_map<std::string, EntityModel::Entity*> m_entities;
    std::unordered_map<std::string, EntityModel::Entity*> m_materials;
    Geometry::GeometryBuilder m_geometry;
    // What placing an object needs, kept as the import goes so that each object costs the same
    // however many came before it: the world boxes of the entities asked for so far (grown
    // as solids are made in them), the body each solid was made from, and the face made on a
    // solid in each of the six axis directions (null when its body has none there).
    std::unordered_map<const EntityModel::Entity*, Geometry::Bound> m_bounds;
    std::unordered_map<const EntityModel::Entity*, CADinterface::CADBody> m_bodies;
    std::map<std::pair<const EntityModel::Entity*, int>, EntityModel::Entity*> m_faces;
    quint64 m_step = 0;
};

} // namespace Tarvex3D
