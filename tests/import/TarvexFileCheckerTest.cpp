#include "ImportSession.h"

#include <tarvex/import/TarvexFileChecker.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using Tarvex::TarvexFileChecker;
using Tarvex::TarvexFileProblem;
using Kind = Tools::ToolProgress::Kind;

namespace {

const char* const Board =
    "<Geom ObjectName=\"PCB\" Name=\"PCB_Core\" Type=\"PCB\" MatName=\"FR4\" dz=\"1.5\"><node x=\"0\" y=\"0\" z=\"0\"/>"
    "<node x=\"10\" y=\"0\" z=\"0\"/><node x=\"10\" y=\"10\" z=\"0\"/><node x=\"0\" y=\"10\" z=\"0\"/></Geom>";

// A board whose file names a library, a layout and a power map that are not there, and
// one of each that cannot be read; a unit the host does not know; a material it lacks.
const QByteArray FaultyBoard = QByteArray(
    "<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\">"
    "<UNITSet><Length Unit=\"mm\"/><Power Unit=\"furlongs\"/></UNITSet>"
    "<MaterialSet><Material Name=\"FR4\" k=\"0.3\" density=\"1900\" specificheat=\"1150\"/>"
    "<Material Name=\"Copper\" k=\"385\" density=\"8933\" specificheat=\"385\"/>"
    "<Include File=\"C:\\libs\\gone.xml\"/><Include File=\"broken-lib.xml\"/></MaterialSet><GEOMSet>") + Board +
    "<Geom ObjectName=\"PCB\" Name=\"PCB_Signal\" Type=\"PCB\" dz=\"0.05\"><node x=\"0\" y=\"0\" z=\"1.5\"/>"
    "<node x=\"10\" y=\"0\" z=\"1.5\"/><node x=\"10\" y=\"10\" z=\"1.5\"/><node x=\"0\" y=\"10\" z=\"1.5\"/></Geom>"
    "<Geom ObjectName=\"PCB\" Name=\"PCB_Plane\" Type=\"PCB\" dz=\"0.05\"><node x=\"0\" y=\"0\" z=\"1.55\"/>"
    "<node x=\"10\" y=\"0\" z=\"1.55\"/><node x=\"10\" y=\"10\" z=\"1.55\"/><node x=\"0\" y=\"10\" z=\"1.55\"/></Geom>"
    "<Geom ObjectName=\"C1\" Name=\"C1\" Type=\"Block\" MatName=\"Unobtainium\" dz=\"1\" Power=\"1\">"
    "<node x=\"2\" y=\"2\" z=\"1.6\"/><node x=\"4\" y=\"2\" z=\"1.6\"/><node x=\"4\" y=\"4\" z=\"1.6\"/>"
    "<node x=\"2\" y=\"4\" z=\"1.6\"/></Geom></GEOMSet>"
    "<LayoutSet><Include ObjectName=\"PCB_Signal\" File=\"gone.layout\" MetalMat=\"Copper\" DielectricMat=\"FR4\"/>"
    "<Include ObjectName=\"PCB_Plane\" File=\"broken.layout\" MetalMat=\"Copper\" DielectricMat=\"FR4\"/></LayoutSet>"
    "<Power2DSourceSet><Power2DSource Name=\"S1\" ObjectName=\"C1\" xll=\"2\" yll=\"2\" dx=\"1\" dy=\"1\" Normal=\"z+\" "
    "Power=\"1\" PowerMapFile=\"gone-map.txt\"/><Power2DSource Name=\"S2\" ObjectName=\"C1\" xll=\"2\" yll=\"2\" "
    "dx=\"1\" dy=\"1\" Normal=\"z+\" Power=\"1\" PowerMapFile=\"broken-map.txt\"/></Power2DSourceSet>"
    "</TARVEX_INTERCHANGE_MODEL>";

// Writes the board and the files it names that exist; returns the board's path.
QString writeFaultyBoard(const TestSupport::TempDir& dir)
{
    dir.write("broken-map.txt", "DIE_AREA 0 0 1 1\nAREA_POWER_MAP\n1\n0 0 1 1\n");
    dir.write("broken.layout", "LAYOUT 2025.1\nLENGTH\tmm\nLAYOUT_MAP\nNUMBER_OF_LAYERS 1\nLAYER Signal FR4 Copper 0 0\n"
                               "METAL_DENSITY\n1 2\n0.25 0.75\nEND_METAL_DENSITY\nEND_LAYER\nEND_LAYOUT_MAP\n");
    dir.write("broken-lib.xml", "<Norvane_Material_Lib><Material");
    return dir.write("model.xml", FaultyBoard);
}

// The problems as "kind FILE subject: message", the folder written as DIR.
QStringList describe(const std::vector<TarvexFileProblem>& problems, const TestSupport::TempDir& dir)
{
    QStringList lines;
    for (const TarvexFileProblem& problem : problems)
        lines << QString(TarvexFileProblem::kindName(problem.kind) + ' ' + problem.file + ' ' + problem.subject + ": " +
                         problem.message)
                     .replace(dir.path(QString()), QStringLiteral("DIR"));
    return lines;
}

QStringList check(const QString& path, const TestSupport::TempDir& dir)
{
    return describe(TarvexFileChecker().check(path), dir);
}

// Lines as one text, which a failure shows readably.
std::string text(const QStringList& lines) { return lines.join('\n').toStdString(); }

} // namespace

