// The built tool comparing saved models (diff, update --dry-run), warning on a second import
// of one file, and naming entities the same way in every command that takes one.
#include "CliFiles.h"
#include "support/CliRun.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

using TestSupport::CliRun;
using TestSupport::tarvex;
using CliFiles::ok;

TEST(TarvexDiff, PrintsWhatDiffersAndEndsAsDiffDoes)
{
    const TestSupport::TempDir dir;
    const QString a = dir.path("a.json");
    const QString b = dir.path("b.json");
    ok({"add", a, "PCB", "Board", "--parent", "#2", "Width=0.06"});
    ASSERT_TRUE(QFile::copy(a, b));
    ok({"set", b, "Board", "Width=70 mm"});
    ok({"add", b, "Component", "U1", "--parent", "Board"});

    const QString forward = "~ PCB \"Board\" #4\n    Width: 0.06 -> 0.07 [mm]\n+ Component \"U1\" #5 in PCB \"Board\" #4\n";
    const struct
    {
        QStringList arguments;
        int status;
        QString out;
        QString err;
    } rows[] = {
        {{a, a}, 0, "", ""},
        {{a, b}, 1, forward, ""},
        // Trouble is 2, as for diff(1), and nothing is printed on stdout.
        {{a, dir.path("missing.json")}, 2, "", "error: Cannot open file " + dir.path("missing.json") + ": no such file\n"},
        {{dir.write("text.json", "not a model"), a}, 2, "", "error: "},
        {{a}, 2, "", "tarvex: diff needs A.json and B.json"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString());
        const CliRun run = tarvex(QStringList{"diff"} + row.arguments);
        EXPECT_EQ(run.exitCode, row.status) << run.err.toStdString();
        EXPECT_EQ(run.out, row.out);
        EXPECT_TRUE(row.err.isEmpty() ? run.err.isEmpty() : run.err.startsWith(row.err)) << run.err.toStdString();
    }

    // The document itself is ModelDiff's (ModelDiffTest).
    const CliRun json = tarvex({"diff", "--json", a, b});
    EXPECT_EQ(json.exitCode, 1);
    EXPECT_EQ(QJsonDocument::fromJson(json.out.toUtf8()).object().value("added").toInt(), 1) << json.out.toStdString();
}

TEST(TarvexUpdate, DryRunPrintsWhatTheUpdateWouldChangeAndSavesNothing)
{
    const TestSupport::TempDir dir;
    const QString model = dir.path("m.json");
    const QString file = dir.write("lid.xml", CliFiles::blockFile("Lid"));
    ok({"import", file, "--model", model});
    const QByteArray before = dir.read("m.json");
    dir.write("before.json", before);
    dir.write("lid.xml", CliFiles::blockFile("Lid", 3));

    const CliRun dry = tarvex({"update", file, "--model", model, "--dry-run"});
    ASSERT_EQ(dry.exitCode, 0) << dry.err.toStdString();
    EXPECT_TRUE(dry.err.contains("Dry run: nothing was saved; the model file " + model + " was left unchanged."));
    EXPECT_EQ(dir.read("m.json"), before);

    // What the dry run printed last is what the update then does.
    ok({"update", file, "--model", model});
    const CliRun diff = tarvex({"diff", dir.path("before.json"), model});
    EXPECT_EQ(diff.exitCode, 1);
    EXPECT_TRUE(diff.out.contains("~ Component \"Lid\" #4\n    X_Location: 0 -> 0.003\n")) << diff.out.toStdString();
    EXPECT_TRUE(dry.out.endsWith(diff.out)) << dry.out.toStdString();

    // In JSON the summary and the difference come as one document.
    dir.write("lid.xml", CliFiles::blockFile("Lid", 5));
    const CliRun json = tarvex({"update", file, "--model", model, "--dry-run", "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QJsonObject document = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(document["difference"].toObject()["changed"].toInt(), 1) << json.out.toStdString();
    EXPECT_EQ(document["summary"].toObject()["warnings"].toInt(), 1) << json.out.toStdString();

    // An update that fails is no dry run that worked.
    const CliRun failed = tarvex({"update", dir.path("none.xml"), "--model", model, "--dry-run"});
    EXPECT_TRUE(CliFiles::failedWith(failed, "no such file"));
    EXPECT_FALSE(failed.err.contains("Dry run"));
}

TEST(TarvexImport, ASecondImportOfOneFileWarnsAndPointsToUpdate)
{
    const TestSupport::TempDir dir;
    const QString model = dir.path("m.json");
    const QString a = dir.write("a.xml", CliFiles::blockFile("A"));
    const QString b = dir.write("b.xml", CliFiles::blockFile("B", 5));
    const QString warning = QStringLiteral("warning: %1 already holds an import of %2 (%3); use `tarvex update %2 "
                                           "--model %1` to update it\n");
    const struct
    {
        QStringList arguments;
        QString warning; // empty: no such warning
    } rows[] = {
        {{"import", a}, ""},
        {{"import", b}, ""},
        {{"import", a}, warning.arg(model, a, "Component \"A\" #4")},
        // The same file by another path.
        {{"import", dir.path("./sub/../a.xml")}, warning.arg(model, dir.path("./sub/../a.xml"),
                                                            "Component \"A\" #4 and 1 more")},
        // An update takes the place of the import of its own file only: a's three stay.
        {{"update", b}, ""},
        {{"import", a}, warning.arg(model, a, "Component \"A\" #4 and 2 more")},
        {{"import", b}, warning.arg(model, b, "Component \"B\" #7")},
    };
    QDir(dir.path(".")).mkdir("sub");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString());
        const CliRun run = tarvex(row.arguments + QStringList{"--model", model});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        if (row.warning.isEmpty())
            EXPECT_FALSE(run.err.contains("already holds")) << run.err.toStdString();
        else
            EXPECT_TRUE(run.err.contains(row.warning)) << run.err.toStdString();
    }

    const QString sample = dir.path("sample.json");
    ok({"import", "--model", sample});
    const CliRun again = tarvex({"import", "--model", sample});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_TRUE(again.err.contains("warning: " + sample + " already holds an import of the built-in sample board (PCB "
                                   "\"PCB\" #4 and 5 more); importing it again adds a second copy\n"))
        << again.err.toStdString();
}

