#pragma once

#include <QStringList>

/// `tarvex generate`: writes a synthetic interchange file. `arguments[0]` is the program
/// name, the options follow. Returns 0 on success, 1 when the file cannot be written and 2
/// for a usage error.
int runGenerateCommand(const QStringList& arguments);
