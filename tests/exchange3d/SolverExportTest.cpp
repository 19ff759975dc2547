// The export through the solver stand-in: which solids go to the solver, how its objects are
// found again, and what the other objects refer to.
#include "exchange3d/ExportTestSupport.h"

#include <tarvex/exchange3d/Tarvex3DSolverProcess.h>
#include "support/RecordingProgress.h"

#include <gtest/gtest.h>

using namespace ExportTest;

TEST(SolverExportTest, SolidsInGroupsOrOfTemplateNamesAreFoundAgainAndWhatTheyHoldRefersToTheSolversIds)
{
    TwoBlocks blocks;
    Entity* stack = child(blocks.chassis, Group_Obstruction_t, Obstructions_t, "Stack");
    // "Parts" is also the name of a group of the project template, which comes first.
    Entity* parts = block(stack, "Parts", {0.03, 0, 0}, {0.001, 0.001, 0.001});
    child(parts, Sensor_t, Sensors_t, "T", {{Type_t, Point_t}});
    // Left out of an FEA-only export with what it holds, but the solids it holds still go to
    // the solver.
    Entity* cfd = block(blocks.chassis, "Cfd", {0.05, 0, 0}, {0.002, 0.002, 0.002});
    EntityEditor::setValue(cfd, Solve_Using_t, CFD_t);
    block(cfd, "Inside", {0, 0, 0}, {0.001, 0.001, 0.001});
    Entity* top = child(blocks.first, Face_t, Faces_t, "Top", {{Side_t, Top_t}, {IsOnCuboid_t, true}});
    child(top, Terminal_t, Terminals_t, "Pin", {{Boundary_Type_t, External_t}});

    const TestSupport::TempDir dir;
    Tools::RecordingProgress progress;
    Tarvex3D::Tarvex3DExporter exporter;
    exporter.setSolverFolder(TARVEX3D_SOLVER_FOLDER);
    ASSERT_TRUE(exporter.exportModel_tcl_solid(blocks.model->getRoot(), dir.path("out.zip").toStdString(), true, &progress))
        << exporter.importError();
    QStringList notes;
    for (const Tarvex3D::Tarvex3DExporter::Note& note : exporter.getNotes())
        notes << note.first->getName() + ": " + note.second;
    EXPECT_EQ(notes, QStringList({"Block 1.a: Wrote Block_1_a.sab (1 bodies).", "Block 2: Wrote Block_2.sab (1 bodies).",
                                  "Parts: Wrote Parts.sab (1 bodies).", "Inside: Wrote Inside.sab (1 bodies)."}));
    EXPECT_TRUE(progress.has(Tools::ToolProgress::Kind::Message, "Processing Exported Geoemtries"));

    // The solver's groups, solids and operations (ids 1037 on) are all "Parts" holds: the
    // export writes no group or solid of its own.
    const QDomDocument& project = exporter.getDocument();
    EXPECT_EQ(links(structureGroup(project, "Parts")), "1037{1038{1039}} 1040{1041{1042}} 1043{1044{1045}} 1046{1047{1048}}");
    EXPECT_EQ(differingAttributes(objectWithId(project, "1044"), "Name=Parts|ObjectName=Parts|Material=None"), QStringList());
    EXPECT_TRUE(objectWhere(project, "Name", "Stack").isNull());
    EXPECT_TRUE(objectWhere(project, "Name", "Cfd").isNull());
    EXPECT_EQ(objectWhere(project, "Name", "T").attribute("refid"), "1044");
    EXPECT_EQ(objectWhere(project, "Name", "Q_1").attribute("refid"), "1038");
    // The face is found by the solver's solid and the solver's operation of it.
    EXPECT_EQ(objectWhere(project, "Name", "Pin").attribute("RefFace"), "S 1038 F 1 1 5 1 1100  I 0");
}

// A solver that writes more than a pipe holds, or reads its standard input, still ends: its
// output is read as it comes, only its end kept, and its input is empty.
TEST(SolverExportTest, TheSolverRunReadsAllItsOutputAndGivesItNoInput)
{
    using Tarvex3D::Tarvex3DSolverProcess;
    const TestSupport::TempDir dir;
    const struct
    {
        const char* script;
        Tarvex3DSolverProcess::Outcome outcome;
        int exitCode; // when it finished
        const char* lastWords;
    } cases[] = {
        {"head -c 1000000 /dev/zero | tr '\\0' x; echo; echo last words >&2; exit 4", Tarvex3DSolverProcess::Outcome::Finished, 4,
         "last words"},
        {"cat; echo read everything", Tarvex3DSolverProcess::Outcome::Finished, 0, "read everything"},
        {"echo about to fail; kill -SEGV $$", Tarvex3DSolverProcess::Outcome::Crashed, -1, "about to fail"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        const Tarvex3DSolverProcess::Result run =
            Tarvex3DSolverProcess::run("/bin/sh", {"-c", c.script}, dir.path("."), std::chrono::minutes(2));
        EXPECT_EQ(run.outcome, c.outcome);
        if (c.outcome == Tarvex3DSolverProcess::Outcome::Finished) {
            EXPECT_EQ(run.exitCode, c.exitCode);
        }
        EXPECT_TRUE(run.output.endsWith(QString(c.lastWords) + '\n')) << run.output.right(40).toStdString();
        EXPECT_LE(run.output.size(), Tarvex3DSolverProcess::keptOutputBytes);
    }
}
