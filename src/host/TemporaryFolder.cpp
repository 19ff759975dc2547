#include "host/TemporaryFolder.h"

#include <QDir>

namespace FileSystem {

TemporaryFolder::TemporaryFolder(const QString& prefix)
    : m_dir(QDir::tempPath() + QLatin1Char('/') + prefix + QStringLiteral("-XXXXXX"))
{
}

// Removal walks the folder without following symbolic links, so a link that something put
// there is removed, not what it names.
TemporaryFolder::~TemporaryFolder() = default;

} // namespace FileSystem
