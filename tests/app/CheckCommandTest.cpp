// `tarvex check` run as a person runs it: one line per problem, the status telling whether
// there was one, a JSON document with --json, and no file written anywhere.
#include "app/CliFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

using TestSupport::CliRun;
using TestSupport::tarvex;

// A block whose material is missing and whose power is no number, on a board with two balls
// that overlap.
QByteArray faultyBoard()
{
    return "<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\"><UNITSet><Length Unit=\"mm\"/></UNITSet>"
           "<MaterialSet><Material Name=\"FR4\" k=\"0.3\" density=\"1900\" specificheat=\"1150\"/></MaterialSet>"
           "<GEOMSet><Geom ObjectName=\"PCB\" Name=\"PCB\" Type=\"PCB\" MatName=\"FR4\" dz=\"1.6\">"
           "<node x=\"0\" y=\"0\" z=\"0\"/><node x=\"10\" y=\"0\" z=\"0\"/><node x=\"10\" y=\"10\" z=\"0\"/>"
           "<node x=\"0\" y=\"10\" z=\"0\"/></Geom>"
           "<Geom ObjectName=\"C1\" Name=\"C1\" Type=\"Block\" MatName=\"Steel\" dz=\"1\" Power=\"1e999\"><node x=\"2\" y=\"2\" "
           "z=\"1.6\"/><node x=\"4\" y=\"2\" z=\"1.6\"/><node x=\"4\" y=\"4\" z=\"1.6\"/><node x=\"2\" y=\"4\" "
           "z=\"1.6\"/></Geom></GEOMSet><SolderBallSet>"
           "<SolderBall Name=\"A1\" MatName=\"FR4\" d1=\"0.4\" d2=\"0.4\" dmax=\"0.5\" ht=\"0.3\" position=\"6,6,1.6\"/>"
           "<SolderBall Name=\"A2\" MatName=\"FR4\" d1=\"0.4\" d2=\"0.4\" dmax=\"0.5\" ht=\"0.3\" position=\"6.25,6,1.6\"/>"
           "</SolderBallSet></TARVEX_INTERCHANGE_MODEL>";
}

} // namespace

TEST(CheckCommand, ListsEachProblemOnALineOrAsJsonAndFailsOnlyWhenThereIsOne)
{
    const CliRun clean = tarvex({"check", TARVEX_SAMPLES "/board.xml"});
    EXPECT_EQ(clean.exitCode, 0) << clean.err.toStdString();
    EXPECT_EQ(clean.out, TARVEX_SAMPLES "/board.xml: no problems found\n");

    TestSupport::TempDir dir;
    const QString board = dir.write("board.xml", faultyBoard());
    const QString list = dir.write("list.json", R"({"TARVEX_INTERCHANGE_MODEL": {"Import": [{"file": "board.xml"},)"
                                                R"( {"file": "gone.xml"}]}})");
    const QStringList before = TestSupport::everythingBelow(dir.path("."));
    const CliRun run = tarvex({"check", list});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_EQ(run.out.toStdString(),
              // A message that starts with its subject does not say it twice.
              (board + ": invalid-value: Geom C1: attribute Power is not a finite number (1e999)\n" + board +
               ": missing-material: C1: No material found for Geom : C1\n" + board +
               ": overlapping-balls: A1: solder ball \"A1\" overlaps solder ball \"A2\": centres 0.25 mm apart, "
               "diameters 0.5 and 0.5 mm\n" +
               list + ": missing-file: gone.xml: the entry's file " + dir.path("gone.xml") + " does not exist\n" + list +
               ": 4 problems\n")
                  .toStdString());
    EXPECT_EQ(run.err, QString());
    // Nothing was written: no model, no lock, no temporary file.
    EXPECT_EQ(TestSupport::everythingBelow(dir.path(".")), before);

    EXPECT_EQ(tarvex({"check"}).exitCode, 2);

    // --json: the problems with kind, file, subject and message.
    const CliRun json = tarvex({"check", board, "--json"});
    EXPECT_EQ(json.exitCode, 1);
    const QJsonObject document = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(document.keys(), (QStringList{"file", "problems"}));
    EXPECT_EQ(document["file"].toString(), board);
    const QJsonArray problems = document["problems"].toArray();
    ASSERT_EQ(problems.size(), 3) << json.out.toStdString();
    EXPECT_EQ(problems[1].toObject(), (QJsonObject{{"kind", "missing-material"},
                                                   {"file", board},
                                                   {"subject", "C1"},
                                                   {"message", "No material found for Geom : C1"}}));
}
