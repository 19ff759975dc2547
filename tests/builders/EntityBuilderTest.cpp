#include "builders/TarvexEntityBuilder.h"
#include "host/EntityFetcher.h"
#include "host/Model.h"
#include "support/RecordingProgress.h"
#include "host/TypeCatalogue.h"
#include "objects/TarvexLayeredPartLayer.h"

#include "builders/BuilderTestSupport.h"

using namespace BuilderTest;
using namespace Tarvex;
using Kind = Tools::ToolProgress::Kind;

namespace {

// A model whose chassis receives the import, as the driver hands it over.
struct Session
{
    std::unique_ptr<Model> model = Model::createDefault();
    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    Tools::RecordingProgress progress;
    TarvexReuseMap reuse;

    template <typename... Nodes>
    TarvexBuiltEntities build(Nodes... nodes)
    {
        std::vector<std::unique_ptr<TarvexObject>> objects;
        (objects.push_back(std::move(nodes)), ...);
        return buildEntities(objects, chassis, reuse, &progress);
    }
    std::vector<Entity*> boards() const { return listed(chassis, TypeCatalogue::listFor(Chassis_t, PCB_t)); }
    QStringList errors() const { return progress.texts(Kind::FatalError); }
};

Entity* only(const std::vector<Entity*>& entities)
{
    EXPECT_EQ(entities.size(), 1u);
    return entities.size() == 1 ? entities.front() : nullptr;
}

} // namespace

// Host axes are (x, z, -y) of the file's; a location is the low corner relative to the
// owner's, each entity's origin being its own low corner.
TEST(TarvexEntityBuilder, BuildsEachNodeBelowItsParentPlacedInTheParentsFrame)
{
    Session s;
    const TarvexBuiltEntities built = s.build(boardTree());
    EXPECT_TRUE(s.errors().isEmpty()) << s.errors().join('\n').toStdString();
    EXPECT_EQ(s.progress.totalSteps(), 5u);
    EXPECT_EQ(s.progress.step(), 5u);

    Entity* board = only(s.boards()); // 100 x 2 x 80 mm from (0, 0, -80) mm
    ASSERT_TRUE(board);
    EXPECT_EQ(built.newEntities, std::vector<Entity*>{board});
    EXPECT_EQ(getStringValue(board, Reference_Designator_t), "BRD");
    EXPECT_EQ(getStringValue(board, Model_t), "BRD");
    EXPECT_TRUE(near(location(board), Vec3(0, 0, -0.08)));
    EXPECT_TRUE(near(extents(board), Vec3(0.1, 0.002, 0.08)));

    // Package at (20, 2, -45) mm and resistor at (50, 2, -11) mm, in tree order.
    const std::vector<Entity*> components = listed(board, Components_t);
    ASSERT_EQ(components.size(), 2u);
    EXPECT_EQ(getStringValue(components[0], Reference_Designator_t), "U1");
    EXPECT_TRUE(near(location(components[0]), Vec3(0.02, 0.002, 0.035)));
    EXPECT_TRUE(near(extents(components[0]), Vec3(0.01, 0.001, 0.015)));
    EXPECT_EQ(getStringValue(components[1], Reference_Designator_t), "R1");
    EXPECT_TRUE(near(location(components[1]), Vec3(0.05, 0.002, 0.069)));

    Entity* body = only(listed(components[0], Obstructions_t));
    ASSERT_TRUE(body);
    EXPECT_EQ(body->getType(), Solid_Obstruction_t);
    EXPECT_EQ(body->getName(), "U1_BODY");
    EXPECT_TRUE(near(location(body), Vec3()));

    // B1 spans y 3..3.3 mm, x 24.8 mm, z -35.2 mm. The balls, built by two nodes, share
    // one group, which carries the height of the first.
    Entity* group = only(listed(components[0], SubcomponentGroups_t));
    ASSERT_TRUE(group);
    EXPECT_EQ(group->getType(), Subcomponent_Group_t);
    EXPECT_EQ(group->getName(), "Solder Balls");
    EXPECT_NEAR(getStandardDoubleValue(group, Y_Location_t, -1), 0.001, 1e-12);
    const std::vector<Entity*> balls = listed(group, Bumps_t);
    ASSERT_EQ(balls.size(), 2u);
    EXPECT_EQ(balls[0]->getType(), Bump_t);
    EXPECT_EQ(balls[0]->getName(), "B1");
    EXPECT_TRUE(near(location(balls[0]), Vec3(0.0048, 0, 0.0098)));
    EXPECT_TRUE(near(location(balls[1]), Vec3(0.0068, 0, 0.0098)));
}

TEST(TarvexEntityBuilder, ChildrenOfANodeThatGotNoEntityReportTheirParentAndTheWalkGoesOn)
{
    // A bare layer becomes nothing; it is named after its cell without the object name.
    auto layer = std::make_unique<TarvexLayeredPartLayer>(0.0);
    layer->addCell(std::make_unique<TarvexLayeredPartLayerCell>(
        std::move(*block("DIE_CORE", "DIE", "Die", Vec3(), Vec3(0.01, 0.01, 0.001)))));
    auto lost = std::make_unique<TarvexObject>(std::move(layer));
    addNode(*lost, block("C1", "C1", "Capacitor", Vec3(0, 0, 0.001), Vec3(0.001, 0.001, 0.001)));
    // Outline nodes 2 micrometres apart in height make no solid.
    auto skewed = std::make_unique<TarvexObject>(std::make_unique<TarvexBasicPart>(
        "Q1", "Q1", "Die", 0.0, std::vector<Vec3>{{0, 0, 0}, {0.001, 0, 2e-6}, {0.001, 0.001, 0}}, 0.001));
    addNode(*skewed, block("C2", "C2", "Capacitor", Vec3(), Vec3(0.001, 0.001, 0.001)));

    Session s;
    const TarvexBuiltEntities built = s.build(std::move(lost), std::move(skewed), boardTree());
    EXPECT_EQ(s.errors(), QStringList({"Parent Not Found for CORE", "Z variation", "Parent Not Found for Q1"}));
    EXPECT_EQ(built.newEntities, s.boards()) << "the board after them is still built";
    EXPECT_TRUE(listed(s.chassis, Components_t).empty());
    EXPECT_EQ(s.progress.step(), 9u);
}

TEST(TarvexEntityBuilder, ReimportReusesTheEarlierEntitiesAndSplitsNewFromUpdated)
{
    Session s;
    s.build(boardTree());
    Entity* board = only(s.boards());
    ASSERT_TRUE(board);
    Entity* u1 = listed(board, Components_t).at(0);
    EntityEditor::setSIValue(board, X_Location_t, 0.5); // moved by the user since
    s.reuse.detachImports({board});

    const TarvexBuiltEntities built =
        s.build(boardTree(), std::make_unique<TarvexObject>(block("R9", "R9", "Resistor", Vec3(), Vec3(1, 1, 1))));
    EXPECT_EQ(built.updatedEntities, std::vector<Entity*>{board});
    ASSERT_EQ(built.newEntities.size(), 1u);
    EXPECT_EQ(getStringValue(built.newEntities[0], Reference_Designator_t), "R9");
    EXPECT_EQ(s.boards(), std::vector<Entity*>{board});
    EXPECT_NEAR(getStandardDoubleValue(board, X_Location_t, 0), 0.5, 1e-12) << "a reused board stays put";
    const std::vector<Entity*> components = listed(board, Components_t);
    ASSERT_EQ(components.size(), 2u);
    EXPECT_EQ(components[0], u1);
    EXPECT_TRUE(s.reuse.isEmpty()) << "everything of the earlier import was reused";
}
