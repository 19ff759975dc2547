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

TEST(RenderCli, EveryViewOfAModelAndOfItsFileInBothFormats)
{
    const TestSupport::TempDir dir;
    const QString model = CliFiles::importedSample(dir);
    ASSERT_FALSE(model.isEmpty());
    struct Row
    {
        const char* view;
        bool showsU1;
    };
    for (const QString& input : {model, Sample}) {
        for (const Row& row : {Row{"top", true}, Row{"bottom", false}, Row{"side", true}}) {
            const QString svg = dir.path(QStringLiteral("%1.svg").arg(row.view));
            const QString png = dir.path(QStringLiteral("%1.png").arg(row.view));
            CliFiles::ok({"render", input, "--view", row.view, "-o", svg});
            CliFiles::ok({"render", input, "--view", row.view, "-o", png, "--size", "800x500"});
            const QByteArray drawing = dir.read(QStringLiteral("%1.svg").arg(row.view));
            EXPECT_TRUE(drawing.startsWith("<?xml")) << row.view;
            EXPECT_EQ(drawing.contains(">U1</text>"), row.showsU1) << row.view << " of " << input.toStdString();
            EXPECT_TRUE(drawing.contains(QFileInfo(input).fileName().toUtf8())) << "the file's name in a corner";
            EXPECT_EQ(QImage(png).size(), QSize(800, 500)) << row.view;
        }
    }
    // One part alone.
    CliFiles::ok({"render", model, "--entity", "C1", "-o", dir.path("c1.svg")});
    EXPECT_TRUE(dir.read("c1.svg").contains(">C1</text>"));
    EXPECT_FALSE(dir.read("c1.svg").contains(">U1</text>"));
    EXPECT_EQ(QImage(dir.path("top.png")).size(), QSize(800, 500));
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
    // The board carries the power of everything on it.
    const char* const Board = "<tr><td>BRD</td><td class=\"n\">40</td><td class=\"n\">30</td><td class=\"n\">1.6</td>"
                              "<td class=\"n\">1</td><td class=\"n\">0</td><td class=\"n\">11</td></tr>";
    // The area map's 1.5 W laid with scale 3, the scaled bottom source and the heat sink's source once.
    for (const char* row : {"<td>U7_Map</td><td>U7</td><td>heat source, area map area-map</td>",
                            "<td class=\"n\">4.5</td>", "<td>BRD_Bottom</td><td></td><td>heat source</td>"
                                                        "<td class=\"n\">4</td><td class=\"n\">1</td>",
                            "<tr><th colspan=\"4\">Total</th><td class=\"n\">11</td>", "records no warnings", Board, "; 1 board, "})
        EXPECT_TRUE(fromModel.contains(QLatin1String(row))) << row << "\n" << fromModel.toStdString();
    EXPECT_EQ(fromFile.count(QStringLiteral("<td>HS9_Base</td>")), 1);
    for (const char* row : {"<td>U7_Map</td><td>U7</td><td>heat source, area map area-map</td>",
                            "<tr><th colspan=\"4\">Total</th><td class=\"n\">11</td>", Board,
                            "<td>BRD_Bottom</td><td>BRD</td><td>heat source</td><td class=\"n\">4</td><td class=\"n\">1</td>",
                            "<td>FR4</td><td class=\"n\">0.3</td><td class=\"n\">0.3</td><td class=\"n\">0.3</td>"
                            "<td class=\"n\">1900</td><td class=\"n\">1150</td>",
                            "<h2>Warnings of reading the file</h2>\n<ul>\n<li>", "Nobody"})
        EXPECT_TRUE(fromFile.contains(QLatin1String(row))) << row << "\n" << fromFile.toStdString();
}
