#pragma once

#include <tarvex/render/RenderScene.h>

#include <QString>

#include <optional>

/// The scene of the saved model or interchange XML file at `path` (told apart by the
/// suffix ".xml" or a first byte '<'), of the entity or part `entity` when not empty,
/// carrying the file's name and date; nothing after reporting why it cannot be read.
std::optional<Render::RenderScene> readScene(const QString& path, const QString& entity);
