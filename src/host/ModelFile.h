#pragma once

#include "host/Model.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace EntityModel {

/// A model as a readable JSON file: every entity with its id, type and attributes (doubles
/// in SI units), owned children nested in their lists, links by id. Keys are sorted and ids
/// kept, so saving the same model twice gives the same bytes. The undo history and detached
/// entities are not saved.
class ModelFile
{
public:
    /// The JSON text of `model`.
    static QByteArray toJson(const Model& model);
    /// A model read from JSON text; null with `*error` set when the text is not a model.
    static std::unique_ptr<Model> fromJson(const QByteArray& json, QString* error);
    /// Writes `model` to `path` through a temporary file beside it, so that a failure never
    /// leaves half a file; false with `*error` set on failure.
    static bool save(const Model& model, const QString& path, QString* error);
    /// Reads a model from `path`; null with `*error` set (naming the file) on failure.
    static std::unique_ptr<Model> load(const QString& path, QString* error);
};

} // namespace EntityModel
