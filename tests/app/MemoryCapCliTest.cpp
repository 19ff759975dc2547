// A command that runs out of memory ends with a message and exit status 1, and the model
// file stays as it was: never an abort.

#include "support/CliRun.h"
#include "support/TempDir.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

// Runs the tool with its address space capped at `kilobytes`.
TestSupport::CliRun cappedTarvex(int kilobytes, const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("/bin/sh"),
                  QStringList{"-c", QStringLiteral("ulimit -v %1 && exec \"$0\" \"$@\"").arg(kilobytes),
                              QStringLiteral(TARVEX_CLI)} +
                      arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

TEST(TarvexMemoryCap, AMapTooLargeForMemoryEndsWithAMessageAndTheModelAsItWas)
{
    TestSupport::TempDir dir;
    const QString model = dir.path("M.json");
    ASSERT_EQ(TestSupport::tarvex({"import", "--model", model}).exitCode, 0);
    QFile file(model);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    // As many cells as a model may hold: gigabytes once they are cells of a layer, far
    // more than the capped 300 MB.
    const QByteArray row = QByteArray("0.5,").repeated(999) + "0.5\n";
    const QString grid = dir.write("big.csv", row.repeated(300));
    const TestSupport::CliRun run =
        cappedTarvex(300000, {"material-map", grid, "--model", model, "--entity", "U1", "--resize"});
    EXPECT_EQ(run.exitCode, 1) << "no abort: " << run.err.toStdString();
    // Out of memory while applying the map or while saving the model: either way said so.
    EXPECT_TRUE(run.err.contains("not enough memory")) << run.err.toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}
