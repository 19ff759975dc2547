#include "objects/Tarvex3DGeometry2DExtrusion.h"
#include "objects/TarvexBasic2RPart.h"
#include "objects/TarvexCompositeGeometryObject.h"
#include "objects/TarvexLayeredPart.h"
#include "objects/TarvexLayeredPartLayerCell.h"
#include "objects/TarvexPartVisitorConst.h"
#include "objects/TarvexSolderBall.h"
#include "objects/TarvexSolderBump.h"

#include "objects/GeometryTestSupport.h"

#include <QStringList>

#include <stdexcept>

using namespace Tarvex;
using Geometry::Bound;
using Geometry::Vec3;

namespace {

std::vector<Vec3> squareNodes(double x, double y, double size, double z)
{
    return {{x, y, z}, {x + size, y, z}, {x + size, y + size, z}, {x, y + size, z}};
}

TarvexBasicPart basic(const QString& name, const QString& objectName, const QString& type,
                      std::vector<Vec3> nodes = squareNodes(0, 0, 1, 0), double height = 1)
{
    return TarvexBasicPart(name, objectName, type, 0.5, std::move(nodes), height);
}

std::unique_ptr<TarvexLayeredPartLayerCell> cell(const QString& name, const QString& objectName, double z,
                                                 std::vector<Vec3> nodes = {})
{
    if (nodes.empty())
        nodes = squareNodes(0, 0, 1, z);
    return std::make_unique<TarvexLayeredPartLayerCell>(basic(name, objectName, "PCB", std::move(nodes), 1e-4));
}

::testing::AssertionResult sameBox(const Bound& actual, const Bound& expected, double tolerance = 1e-12)
{
    if (actual.isApprox(expected, tolerance))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << ::testing::PrintToString(actual) << " instead of "
                                         << ::testing::PrintToString(expected);
}

std::vector<double> elevations(const TarvexLayeredPart& part)
{
    std::vector<double> result;
    for (const auto& layer : part.getLayers())
        result.push_back(layer->getElevation());
    return result;
}

// Records the visits in order; `refuseChildrenOf` makes visitChildren answer false for the
// part of that name, and `failing` makes visitBasicPart answer false for that name.
class RecordingVisitor : public TarvexPartVisitorConst
{
public:
    QStringList log;
    QString refuseChildrenOf;
    QString failing;

    bool visitChildren(const TarvexPart& part) override
    {
        log << "children " + part.getName(true);
        return part.getName(true) != refuseChildrenOf;
    }
    bool visitSolderBall(const TarvexSolderBall& ball) override
    {
        log << "ball " + ball.getName(true);
        return true;
    }
    bool visitComposite(const TarvexCompositeGeometryObject& composite) override
    {
        log << "composite " + composite.getName(true);
        return true;
    }
    bool visitLayer(const TarvexLayeredPartLayer& layer) override
    {
        log << "layer " + layer.getName(true);
        return true;
    }
    bool visitLayeredPart(const TarvexLayeredPart& part) override
    {
        log << "layered " + part.getName(true);
        return true;
    }
    bool visitBasicPart(const TarvexBasicPart& part) override
    {
        log << "basic " + part.getName(true);
        return part.getName(true) != failing;
    }
};

} // namespace

