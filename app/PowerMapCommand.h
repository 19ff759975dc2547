#pragma once

#include <QStringList>

/// `tarvex power-map FILE --model MODEL.json --entity NAME`: reads a text-format power map
/// and applies it to the entity NAME of a saved model, prints what was applied and saves
/// the model. `arguments[0]` is the program name, the options follow. Returns 0 on
/// success, 1 after an error (the model file is left unchanged) and 2 for a usage error.
int runPowerMapCommand(const QStringList& arguments);
