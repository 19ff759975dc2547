// Concurrency: commands that save a model hold its lock file from loading to saving, so
// that two runs on one model never lose the work of either.

#include "support/CliRun.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QThread>

#include <memory>
#include <vector>

#include <gtest/gtest.h>

using TestSupport::CliRun;
using TestSupport::tarvex;

namespace {

// A small interchange file with one block called `name`, at `x` mm.
QByteArray blockFile(const QString& name, int x)
{
    const QString n = name;
    const QString x0 = QString::number(x);
    const QString x1 = QString::number(x + 1);
    return QStringLiteral("<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\"><UNITSet><Length Unit=\"mm\"/></UNITSet>"
                          "<GEOMSet><Geom ObjectName=\"%1\" Name=\"%1\" Type=\"Block\" dz=\"1\">"
                          "<node x=\"%2\" y=\"0\" z=\"0\"/><node x=\"%3\" y=\"0\" z=\"0\"/>"
                          "<node x=\"%3\" y=\"1\" z=\"0\"/><node x=\"%2\" y=\"1\" z=\"0\"/></Geom>"
                          "</GEOMSet></TARVEX_INTERCHANGE_MODEL>")
        .arg(n, x0, x1)
        .toUtf8();
}

// The id of a process that has ended (and been reaped).
qint64 deadProcessId()
{
    QProcess process;
    process.start(QStringLiteral("true"), QStringList());
    if (!process.waitForStarted())
        return -1;
    const qint64 pid = process.processId();
    process.waitForFinished();
    return pid;
}

} // namespace

// A second writer waits a little, then refuses, naming the holder, and leaves the model as
// it was; a reader takes no lock; once the holder is gone the same command succeeds.
TEST(ModelLock, ASecondWriterIsRefusedWithTheHolderNamedAndTheModelUntouched)
{
    TestSupport::TempDir dir;
    const QString model = dir.path("model.json");
    ASSERT_EQ(tarvex({"import", "--model", model}).exitCode, 0);
    const QByteArray before = dir.read("model.json");
    const QString block = dir.write("block.xml", blockFile("Held1", 0));

    QLockFile holder(model + ".lock");
    ASSERT_TRUE(holder.tryLock(0));
    QElapsedTimer clock;
    clock.start();
    const CliRun refused = tarvex({"import", block, "--model", model});
    EXPECT_EQ(refused.exitCode, 1) << refused.err.toStdString();
    EXPECT_GE(clock.elapsed(), 4000) << "a writer waits a few seconds before it refuses";
    const QString expected = QStringLiteral("error: Cannot lock the model file %1: it is in use by process %2 (")
                                 .arg(model)
                                 .arg(QCoreApplication::applicationPid());
    EXPECT_TRUE(refused.err.contains(expected)) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains(") on " + QSysInfo::machineHostName() + ", which did not end within 5 seconds; "
                                     "the model was left as it was. Should that process no longer run, remove " +
                                     model + ".lock"))
        << refused.err.toStdString();
    EXPECT_FALSE(refused.err.contains("Finished")) << refused.err.toStdString();
    EXPECT_EQ(dir.read("model.json"), before);

    // Every command that saves is refused alike; update and the map commands share one opening.
    const CliRun update = tarvex({"update", TARVEX_SAMPLES "/board.xml", "--model", model});
    EXPECT_EQ(update.exitCode, 1);
    EXPECT_TRUE(update.err.contains("Cannot lock the model file " + model)) << update.err.toStdString();
    const CliRun materials = tarvex({"materials", TARVEX_SAMPLES "/materials.xml", "--model", model});
    EXPECT_EQ(materials.exitCode, 1);
    EXPECT_TRUE(materials.err.contains("Cannot lock the model file " + model)) << materials.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.path("model.library.json")));
    EXPECT_EQ(dir.read("model.json"), before);

    // Reading needs no lock and does not wait.
    clock.restart();
    const CliRun shown = tarvex({"show", model});
    EXPECT_EQ(shown.exitCode, 0) << shown.err.toStdString();
    EXPECT_LT(clock.elapsed(), 4000);

    holder.unlock();
    const CliRun saved = tarvex({"import", block, "--model", model});
    EXPECT_EQ(saved.exitCode, 0) << saved.err.toStdString();
    EXPECT_TRUE(dir.read("model.json").contains("\"Held1\""));
    EXPECT_FALSE(QFile::exists(model + ".lock")) << "the lock goes with the run that held it";
}

// A writer that finds the model locked waits: when the holder ends within the wait, the
// writer goes on, on the model as the holder left it.
TEST(ModelLock, AWriterWaitsForAHolderThatEndsSoon)
{
    TestSupport::TempDir dir;
    const QString model = dir.path("model.json");
    const QString block = dir.write("block.xml", blockFile("Waited", 0));
    auto holder = std::make_unique<QLockFile>(model + ".lock");
    ASSERT_TRUE(holder->tryLock(0));

    QProcess writer;
    writer.start(QStringLiteral(TARVEX_CLI), {"import", block, "--model", model});
    ASSERT_TRUE(writer.waitForStarted());
    QThread::msleep(1000);
    EXPECT_EQ(writer.state(), QProcess::Running) << "the writer waits for the lock";
    holder.reset();
    ASSERT_TRUE(writer.waitForFinished(60000));
    EXPECT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().toStdString();
    EXPECT_TRUE(dir.read("model.json").contains("\"Waited\""));
}

