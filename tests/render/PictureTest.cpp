// Pictures read back as a person would look at them: the labels, outlines, circles and
// legend entries of each view in SVG, and a PNG of the asked size that is not blank.
#include "RenderTestSupport.h"

#include <tarvex/render/RenderPalette.h>
#include <tarvex/render/SceneRenderer.h>

#include <QSet>

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

using namespace Render;
using RenderTest::ImportedModel;
using RenderTest::SvgContent;

namespace {

const QSize Size(1200, 750);

RenderScene sampleScene()
{
    const ImportedModel imported(RenderTest::sampleBoard());
    RenderScene scene = imported.scene();
    scene.fileName = QStringLiteral("/somewhere/sample.json");
    scene.date = QDateTime(QDate(2026, 3, 14), QTime(9, 26), Qt::UTC);
    return scene;
}

} // namespace

TEST(PlanViewSvg, TopViewShowsPartsToScaleWithTheirLegend)
{
    const RenderScene scene = sampleScene();
    const SvgContent svg(SceneRenderer(scene, View::Top).toSvg(Size));
    ASSERT_TRUE(svg.wellFormed);
    EXPECT_EQ(svg.title, QStringLiteral("Top view of sample.json"));
    // Sized in pixels, so a browser shows it at the size it was drawn for.
    EXPECT_TRUE(SceneRenderer(scene, View::Top).toSvg(Size).contains("<svg width=\"1200px\" height=\"750px\""));
    const QStringList texts = svg.textList();
    for (const char* expected : {"Top view", "U1", "HS1", "C1", "Q1", "Materials", "Copper", "FR4", "Power density",
                                 "1e+05 W/m²", "component", "block", "terminal", "solder ball or bump", "10 mm",
                                 "sample.json, 2026-03-14 09:26 UTC"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected << " in " << texts.join('|').toStdString();

    // Four balls and two bumps, plus the legend's circle.
    EXPECT_EQ(svg.count(QStringLiteral("circle")), 7);
    // The board 60 x 40 mm is the largest outline; each label sits in an outline of its part's
    // size and place relative to it (y grows downwards in the picture).
    const QRectF board = svg.largest();
    ASSERT_GT(board.width(), 0.0);
    EXPECT_NEAR(board.width() / board.height(), 1.5, 0.01);
    const double mm = board.width() / 60.0;
    struct Row
    {
        const char* label;
        QRectF plan; // mm, file axes
    };
    for (const Row& row : {Row{"C1", QRectF(40, 10, 3, 2)}, Row{"Q1", QRectF(40, 25, 6, 6)}}) {
        const QRectF expected(board.left() + row.plan.left() * mm, board.bottom() - row.plan.bottom() * mm,
                              row.plan.width() * mm, row.plan.height() * mm);
        const auto drawn = std::find_if(svg.shapes.begin(), svg.shapes.end(), [&expected](const RenderTest::SvgShape& shape) {
            return std::abs(shape.box.left() - expected.left()) < 1.0 && std::abs(shape.box.top() - expected.top()) < 1.0 &&
                   std::abs(shape.box.width() - expected.width()) < 1.0 &&
                   std::abs(shape.box.height() - expected.height()) < 1.0;
        });
        ASSERT_NE(drawn, svg.shapes.end()) << row.label << " has no outline of its size at its place";
        // Its label stands on it or just above it.
        const QPointF label = svg.textAt(QLatin1String(row.label));
        EXPECT_TRUE(label.x() > expected.left() - mm && label.x() < expected.right()) << row.label;
        EXPECT_TRUE(label.y() > expected.top() - 2.5 * mm && label.y() <= expected.bottom()) << row.label;
    }
    // The heat source is filled from the density scale, the copper face in its material colour.
    QSet<QString> fills;
    for (const RenderTest::SvgShape& shape : svg.shapes)
        fills.insert(shape.fill.toLower());
    EXPECT_TRUE(fills.contains(RenderPalette::materialColours({"Copper", "FR4"}).value("Copper").name())) << "copper";
    EXPECT_TRUE(fills.contains(RenderPalette::densityColour(1.0).name())) << "the only heat source is the hottest";
    // The core's heat lies over the die's bumps, not under them.
    const auto heat = std::find_if(svg.shapes.begin(), svg.shapes.end(), [](const RenderTest::SvgShape& shape) {
        return shape.fill.toLower() == RenderPalette::densityColour(1.0).name();
    });
    ASSERT_NE(heat, svg.shapes.end());
    int covered = 0;
    for (auto shape = svg.shapes.begin(); shape != svg.shapes.end(); ++shape) {
        if (shape->tag == QLatin1String("circle") && heat->box.contains(shape->box.center())) {
            ++covered;
            EXPECT_LT(shape - svg.shapes.begin(), heat - svg.shapes.begin()) << "a bump drawn over the heat";
        }
    }
    EXPECT_EQ(covered, 2);
}

TEST(PlanViewSvg, BottomViewShowsTheOtherFaceMirrored)
{
    RenderScene scene = RenderTest::fileScene(RenderTest::renderData("two-sided.xml"));
    const SvgContent top(SceneRenderer(scene, View::Top).toSvg(Size));
    const SvgContent bottom(SceneRenderer(scene, View::Bottom).toSvg(Size));
    EXPECT_TRUE(top.textList().contains("UP"));
    EXPECT_FALSE(top.textList().contains("DOWN"));
    EXPECT_TRUE(bottom.textList().contains("DOWN"));
    EXPECT_FALSE(bottom.textList().contains("UP"));
    EXPECT_EQ(top.count("circle"), 2) << "the ball under UP and the legend's";
    EXPECT_EQ(bottom.count("circle"), 1);

    // DOWN stands at x 2..6 mm of a 40 mm board: near the left seen from above, near the right
    // seen from below.
    const QRectF frame = bottom.largest();
    const double x = (bottom.textAt("DOWN").x() - frame.left()) / frame.width();
    EXPECT_GT(x, 0.8);
    for (SceneOutline& outline : scene.outlines)
        outline.bottomSide = false;
    const SvgContent moved(SceneRenderer(scene, View::Top).toSvg(Size));
    EXPECT_LT((moved.textAt("DOWN").x() - moved.largest().left()) / moved.largest().width(), 0.2);
}

TEST(SideViewSvg, LayerStackWithThicknessesAndStretchedHeights)
{
    const RenderScene scene = sampleScene();
    const SceneRenderer renderer(scene, View::Side);
    const int stretch = renderer.verticalExaggeration(Size);
    EXPECT_GT(stretch, 1) << "a 13 mm stack on a 60 mm board is stretched";
    const SvgContent svg(renderer.toSvg(Size));
    const QStringList texts = svg.textList();
    for (const QString& expected :
         {QStringLiteral("Side view (from the front), heights stretched ×%1").arg(stretch),
          QStringLiteral("Top_East: 0.035 mm, Copper"), QStringLiteral("Core: 1.5 mm, FR4"),
          QStringLiteral("Bottom: 0.035 mm, Copper"), QStringLiteral("U1"), QStringLiteral("HS1"),
          QStringLiteral("10 mm across; heights ×%1").arg(stretch)})
        EXPECT_TRUE(texts.contains(expected)) << expected.toStdString() << " in " << texts.join('|').toStdString();
    // Layers are listed top down.
    EXPECT_LT(texts.indexOf("Top_East: 0.035 mm, Copper"), texts.indexOf("Core: 1.5 mm, FR4"));
    EXPECT_LT(texts.indexOf("Core: 1.5 mm, FR4"), texts.indexOf("Bottom: 0.035 mm, Copper"));

    // The core is drawn 60 mm wide and 1.5 mm thick, times the stretch.
    const QString core = RenderPalette::materialColours({"Copper", "FR4"}).value("FR4").name();
    QRectF drawn;
    for (const RenderTest::SvgShape& shape : svg.shapes) {
        if (shape.fill.toLower() == core && shape.box.width() > drawn.width())
            drawn = shape.box;
    }
    ASSERT_GT(drawn.width(), 0.0);
    EXPECT_NEAR(drawn.height() / drawn.width(), 1.5 * stretch / 60.0, 0.01);
}

TEST(Png, AskedSizeAndNotBlankInEveryView)
{
    const RenderScene scene = sampleScene();
    const QRgb copper = RenderPalette::materialColours({"Copper", "FR4"}).value("Copper").rgb();
    for (const View view : {View::Top, View::Bottom, View::Side}) {
        for (const QSize& size : {QSize(640, 400), QSize(1600, 1000)}) {
            const QImage image = SceneRenderer(scene, view).toImage(size);
            EXPECT_EQ(image.size(), size);
            QSet<QRgb> colours;
            int coloured = 0;
            for (int y = 0; y < image.height(); y += 3) {
                for (int x = 0; x < image.width(); x += 3) {
                    colours.insert(image.pixel(x, y));
                    coloured += image.pixel(x, y) == copper ? 1 : 0;
                }
            }
            EXPECT_GT(colours.size(), 8) << int(view);
            EXPECT_GT(coloured, 20) << "the copper is seen in view " << int(view);
        }
    }
}

TEST(Palette, ColoursStayApartAndTheScaleRisesInLightness)
{
    QSet<QRgb> materials;
    for (int index = 0; index < 16; ++index)
        materials.insert(RenderPalette::materialColour(index).rgb());
    EXPECT_EQ(materials.size(), 16);
    // Viridis grows lighter along its length, which any reader can follow.
    double lightness = -1.0;
    for (int step = 0; step <= 10; ++step) {
        const QColor colour = RenderPalette::densityColour(step / 10.0);
        const double luma = 0.2126 * colour.redF() + 0.7152 * colour.greenF() + 0.0722 * colour.blueF();
        EXPECT_GT(luma, lightness) << step;
        lightness = luma;
    }
    EXPECT_EQ(RenderPalette::densityColour(-3.0), RenderPalette::densityColour(0.0));
    EXPECT_EQ(RenderPalette::densityColour(7.0), RenderPalette::densityColour(1.0));
}

TEST(Palette, AMaterialKeepsItsColourByName)
{
    // The sample board's model and file and a file of FR4 alone give each material one colour;
    // in a picture of many materials no two share one, and none looks like the hottest power.
    const RenderTest::ImportedModel imported(RenderTest::sampleBoard());
    const QStringList pictures[] = {
        imported.scene().cellMaterials(), sampleScene().cellMaterials(),
        RenderTest::fileScene(RenderTest::builderData("heat-sources.xml")).cellMaterials(),
        {"Solder", "FR4", "Copper", "Silicon", "Mold", "Aluminium", "Air"},
    };
    EXPECT_EQ(pictures[0], (QStringList{"Copper", "FR4"}));
    EXPECT_EQ(pictures[1], (QStringList{"Copper", "FR4"}));
    EXPECT_EQ(pictures[2], (QStringList{"FR4"}));
    const QColor hot = RenderPalette::densityColour(1.0);
    QHash<QString, QColor> seen;
    for (const QStringList& names : pictures) {
        const QHash<QString, QColor> colours = RenderPalette::materialColours(names);
        QSet<QRgb> distinct;
        for (auto it = colours.begin(); it != colours.end(); ++it) {
            distinct.insert(it->rgb());
            if (&names != &pictures[3] && seen.contains(it.key())) {
                EXPECT_EQ(seen.value(it.key()).name(), it->name()) << it.key().toStdString();
            }
            seen.insert(it.key(), it.value());
            const double distance = std::abs(it->redF() - hot.redF()) + std::abs(it->greenF() - hot.greenF()) +
                                    std::abs(it->blueF() - hot.blueF());
            EXPECT_GT(distance, 0.5) << it.key().toStdString() << " looks like the hottest power: " << it->name().toStdString();
        }
        EXPECT_EQ(distinct.size(), names.size());
    }
}

TEST(SideViewSvg, LabelsNeitherPileUpNorCoverTheBoard)
{
    // Eight parts side by side at one place on the sample board and one under the board:
    // their labels never overlap, and the one underneath is labelled below itself.
    RenderScene scene = sampleScene();
    for (int i = 1; i <= 8; ++i) {
        SceneOutline part;
        part.label = QStringLiteral("P%1").arg(i);
        part.outline = QPolygonF(QRectF(50, 5 + i, 4, 1));
        part.zLow = 1.6;
        part.zHigh = 2.0;
        scene.outlines.append(part);
    }
    SceneOutline under;
    under.label = QStringLiteral("B1");
    under.outline = QPolygonF(QRectF(30, 30, 4, 4));
    under.zLow = -1.0;
    under.zHigh = 0.0;
    under.bottomSide = true;
    scene.outlines.append(under);
    const SvgContent svg(SceneRenderer(scene, View::Side).toSvg(Size));
    QVector<QPointF> shown;
    for (const RenderTest::SvgText& text : svg.texts) {
        if (text.text.startsWith(QLatin1Char('P')) && text.text.size() == 2)
            shown.append(text.at);
    }
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_LT(shown.size(), 8);
    for (int i = 0; i < shown.size(); ++i) {
        for (int j = i + 1; j < shown.size(); ++j)
            EXPECT_TRUE(std::abs(shown[i].y() - shown[j].y()) > 8 || std::abs(shown[i].x() - shown[j].x()) > 20)
                << "two labels on one another";
    }
    const QPointF label = svg.textAt(QStringLiteral("B1"));
    const auto box = std::find_if(svg.shapes.begin(), svg.shapes.end(), [&](const RenderTest::SvgShape& shape) {
        return shape.box.width() < Size.width() / 5 && shape.box.left() <= label.x() &&
               shape.box.right() >= label.x() && shape.box.height() > 2;
    });
    ASSERT_NE(box, svg.shapes.end());
    EXPECT_GT(label.y(), box->box.bottom()) << "B1 is labelled on the board instead of under its part";
}