TEST(TarvexFileChecker, ListsWhatAnImportOfAFileWouldMeetAndTheImportAgrees)
{
    ImportTest::ImportSession session;
    const QString model = writeFaultyBoard(session.dir);
    const QStringList problems = check(model, session.dir);
    EXPECT_EQ(text(problems),
              text(QStringList{
                  "missing-file DIR/model.xml gone.xml: gone.xml : Material library DIR/gone.xml does not exist",
                  "unreadable-file DIR/model.xml broken-lib.xml: broken-lib.xml : Failed to Read : unexpected end of "
                  "file, Line 1, Column 32",
                  "missing-file DIR/model.xml gone-map.txt: gone-map.txt : Power Map File DIR/gone-map.txt does not exist",
                  "unknown-unit DIR/model.xml Power: Unknown unit \"furlongs\" for Power",
                  "missing-material DIR/model.xml C1: No material found for Geom : C1",
                  "missing-file DIR/model.xml PCB_Signal: No material layout file found for Geom : PCB_Signal - gone.layout",
                  "unreadable-file DIR/model.xml PCB_Plane: material layout DIR/broken.layout: Invalid layer data - the "
                  "layer Signal has no thickness",
                  "unreadable-file DIR/model.xml S2: power map DIR/broken-map.txt: Missing are power data in power map "
                  "file.",
              }));

    // The import meets the same: each of its warnings and errors is among the problems,
    // but for those that follow from one (a layout that did not open is not applied).
    session.importer.importModel(model, false);
    const QStringList followers{"Unable to open", "Failed to apply layer", "Power Map with no supported features",
                                "Material Map Has No Layers"};
    QStringList met = session.progress.texts(Kind::Warning) + session.progress.texts(Kind::FatalError);
    ASSERT_EQ(met.size(), 13);
    for (QString text : met) {
        text = text.remove(QStringLiteral("model.xml : ")).replace(session.dir.path(QString()), "DIR").section('\n', 0, 0);
        if (std::any_of(followers.begin(), followers.end(), [&](const QString& f) { return text.startsWith(f); }))
            continue;
        EXPECT_TRUE(std::any_of(problems.begin(), problems.end(), [&](const QString& p) { return p.contains(text); }))
            << text.toStdString();
    }
}

