#include <tarvex/host/FilePaths.h>

#include <algorithm>

namespace FileSystem {

QString fileNameOf(const QString& path)
{
    const int cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(cut + 1);
}

} // namespace FileSystem
