#pragma once

#include <tarvex/exchange3d/Tarvex3DExportState.h>
#include <tarvex/host/Entity.h>
#include <tarvex/host/ProgressBaseObject.h>
#include <tarvex/host/ToolProgress.h>

#include <QDomDocument>
#include <QList>
#include <QObject>
#include <QString>

#include <chrono>
#include <string>
#include <vector>

namespace Tarvex3D {

/// Writes the host's model as a project archive of the 3D solver tool: a zip holding
/// "Project.xml", made from the project template with the model's materials in its library
/// and one object per exported entity linked into its structure, and the geometry of the
/// solids. The direct way writes one geometry file (".geom", our CAD text format) per solid;
/// the way through the solver has the solver's executable import them into the project and
/// adds everything else to the project it saved.
class Tarvex3DExporter : public QObject, public Log::ProgressBaseObject
{
    Q_OBJECT

public:
    /// One note: the entity it is about (null when none) and the text.
    using Note = Tarvex3DExportState::Note;

    /// An exporter; each export reports to the sink it is given.
    explicit Tarvex3DExporter(QObject* parent = nullptr);
    ~Tarvex3DExporter() override;

    /// Exports the model that `root` belongs to as the archive `path`, reporting to `sink`
    /// (may be null): every material of the model, then every entity of its chassis. With
    /// `feaOnly`, entities not solved in FEA are left out. Returns false, with the reason in
    /// `importError`, when the folder of `path` does not exist, the model has no chassis, or
    /// the project or the archive cannot be written; what stood at `path` is then kept.
    bool exportModel(EntityModel::Entity* root, const std::string& path, bool feaOnly, Tools::ToolProgress* sink);
    /// Exports as `exportModel`, the solids through the solver: their geometry files go to
    /// the solver, run on a Tcl script, which makes them objects of its own; the materials,
    /// colours and every other object are then added to the project it saved, referring to
    /// the solver's ids. Also false when the solver is not found (checked before anything is
    /// written), cannot be started, crashes, outlasts its time (it is then killed) or saves
    /// no project holding every solid; no file of the export is then left.
    bool exportModel_tcl_solid(EntityModel::Entity* root, const std::string& path, bool feaOnly,
                               Tools::ToolProgress* sink);

    /// How long the solver may run before it is stopped, by default.
    static constexpr std::chrono::seconds defaultSolverTimeout{1800};
    /// Takes the solver from `folder` instead of the host's installation folder.
    void setSolverFolder(const QString& folder) { m_solverFolder = folder; }
    /// Lets the solver run for `timeout` at most.
    void setSolverTimeout(std::chrono::seconds timeout) { m_solverTimeout = timeout; }
    /// The solver's executable: its folder joined with "/" and "Tarvex3D.exe".
    QString solverPath() const;

    /// The reason the last export failed (empty when it did not).
    std::string importError() const { return m_lastError; }
    /// The notes of the last export: limits met and geometry files written, per entity.
    const QList<Note>& getNotes() const { return m_state.notes; }
    /// The project document of the last export.
    const QDomDocument& getDocument() const { return m_state.document; }

    /// The sink of the running export (may be null).
    Tools::ToolProgress* getProgress() const override { return m_progress; }

private:
    enum class Way { Direct, ThroughSolver };

    bool exportWay(EntityModel::Entity* root, const std::string& path, bool feaOnly, Tools::ToolProgress* sink,
                   Way way);
    bool exportGuarded(EntityModel::Entity* root, const QString& path, Way way);
    bool openProject();
    void exportMaterials(const std::vector<const EntityModel::Entity*>& materials);
    bool exportThroughSolver(const EntityModel::Entity* chassis, const QString& archive,
                             const std::vector<const EntityModel::Entity*>& materials);
    // Why the project the solver saved cannot be read (empty once it is the current one).
    QString readSolverProject(const QString& archive, const QString& extract);
    bool fail(const QString& text);
    void finaliseProjectXML(const EntityModel::Entity* root);
    bool saveProjectXML();

    Tools::ToolProgress* m_progress = nullptr;
    std::string m_lastError;
    QString m_solverFolder;
    std::chrono::seconds m_solverTimeout = defaultSolverTimeout;
    Tarvex3DExportState m_state{*this};
};

} // namespace Tarvex3D
