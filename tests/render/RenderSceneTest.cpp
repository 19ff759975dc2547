// The scenes gathered from a saved model and from the file it was imported from: what is
// drawn, where, and on which face.
#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Render;
using RenderTest::ImportedModel;

namespace {

const SceneOutline* outlineCalled(const RenderScene& scene, const QString& label)
{
    for (const SceneOutline& outline : scene.outlines) {
        if (outline.label == label && outline.kind != OutlineKind::Terminal)
            return &outline;
    }
    return nullptr;
}

void expectRect(const QRectF& actual, const QRectF& expected, const QString& what)
{
    EXPECT_NEAR(actual.left(), expected.left(), 1e-6) << what.toStdString();
    EXPECT_NEAR(actual.top(), expected.top(), 1e-6) << what.toStdString();
    EXPECT_NEAR(actual.width(), expected.width(), 1e-6) << what.toStdString();
    EXPECT_NEAR(actual.height(), expected.height(), 1e-6) << what.toStdString();
}

// The sample board as both the model and its file hold it: the parts at their places in
// millimetres (file axes), the joints, the heat source and the board's stack.
void expectSampleBoard(const RenderScene& scene, const char* source)
{
    SCOPED_TRACE(source);
    struct Row
    {
        const char* label;
        OutlineKind kind;
        QRectF plan;
        double zLow;
        double zHigh;
    };
    const Row rows[] = {
        {"U1", OutlineKind::Component, QRectF(10, 10, 15, 15), 1.9, 3.1},
        {"C1", OutlineKind::Component, QRectF(40, 10, 3, 2), 1.6, 2.6},
        {"Q1", OutlineKind::Component, QRectF(40, 25, 6, 6), 1.6, 2.8},
        {"HS1", OutlineKind::Block, QRectF(10, 10, 15, 15), 3.1, 13.1},
    };
    for (const Row& row : rows) {
        const SceneOutline* outline = outlineCalled(scene, QLatin1String(row.label));
        ASSERT_NE(outline, nullptr) << row.label;
        EXPECT_EQ(outline->kind, row.kind) << row.label;
        expectRect(outline->outline.boundingRect(), row.plan, QLatin1String(row.label));
        EXPECT_NEAR(outline->zLow, row.zLow, 1e-6) << row.label;
        EXPECT_NEAR(outline->zHigh, row.zHigh, 1e-6) << row.label;
        EXPECT_FALSE(outline->bottomSide) << row.label;
    }

    ASSERT_EQ(scene.balls.size(), 6u);
    int bumps = 0;
    for (const SceneBall& ball : scene.balls) {
        bumps += ball.bump ? 1 : 0;
        const bool corner = (std::abs(ball.x - 12) < 1e-4 || std::abs(ball.x - 23) < 1e-4) &&
                            (std::abs(ball.y - 12) < 1e-4 || std::abs(ball.y - 23) < 1e-4);
        const bool die = std::abs(ball.x - ball.y) < 1e-4 && (std::abs(ball.x - 16) < 1e-4 || std::abs(ball.x - 19) < 1e-4);
        EXPECT_TRUE(ball.bump ? die : corner) << ball.x << ", " << ball.y;
        EXPECT_NEAR(ball.radius, ball.bump ? 0.05 : 0.25, 1e-6);
        EXPECT_NEAR(ball.zLow, ball.bump ? 2.3 : 1.6, 1e-5);
        EXPECT_NEAR(ball.height, ball.bump ? 0.06 : 0.3, 1e-6);
    }
    EXPECT_EQ(bumps, 2);

    ASSERT_EQ(scene.heats.size(), 1);
    EXPECT_EQ(scene.heats[0].name, QStringLiteral("U1_Core"));
    expectRect(scene.heats[0].area.boundingRect(), QRectF(15, 15, 5, 5), QStringLiteral("U1_Core"));
    EXPECT_NEAR(scene.heats[0].density(), 2.5 / 25e-6, 1e-3);

    ASSERT_EQ(scene.boards.size(), 1);
    const SceneBoard& board = scene.boards[0];
    expectRect(board.shape.boundingRect(), QRectF(0, 0, 60, 40), QStringLiteral("board"));
    EXPECT_NEAR(board.bottom(), 0.0, 1e-9);
    EXPECT_NEAR(board.top(), 1.6, 1e-9);
    QStringList top;
    for (const SceneLayer* layer : board.faceLayers(true))
        top.append(layer->name + QLatin1Char(' ') + layer->cells.value(0).material);
    EXPECT_EQ(top.join(QStringLiteral(", ")).toStdString(), "Top_West Copper, Top_East Copper");
    ASSERT_EQ(board.faceLayers(false).size(), 1);
    EXPECT_EQ(board.faceLayers(false)[0]->name, QStringLiteral("Bottom"));
    EXPECT_EQ(scene.cellMaterials(), (QStringList{"Copper", "FR4"}));
}

} // namespace

TEST(ModelScene, SampleBoardAsItsModelAndItsFileHoldIt)
{
    const ImportedModel imported(RenderTest::sampleBoard());
    const RenderScene model = imported.scene();
    expectSampleBoard(model, "model");
    expectSampleBoard(RenderTest::fileScene(RenderTest::sampleBoard()), "file");

    // The model also knows its materials' properties and its terminals.
    ASSERT_EQ(model.materials.size(), 6);
    const auto copper = std::find_if(model.materials.begin(), model.materials.end(),
                                     [](const SceneMaterial& material) { return material.name == "Copper"; });
    ASSERT_NE(copper, model.materials.end());
    EXPECT_DOUBLE_EQ(copper->conductivity[0], 385.0);
    EXPECT_DOUBLE_EQ(copper->density, 8933.0);
    EXPECT_DOUBLE_EQ(copper->emissivity, 0.05);
    const int terminals = int(std::count_if(model.outlines.begin(), model.outlines.end(), [](const SceneOutline& outline) {
        return outline.kind == OutlineKind::Terminal;
    }));
    EXPECT_EQ(terminals, 2);
    EXPECT_NEAR(outlineCalled(model, "Q1")->power, 0.75, 1e-12);
}

