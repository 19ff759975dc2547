#pragma once

#include <QString>

namespace Tarvex3D {

/// The project file every export of a 3D solver project starts from: the analysis setup,
/// the material library's column layouts, the fixed groups of "Objects" and the "Structure"
/// tree that links them. An export fills in the library, adds objects and links, and sets
/// the few values that depend on the model.
class Tarvex3DProjectTemplate
{
public:
    /// The template's XML text.
    static QString text();
};

} // namespace Tarvex3D
