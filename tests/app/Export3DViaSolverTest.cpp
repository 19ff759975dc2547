// export3d --via-solver end to end: the built tool runs the solver stand-in Tarvex3D.exe,
// whose log shows the script it was given and every command it ran.
#include "CliFiles.h"
#include "exchange3d/ExportTestSupport.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>

using namespace ExportTest;
using TestSupport::CliRun;
using TestSupport::tarvex;

namespace {

const QString solverFolder = QStringLiteral(TARVEX3D_SOLVER_FOLDER);

/// What the stand-in logged: its process and the commands of its script it ran (Tcl lists).
struct SolverLog
{
    qint64 pid = 0;
    QStringList commands;
};

SolverLog readLog(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    const QRegularExpressionMatch match =
        QRegularExpression("^pid (\\d+)\n--- script\n(.*)--- commands\n(.*)$", QRegularExpression::DotMatchesEverythingOption)
            .match(text);
    if (!match.hasMatch())
        return {};
    return {match.captured(1).toLongLong(), match.captured(3).split('\n', Qt::SkipEmptyParts)};
}

bool processGone(qint64 pid) { return pid > 0 && ::kill(pid_t(pid), 0) == -1 && errno == ESRCH; }

QProcessEnvironment standIn(const QString& log, const QString& mode = QString())
{
    QProcessEnvironment environment;
    environment.insert("TARVEX3D_STANDIN_LOG", log);
    if (!mode.isEmpty())
        environment.insert("TARVEX3D_STANDIN_MODE", mode);
    return environment;
}

QStringList viaSolver(const QString& model, const QString& archive)
{
    return {"export3d", model, "-o", archive, "--via-solver", "--solver-folder", solverFolder};
}

} // namespace

TEST(TarvexExport3DViaSolver, TheSolverMakesTheSolidsAndEveryOtherObjectRefersToItsIds)
{
    const TestSupport::TempDir dir, logs;
    saveTwoBlocks(dir);
    // The user's own files of the names the export works with stay as they are.
    for (const char* mine : {"Project.xml", "run.tcl", "extract/Block_1_a.geom"})
        dir.write(mine, "mine");
    const CliRun run = tarvex(viaSolver(dir.path("model.json"), dir.path("out.zip")), standIn(logs.path("solver.log")));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "note: Block 1.a: Wrote Block_1_a.sab (1 bodies).\n"
                       "note: Block 2: Wrote Block_2.sab (1 bodies).\n"
                       "Exported " + dir.path("model.json") + " as " + dir.path("out.zip") + ".\n");
    EXPECT_EQ(TestSupport::everythingBelow(dir.path(".")),
              QStringList({"Project.xml", "extract", "extract/Block_1_a.geom", "model.json", "out.zip", "run.tcl"}));
    for (const char* mine : {"Project.xml", "run.tcl", "extract/Block_1_a.geom"})
        EXPECT_EQ(dir.read(mine), "mine") << mine;

    // The geometry went from a private folder inside the target folder, and the solver ran
    // each command of the script once.
    const SolverLog log = readLog(logs.path("solver.log"));
    ASSERT_EQ(log.commands.size(), 6) << log.commands.join('\n').toStdString();
    const QString staging = QFileInfo(log.commands[2].section(' ', 3)).path();
    EXPECT_EQ(QFileInfo(staging).path(), QFileInfo(dir.path("model.json")).absolutePath());
    EXPECT_TRUE(QFileInfo(staging).fileName().startsWith(".tarvex3d-export-")) << staging.toStdString();
    EXPECT_EQ(log.commands, QStringList({"quorlin::configure version -version 6", "quorlin::open file -file out.zip",
                                         "quorlin::import file -file " + staging + "/Block_1_a.sab",
                                         "quorlin::import file -file " + staging + "/Block_2.sab",
                                         "quorlin::save file -file out.zip", "quorlin::close exe"}));

    const auto members = readArchive(dir.path("out.zip"));
    QStringList names;
    for (const auto& member : members)
        names << member.first;
    ASSERT_EQ(names, QStringList({"Project.xml", "Block_1_a.geom", "Block_2.geom"}));
    QDomDocument project;
    ASSERT_TRUE(project.setContent(members[0].second));
    // The solver's ids start 1000 above the template's, where the export's own were set aside
    // (38 for the first block): the heat source refers to the solver's solid, and new ids go
    // on above the solver's.
    EXPECT_EQ(addedObjects(project), QStringList({"DataGroup 1037 Block_1_a", "GeomObject 1038 Block_1_a",
                                                  "Operation 1039 BaseBody", "DataGroup 1040 Block_2",
                                                  "GeomObject 1041 Block_2", "Operation 1042 BaseBody",
                                                  "BoundaryCondObject 1043 Q_1"}));
    EXPECT_EQ(links(structureGroup(project, "Parts")), "1037{1038{1039}} 1040{1041{1042}}");
    EXPECT_EQ(links(structureGroup(project, "Static Analysis/Power Input")), "1043");
    EXPECT_EQ(project.documentElement().firstChildElement("IdSeed").attribute("Value"), "1044");
    EXPECT_EQ(differingAttributes(objectWithId(project, "1043"), "refid=1038|Type=10"), QStringList());
    EXPECT_EQ(differingAttributes(objectWithId(project, "1038"),
                                  "ObjectName=Block 1.a|ObjectFileName=Block_1_a.geom|Material=EC_Cu_101_b|Color=" +
                                      QString::number(255u << 24 | 128u << 16 | 64u << 8)),
              QStringList());
}

