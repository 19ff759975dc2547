// Extraction of archives that come from elsewhere: what a good archive gives, and every kind
// of hostile archive refused with its reason and nothing written outside the folder.
#include <tarvex/host/TemporaryFolder.h>
#include <tarvex/host/ZipExtractor.h>
#include "support/TempDir.h"
#include "support/ZipArchive.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

using FileSystem::ZipExtractor;
using TestSupport::ZipEntry;

namespace {

TEST(ZipExtractor, NormalisesNamesAndRefusesThoseThatLeaveTheFolder)
{
    const struct
    {
        const char* name;
        const char* path; // normalised path; "" for a folder-only or refused name
        const char* reason;
    } cases[] = {
        {"geom/a.geom", "geom/a.geom", ""},
        {"./geom//./a.geom", "geom/a.geom", ""},
        {"geom/", "geom", ""},
        {"./", "", ""},
        {"..", "", "leaves the extraction folder"},
        {"geom/../../a", "", "leaves the extraction folder"},
        {"/etc/passwd", "", "has an absolute name"},
        {"C:/Windows/a", "", "names a drive"},
        {"..\\a", "", "has a backslash in its name"},
        {"a\nb", "", "has a control character in its name"},
        {"", "", "has no name"},
    };
    for (const auto& [name, path, reason] : cases) {
        QString why;
        EXPECT_EQ(ZipExtractor::safeRelativePath(QString::fromUtf8(name), &why).toStdString(), path) << name;
        EXPECT_EQ(why.toStdString(), reason) << name;
    }
}

TEST(ZipExtractor, WritesTheRegularFilesOfAnArchiveInArchiveOrder)
{
    TestSupport::TempDir dir;
    ASSERT_TRUE(TestSupport::writeZip(dir.path("good.zip"),
                                      {{"Project.xml", "<Project/>"},
                                       {"geom/", "", 0040755},
                                       {"geom/b.geom", QByteArray(200000, 'b')},
                                       {"./a.geom", "A", 0}, // made where modes are not kept
                                       {"empty.txt", ""}}));
    QDir().mkpath(dir.path("out"));
    ZipExtractor extractor;
    ASSERT_TRUE(extractor.extract(dir.path("good.zip"), dir.path("out"))) << extractor.errorString().toStdString();
    EXPECT_EQ(extractor.extractedFiles(), QStringList({"Project.xml", "geom/b.geom", "a.geom", "empty.txt"}));
    EXPECT_EQ(extractor.extractedBytes(), 10 + 200000 + 1);
    EXPECT_EQ(dir.read("out/geom/b.geom"), QByteArray(200000, 'b'));
    EXPECT_EQ(dir.read("out/a.geom"), QByteArray("A"));
    EXPECT_EQ(TestSupport::everythingBelow(dir.path("out")),
              QStringList({"Project.xml", "a.geom", "empty.txt", "geom", "geom/b.geom"}));
}

TEST(ZipExtractor, RefusesHostileArchivesWithoutWritingOutsideTheFolder)
{
    const QByteArray zeros(2 << 20, '\0');
    ZipExtractor::Limits small;
    small.maximumEntries = 4;
    small.maximumEntryBytes = 1 << 20;
    small.maximumTotalBytes = 3 << 19;
    const struct
    {
        const char* what;
        std::vector<ZipEntry> entries;
        const char* error;
    } cases[] = {
        {"symbolic link, then a file through it",
         {{"ok.txt", "x"}, {"link", "..", TestSupport::symbolicLinkMode}, {"link/escaped.txt", "evil"}},
         "the entry \"link\" is a symbolic link"},
        {"device", {{"tty", "", TestSupport::characterDeviceMode}},
         "the entry \"tty\" is a device or other special file"},
        {"name twice", {{"a.txt", "first"}, {"./a.txt", "second"}}, "the entry \"./a.txt\" appears twice"},
        // The inflater stops at the declared size, where the checksum no longer matches.
        {"bomb declaring a small size", {{"bomb", zeros, 0100644, 10}},
         "the entry \"bomb\" is damaged (its checksum does not match)"},
        {"entry declaring too large a size", {{"big", "x", 0100644, 2 << 20}},
         "the entry \"big\" would inflate to more than 1048576 bytes"},
        {"entries together too large",
         {{"a", QByteArray(600000, 'a')}, {"b", QByteArray(600000, 'b')}, {"c", QByteArray(600000, 'c')}},
         "the archive would inflate to more than 1572864 bytes"},
        {"too many entries", {{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}},
         "it holds 5 entries, more than the 4 accepted"},
    };
    for (const auto& [what, entries, error] : cases) {
        TestSupport::TempDir sandbox;
        ASSERT_TRUE(TestSupport::writeZip(sandbox.path("hostile.zip"), entries)) << what;
        QDir().mkpath(sandbox.path("out"));
        ZipExtractor extractor(small);
        EXPECT_FALSE(extractor.extract(sandbox.path("hostile.zip"), sandbox.path("out"))) << what;
        EXPECT_EQ(extractor.errorString().toStdString(), error) << what;
        for (const QString& path : TestSupport::everythingBelow(sandbox.path(""))) {
            EXPECT_TRUE(path == "hostile.zip" || path == "out" || path.startsWith("out/")) << what << ": " << path.toStdString();
            EXPECT_FALSE(QFileInfo(sandbox.path(path)).isSymLink()) << what << ": " << path.toStdString();
        }
    }
}

TEST(TemporaryFolder, RemovesItselfWithEverythingInItButNothingALinkNames)
{
    TestSupport::TempDir outside;
    const QString kept = outside.write("kept.txt", "stays");
    QString path;
    {
        const FileSystem::TemporaryFolder folder(QStringLiteral("Tarvex3DExtract"));
        ASSERT_TRUE(folder.isValid());
        path = folder.path();
        EXPECT_TRUE(QFileInfo(path).fileName().startsWith("Tarvex3DExtract-"));
        QDir().mkpath(folder.filePath("a/b"));
        QFile file(folder.filePath("a/b/c.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
        file.close();
        ASSERT_TRUE(QFile::link(outside.path(""), folder.filePath("a/outside")));
    }
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(outside.read("kept.txt"), QByteArray("stays")) << kept.toStdString();

    // A run that was killed could not remove its folder: the next one removes it, and leaves
    // the folders of runs still going.
    QProcess ended;
    ended.start(QStringLiteral("sleep"), QStringList{"0.1"});
    ASSERT_TRUE(ended.waitForStarted());
    const qint64 endedPid = ended.processId();
    ASSERT_TRUE(ended.waitForFinished());
    const QString prefix = QStringLiteral("TarvexSweepTest");
    const QString left = QDir::tempPath() + QStringLiteral("/%1-%2-abcdef").arg(prefix).arg(endedPid);
    const QString running =
        QDir::tempPath() + QStringLiteral("/%1-%2-abcdef").arg(prefix).arg(QCoreApplication::applicationPid());
    ASSERT_TRUE(QDir().mkpath(left + "/inside") && QDir().mkpath(running));
    {
        const FileSystem::TemporaryFolder next(prefix);
        EXPECT_TRUE(QFileInfo(next.path()).fileName().startsWith(
            QStringLiteral("%1-%2-").arg(prefix).arg(QCoreApplication::applicationPid())));
    }
    EXPECT_FALSE(QFileInfo::exists(left));
    EXPECT_TRUE(QFileInfo::exists(running));
    QDir(running).removeRecursively();
}

} // namespace
