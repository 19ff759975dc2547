#pragma once

#include "CommandLine.h"
#include <tarvex/host/Entity.h>
#include <tarvex/host/Model.h>

#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class CommandParser;
class QCommandLineOption;

/// The name a person finds `entity` by: its name, or its reference designator when it has
/// no name (imported boards and components).
QString lookupNameOf(const EntityModel::Entity& entity);

/// What naming an entity of a saved model found.
struct EntityLookup
{
    /// The one entity named, or null.
    EntityModel::Entity* entity = nullptr;
    /// The entities that hold a name several hold (none named then).
    std::vector<EntityModel::Entity*> candidates;
    /// Why there is none: no entity of that name or id, or the candidates of a name that
    /// several entities hold (each with its type, name, id and owner).
    QString problem;
};

/// The entity `text` names in `model` (saved at `modelPath`, named in problems): "#ID" names
/// the entity of that id; any other text the one entity of that name or, when no entity has
/// it as its name, the outermost entity of that reference designator (the parts of an
/// imported component carry the component's). A name that several entities hold names none.
EntityLookup lookupEntity(const EntityModel::Model& model, const QString& text, const QString& modelPath);

/// An entity as problems and reports name it: type, name when it has one, and id
/// (Component "U1" #7).
QString describeEntity(const EntityModel::Entity& entity);

/// The top-level entities that earlier imports into `model` built, kept as links on the
/// project so that an update replaces those and never what a person made by hand.
std::vector<EntityModel::Entity*> earlierImports(const EntityModel::Model& model);
/// Records `entities` (those still alive) as the imports of `model`.
void recordImports(EntityModel::Model& model, std::vector<EntityModel::Entity*> entities);

/// What an import records as the file it read: the file's canonical path, or the resource
/// name of the built-in sample; empty when the file has no lasting name.
QString importSourceOf(const QString& file);
/// Marks `entities` (the top-level entities an import or update built) as built from `source`
/// (see importSourceOf); nothing when `source` is empty.
void recordImportSource(const std::vector<EntityModel::Entity*>& entities, const QString& source);
/// The top-level entities of earlier imports into `model` that were built from `source`.
std::vector<EntityModel::Entity*> importsFrom(const EntityModel::Model& model, const QString& source);
/// The top-level entities of earlier imports into `model` that an update from `source`
/// replaces: those built from it, with those that record no file (made before files were
/// recorded, or read from standard input); when none was built from it (a newer version of
/// the file under another name), all of them. Imports it leaves are put in `others`.
std::vector<EntityModel::Entity*> importsToUpdate(const EntityModel::Model& model, const QString& source,
                                                  std::vector<EntityModel::Entity*>& others);

/// What a command that applies a FILE to one entity of a saved model works on.
struct EntityCommandTarget
{
    /// The file to apply.
    QString file;
    /// The saved model, written back on success.
    QString modelPath;
    /// The hold on `modelPath` from loading to saving.
    ModelLock lock;
    /// The loaded model.
    std::unique_ptr<EntityModel::Model> model;
    /// The entity of `model` that receives the file.
    EntityModel::Entity* entity = nullptr;
};

/// For the commands that apply a FILE to one entity of a saved model: adds --model,
/// --entity (described by `entityHelp`) and `extraOptions` to `parser`, reads the
/// arguments, checks that the file and the model can be read, loads the model and finds the
/// entity. Returns the exit status when the command ends here (0 after the help, 2 for a
/// usage error, 1 after reporting a failure); otherwise fills `target`.
std::optional<int> openEntityCommand(CommandParser& parser, const QString& entityHelp,
                                     const QList<QCommandLineOption>& extraOptions, EntityCommandTarget& target);

/// Ends a command that applied a file to `target`: saves the model, or for a `dryRun` says
/// that the model file was left as it was. Returns the exit status.
int finishEntityCommand(const EntityCommandTarget& target, bool dryRun);