TEST(ModelScene, BoardsKeepTheirOutlineHolesAndFaces)
{
    // An L-shaped board with a block on each face, as imported and as its file says.
    const ImportedModel imported(RenderTest::renderData("two-sided.xml"));
    for (const RenderScene& scene : {imported.scene(), RenderTest::fileScene(RenderTest::renderData("two-sided.xml"))}) {
        ASSERT_EQ(scene.boards.size(), 1);
        const QPainterPath& shape = scene.boards[0].shape;
        EXPECT_TRUE(shape.contains(QPointF(5, 25)));
        EXPECT_TRUE(shape.contains(QPointF(35, 5)));
        EXPECT_FALSE(shape.contains(QPointF(25, 20))) << "the notch of the L is not board";
        ASSERT_NE(outlineCalled(scene, "UP"), nullptr);
        ASSERT_NE(outlineCalled(scene, "DOWN"), nullptr);
        EXPECT_FALSE(outlineCalled(scene, "UP")->bottomSide);
        EXPECT_TRUE(outlineCalled(scene, "DOWN")->bottomSide);
        EXPECT_NEAR(outlineCalled(scene, "DOWN")->zHigh, 0.0, 1e-6);
        ASSERT_EQ(scene.balls.size(), 1u);
        EXPECT_FALSE(scene.balls[0].bottomSide);
    }

    // Through holes are cut out of the outline; a hole from one face only is kept for that face.
    const ImportedModel holes(RenderTest::builderData("holes-legacy.xml"));
    const RenderScene scene = holes.scene();
    int through = 0;
    int fromTop = 0;
    for (const SceneBoard& board : scene.boards) {
        const QPointF middle = board.shape.boundingRect().center();
        through += board.shape.contains(middle) ? 0 : 1;
        fromTop += board.topHoles.size();
        for (const QPolygonF& hole : board.topHoles)
            EXPECT_TRUE(board.shape.contains(hole.boundingRect().center()));
        EXPECT_TRUE(board.bottomHoles.isEmpty());
    }
    EXPECT_EQ(through, 1);
    EXPECT_EQ(fromTop, 1);
}

TEST(ModelScene, OneEntityOrPartAlone)
{
    const ImportedModel imported(RenderTest::sampleBoard());
    const RenderScene whole = imported.scene();
    for (const RenderScene& scene :
         {ModelSceneBuilder::build(*imported.chassis->getOwnedChildEntitiesOfType(EntityModel::Component_t).front()),
          RenderTest::fileScene(RenderTest::sampleBoard(), QStringLiteral("U1"))}) {
        EXPECT_TRUE(scene.boards.isEmpty());
        ASSERT_NE(outlineCalled(scene, "U1"), nullptr);
        EXPECT_EQ(outlineCalled(scene, "C1"), nullptr);
        EXPECT_EQ(scene.heats.size(), 1);
    }
    EXPECT_TRUE(RenderTest::fileScene(RenderTest::sampleBoard(), QStringLiteral("nothing")).isEmpty());
}

TEST(ModelScene, HeatSourcesCarryThePowerTheModelGivesThem)
{
    // Scaled sources, a source holding an area map of 1.5 W laid with scale 3 and a heat sink's
    // source shared by its three pieces: the file and its model give each source once with the
    // same power.
    struct Row
    {
        const char* name;
        double power;
    };
    const Row rows[] = {{"BRD_Top", 1.5}, {"BRD_Bottom", 1.0}, {"U7_Map", 4.5}, {"HS9_Base", 4.0}};
    const ImportedModel imported(RenderTest::builderData("heat-sources.xml"));
    const RenderScene scenes[] = {imported.scene(), RenderTest::fileScene(RenderTest::builderData("heat-sources.xml"))};
    for (const RenderScene& scene : scenes) {
        SCOPED_TRACE(&scene == &scenes[0] ? "model" : "file");
        ASSERT_EQ(scene.heats.size(), 4);
        for (const Row& row : rows) {
            EXPECT_EQ(std::count_if(scene.heats.begin(), scene.heats.end(),
                                    [&](const SceneHeat& heat) { return heat.name == row.name; }),
                      1)
                << row.name;
            const auto heat = std::find_if(scene.heats.begin(), scene.heats.end(),
                                           [&](const SceneHeat& heat) { return heat.name == row.name; });
            if (heat != scene.heats.end()) {
                EXPECT_NEAR(heat->power, row.power, 1e-9) << row.name;
                EXPECT_EQ(heat->areaMap, row.name == QLatin1String("U7_Map") ? QStringLiteral("area-map") : QString());
            }
        }
    }
}

TEST(ModelScene, LayoutLayersShowTheLayoutsMaterials)
{
    // A layer mixed from a layout is named by its metal in the file's picture, and the legend
    // and the report know both of the layout's materials.
    const RenderScene scene = RenderTest::fileScene(RenderTest::builderData("layout-board.xml"));
    QStringList names;
    for (const SceneMaterial& material : scene.materials) {
        names.append(material.name);
        EXPECT_FALSE(std::isnan(material.density)) << material.name.toStdString();
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{"Copper", "FR4"}));
    for (const QString& material : scene.cellMaterials())
        EXPECT_TRUE(names.contains(material)) << material.toStdString();
}
