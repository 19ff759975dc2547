#include <tarvex/builders/TarvexEntityBuilder.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/Model.h>
#include "support/RecordingProgress.h"
#include <tarvex/host/TypeCatalogue.h>
#include <tarvex/host/SolverTypes.h>
#include <tarvex/objects/TarvexLayeredPartLayer.h>

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

// "<type> <key or name> (x, y, z) width x height x depth" in mm to the nanometre, then the
// same for the entities of its component, obstruction, group and bump lists, one blank in.
QStringList describe(const Entity* entity, const QString& indent = QString())
{
    const QString key = getStringValue(entity, Reference_Designator_t);
    const auto mm = [entity](const TypeRef& length) {
        return QString::number(double(qRound64(getStandardDoubleValue(entity, length, 0) * 1e9)) / 1e6);
    };
    QStringList lines{indent + entity->getType().getLabel() + ' ' + (key.isEmpty() ? entity->getName() : key) + " (" +
                      mm(X_Location_t) + ", " + mm(Y_Location_t) + ", " + mm(Z_Location_t) + ") " + mm(Width_t) +
                      " x " + mm(Height_t) + " x " + mm(Depth_t)};
    for (const TypeRef& list : {Components_t, Obstructions_t, SubcomponentGroups_t, Bumps_t}) {
        for (const Entity* child : listed(entity, list))
            lines << describe(child, indent + ' ');
    }
    return lines;
}

} // namespace

// Host axes are (x, z, -y) of the file's; a location is the low corner relative to the
// owner's, each entity's origin being its own low corner.
TEST(TarvexEntityBuilder, BuildsEachNodeBelowItsParentPlacedInTheParentsFrameAndReusesThemLater)
{
    Session s;
    const TarvexBuiltEntities built = s.build(boardTree());
    EXPECT_TRUE(s.errors().isEmpty()) << s.errors().join('\n').toStdString();
    EXPECT_EQ(std::make_pair(s.progress.totalSteps(), s.progress.step()), std::make_pair(quint64(5), quint64(5)));

    ASSERT_EQ(s.boards().size(), 1u);
    Entity* board = s.boards()[0];
    EXPECT_EQ(built.newEntities, std::vector<Entity*>{board});
    EXPECT_EQ(getStringValue(board, Model_t), "BRD");
    // A component on the board's top face stands at height 0 above it; its blocks are in its
    // "-subcomponents" group at its origin. A ball sits at its centre (B1 at x 25 mm, z -35 mm,
    // y 3..3.3 mm), its size given by its diameters. The balls, built by two nodes, share one
    // group below the component, which carries the height of the first.
    EXPECT_EQ(describe(board), (QStringList{"PCB BRD (0, 0, -80) 100 x 2 x 80", " Component U1 (20, 0, 35) 10 x 1 x 15",
                                            "  Subcomponent_Group U1_BODY-subcomponents (0, 0, 0) 0 x 0 x 0",
                                            "   Solid_Obstruction U1_BODY (0, 0, 0) 10 x 1 x 15",
                                            "  Subcomponent_Group Solder Balls (0, 1, 0) 0 x 0 x 0",
                                            "   Bump B1 (5, 0, 10) 0 x 0.3 x 0",
                                            "   Bump B2 (7, 0, 10) 0 x 0.3 x 0",
                                            " Component R1 (50, 0, 69) 2 x 0.5 x 1",
                                            "  Subcomponent_Group R1-subcomponents (0, 0, 0) 0 x 0 x 0",
                                            "   Solid_Obstruction R1 (0, 0, 0) 2 x 0.5 x 1"}));
    const std::vector<Entity*> components = listed(board, Components_t);
    const Entity* b1 = listed(listed(components.at(0), SubcomponentGroups_t).at(1), Bumps_t).at(0);
    EXPECT_EQ(getTypeValue(b1, Definition_t), Detailed_t);
    const std::pair<TypeRef, double> diameters[] = {{Max_Diameter_t, 0.0004}, {Top_Diameter_t, 0.0003},
                                                    {Bottom_Diameter_t, 0.0003}};
    for (const auto& [attribute, value] : diameters)
        EXPECT_NEAR(getStandardDoubleValue(b1, attribute, -1.0), value, 1e-15) << attribute.getLabel().toStdString();
    EXPECT_TRUE(s.progress.has(Kind::Warning, "No Material attached to B1"));

    // Imported again after the user moved the board: the earlier entities are reused where
    // they are, in their order, and only what is new is added.
    EntityEditor::setSIValue(board, X_Location_t, 0.5);
    s.reuse.detachImports({board});
    const TarvexBuiltEntities again =
        s.build(boardTree(), std::make_unique<TarvexObject>(block("R9", "R9", "Resistor", Vec3(), Vec3(1, 1, 1))));
    EXPECT_EQ(again.updatedEntities, std::vector<Entity*>{board});
    EXPECT_EQ(describe(again.newEntities.at(0)), (QStringList{"Component R9 (0, 0, -1000) 1000 x 1000 x 1000",
                                                             " Subcomponent_Group R9-subcomponents (0, 0, 0) 0 x 0 x 0",
                                                             "  Solid_Obstruction R9 (0, 0, 0) 1000 x 1000 x 1000"}));
    EXPECT_EQ(s.boards(), std::vector<Entity*>{board});
    EXPECT_NEAR(getStandardDoubleValue(board, X_Location_t, 0), 0.5, 1e-12) << "a reused board stays put";
    EXPECT_EQ(listed(board, Components_t), components);
    EXPECT_TRUE(s.reuse.isEmpty()) << "everything of the earlier import was reused";
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
