#pragma once

#include <tarvex/exchange3d/Tarvex3DNameRegistry.h>
#include <tarvex/host/Entity.h>
#include <tarvex/host/ProgressBaseObject.h>

#include <QDomDocument>
#include <QDomElement>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace Tarvex3D {

/// What one export of a 3D solver project works on, shared by the exporter and its material
/// and object writers: the project document and its main elements, the ids and names given
/// out, the files written and the notes. Everything is cleared when an export starts.
class Tarvex3DExportState
{
public:
    /// One note: the entity it is about (null when none) and the text.
    using Note = QPair<const EntityModel::Entity*, QString>;

    /// A state reporting through `reporter` (its sink may be null).
    explicit Tarvex3DExportState(const Log::ProgressBaseObject& reporter) : m_reporter(reporter) {}

    /// Forgets everything of an earlier export.
    void clear();
    /// Starts the ids and names of the project in `document`: structural ids go on after its
    /// "IdSeed" (the first free id), operation ids after the last "OpId" of its operations
    /// (after 99 without one), and no name is given out yet.
    void startIds(const QDomDocument& document);
    /// A new structural id; recorded for `entity` when one is given and none is recorded yet.
    QString newStructuralId(const EntityModel::Entity* entity = nullptr);
    /// A new operation id; recorded for `entity` when one is given and none is recorded yet.
    QString newOperationId(const EntityModel::Entity* entity = nullptr);
    /// The structural id recorded for `entity`, or "-1".
    QString structuralIdOf(const EntityModel::Entity* entity) const;
    /// The operation id recorded for `entity`, or "-1".
    QString operationIdOf(const EntityModel::Entity* entity) const;
    /// Records `structural` and `operation` as the ids of `entity`, in place of any recorded:
    /// the ids the solver gave a solid replace those the export had set aside for it.
    void replaceIds(const EntityModel::Entity* entity, const QString& structural, const QString& operation);
    /// A name for `name` that no other object, material or file of this export has
    /// (see `Tarvex3DNameRegistry`).
    QString uniqueName(const QString& name) { return m_names.uniqueName(name); }

    /// Records a note about `entity`.
    void note(const EntityModel::Entity* entity, const QString& text) { notes.append({entity, text}); }
    /// Sends `text` as a progress message and counts one step done.
    void step(const QString& text);
    /// The reporting object.
    const Log::ProgressBaseObject& reporter() const { return m_reporter; }

    /// The project document and its elements: "Project", the material library, "Objects",
    /// "Structure" and the "Parts" group of the structure.
    QDomDocument document;
    QDomElement project;
    QDomElement library;
    QDomElement objects;
    QDomElement structure;
    QDomElement parts;
    /// The folder the files of the archive are written in.
    QString directory;
    /// The files written for the archive, in order.
    QStringList files;
    /// Leave out every entity that is not solved in FEA.
    bool feaOnly = false;
    /// Set once the solver has made the solids: solids and groups are then not written
    /// again, and what they hold is linked under "Parts".
    bool solidMode = false;
    /// Each solid whose geometry went to the solver, with the name its file was given, in
    /// the order written.
    QList<QPair<const EntityModel::Entity*, QString>> solverSolids;
    /// Notes about entities, in order.
    QList<Note> notes;
    /// The name each exported material entity got.
    QHash<const EntityModel::Entity*, QString> materialNames;

private:
    const Log::ProgressBaseObject& m_reporter;
    Tarvex3DNameRegistry m_names;
    quint64 m_structuralCounter = 0;
    quint64 m_operationCounter = 0;
    quint64 m_steps = 0;
    QHash<const EntityModel::Entity*, QString> m_structuralIds;
    QHash<const EntityModel::Entity*, QString> m_operationIds;
};

} // namespace Tarvex3D
