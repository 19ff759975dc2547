// The tool on a full disk: a command that cannot save says why, exits 1 and leaves the old
// file byte-identical. The disk is a small tmpfs mounted for the test, which needs root and a
// system that lets it mount; elsewhere the test is skipped and says why.
#include "app/CliFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// A 4 MB tmpfs mounted on a temporary folder for as long as the object lives; `problem` says
// why none could be mounted.
class SmallDisk : public TestSupport::TempDir
{
public:
    SmallDisk()
    {
        if (::geteuid() != 0)
            problem = "mounting a small file system needs root";
        else if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=4m,mode=0755", "tmpfs", path("")}) != 0)
            problem = "mount -t tmpfs is not permitted here";
    }
    ~SmallDisk()
    {
        if (problem.empty() && QProcess::execute(QStringLiteral("umount"), {path("")}) != 0)
            QProcess::execute(QStringLiteral("umount"), {"-l", path("")});
    }

    // Fills the disk with one file until a write fails, then frees `room` bytes of it.
    bool fillLeaving(qint64 room) const
    {
        QFile filler(path("filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        while (filler.write(QByteArray(4096, 'f')) == 4096) {
        }
        return filler.size() > room && filler.resize(filler.size() - room);
    }

    std::string problem;
};

} // namespace

using TestSupport::CliRun;
using TestSupport::tarvex;

TEST(TarvexFullDisk, ASaveThatDoesNotFitOrAReadOnlyDiskLeavesTheModelAsItWasAndSaysWhy)
{
    SmallDisk disk;
    if (!disk.problem.empty())
        GTEST_SKIP() << disk.problem;
    TestSupport::TempDir elsewhere;
    const QString small = elsewhere.path("small.xml");
    const QString big = elsewhere.path("big.xml");
    ASSERT_EQ(tarvex({"generate", "--components", "0", "--balls", "0", "-o", small}).exitCode, 0);
    ASSERT_EQ(tarvex({"generate", "--components", "40", "--balls", "40", "-o", big}).exitCode, 0);
    const QString model = disk.path("M.json");
    ASSERT_EQ(tarvex({"import", small, "--model", model}).exitCode, 0);
    const QByteArray before = disk.read("M.json");

    // Two pages free, one of them for the lock: the model of the big file (over a hundred
    // kilobytes) does not fit, nor the file `generate` writes, nor the material library beside
    // the model (a few kilobytes).
    ASSERT_TRUE(disk.fillLeaving(8 * 1024));
    const QString xml = disk.path("out.xml");
    const QString library = disk.path("M.library.json");
    const std::pair<QStringList, QString> cases[] = {
        {{"import", big, "--model", model}, model + "; the model was left as it was"},
        {{"generate", "--components", "40", "--balls", "40", "-o", xml}, xml + "; no file was made"},
        {{"materials", TARVEX_SAMPLES "/materials.xml", "--model", model}, library + "; no file was made"},
    };
    for (const auto& [arguments, outcome] : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        EXPECT_TRUE(CliFiles::failedWith(tarvex(arguments), "error: No space left on device while saving " + outcome));
        EXPECT_EQ(disk.read("M.json"), before);
        EXPECT_EQ(QDir(disk.path("")).entryList(QDir::Files | QDir::Hidden), (QStringList{"filler", "M.json"}))
            << "no temporary or new file is left";
    }

    // With room again, the same import saves.
    QFile::remove(disk.path("filler"));
    const CliRun roomy = tarvex({"import", big, "--model", model});
    EXPECT_EQ(roomy.exitCode, 0) << roomy.err.toStdString();

    // Room for the new material library but not for the model saved after it: the library
    // goes again, so the failed run changed neither file. With no room at all even the lock
    // cannot be made, and the message says why.
    const QByteArray bigModel = disk.read("M.json");
    ASSERT_TRUE(disk.fillLeaving(64 * 1024));
    const CliRun halfSaved = tarvex({"materials", TARVEX_SAMPLES "/materials.xml", "--model", model});
    EXPECT_TRUE(CliFiles::failedWith(
        halfSaved, "the model was left as it was; the material library " + library + " was put back as it was"));
    EXPECT_FALSE(QFile::exists(library));
    EXPECT_EQ(disk.read("M.json"), bigModel);
    QFile::remove(disk.path("filler"));
    ASSERT_TRUE(disk.fillLeaving(0));
    EXPECT_TRUE(CliFiles::failedWith(tarvex({"import", small, "--model", model}),
                                     "cannot create " + model + ".lock (no space left on device); the model was left as it was"));
    QFile::remove(disk.path("filler"));

    // On a read-only file system the run is refused before anything is read: the lock beside
    // the model cannot be made.
    const QByteArray saved = disk.read("M.json");
    ASSERT_EQ(QProcess::execute(QStringLiteral("mount"), {"-o", "remount,ro", disk.path("")}), 0);
    const CliRun readOnly = tarvex({"import", small, "--model", model});
    EXPECT_TRUE(CliFiles::failedWith(readOnly, "error: Cannot lock the model file " + model + ": cannot create " + model +
                                                   ".lock (the file system is read-only); the model was left as it was"));
    EXPECT_EQ(disk.read("M.json"), saved);
}
