#pragma once

#include <QString>
#include <QStringList>

namespace Tarvex3D {

/// The Tcl script that makes the 3D solver turn geometry files into a project: it opens the
/// project archive, imports every file, saves the archive and ends.
class Tarvex3DSolverScript
{
public:
    /// The script for the archive `archiveName` (a file name, found in the solver's working
    /// folder) and the geometry files `geometryFiles` (full paths), imported in list order.
    static QString text(const QString& archiveName, const QStringList& geometryFiles);

    /// `text` as one Tcl word that reads back as exactly `text` and nothing else: in braces,
    /// which take everything literally, when it holds no brace, backslash or control
    /// character; otherwise with every character Tcl treats specially escaped.
    static QString word(const QString& text);
};

} // namespace Tarvex3D