TEST(TarvexFileChecker, AFileThatCannotBeReadIsOneProblemAndABentOutlineEndsTheReading)
{
    TestSupport::TempDir dir;
    dir.write("sub/keep", "");
    const struct
    {
        QString path;
        QString problem;
    } cases[] = {
        {dir.path("none.xml"), "missing-file DIR/none.xml : no such file"},
        {dir.path("sub"), "unreadable-file DIR/sub : it is a directory"},
        {dir.write("broken.xml", "<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\">\n  <GEOMSet>\n"),
         "unreadable-file DIR/broken.xml : Failed to Read : unexpected end of file, Line 3, Column 1"},
        {dir.write("broken.json", "{\"TARVEX_INTERCHANGE_MODEL\": "),
         "unreadable-file DIR/broken.json : Failed to Read : unterminated object"},
        {dir.write("empty.xml", "<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\"/>"),
         "other DIR/empty.xml : the file holds nothing to import"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(text(check(c.path, dir)), c.problem.toStdString());
    }

    // As in an import, what was read before the bent outline is reported, and no tree is built.
    const QString bent = dir.write(
        "bent.xml", ImportTest::interchangeFile("<Geom ObjectName=\"C2\" Name=\"C2\" Type=\"Block\" dz=\"1\"><node x=\"0\" "
                                                "y=\"0\" z=\"0\"/><node x=\"1\" y=\"0\" z=\"0\"/></Geom>"
                                                "<Geom ObjectName=\"C1\" Name=\"C1\" Type=\"Block\" dz=\"1\"><node x=\"0\" "
                                                "y=\"0\" z=\"0\"/><node x=\"1\" y=\"0\" z=\"0\"/><node x=\"1\" y=\"1\" "
                                                "z=\"0.5\"/><node x=\"0\" y=\"1\" z=\"0\"/></Geom>"));
    EXPECT_EQ(text(check(bent, dir)),
              "invalid-value DIR/bent.xml C2: Geom C2 has fewer than three nodes and is left out\n"
              "missing-material DIR/bent.xml C1: No material found for Geom : C1\n"
              "invalid-value DIR/bent.xml C1: The nodes of C1 do not lie in one plane (Z variation)");
}

TEST(TarvexFileChecker, FollowsImportListsCheckingEachFileOnce)
{
    TestSupport::TempDir dir;
    dir.write("sub/keep", "");
    dir.write("good.xml", ImportTest::interchangeFile(Board));
    dir.write("bare.xml", ImportTest::interchangeFile(
                              "<Geom ObjectName=\"C1\" Name=\"C1\" Type=\"Block\" MatName=\"Steel\" dz=\"1\">"
                              "<node x=\"2\" y=\"2\" z=\"0\"/><node x=\"4\" y=\"2\" z=\"0\"/><node x=\"4\" y=\"4\" "
                              "z=\"0\"/><node x=\"2\" y=\"4\" z=\"0\"/></Geom>"));
    // The inner list names the outer one, and a file the outer one names too.
    dir.write("inner.json", R"({"TARVEX_INTERCHANGE_MODEL": {"Import": [{"file": "bare.xml"}, {"file": "outer.json"}]}})");
    const QString outer = dir.write(
        "outer.json",
        R"({"Version": "2025.1.0", "UNIT": {"length": "furlong"}, "TARVEX_INTERCHANGE_MODEL": {"Import": [{"file": "C:\\boards\\good.xml", "CENX": 1},)"
        R"( {"file": "missing.xml"}, {"file": "sub"}, {"file": ""}, {"file": "inner.json"}, {"file": "bare.xml"}]}})");
    EXPECT_EQ(text(check(outer, dir)),
              text(QStringList{
                  "unknown-unit DIR/outer.json Length: Unknown unit \"furlong\" for Length; the entries are not placed",
                  "missing-file DIR/outer.json missing.xml: the entry's file DIR/missing.xml does not exist",
                  "unreadable-file DIR/outer.json sub: the entry's file DIR/sub is not a regular file",
                  "missing-file DIR/outer.json : an entry names no file",
                  "missing-material DIR/bare.xml C1: No material found for Geom : C1",
                  "uncontained-part DIR/bare.xml C1: Block \"C1\" lies outside every board and package",
                  "other DIR/inner.json outer.json: the import list DIR/outer.json includes itself; it is not read again",
              }));

    const QString empty = dir.write("empty.json", R"({"TARVEX_INTERCHANGE_MODEL": {"Import": []}})");
    EXPECT_EQ(text(check(empty, dir)), "other DIR/empty.json : the list names no files to import");
}