// A lock file left by a process that was killed (its id no longer runs) is taken over.
TEST(ModelLock, AStaleLockOfADeadProcessIsTakenOver)
{
    TestSupport::TempDir dir;
    const QString model = dir.path("model.json");
    ASSERT_EQ(tarvex({"import", "--model", model}).exitCode, 0);
    const QString lockPath = model + ".lock";

    // What a killed holder leaves behind: the lock file QLockFile writes, naming a process
    // that has ended.
    QByteArray contents;
    {
        QLockFile live(lockPath);
        ASSERT_TRUE(live.tryLock(0));
        QFile file(lockPath);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        contents = file.readAll();
    }
    const qint64 dead = deadProcessId();
    ASSERT_GT(dead, 0);
    QList<QByteArray> lines = contents.split('\n');
    ASSERT_FALSE(lines.isEmpty());
    lines[0] = QByteArray::number(dead);
    dir.write("model.json.lock", lines.join('\n'));

    QElapsedTimer clock;
    clock.start();
    const CliRun run = tarvex({"import", dir.write("block.xml", blockFile("AfterStale", 0)), "--model", model});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_LT(clock.elapsed(), 4000) << "a stale lock is not waited on";
    EXPECT_TRUE(dir.read("model.json").contains("\"AfterStale\""));
    EXPECT_FALSE(QFile::exists(lockPath));
}

// The same with a real holder killed while it holds the lock (between loading and saving).
TEST(ModelLock, ALockLeftByAKilledRunDoesNotBlockTheNext)
{
    TestSupport::TempDir dir;
    const QString model = dir.path("model.json");
    ASSERT_EQ(tarvex({"import", "--model", model}).exitCode, 0);
    const QByteArray before = dir.read("model.json");
    const QString big = dir.path("big.xml");
    ASSERT_EQ(tarvex({"generate", "--components", "1500", "--balls", "10000", "-o", big}).exitCode, 0);

    QProcess victim;
    victim.start(QStringLiteral(TARVEX_CLI), {"import", big, "--model", model});
    ASSERT_TRUE(victim.waitForStarted());
    const QString lockPath = model + ".lock";
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(lockPath) && victim.state() == QProcess::Running && clock.elapsed() < 30000)
        QThread::msleep(5);
    if (victim.state() != QProcess::Running)
        GTEST_SKIP() << "the import ended before it could be killed while holding the lock";
    victim.kill(); // SIGKILL: nothing is cleaned up
    ASSERT_TRUE(victim.waitForFinished(30000));
    ASSERT_TRUE(QFile::exists(lockPath)) << "the killed run left its lock file";
    EXPECT_EQ(dir.read("model.json"), before);

    clock.restart();
    const CliRun next = tarvex({"import", dir.write("block.xml", blockFile("AfterKill", 0)), "--model", model});
    EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
    EXPECT_LT(clock.elapsed(), 4000) << "the lock of a killed run is not waited on";
    EXPECT_TRUE(dir.read("model.json").contains("\"AfterKill\""));
    EXPECT_FALSE(QFile::exists(lockPath));
}

// Many imports into one model at once: each ends saved or refused, never silently lost;
// every saved import is in the final model.
TEST(ModelLock, ConcurrentImportsLoseNothing)
{
    constexpr int Runs = 8;
    TestSupport::TempDir dir;
    const QString model = dir.path("model.json"); // made by whichever run saves first
    std::vector<std::unique_ptr<QProcess>> runs;
    for (int i = 0; i < Runs; ++i) {
        const QString file = dir.write(QStringLiteral("race%1.xml").arg(i), blockFile(QStringLiteral("Race%1").arg(i), 2 * i));
        runs.push_back(std::make_unique<QProcess>());
        runs.back()->start(QStringLiteral(TARVEX_CLI), {"import", file, "--model", model});
    }
    int saved = 0;
    QStringList savedNames;
    for (int i = 0; i < Runs; ++i) {
        QProcess& run = *runs[size_t(i)];
        ASSERT_TRUE(run.waitForFinished(120000)) << i;
        ASSERT_EQ(run.exitStatus(), QProcess::NormalExit) << i;
        const QString err = QString::fromUtf8(run.readAllStandardError());
        const QString out = QString::fromUtf8(run.readAllStandardOutput());
        if (run.exitCode() == 0) {
            EXPECT_TRUE(out.contains("Saved the model to " + model)) << i << out.toStdString();
            savedNames << QStringLiteral("Race%1").arg(i);
            ++saved;
        } else {
            EXPECT_EQ(run.exitCode(), 1) << i;
            EXPECT_TRUE(err.contains("Cannot lock the model file " + model)) << i << err.toStdString();
        }
    }
    EXPECT_GE(saved, 1);
    const QByteArray final = dir.read("model.json");
    for (const QString& name : savedNames)
        EXPECT_TRUE(final.contains("\"" + name.toUtf8() + "\"")) << name.toStdString() << " was lost";
    EXPECT_FALSE(QFile::exists(model + ".lock"));

    // Every saved import is recorded as an import of the model: an update replaces them all.
    const CliRun shown = tarvex({"show", model});
    ASSERT_EQ(shown.exitCode, 0) << shown.err.toStdString();
    EXPECT_EQ(shown.out.count("\"Race"), saved) << shown.out.toStdString();
}
