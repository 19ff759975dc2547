// The solver stand-in Tarvex3D.exe run on scripts of our own: its interpreter reaches no file,
// process or socket, and the words the export writes read back in real Tcl as what they say.
#include <tarvex/exchange3d/Tarvex3DSolverScript.h>
#include "support/TempDir.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct StandInRun
{
    int exitCode = -1;
    QString err;
};

/// Runs the stand-in on `script` in `dir`, as the export does.
StandInRun runStandIn(const TestSupport::TempDir& dir, const QString& script)
{
    QProcess process;
    process.setWorkingDirectory(dir.path("."));
    process.start(QStringLiteral(TARVEX3D_SOLVER_FOLDER "/Tarvex3D.exe"),
                  {"-b", "-noui", "-tcl", dir.write("run.tcl", script.toUtf8())});
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

TEST(SolverStandIn, ReachesNoFileProcessOrSocket)
{
    const TestSupport::TempDir dir;
    const QString target = dir.path("made");
    for (const QString& command : QStringList{"exec touch " + target, "open " + target + " w", "file mkdir " + target,
                                   "socket -server x 0", "source " + dir.path("run.tcl"), "cd /", "load libtcl8.6.so"}) {
        SCOPED_TRACE(command.toStdString());
        const StandInRun run = runStandIn(dir, command + "\nquorlin::close exe\n");
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains("invalid command name")) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(target));
    }
}

TEST(SolverStandIn, ScriptWordsReadBackAsWritten)
{
    const TestSupport::TempDir dir;
    // The stand-in's error for an archive it cannot open names the path as Tcl read it.
    for (const QString& path : {QString("plain name.zip"), QString("a}b{c.zip"), QString("x} ; quorlin::close exe ; {"),
                                QString("[quorlin::close exe]$y\\z\"q\".zip"), QString("line\nquorlin::close exe\n#"),
                                QString("tab\there\r\x01.zip"), QString::fromUtf8("größe {ü}.zip"), QString("")}) {
        SCOPED_TRACE(path.toStdString());
        const QString word = Tarvex3D::Tarvex3DSolverScript::word(path);
        const StandInRun run = runStandIn(dir, "quorlin::open file -file " + word + "\nquorlin::close exe\n");
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains("Tcl error: cannot open " + path + ": ")) << run.err.toStdString();
    }
}
