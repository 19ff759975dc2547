#pragma once

// Project archives of the 3D solver tool made by hand, shaped as the exporter writes them, for
// the import tests and the tool's tests. The files are in tests/data/exchange3d.
#include "support/ZipArchive.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <vector>

namespace TestSupport {

/// The bytes of `name` in tests/data/exchange3d.
inline QByteArray projectFile(const QString& name)
{
    QFile file(QStringLiteral(TARVEX_TEST_DATA "/exchange3d/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// The project of two-blocks.xml.
inline QByteArray twoBlocks() { return projectFile(QStringLiteral("two-blocks.xml")); }

/// The geometry files of the two blocks: "Block 1.a" from (1, 2, 3) to (11, 4, 23) mm,
/// "Block 2" from (20, 0, 0) to (25, 5, 5) mm.
inline std::vector<ZipEntry> twoBlockGeometry()
{
    return {{"Block_1_a.geom", projectFile(QStringLiteral("Block_1_a.geom"))},
            {"Block_2.geom", projectFile(QStringLiteral("Block_2.geom"))}};
}

/// `project` with `nodes` added at the end of its "Structure".
inline QByteArray withStructure(QByteArray project, const QByteArray& nodes)
{
    return project.replace("</Structure>", nodes + "</Structure>");
}

/// Points the system's temporary folder (TMPDIR) at `path` while it lives, so that a test
/// sees what an import leaves there.
class TemporaryFolderAt
{
public:
    explicit TemporaryFolderAt(const QString& path) : m_previous(qgetenv("TMPDIR"))
    {
        QDir().mkpath(path);
        qputenv("TMPDIR", path.toUtf8());
    }
    ~TemporaryFolderAt() { m_previous.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", m_previous); }
    TemporaryFolderAt(const TemporaryFolderAt&) = delete;
    TemporaryFolderAt& operator=(const TemporaryFolderAt&) = delete;

private:
    const QByteArray m_previous;
};

/// The names of everything in `folder`, hidden entries included.
inline QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

/// Writes the archive of `projectXml` and `files` to `path`.
inline bool writeProjectArchive(const QString& path, const QByteArray& projectXml, std::vector<ZipEntry> files)
{
    files.insert(files.begin(), ZipEntry{"Project.xml", projectXml});
    return writeZip(path, files);
}

} // namespace TestSupport
