#pragma once

#include <tarvex/host/Entity.h>
#include <tarvex/host/ProgressBaseObject.h>
#include <tarvex/host/ToolProgress.h>
#include <tarvex/model3d/Tarvex3DDataDescription.h>
#include <tarvex/model3d/Tarvex3DDomModel.h>
#include <tarvex/model3d/Tarvex3DMaterial.h>

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <vector>

namespace EntityModel {
class LibraryManager;
}

namespace Tarvex3D {

/// Turns the materials of a material library of the 3D solver tool (a library file, or
/// the library inside a project file) into host material entities, and keeps the host's
/// material library "Norvane Material Library" in step with a library file.
class TarvexMaterialImporter : public QObject, public Log::ProgressBaseObject
{
    Q_OBJECT

public:
    /// One note: the entity it is about (null when none was made) and the text.
    using Note = QPair<EntityModel::Entity*, QString>;

    /// The name of the host library that `importMaterialLibrary` keeps in step.
    static const QString libraryName;

    /// An importer reporting to `sink` (may be null).
    explicit TarvexMaterialImporter(Tools::ToolProgress* sink, QObject* parent = nullptr);
    ~TarvexMaterialImporter() override;

    /// Sends the warnings of later operations as informational messages instead.
    void setTreatWarningsAsInformatinal(bool informational) { m_warningsAsInformational = informational; }
    /// The host material libraries that `importMaterialLibrary` works on (not owned).
    void setLibraryManager(EntityModel::LibraryManager* manager) { m_libraryManager = manager; }

    /// Brings the library "Norvane Material Library" of the library manager in step with the
    /// library file at `path`: true when the library was updated or the file holds no
    /// materials; false when the library is already up to date with the file, or (after a
    /// fatal error, nothing changed) when it cannot be updated or memory runs out.
    bool importMaterialLibrary(const QString& path);
    /// The materials of the file at `path` with their curves parsed; none when it cannot be
    /// read. Questionable table rows are reported as warnings.
    std::vector<Tarvex3DMaterial> readMaterials(const QString& path);
    /// The materials of `model` with their curves parsed.
    std::vector<Tarvex3DMaterial> generateMaterials(const Tarvex3DDomModel& model);
    /// The "Metal" and "Thermal" descriptions of `model`'s library, then its structural
    /// "Elasticity" and "CTE" descriptions where present.
    QList<Tarvex3DDataDescription> generateDataDescription(const Tarvex3DDomModel& model) const;

    /// A new `Material_t` entity under `parent` (link `Materials_t`) holding `material`;
    /// null, after a warning, for a material without thermal conductivity.
    EntityModel::Entity* createMaterial(const Tarvex3DMaterial& material, EntityModel::Entity* parent);
    /// `createMaterial` for each material, in order (null entries for those not imported).
    std::vector<EntityModel::Entity*> createMaterials(const std::vector<Tarvex3DMaterial>& materials,
                                                      EntityModel::Entity* parent);
    /// Writes the name and properties of `material` into the existing entity `entity`.
    void populateEntityMaterial(const Tarvex3DMaterial& material, EntityModel::Entity* entity);

    /// The notes of the last `createMaterial` or `populateEntityMaterial`: materials not
    /// imported and properties set to 0.
    const QList<Note>& getNotes() const { return m_notes; }

    /// The sink given at construction (may be null).
    Tools::ToolProgress* getProgress() const override { return m_progress; }

private:
    void optionalWarning(const QString& text) const;
    void reportTableIssues(const Tarvex3DMaterial& material) const;
    void populate(const Tarvex3DMaterial& material, EntityModel::Entity* entity);
    bool updateLibrary(EntityModel::Entity* library, const std::vector<Tarvex3DMaterial>& materials);
    bool importMaterialLibraryGuarded(const QString& path);

    Tools::ToolProgress* m_progress = nullptr;
    EntityModel::LibraryManager* m_libraryManager = nullptr;
    bool m_warningsAsInformational = false;
    QStringList m_descriptionNames{QStringLiteral("Metal"), QStringLiteral("Thermal")};
    QStringList m_structuralDescriptionNames{QStringLiteral("Elasticity"), QStringLiteral("CTE")};
    QList<Note> m_notes;
};

} // namespace Tarvex3D