TEST(TarvexPartTest, TypeCodesAndNames)
{
    TarvexLayeredPart board;
    board.addCell(cell("BRD_TOP_CU", "BRD", 0), true);
    board.addCell(cell("BRD_TOP_DIEL", "BRD", 0), true);
    const TarvexLayeredPartLayer& layer = *board.getLayers().at(0);
    const TarvexPart& boardCell = *layer.getCells().at(0);

    const TarvexBasicPart block = basic("U1_BODY", "U1", "Package");
    const TarvexBasic2RPart resistor(basic("R1", "R1", "TwoResistor"), 1.5, 2.5);
    const TarvexCompositeGeometryObject sink(std::make_unique<TarvexBasicPart>(basic("HS1_BASE", "HS1", "HeatSink")));
    const TarvexSolderBall ball("SB1", 1e-4, 2e-4, 3e-4, 2e-4, Vec3(), nullptr);
    const TarvexSolderBump bump("BU1", 1e-4, 2e-4, 3e-4, 2e-4, Vec3(), nullptr);
    const TarvexLayeredPart emptyBoard;
    const TarvexLayeredPartLayer looseLayer(0.0);

    struct Row
    {
        const TarvexPart& part;
        int code;
        const char* fullName;
        const char* shortName;
        const char* objectName;
        const char* type;
    };
    const Row rows[] = {
        {block, 1, "U1_BODY", "U1_BODY", "U1", "Package"},
        {resistor, 2, "R1", "R1", "R1", "TwoResistor"},
        {sink, 3, "HS1_BASE", "HS1_BASE", "HS1", "HeatSink"},
        {ball, 4, "SB1", "SB1", "SB1", "SolderBall"},
        {bump, 5, "BU1", "BU1", "BU1", "SolderBump"},
        {board, 16, "BRD", "BRD", "BRD", "PCB"},
        {layer, 17, "BRD_TOP", "TOP", "BRD", "PCB"},
        {boardCell, 18, "BRD_TOP_CU", "BRD_TOP_CU", "BRD", "PCB"},
        {emptyBoard, 16, "", "", "", ""},
        {looseLayer, 17, "", "", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fullName);
        EXPECT_EQ(row.part.getPartType(), row.code);
        EXPECT_EQ(row.part.getName(true), row.fullName);
        EXPECT_EQ(row.part.getName(false), row.shortName);
        EXPECT_EQ(row.part.getObjectName(), row.objectName);
        EXPECT_EQ(row.part.getType(), row.type);
    }

    // displayName strips what the parent's full name already says.
    EXPECT_EQ(displayName(boardCell, false), "CU");
    EXPECT_EQ(displayName(boardCell, true), "BRD_TOP_CU");
    EXPECT_EQ(displayName(layer, false), "TOP");
    EXPECT_EQ(displayName(board, false), "BRD");
}

