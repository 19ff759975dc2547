// Concurrency: commands that save a model hold its lock file from loading to saving, so
// that two runs on one model never lose the work of either.

#include "app/CliFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using CliFiles::blockFile;
using TestSupport::CliRun;
using TestSupport::tarvex;

namespace {

// The id of a process that has ended (and been reaped).
qint64 deadProcessId()
{
    QProcess process;
    process.start(QStringLiteral("true"), QStringList());
    process.waitForStarted();
    const qint64 pid = process.processId();
    process.waitForFinished();
    return pid;
}

} // namespace

// A second writer waits a little, then refuses, naming the holder, and leaves the model as
// it was; a reader takes no lock; a lock whose process has ended is taken over.
TEST(ModelLock, ASecondWriterIsRefusedWithTheHolderNamedAndTheModelUntouched)
{
    TestSupport::TempDir dir;
    const QString model = CliFiles::importedSample(dir);
    const QByteArray before = dir.read("model.json");
    const QString block = dir.write("block.xml", blockFile("Held1"));

    QLockFile holder(model + ".lock");
    ASSERT_TRUE(holder.tryLock(0));
    const CliRun refused = tarvex({"import", block, "--model", model});
    EXPECT_TRUE(CliFiles::failedWith(refused, QStringLiteral("error: Cannot lock the model file %1: it is in use by process %2 (")
                                                  .arg(model)
                                                  .arg(QCoreApplication::applicationPid())));
    EXPECT_TRUE(CliFiles::failedWith(refused, ") on " + QSysInfo::machineHostName() +
                                                  ", which did not end within 5 seconds; the model was left as it was. "
                                                  "Should that process no longer run, remove " + model + ".lock"));

    // The material library beside the model is saved under the same lock.
    EXPECT_TRUE(CliFiles::failedWith(tarvex({"materials", TARVEX_SAMPLES "/materials.xml", "--model", model}),
                                     "Cannot lock the model file " + model));
    EXPECT_FALSE(QFile::exists(dir.path("model.library.json")));
    EXPECT_EQ(dir.read("model.json"), before);

    EXPECT_EQ(tarvex({"show", model}).exitCode, 0) << "reading needs no lock";

    // What a killed holder leaves behind: the lock file naming a process that has ended. It
    // is taken over, and the lock goes with the run that took it.
    QList<QByteArray> lines = dir.read("model.json.lock").split('\n');
    holder.unlock();
    lines[0] = QByteArray::number(deadProcessId());
    dir.write("model.json.lock", lines.join('\n'));
    const CliRun saved = tarvex({"import", block, "--model", model});
    EXPECT_EQ(saved.exitCode, 0) << saved.err.toStdString();
    EXPECT_TRUE(dir.read("model.json").contains("\"Held1\""));
    EXPECT_FALSE(QFile::exists(model + ".lock"));
}

// Every name of a model shares its hold: a symbolic link to a model not made yet waits for
// the lock of the file it names, and a model with two hard links is locked itself, so that
// a writer through the other name waits too.
TEST(ModelLock, EveryNameOfAModelSharesItsLock)
{
    TestSupport::TempDir dir;
    const QString block = dir.write("block.xml", blockFile("Linked"));
    const QString target = dir.path("target.json");
    ASSERT_TRUE(QFile::link(target, dir.path("link.json")));
    QLockFile targetHolder(target + ".lock");
    ASSERT_TRUE(targetHolder.tryLock(0));

    const QString first = CliFiles::importedSample(dir);
    ASSERT_EQ(::link(QFile::encodeName(first).constData(), QFile::encodeName(dir.path("second.json")).constData()), 0);
    const QByteArray before = dir.read("model.json");
    const int held = ::open(QFile::encodeName(first).constData(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    QProcess throughLink;
    throughLink.start(QStringLiteral(TARVEX_CLI), {"import", block, "--model", dir.path("link.json")});
    const CliRun throughHardLink = tarvex({"import", block, "--model", dir.path("second.json")});
    ASSERT_TRUE(throughLink.waitForFinished(60000));
    ::close(held);

    EXPECT_EQ(throughLink.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(throughLink.readAllStandardError()).contains("it is in use by process"));
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(CliFiles::failedWith(throughHardLink, "another process is saving it through another of its 2 names "
                                                      "(hard links), and did not end within 5 seconds; the model was "
                                                      "left as it was"));
    EXPECT_EQ(dir.read("model.json"), before);

    // Free again, both go through and the hard-linked names still share one file.
    targetHolder.unlock();
    EXPECT_EQ(tarvex({"import", block, "--model", dir.path("link.json")}).exitCode, 0);
    EXPECT_TRUE(QFileInfo(dir.path("link.json")).isSymLink());
    EXPECT_EQ(tarvex({"import", block, "--model", dir.path("second.json")}).exitCode, 0);
    EXPECT_TRUE(dir.read("model.json").contains("\"Linked\""));
}
