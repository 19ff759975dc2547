#pragma once

#include <QDir>
#include <QString>

namespace Tarvex {

/// The file an entry of an import list names by `written`, as the import opens it: a
/// relative name is looked up in `listFolder` (the folder of the list), and failing that by
/// its last component alone there, since lists made on another machine keep that machine's
/// folders. Empty for an empty entry. The file may not exist.
QString locateListEntry(const QDir& listFolder, const QString& written);

} // namespace Tarvex
