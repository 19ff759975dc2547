#include <tarvex/import/TarvexImportListEntry.h>

#include <tarvex/host/FilePaths.h>

#include <QFileInfo>

namespace Tarvex {

QString locateListEntry(const QDir& listFolder, const QString& written)
{
    if (written.isEmpty())
        return QString();
    if (!QFileInfo(written).isRelative())
        return QFileInfo(written).absoluteFilePath();
    const QString beside = listFolder.filePath(written);
    return QFileInfo::exists(beside) ? beside : listFolder.filePath(FileSystem::fileNameOf(written));
}

} // namespace Tarvex
