// The report page: self-contained, with the views and the tables a person reads, and shown
// by a real browser without errors.
#include "RenderTestSupport.h"

#include "support/TempDir.h"

#include <tarvex/render/HtmlReport.h>
#include <tarvex/render/RenderPalette.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace Render;

namespace {

QString reportOfSample()
{
    const RenderTest::ImportedModel imported(RenderTest::sampleBoard());
    RenderScene scene = imported.scene();
    scene.fileName = QStringLiteral("sample.json");
    scene.date = QDateTime(QDate(2026, 3, 14), QTime(9, 26), Qt::UTC);
    return QString::fromUtf8(HtmlReport::toHtml(scene));
}

struct BrowserRun
{
    int status = -1;
    QByteArray out;
    QString log;
};

// Headless Chromium on `page` with `arguments`, in a profile of its own, as root may run it.
BrowserRun runBrowser(const QString& browser, const QString& page, const QStringList& arguments)
{
    const TestSupport::TempDir profile;
    QProcess process;
    process.start(browser, QStringList{"--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                                       "--user-data-dir=" + profile.path("profile"), "--enable-logging=stderr",
                                       "--v=0"} +
                               arguments + QStringList{"file://" + page});
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
    }
    return BrowserRun{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                      process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

TEST(Report, OnePageWithViewsAndTablesAndNothingFetched)
{
    const QString html = reportOfSample();
    EXPECT_TRUE(html.startsWith("<!DOCTYPE html>"));
    EXPECT_EQ(html.count("<svg"), 3) << "top, bottom and side views inline";
    EXPECT_EQ(html.count("<figure>"), 3);
    for (const char* absent : {"<script", "<link", " src=", "@import", "url("})
        EXPECT_FALSE(html.contains(QLatin1String(absent))) << absent;
    // Only the SVG namespaces name the web.
    EXPECT_EQ(html.count("http"), html.count("http://www.w3.org/"));

    const QStringList rows = {
        // The board: 60 x 40 mm, 1.6 mm, 5 layers, no power in its cells; U1 die and core 2.5 W
        // each, C1 0.1 W and Q1 0.75 W on it.
        "<tr><td>PCB</td><td class=\"n\">60</td><td class=\"n\">40</td><td class=\"n\">1.6</td><td class=\"n\">5</td>"
        "<td class=\"n\">0</td><td class=\"n\">5.85</td></tr>",
        // Its stack top down starts with the copper halves.
        "<tr><td>Top_East</td><td class=\"n\">1.565</td><td class=\"n\">0.035</td><td>Copper</td><td class=\"n\">1</td></tr>",
        "<tr><td>Q1</td><td>component</td><td>2R</td><td>top</td><td class=\"n\">6</td><td class=\"n\">6</td>"
        "<td class=\"n\">1.2</td><td>Silicon</td><td class=\"n\">0.75</td></tr>",
        "<tr><td>HS1</td><td>block</td><td>Group_Obstruction</td><td>top</td><td class=\"n\">15</td><td class=\"n\">15</td>"
        "<td class=\"n\">10</td><td>Aluminium</td>",
        "<tr><td>FR4</td><td class=\"n\">0.8</td><td class=\"n\">0.3</td><td class=\"n\">0.8</td><td class=\"n\">1900</td>"
        "<td class=\"n\">1150</td><td class=\"n\">0.9</td></tr>",
        "<tr><td>U1_Core</td><td>U1</td><td>heat source</td><td class=\"n\">25</td><td class=\"n\">2.5</td>"
        "<td class=\"n\">1e+05</td></tr>",
        "<p>The model records no warnings.</p>",
        "<h1>sample.json</h1>",
    };
    for (const QString& row : rows)
        EXPECT_TRUE(html.contains(row)) << row.toStdString();
    EXPECT_LT(html.indexOf("<td>Top_East</td>"), html.indexOf("<td>Core</td>"));
    EXPECT_LT(html.indexOf("<td>Core</td>"), html.indexOf("<td>Bottom</td>"));
}

TEST(Report, HeadlessBrowserShowsThePageWithoutErrors)
{
    QString browser;
    for (const char* name : {"chromium", "chromium-browser", "google-chrome"}) {
        if (browser.isEmpty())
            browser = QStandardPaths::findExecutable(QLatin1String(name));
    }
    if (browser.isEmpty())
        GTEST_SKIP() << "no Chromium on this machine (Debian: apt-get install chromium); the page was not opened";

    const TestSupport::TempDir dir;
    const QString page = dir.write("report.html", reportOfSample().toUtf8());
    const QString shot = dir.path("shot.png");
    const BrowserRun screenshot =
        runBrowser(browser, page, {"--window-size=1280,2000", "--hide-scrollbars", "--screenshot=" + shot});
    ASSERT_EQ(screenshot.status, 0) << screenshot.log.toStdString();
    // A console message of the page (an error, a failed load) is logged as CONSOLE.
    EXPECT_FALSE(screenshot.log.contains(":CONSOLE")) << screenshot.log.toStdString();

    const QImage image(shot);
    ASSERT_FALSE(image.isNull()) << "no screenshot";
    EXPECT_EQ(image.size(), QSize(1280, 2000));
    QSet<QRgb> colours;
    int copper = 0;
    for (int y = 0; y < image.height(); y += 4) {
        for (int x = 0; x < image.width(); x += 4) {
            colours.insert(image.pixel(x, y));
            copper += image.pixel(x, y) == RenderPalette::materialColours({"Copper", "FR4"}).value("Copper").rgb() ? 1 : 0;
        }
    }
    EXPECT_GT(colours.size(), 20) << "the page is blank";
    EXPECT_GT(copper, 1000) << "the board's copper face is not shown";

    // The browser built all three drawings and the tables from the page.
    const BrowserRun dom = runBrowser(browser, page, {"--dump-dom"});
    ASSERT_EQ(dom.status, 0) << dom.log.toStdString();
    EXPECT_EQ(dom.out.count("<svg"), 3);
    EXPECT_GE(dom.out.count("<table"), 5);
    EXPECT_TRUE(dom.out.contains("Power density"));
}

TEST(Report, ComponentsInTheOrderAReaderCounts)
{
    RenderScene scene;
    for (const char* label : {"U10", "U5", "C2", "U1", "U007", "U1A", "R"}) {
        SceneOutline outline;
        outline.label = QLatin1String(label);
        outline.outline = QPolygonF(QRectF(0, 0, 1, 1));
        scene.outlines.append(outline);
    }
    const QString html = QString::fromUtf8(HtmlReport::toHtml(scene));
    QStringList order;
    QRegularExpression row(QStringLiteral("<tr><td>([^<]*)</td><td>(component|block)</td>"));
    for (auto match = row.globalMatch(html); match.hasNext();)
        order.append(match.next().captured(1));
    EXPECT_EQ(order, (QStringList{"C2", "R", "U1", "U1A", "U5", "U007", "U10"}));
    EXPECT_TRUE(html.contains("; 0 boards, 7 components and blocks, ")) << html.toStdString();
}
