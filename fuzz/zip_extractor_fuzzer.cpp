// Feeds arbitrary bytes to the zip extractor as an archive. Nothing may crash or hang; a
// refusal always says why; what an extraction writes is exactly the files it lists, regular
// files inside the folder, within the limits, and the folder goes when it is done with.
#include "FuzzInput.h"
#include "FuzzTarget.h"

#include <tarvex/host/TemporaryFolder.h>
#include <tarvex/host/ZipExtractor.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Every file and folder below `root`, links not followed, relative to it.
QStringList everythingBelow(const QString& root)
{
    QStringList found;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(root).relativeFilePath(it.next());
    return found;
}

void check(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "%s\n", what);
        std::abort();
    }
}

} // namespace

int fuzzOne(const uint8_t* data, size_t size)
{
    Fuzz::FuzzInput input(data, size);
    if (!input.isUsable())
        return 0;

    // Small limits, so that an input that inflates far is refused quickly.
    FileSystem::ZipExtractor::Limits limits;
    limits.maximumEntries = 64;
    limits.maximumEntryBytes = 1 << 20;
    limits.maximumTotalBytes = 4 << 20;
    QString path;
    {
        const FileSystem::TemporaryFolder sandbox(QStringLiteral("zip_extractor_fuzzer"));
        check(sandbox.isValid(), "no temporary folder");
        path = sandbox.path();
        QDir().mkpath(sandbox.filePath(QStringLiteral("out")));
        FileSystem::ZipExtractor extractor(limits);
        const bool extracted = extractor.extract(input.device(), sandbox.filePath(QStringLiteral("out")));
        check(extracted == extractor.errorString().isEmpty(), "a refusal without a reason, or a reason after success");
        check(extractor.extractedBytes() <= limits.maximumTotalBytes, "more bytes written than the limit");

        qint64 bytes = 0;
        int files = 0;
        for (const QString& found : everythingBelow(sandbox.path())) {
            const QFileInfo info(sandbox.filePath(found));
            check(found == QLatin1String("out") || found.startsWith(QLatin1String("out/")), "written outside the folder");
            check(!info.isSymLink(), "a symbolic link was made");
            check(info.isDir() || info.isFile(), "something else than a file or folder was made");
            if (info.isFile()) {
                check(extractor.extractedFiles().contains(found.mid(4)), "a file written but not listed");
                bytes += info.size();
                ++files;
            }
        }
        check(files == extractor.extractedFiles().size(), "a file listed but not written");
        check(!extracted || bytes == extractor.extractedBytes(), "the byte count is not what was written");
    }
    check(!QFileInfo::exists(path), "the temporary folder was left behind");
    return 0;
}
