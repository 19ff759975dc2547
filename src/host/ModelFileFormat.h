#pragma once

#include <QString>

namespace EntityModel {

/// What every saved model names and holds to, for the model file's writer and reader.
namespace ModelFileFormat {

/// The "format" a saved model names.
inline const QString FormatName = QStringLiteral("tarvex-host-model");
/// The "formatVersion" written and read.
inline constexpr int FormatVersion = 1;
/// The largest entity id a saved model may hold: ids are JSON numbers (doubles), exact only
/// up to 2^53 (about 9.007e15). The reader refuses larger ones, and the writer refuses to save
/// them (a link to one too), so that every file we write reads back.
inline constexpr quint64 MaxSavedId = 9000000000000000ull;
/// How deep the saved text may nest, as Qt's JSON reader allowed before: the limit keeps a
/// hostile file from taking memory level by level, and the writer refuses a model that
/// would pass it (255 groups nested in one another), so that every file we write reads back.
inline constexpr int MaxNesting = 1024;

} // namespace ModelFileFormat

} // namespace EntityModel
