#pragma once

#include <QStringList>

/// `tarvex objects FILE`: reads an interchange XML file and prints the object tree it makes
/// (kinds, names, types and bounds in SI units) before any host entity exists.
/// `arguments[0]` is the program name. Returns 0 on success, 1 when the file cannot be read
/// and 2 for a usage error.
int runObjectsCommand(const QStringList& arguments);
