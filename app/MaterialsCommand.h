#pragma once

#include <QStringList>

/// The `tarvex materials LIBRARY_FILE [--model MODEL.json]` command: imports a material
/// library file of the 3D solver tool into the material library kept beside the model and
/// prints the materials. `arguments` starts with the program and command name; returns the
/// exit status (0 success, 1 failure with nothing saved, 2 usage error).
int runMaterialsCommand(const QStringList& arguments);