TEST(TarvexExport3DViaSolver, ASolverThatFailsOrIsMissingLeavesNoArchiveNoProcessAndNoFileBehind)
{
    const struct
    {
        const char* mode; // empty: no solver in the folder named
        QStringList options;
        const char* message;
    } cases[] = {
        {"hang", {"--solver-timeout", "3"}, "The 3D solver did not finish within 3 s and was stopped; nothing was exported."},
        {"crash", {}, "The 3D solver crashed; nothing was exported."},
        {"exit3", {}, "The 3D solver's project holds no solid for Block_1_a, Block_2 (the solver ended with exit code 3); "
                      "nothing was exported."},
        {"nosave", {}, "The 3D solver's project holds no solid for Block_1_a, Block_2 (the solver ended with exit code 0); "
                       "nothing was exported."},
        {"", {}, "Unable to find Tarvex3D in Quorlin installation folder: \"%1\"."},
    };
    for (const auto& failure : cases) {
        SCOPED_TRACE(failure.mode);
        const TestSupport::TempDir dir, logs;
        saveTwoBlocks(dir);
        dir.write("out.zip", "an earlier archive");
        const QStringList before = TestSupport::everythingBelow(dir.path("."));
        QProcessEnvironment environment = standIn(logs.path("solver.log"), failure.mode);
        QStringList arguments = viaSolver(dir.path("model.json"), dir.path("out.zip"));
        QString message = failure.message;
        if (*failure.mode == '\0') {
            // The folder comes from the environment here, and holds no solver.
            arguments = arguments.mid(0, 5);
            environment.insert("TARVEX3D_FOLDER", logs.path("."));
            message = message.arg(logs.path("."));
        }
        const CliRun run = tarvex(arguments + failure.options, environment);
        EXPECT_TRUE(CliFiles::failedWith(run, message)) << message.toStdString();
        EXPECT_EQ(TestSupport::everythingBelow(dir.path(".")), before);
        EXPECT_EQ(dir.read("out.zip"), "an earlier archive");
        const SolverLog log = readLog(logs.path("solver.log"));
        if (*failure.mode == '\0')
            EXPECT_EQ(log.pid, 0) << "no solver ran";
        else
            EXPECT_TRUE(processGone(log.pid)) << "the solver " << log.pid << " is still there";
    }
}

// A solver stopped at its timeout takes the workers it started along.
TEST(TarvexExport3DViaSolver, ASolverStoppedAtItsTimeoutTakesItsWorkersAlong)
{
    const TestSupport::TempDir dir, logs;
    saveTwoBlocks(dir);
    const TestSupport::TempDir forking;
    forking.write("Tarvex3D.exe", ("#!/bin/sh\nsleep 60 &\necho $! > " + logs.path("worker.pid") + "\nsleep 60\n").toUtf8());
    QFile::setPermissions(forking.path("Tarvex3D.exe"), QFile::ReadOwner | QFile::ExeOwner);
    QStringList arguments = viaSolver(dir.path("model.json"), dir.path("other.zip"));
    arguments.last() = forking.path(".");
    const CliRun stopped = tarvex(arguments + QStringList{"--solver-timeout", "2"});
    EXPECT_EQ(stopped.exitCode, 1);
    QFile pidFile(logs.path("worker.pid"));
    ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly));
    const qint64 worker = pidFile.readAll().trimmed().toLongLong();
    QElapsedTimer reaped;
    reaped.start();
    while (!processGone(worker) && reaped.elapsed() < 5000)
        QThread::msleep(20);
    EXPECT_TRUE(processGone(worker)) << "the worker " << worker << " outlived its solver";
    EXPECT_FALSE(QFileInfo::exists(dir.path("other.zip")));
}

// Names reach the script as braced words: a name that would close the brace and run a
// command of its own is made safe first; a folder the user picked, which may hold anything,
// is escaped instead.
TEST(TarvexExport3DViaSolver, HostileNamesAndFoldersRunNothing)
{
    const TestSupport::TempDir dir, logs;
    TwoBlocks blocks;
    EntityEditor::setValue(blocks.first, Name_t, QStringLiteral("evil}\nquorlin::save file -file {pwned.zip}\n#{"));
    EntityEditor::setValue(blocks.second, Name_t, QStringLiteral("[quorlin::close exe]$x"));
    saveModel(*blocks.model, dir);
    const QString folder = QStringLiteral("x}{y [z] $w\\v;#u\nquorlin::close exe");
    QDir(dir.path(".")).mkdir(folder);
    const QString archive = dir.path(folder + "/out.zip");

    const CliRun run = tarvex(viaSolver(dir.path("model.json"), archive), standIn(logs.path("solver.log")));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QStringList verbs;
    for (const QString& command : readLog(logs.path("solver.log")).commands)
        verbs << command.section(' ', 0, 1);
    EXPECT_EQ(verbs, QStringList({"quorlin::configure version", "quorlin::open file", "quorlin::import file",
                                  "quorlin::import file", "quorlin::save file", "quorlin::close exe"}));
    EXPECT_EQ(TestSupport::everythingBelow(dir.path(".")), QStringList({"model.json", folder, folder + "/out.zip"}));

    // The solver found both files, and the solids keep their own names.
    QDomDocument project;
    ASSERT_TRUE(project.setContent(readArchive(archive).at(0).second));
    EXPECT_EQ(addedObjects(project).mid(0, 5),
              QStringList({"DataGroup 1037 evil__quorlin__save_file_-file__pwned_zip__#_",
                           "GeomObject 1038 evil__quorlin__save_file_-file__pwned_zip__#_", "Operation 1039 BaseBody",
                           "DataGroup 1040 [quorlin__close_exe]$x", "GeomObject 1041 [quorlin__close_exe]$x"}));
    EXPECT_EQ(objectWithId(project, "1038").attribute("ObjectName"), blocks.first->getName());
}
