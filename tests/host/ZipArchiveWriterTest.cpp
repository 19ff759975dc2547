// Archives of files under their bare names: each name once, and a failed write leaves what
// was there.
#include <tarvex/host/ZipArchiveWriter.h>

#include "support/TempDir.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <QDir>

#include <gtest/gtest.h>

using FileSystem::ZipArchiveWriter;

TEST(ZipArchiveWriterTest, StoresEachFileOnceUnderItsNameAsARegularFile)
{
    const TestSupport::TempDir dir;
    QDir(dir.path(".")).mkdir("sub");
    const QString project = dir.write("Project.xml", "<Project/>");
    const QString geometry = dir.write("A.geom", "tarvex-cad 1\n");
    const QString shadow = dir.write("sub/Project.xml", "another file of the same name");
    const QStringList files{geometry, project, shadow, geometry, project};
    EXPECT_EQ(ZipArchiveWriter::entryNames(files), QStringList({"A.geom", "Project.xml"}));

    QString problem;
    ASSERT_TRUE(ZipArchiveWriter::write(dir.path("out.zip"), files, &problem)) << problem.toStdString();
    QuaZip zip(dir.path("out.zip"));
    ASSERT_TRUE(zip.open(QuaZip::mdUnzip));
    QStringList names;
    QList<QByteArray> contents;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFileInfo64 info;
        zip.getCurrentFileInfo(&info);
        EXPECT_EQ((info.externalAttr >> 16) & 0170000, 0100000u) << "a regular file";
        QuaZipFile file(&zip);
        file.open(QIODevice::ReadOnly);
        names << info.name;
        contents << file.readAll();
    }
    EXPECT_EQ(names, QStringList({"A.geom", "Project.xml"}));
    EXPECT_EQ(contents, QList<QByteArray>({"tarvex-cad 1\n", "<Project/>"})) << "the first of a name is stored";
}

TEST(ZipArchiveWriterTest, AFileThatCannotBeReadLeavesTheOldArchive)
{
    const TestSupport::TempDir dir;
    dir.write("out.zip", "old");
    QString problem;
    EXPECT_FALSE(ZipArchiveWriter::write(dir.path("out.zip"), {dir.write("a.txt", "a"), dir.path("gone.txt")}, &problem));
    EXPECT_TRUE(problem.startsWith("cannot read " + dir.path("gone.txt"))) << problem.toStdString();
    EXPECT_EQ(dir.read("out.zip"), "old");
    EXPECT_EQ(QDir(dir.path(".")).entryList(QDir::Files), QStringList({"a.txt", "out.zip"}));
}