TEST(TarvexEntityNames, EveryCommandTakesAnIdAndRefusesANameSeveralEntitiesHold)
{
    const TestSupport::TempDir dir;
    const QString model = dir.path("m.json");
    ok({"add", model, "PCB", "Twin", "--parent", "#2", "Width=0.01", "Depth=0.01", "Height=0.001"});
    ok({"add", model, "PCB", "Twin", "--parent", "#2", "Width=0.01", "Depth=0.01", "Height=0.001"});
    const QByteArray saved = dir.read("m.json");
    const QString powerMap = QStringLiteral(TARVEX_SAMPLES "/grid-power-map.txt");
    const QString layout = QStringLiteral(TARVEX_SAMPLES "/material-map-layout.txt");
    const QString extension = QStringLiteral(TARVEX_TEST_DATA "/builders/extend-board.xml");
    const QString out = dir.path("out.xml");
    // Each command with the place of the name marked "NAME".
    const QStringList commands[] = {
        {"set", model, "NAME", "Width=0.02"},
        {"add", model, "Component", "C", "--parent", "NAME"},
        {"power-map", powerMap, "--model", model, "--entity", "NAME"},
        {"material-map", layout, "--model", model, "--entity", "NAME", "--resize"},
        {"extend", extension, "--model", model, "--board", "NAME"},
        {"cfd-export", model, "--board", "NAME", "-o", out},
    };
    const QString candidates = "\"Twin\" names 2 entities in " + model +
                               "; name one by its id:\n  PCB \"Twin\" #4 in Chassis #2\n  PCB \"Twin\" #5 in Chassis #2\n";
    for (const QStringList& command : commands) {
        SCOPED_TRACE(command.front().toStdString());
        QStringList shared = command;
        shared.replaceInStrings(QRegularExpression("^NAME$"), "Twin");
        EXPECT_TRUE(CliFiles::failedWith(tarvex(shared), candidates));
        EXPECT_EQ(dir.read("m.json"), saved);

        QStringList unknown = command;
        unknown.replaceInStrings(QRegularExpression("^NAME$"), "#99");
        EXPECT_TRUE(CliFiles::failedWith(tarvex(unknown), "no entity #99 in " + model));

        // By its id the entity is found; what the command then does is its own affair.
        QStringList byId = command;
        byId.replaceInStrings(QRegularExpression("^NAME$"), "#5");
        const CliRun run = tarvex(byId);
        EXPECT_FALSE(run.err.contains("names 2 entities") || run.err.contains("no entity")) << run.err.toStdString();
        dir.write("m.json", saved);
    }
}
