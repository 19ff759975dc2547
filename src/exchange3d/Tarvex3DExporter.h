#pragma once

#include "exchange3d/Tarvex3DExportState.h"
#include "host/Entity.h"
#include "host/ProgressBaseObject.h"
#include "host/ToolProgress.h"

#include <QDomDocument>
#include <QList>
#include <QObject>
#include <QString>

#include <string>

namespace Tarvex3D {

/// Writes the host's model as a project archive of the 3D solver tool: a zip holding
/// "Project.xml", made from the project template with the model's materials in its library
/// and one object per exported entity linked into its structure, and one geometry file
/// (".geom", our CAD text format) per solid.
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

    /// The reason the last export failed (empty when it did not).
    std::string importError() const { return m_lastError; }
    /// The notes of the last export: limits met and geometry files written, per entity.
    const QList<Note>& getNotes() const { return m_state.notes; }
    /// The project document of the last export.
    const QDomDocument& getDocument() const { return m_state.document; }

    /// The sink of the running export (may be null).
    Tools::ToolProgress* getProgress() const override { return m_progress; }

private:
    bool exportGuarded(EntityModel::Entity* root, const QString& path);
    bool fail(const QString& text);
    void finaliseProjectXML(const EntityModel::Entity* root);
    bool saveProjectXML();

    Tools::ToolProgress* m_progress = nullptr;
    std::string m_lastError;
    Tarvex3DExportState m_state{*this};
};

} // namespace Tarvex3D
