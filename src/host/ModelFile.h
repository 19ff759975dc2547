#pragma once

#include <tarvex/host/Model.h>

#include <QByteArray>
#include <QString>

#include <limits>
#include <memory>

namespace EntityModel {

/// A model as a readable JSON file: every entity with its id, type and attributes (doubles
/// in SI units, in the shortest form that reads back exactly), owned children nested in
/// their lists, links by id; each entity starts a line of its own, indented by its depth,
/// and nothing else is spaced. Keys are sorted and ids kept, so saving the same model twice
/// gives the same bytes. The undo history and detached entities are not saved.
class ModelFile
{
public:
    /// The JSON text of `model`.
    static QByteArray toJson(const Model& model);
    /// A model read from JSON text; null with `*error` set when the text is not a model.
    /// The text is read in place: a caller handing over its only copy saves one.
    static std::unique_ptr<Model> fromJson(QByteArray json, QString* error);
    /// Writes `model` to `path` as AtomicFile does: whole or not at all, keeping the file's
    /// mode, owner and links; false with `*error` set on failure, and then the file is as it
    /// was. The text goes to the file as it is made, never whole in memory. A model holding
    /// an id above what the reader takes (9.0e15) is refused.
    static bool save(const Model& model, const QString& path, QString* error);
    /// The same, with `what` saying in messages what the file holds ("the material library").
    static bool save(const Model& model, const QString& path, QString* error, const QString& what);
    /// The same, refusing a model whose text would pass `maxBytes` (at most MaxJsonBytes).
    static bool save(const Model& model, const QString& path, QString* error, const QString& what,
                     qint64 maxBytes);

    /// The longest text a saved model may have: the most one Qt byte array holds, so that
    /// the text is read back in one piece (and toJson() can make it in one).
    static constexpr qint64 MaxJsonBytes = std::numeric_limits<int>::max() - 32;
    /// Reads a model from `path`; null with `*error` set (naming the file) on failure.
    static std::unique_ptr<Model> load(const QString& path, QString* error);
};

} // namespace EntityModel
