#pragma once

#include <QString>

namespace FileSystem {

/// The last component of `path`, whichever separator it was written with: files made on
/// Windows name other files with backslashes ("C:\boards\top.layout" gives "top.layout").
QString fileNameOf(const QString& path);

} // namespace FileSystem
