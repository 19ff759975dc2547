// `tarvex render` and `tarvex report` as a user runs them: pictures of a saved model and of
// an interchange file in every view and format, the report of a model with a power map,
// and the refusals of wrong arguments.
#include "CliFiles.h"

#include <QImage>

#include <gtest/gtest.h>

using TestSupport::tarvex;

namespace {

const QString Sample = QStringLiteral(TARVEX_SAMPLES "/board.xml");

} // namespace

// What each view shows is the picture's (tests/render): here the options reach it, for a
// model and for a file, in both formats.
TEST(RenderCli, AModelAndItsFileInEitherFormatWithTheViewSizeAndEntityAsked)
{
    const TestSupport::TempDir dir;
    const QString model = CliFiles::importedSample(dir);
    ASSERT_FALSE(model.isEmpty());
    for (const QString& input : {model, Sample}) {
        SCOPED_TRACE(input.toStdString());
        CliFiles::ok({"render", input, "-o", dir.path("top.svg")});
        const QByteArray drawing = dir.read("top.svg");
        EXPECT_TRUE(drawing.startsWith("<?xml"));
        EXPECT_TRUE(drawing.contains(">U1</text>"));
        EXPECT_TRUE(drawing.contains(QFileInfo(input).fileName().toUtf8())) << "the file's name in a corner";
        CliFiles::ok({"render", input, "--view", "bottom", "-o", dir.path("bottom.svg")});
        EXPECT_FALSE(dir.read("bottom.svg").contains(">U1</text>")) << "U1 is on the top face";
        CliFiles::ok({"render", input, "--view", "side", "-o", dir.path("side.png"), "--size", "800x500"});
        EXPECT_EQ(QImage(dir.path("side.png")).size(), QSize(800, 500));
    }
    // One part alone.
    CliFiles::ok({"render", model, "--entity", "C1", "-o", dir.path("c1.svg")});
    EXPECT_TRUE(dir.read("c1.svg").contains(">C1</text>"));
    EXPECT_FALSE(dir.read("c1.svg").contains(">U1</text>"));
    EXPECT_TRUE(tarvex({"render", model, "-o", dir.path("default.png")}).out.contains("(1600x1000)"));
}

TEST(RenderCli, ReportOfAModelWithAPowerMap)
{
    const TestSupport::TempDir dir;
    const QString model = CliFiles::importedSample(dir);
    ASSERT_FALSE(model.isEmpty());
    CliFiles::ok({"power-map", QStringLiteral(TARVEX_SAMPLES "/grid-power-map.txt"), "--model", model, "--entity", "U1"});
    const TestSupport::CliRun run = tarvex({"report", model, "-o", dir.path("report.html")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("Wrote the report of"));
    const QString html = QString::fromUtf8(dir.read("report.html"));
    // The 4 x 3 mm map of 0.24 W in its 12 cells, beside the package's heat source.
    EXPECT_TRUE(html.contains("<td>grid-power-map</td><td>U1</td><td>power map, 12 cells</td><td class=\"n\">12</td>"
                              "<td class=\"n\">0.24</td>"))
        << html.toStdString();
    EXPECT_TRUE(html.contains("<tr><th colspan=\"4\">Total</th><td class=\"n\">2.74</td>"));
    // The map's cells are drawn in the top view, on the density scale.
    CliFiles::ok({"render", model, "-o", dir.path("map.svg")});
    EXPECT_GT(dir.read("map.svg").count("<path"), dir.read("map.svg").count("<circle"));
}

TEST(RenderCli, WrongArgumentsAndInputsAreRefused)
{
    const TestSupport::TempDir dir;
    const QString model = CliFiles::importedSample(dir);
    ASSERT_FALSE(model.isEmpty());
    const QString out = dir.path("out.svg");
    struct Row
    {
        QStringList arguments;
        int status;
        const char* message;
    };
    const Row rows[] = {
        {{"render", model}, 2, "render needs MODEL.json (or FILE.xml) and -o OUT.svg|OUT.png"},
        {{"render", model, "--view", "front", "-o", out}, 2, "--view takes top, bottom or side, not 'front'"},
        {{"render", model, "-o", dir.path("out.jpg")}, 2, "-o needs a file name ending in .svg or .png"},
        {{"render", model, "--size", "10x10", "-o", out}, 2, "--size takes WIDTHxHEIGHT in pixels, each from 64 to 16384"},
        {{"render", model, "--size", "wide", "-o", out}, 2, "--size takes WIDTHxHEIGHT"},
        {{"render", dir.path("missing.json"), "-o", out}, 1, "no such file"},
        {{"render", model, "--entity", "NOPE", "-o", out}, 1, "NOPE"},
        {{"render", Sample, "--entity", "NOPE", "-o", out}, 1, "holds no part called NOPE"},
        {{"render", model, "-o", dir.path("no/such/folder/out.svg")}, 1, "Cannot write"},
        {{"report", model}, 2, "report needs MODEL.json and -o REPORT.html"},
        {{"report", model, "-o", model}, 2, "-o names the model itself"},
        {{"report", model, "-o", dir.path("out.pdf")}, 2, "-o needs a file name ending in .html"},
    };
    for (const Row& row : rows) {
        const TestSupport::CliRun run = tarvex(row.arguments);
        EXPECT_EQ(run.exitCode, row.status) << row.arguments.join(' ').toStdString() << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(row.message))) << row.message << "\n" << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(out)) << row.arguments.join(' ').toStdString();
        EXPECT_FALSE(QFileInfo::exists(dir.path("out.pdf")));
    }
    // A model with nothing to draw says so.
    dir.write("empty.json", CliFiles::savedModel(""));
    EXPECT_TRUE(CliFiles::failedWith(tarvex({"render", dir.path("empty.json"), "-o", out}), "holds nothing to draw"));
}

// Which power each source carries is the scene's (RenderSceneTest): here both inputs of the
// command come to the same total, and only the file's report has warnings of its reading.
TEST(RenderCli, ReportsOfAFileAndOfItsModelAgreeOnPower)
{
    const TestSupport::TempDir dir;
    const QString file = QStringLiteral(TARVEX_TEST_DATA "/builders/heat-sources.xml");
    const QString model = dir.path("hs.json");
    CliFiles::ok({"import", file, "--model", model});
    CliFiles::ok({"report", model, "-o", dir.path("model.html")});
    CliFiles::ok({"report", file, "-o", dir.path("file.html")});
    const QString fromModel = QString::fromUtf8(dir.read("model.html"));
    const QString fromFile = QString::fromUtf8(dir.read("file.html"));
    const QString total = "<tr><th colspan=\"4\">Total</th><td class=\"n\">11</td>";
    EXPECT_TRUE(fromModel.contains(total) && fromModel.contains("records no warnings")) << fromModel.toStdString();
    EXPECT_TRUE(fromFile.contains(total) && fromFile.contains("<h2>Warnings of reading the file</h2>\n<ul>\n<li>"))
        << fromFile.toStdString();
}
