// The tool on a full disk: a command that cannot save says why, exits 1 and leaves the old
// file byte-identical. The disk is a small tmpfs mounted for the test, which needs root and a
// system that lets it mount; elsewhere the test is skipped and says why.
#include "support/CliRun.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// A tmpfs of `size` mounted on a temporary folder for as long as the object lives.
class SmallDisk
{
public:
    explicit SmallDisk(const QString& size)
    {
        if (::geteuid() != 0) {
            m_problem = QStringLiteral("mounting a small file system needs root");
            return;
        }
        QProcess mount;
        mount.start(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=" + size + ",mode=0755", "tmpfs", m_dir.path("")});
        if (!mount.waitForFinished(30000) || mount.exitStatus() != QProcess::NormalExit || mount.exitCode() != 0) {
            m_problem = QStringLiteral("mount -t tmpfs is not permitted here: %1")
                            .arg(QString::fromLocal8Bit(mount.readAllStandardError()).trimmed() + mount.errorString());
            return;
        }
        m_mounted = true;
    }
    ~SmallDisk()
    {
        if (m_mounted && QProcess::execute(QStringLiteral("umount"), {m_dir.path("")}) != 0)
            QProcess::execute(QStringLiteral("umount"), {"-l", m_dir.path("")});
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }
    const QString& problem() const { return m_problem; }
    QString path(const QString& name) const { return m_dir.path(name); }

    // Fills the disk with one file until a write fails, then frees `room` bytes of it.
    bool fillLeaving(qint64 room) const
    {
        QFile filler(path("filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        return filler.size() > room && filler.resize(filler.size() - room);
    }

private:
    TestSupport::TempDir m_dir;
    bool m_mounted = false;
    QString m_problem;
};

} // namespace

TEST(TarvexFullDisk, ASaveThatDoesNotFitSaysSoAndLeavesTheModelAsItWas)
{
    SmallDisk disk(QStringLiteral("1m"));
    if (!disk.mounted())
        GTEST_SKIP() << disk.problem().toStdString();
    TestSupport::TempDir elsewhere;
    const QString small = elsewhere.path("small.xml");
    const QString big = elsewhere.path("big.xml");
    ASSERT_EQ(TestSupport::tarvex({"generate", "--components", "0", "--balls", "0", "-o", small}).exitCode, 0);
    ASSERT_EQ(TestSupport::tarvex({"generate", "--components", "40", "--balls", "40", "-o", big}).exitCode, 0);

    const QString model = disk.path("M.json");
    const TestSupport::CliRun first = TestSupport::tarvex({"import", small, "--model", model});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    QFile file(model);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    ASSERT_FALSE(before.isEmpty());

    // A few kilobytes free: the model of the big file (a few hundred) does not fit.
    ASSERT_TRUE(disk.fillLeaving(16 * 1024));
    const TestSupport::CliRun full = TestSupport::tarvex({"import", big, "--model", model});
    EXPECT_EQ(full.exitCode, 1) << full.out.toStdString() << full.err.toStdString();
    EXPECT_TRUE(full.err.contains("error: No space left on device while saving " + model + "; the model was left as it was"))
        << full.err.toStdString();
    EXPECT_FALSE(full.out.contains("Saved")) << full.out.toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    file.close();
    QStringList left = QDir(disk.path("")).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    EXPECT_EQ(left.join(' ').toStdString(), "M.json filler") << "no temporary file is left";

    // The same for a file that `generate` writes: none is made.
    const QString xml = disk.path("out.xml");
    const TestSupport::CliRun generated =
        TestSupport::tarvex({"generate", "--components", "40", "--balls", "40", "-o", xml});
    EXPECT_EQ(generated.exitCode, 1);
    EXPECT_TRUE(generated.err.contains("error: No space left on device while saving " + xml + "; no file was made"))
        << generated.err.toStdString();
    EXPECT_FALSE(QFile::exists(xml));

    // The material library beside the model: not made, and the model as it was.
    const QString library = disk.path("M.library.json");
    const TestSupport::CliRun materials =
        TestSupport::tarvex({"materials", QStringLiteral(TARVEX_SAMPLES "/materials.xml"), "--model", model});
    EXPECT_EQ(materials.exitCode, 1) << materials.out.toStdString();
    EXPECT_TRUE(materials.err.contains("error: No space left on device while saving " + library + "; no file was made"))
        << materials.err.toStdString();
    EXPECT_FALSE(QFile::exists(library));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    file.close();

    // With room again, the same import saves.
    QFile::remove(disk.path("filler"));
    const TestSupport::CliRun roomy = TestSupport::tarvex({"import", big, "--model", model});
    EXPECT_EQ(roomy.exitCode, 0) << roomy.err.toStdString();
}

TEST(TarvexFullDisk, AModelOnAReadOnlyFileSystemIsLeftAsItWasAndTheCauseIsNamed)
{
    SmallDisk disk(QStringLiteral("1m"));
    if (!disk.mounted())
        GTEST_SKIP() << disk.problem().toStdString();
    TestSupport::TempDir elsewhere;
    const QString small = elsewhere.path("small.xml");
    ASSERT_EQ(TestSupport::tarvex({"generate", "--components", "1", "--balls", "0", "-o", small}).exitCode, 0);
    const QString model = disk.path("M.json");
    ASSERT_EQ(TestSupport::tarvex({"import", small, "--model", model}).exitCode, 0);
    QFile file(model);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    if (QProcess::execute(QStringLiteral("mount"), {"-o", "remount,ro", disk.path("")}) != 0)
        GTEST_SKIP() << "the small file system could not be made read-only";
    const TestSupport::CliRun run = TestSupport::tarvex({"import", small, "--model", model});
    EXPECT_EQ(run.exitCode, 1) << run.out.toStdString();
    // Refused before anything is read: the lock beside the model cannot be made.
    EXPECT_TRUE(run.err.contains("error: Cannot lock the model file " + model + ": cannot create " + model +
                                 ".lock (the file system is read-only); the model was left as it was"))
        << run.err.toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}
