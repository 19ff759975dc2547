#pragma once

#include <QStringList>

/// The `tarvex material-map FILE --model MODEL.json --entity NAME [--resize]` command:
/// reads a material map (text or XML layout file, or a CSV density grid), applies it to
/// the layers of the entity NAME of a saved model, prints what was applied and saves the
/// model. `arguments` starts with the program name; returns the exit status (0 success,
/// 1 failure with the model left unchanged, 2 usage error).
int runMaterialMapCommand(const QStringList& arguments);
