#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace EntityModel {

class Entity;
class Model;

/// Reads the saved text `json` into entities of `model`, as it parses: the root entity, or
/// null with the reason in `*problem` ("not JSON (... at offset N)", or the place in the
/// tree and what is wrong there). The parser works in `json`'s own bytes: pass the only copy
/// where one can, so that nothing is copied.
std::unique_ptr<Entity> readModelText(Model& model, QByteArray json, QString* problem);

} // namespace EntityModel