TEST(TarvexPartTest, LayerNamingRules)
{
    struct Case
    {
        const char* name;
        QStringList cells; // all of object "BRD", merged into one layer
        const char* fullName;
        const char* shortName;
    };
    const Case cases[] = {
        {"common prefix up to an underscore", {"BRD_TOP_CU", "BRD_TOP_DIEL"}, "BRD_TOP", "TOP"},
        {"one name is the prefix of the other", {"BRD_TOP", "BRD_TOP_X"}, "BRD_TOP", "TOP"},
        {"running name longer than the next", {"BRD_TOP_X", "BRD_TOP"}, "BRD_TOP", "TOP"},
        {"mismatch right at an underscore", {"AB_C", "ABXC"}, "AB", "AB"},
        {"three cells narrow the prefix", {"BRD_L1_A_X", "BRD_L1_A_Y", "BRD_L1_B"}, "BRD_L1", "L1"},
        {"no common prefix: named by position", {"ALPHA_1", "BETA_2"}, "Layer 2", "Layer 2"},
        {"only underscores left: named by position", {"__A", "__B"}, "Layer 2", "Layer 2"},
        {"single cell with trailing underscores", {"BRD_TOP__"}, "BRD_TOP", "TOP"},
        {"single cell that is the object name", {"BRD"}, "BRD", "BRD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TarvexLayeredPart board;
        board.addCell(cell("BRD_BOTTOM", "BRD", 0), true);
        for (const QString& name : c.cells)
            board.addCell(cell(name, "BRD", 1e-3), true);
        ASSERT_EQ(board.getLayers().size(), 2u);
        EXPECT_EQ(board.getLayers()[1]->getName(true), c.fullName);
        EXPECT_EQ(board.getLayers()[1]->getName(false), c.shortName);
    }

    // A layer and a cell whose names equal their parent's take the parent's short name.
    TarvexLayeredPart die;
    die.addCell(cell("D1", "D1", 0), false);
    EXPECT_EQ(displayName(*die.getLayers()[0], false), "D1");
    EXPECT_EQ(displayName(*die.getLayers()[0]->getCells()[0], false), "D1");
}

TEST(TarvexPartTest, AddCellWithAndWithoutMerging)
{
    // Merging: same object and exactly the same z share a layer; 1e-10 m apart do not.
    TarvexLayeredPart merged;
    auto first = cell("BRD_A", "BRD", 1e-3);
    TarvexPart* firstRaw = first.get();
    EXPECT_EQ(merged.addCell(std::move(first), true), firstRaw);
    merged.addCell(cell("BRD_B", "BRD", 1e-3), true);
    merged.addCell(cell("BRD_C", "BRD", 1e-3 + 1e-10), true);
    merged.addCell(cell("OTHER_A", "OTHER", 1e-3), true);
    ASSERT_EQ(merged.getLayers().size(), 3u);
    EXPECT_EQ(merged.getLayers()[0]->getCells().size(), 2u);
    EXPECT_EQ(merged.getLayers()[1]->getObjectName(), "OTHER"); // equal z: after the existing layer
    EXPECT_EQ(merged.getLayers()[2]->getCells()[0]->getName(true), "BRD_C");
    EXPECT_EQ(elevations(merged), (std::vector<double>{1e-3, 1e-3, 1e-3 + 1e-10}));
    EXPECT_EQ(firstRaw->getParent(), merged.getLayers()[0].get());
    EXPECT_EQ(merged.getLayers()[0]->getParent(), &merged);

    // Without merging every cell gets its own layer; the list stays sorted and equal
    // elevations keep their insertion order.
    TarvexLayeredPart separate;
    separate.addCell(cell("L3", "BRD", 3), false);
    separate.addCell(cell("L1", "BRD", 1), false);
    separate.addCell(cell("L2a", "BRD", 2), false);
    separate.addCell(cell("L2b", "BRD", 2), false);
    EXPECT_EQ(elevations(separate), (std::vector<double>{1, 2, 2, 3}));
    EXPECT_EQ(separate.getLayers()[1]->getName(true), "L2a");
    EXPECT_EQ(separate.getLayers()[2]->getName(true), "L2b");

    // The elevation is where the solid starts: a negative height starts at z - height.
    TarvexLayeredPart downwards;
    downwards.addCell(
        std::make_unique<TarvexLayeredPartLayerCell>(basic("D", "D", "Die", squareNodes(0, 0, 1, 1.0), -0.25)), false);
    EXPECT_EQ(downwards.getLayers()[0]->getElevation(), 1.25);

    // A structural change marks the geometry out of date.
    separate.getGeometry();
    EXPECT_FALSE(separate.isGeometryDirty());
    separate.addCell(cell("L4", "BRD", 4), false);
    EXPECT_TRUE(separate.isGeometryDirty());
    EXPECT_EQ(separate.addCell(nullptr, false), nullptr);
}

TEST(TarvexPartTest, GeometryOfBasicPartsBallsAndBumps)
{
    // Nodes must share one z within 1e-6.
    TarvexBasicPart tilted = basic("T", "T", "Die", {{0, 0, 0}, {1, 0, 5e-7}, {1, 1, 0}, {0, 1, 0}}, 1);
    EXPECT_NO_THROW(tilted.updateGeometry());
    TarvexBasicPart broken = basic("B", "B", "Die", {{0, 0, 0}, {1, 0, 2e-6}, {1, 1, 0}, {0, 1, 0}}, 1);
    try {
        broken.getGeometry();
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Z variation");
    }
    EXPECT_TRUE(broken.isGeometryDirty());
    TarvexBasicPart notANumber = basic("N", "N", "Die", {{0, 0, std::nan("")}, {1, 0, 0}, {1, 1, 0}}, 1);
    EXPECT_THROW(notANumber.updateGeometry(), std::runtime_error);

    TarvexBasicPart block = basic("U1", "U1", "Package", squareNodes(1, 2, 3, 0.5), 0.25);
    EXPECT_TRUE(block.isGeometryDirty());
    const TarvexPlacedGeometry& placed = block.getGeometry();
    EXPECT_FALSE(block.isGeometryDirty());
    ASSERT_TRUE(placed.hasGeometry());
    EXPECT_TRUE(placed.transform.isIdentity());
    EXPECT_TRUE(sameBox(placed.bound, Bound(Vec3(1, 2, 0.5), Vec3(4, 5, 0.75))));

    // A ball at (1, 2, 0.5) mm, dmax 0.3 mm, height 0.2 mm.
    const double mm = 1e-3;
    TarvexSolderBall ball("SB1", 0.2 * mm, 0.2 * mm, 0.3 * mm, 0.2 * mm, Vec3(1 * mm, 2 * mm, 0.5 * mm), nullptr);
    EXPECT_TRUE(sameBox(ball.getGeometry().bound,
                        Bound(Vec3(0.85 * mm, 1.85 * mm, 0.5 * mm), Vec3(1.15 * mm, 2.15 * mm, 0.7 * mm)), 1e-15));
    TarvexSolderBump bump("BU1", 0.1 * mm, 0.1 * mm, 0.1 * mm, 0.05 * mm, Vec3(0, 0, 0), nullptr);
    EXPECT_TRUE(sameBox(bump.getGeometry().bound,
                        Bound(Vec3(-0.05 * mm, -0.05 * mm, 0), Vec3(0.05 * mm, 0.05 * mm, 0.05 * mm)), 1e-15));
}

TEST(TarvexPartTest, GeometryOfContainers)
{
    // Cells in one layer unite; one that joins only after a later cell is retried.
    TarvexLayeredPart board;
    board.addCell(cell("BRD_A", "BRD", 0, squareNodes(0, 0, 1, 0)), true);
    board.addCell(cell("BRD_C", "BRD", 0, squareNodes(2, 0, 1, 0)), true);
    board.addCell(cell("BRD_B", "BRD", 0, squareNodes(1, 0, 1, 0)), true);
    const TarvexPlacedGeometry& layerGeometry = board.getLayers()[0]->getGeometry();
    ASSERT_TRUE(layerGeometry.hasGeometry());
    EXPECT_TRUE(sameBox(layerGeometry.bound, Bound(Vec3(0, 0, 0), Vec3(3, 1, 1e-4))));
    const auto* base = static_cast<const Tarvex3DGeometry2DExtrusion&>(*layerGeometry.geometry).getBase();
    EXPECT_EQ(base->getPoints().size(), 4u);

    // Stacked layers with the same footprint make one solid of the summed height.
    board.addCell(std::make_unique<TarvexLayeredPartLayerCell>(
                      basic("BRD_CORE", "BRD", "PCB", squareNodes(0, 0, 3, 1e-4), 1e-3)),
                  false);
    EXPECT_TRUE(sameBox(board.getGeometry().bound, Bound(Vec3(0, 0, 0), Vec3(3, 1, 1e-4))))
        << "footprints differ: the core does not stack on the first layer";
    TarvexLayeredPart stack;
    stack.addCell(cell("S_1", "S", 0), false);
    stack.addCell(cell("S_2", "S", 1e-4), false);
    EXPECT_TRUE(sameBox(stack.getGeometry().bound, Bound(Vec3(0, 0, 0), Vec3(1, 1, 2e-4)), 1e-15));

    // No layers, or no cells: an empty record.
    TarvexLayeredPart empty;
    EXPECT_FALSE(empty.getGeometry().hasGeometry());
    EXPECT_TRUE(empty.getGeometry().transform.isIdentity());
    EXPECT_TRUE(empty.getGeometry().bound.isEmpty());
    TarvexLayeredPartLayer emptyLayer(0.0);
    EXPECT_FALSE(emptyLayer.getGeometry().hasGeometry());

    // A composite unites its children in order and is out of date after a new child.
    TarvexCompositeGeometryObject sink(std::make_unique<TarvexBasicPart>(basic("HS_A", "HS", "HeatSink")));
    EXPECT_TRUE(sameBox(sink.getGeometry().bound, Bound(Vec3(0, 0, 0), Vec3(1, 1, 1))));
    TarvexPart* fin = sink.addChild(
        std::make_unique<TarvexBasicPart>(basic("HS_B", "HS", "HeatSink", squareNodes(0, 0, 1, 1), 2)));
    EXPECT_EQ(fin->getParent(), &sink);
    EXPECT_TRUE(sink.isGeometryDirty());
    EXPECT_TRUE(sameBox(sink.getGeometry().bound, Bound(Vec3(0, 0, 0), Vec3(1, 1, 3))));
    const std::unique_ptr<TarvexPart> taken = sink.takeChild(1);
    EXPECT_EQ(taken.get(), fin);
    EXPECT_EQ(fin->getParent(), nullptr);
    EXPECT_TRUE(sameBox(sink.getGeometry().bound, Bound(Vec3(0, 0, 0), Vec3(1, 1, 1))));
    EXPECT_FALSE(TarvexCompositeGeometryObject(nullptr).getGeometry().hasGeometry());
}

TEST(TarvexPartTest, GeometryPiecesAreTheHolesMovedToTheOrigin)
{
    // Four cells around an empty square: the layer's union has one hole.
    TarvexLayeredPart board;
    const double z = 2e-3;
    board.addCell(cell("BRD_S", "BRD", z, {{0, 0, z}, {3, 0, z}, {3, 1, z}, {0, 1, z}}), true);
    board.addCell(cell("BRD_N", "BRD", z, {{0, 2, z}, {3, 2, z}, {3, 3, z}, {0, 3, z}}), true);
    board.addCell(cell("BRD_W", "BRD", z, {{0, 1, z}, {1, 1, z}, {1, 2, z}, {0, 2, z}}), true);
    board.addCell(cell("BRD_E", "BRD", z, {{2, 1, z}, {3, 1, z}, {3, 2, z}, {2, 2, z}}), true);
    ASSERT_EQ(board.getLayers().size(), 1u);

    for (const auto& pieces : {board.getGeometryPieces(), board.getFlatGeometryPieces(),
                               board.getLayers()[0]->getGeometryPieces()}) {
        ASSERT_EQ(pieces.size(), 1u);
        EXPECT_TRUE(sameBox(pieces[0].bound, Bound(Vec3(0, 0, 0), Vec3(1, 1, 1e-4)), 1e-15));
        EXPECT_TRUE(pieces[0].transform.getTranslation().isApprox(Vec3(1, 1, z), 1e-15));
        ASSERT_TRUE(pieces[0].hasGeometry());
        EXPECT_TRUE(pieces[0].geometry->isExtrusion());
    }
    EXPECT_TRUE(basic("U1", "U1", "Package").getGeometryPieces().empty());
}

TEST(TarvexPartTest, VisitorsWalkInOrder)
{
    TarvexLayeredPart board;
    board.addCell(cell("BRD_TOP", "BRD", 1), false);
    board.addCell(cell("BRD_BOT", "BRD", 0), false);

    RecordingVisitor visitor;
    EXPECT_TRUE(board.accept(visitor));
    EXPECT_EQ(visitor.log, QStringList({"layered BRD", "children BRD", "layer BRD_BOT", "children BRD_BOT",
                                        "basic BRD_BOT", "layer BRD_TOP", "children BRD_TOP", "basic BRD_TOP"}));

    // The result is the last one obtained: the last cell's.
    RecordingVisitor failing;
    failing.failing = "BRD_TOP";
    EXPECT_FALSE(static_cast<const TarvexLayeredPart&>(board).accept(failing));
    failing.failing = "BRD_BOT";
    EXPECT_TRUE(board.accept(failing));

    // Refusing the children stops the walk there.
    RecordingVisitor refusing;
    refusing.refuseChildrenOf = "BRD";
    EXPECT_FALSE(board.accept(refusing));
    EXPECT_EQ(refusing.log, QStringList({"layered BRD", "children BRD"}));

    // Defaults: cells and two-resistor parts forward to visitBasicPart.
    RecordingVisitor forwarding;
    TarvexBasic2RPart resistor(basic("R1", "R1", "TwoResistor"), 1, 2);
    EXPECT_TRUE(resistor.accept(forwarding));
    TarvexSolderBall ball("SB1", 0, 0, 1, 1, Vec3(), nullptr);
    EXPECT_TRUE(ball.accept(forwarding));
    EXPECT_EQ(forwarding.log, QStringList({"basic R1", "ball SB1"}));

    // A composite: itself, the question, then its children; false when refused.
    TarvexCompositeGeometryObject sink(std::make_unique<TarvexBasicPart>(basic("HS_A", "HS", "HeatSink")));
    sink.addChild(std::make_unique<TarvexBasicPart>(basic("HS_B", "HS", "HeatSink")));
    RecordingVisitor compositeVisitor;
    compositeVisitor.failing = "HS_A";
    EXPECT_TRUE(sink.accept(compositeVisitor));
    EXPECT_EQ(compositeVisitor.log, QStringList({"composite HS_A", "children HS_A", "basic HS_A", "basic HS_B"}));
    compositeVisitor.refuseChildrenOf = "HS_A";
    EXPECT_FALSE(sink.accept(compositeVisitor));
    RecordingVisitor noChildren;
    noChildren.refuseChildrenOf = "none"; // the nameless composite must not match
    EXPECT_TRUE(TarvexCompositeGeometryObject(nullptr).accept(noChildren));
}
