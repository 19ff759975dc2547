#pragma once

#include <tarvex/host/Model.h>

#include <memory>

/// Keeps `model` until the process ends without ever taking it apart: freeing a model of
/// millions of entities one allocation at a time costs seconds, and the system takes the
/// memory back whole. Only the tool's commands, which end the process, keep models; the
/// process's other clean-ups (temporary files, folders) still run at its end.
void keepUntilExit(std::unique_ptr<EntityModel::Model> model);
