#include <tarvex/objects/TarvexCompositeGeometryObject.h>
#include <tarvex/objects/TarvexLayeredPart.h>
#include <tarvex/objects/TarvexLayeredPartLayerCell.h>
#include <tarvex/objects/TarvexPartVisitorConst.h>
#include <tarvex/objects/TarvexSolderBall.h>

#include "objects/GeometryTestSupport.h"

#include <QStringList>

#include <functional>
#include <stdexcept>
#include <tuple>

using namespace Tarvex;
using Geometry::Bound;
using Geometry::Vec3;
using Geometry::near;

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

// Records the visits in order; visitChildren answers false for the part named
// `refuseChildrenOf`, visitBasicPart false for the one named `failing`.
class RecordingVisitor : public TarvexPartVisitorConst
{
public:
    QStringList log;
    QString refuseChildrenOf;
    QString failing;

    bool visitChildren(const TarvexPart& part) override { return record("children", part, refuseChildrenOf); }
    bool visitLayer(const TarvexLayeredPartLayer& layer) override { return record("layer", layer); }
    bool visitLayeredPart(const TarvexLayeredPart& part) override { return record("layered", part); }
    bool visitBasicPart(const TarvexBasicPart& part) override { return record("basic", part, failing); }

private:
    // Logs the visit; the answer is false only for the part named `falseFor`.
    bool record(const char* kind, const TarvexPart& part, const QString& falseFor = QStringLiteral("(none)"))
    {
        log << QString::fromLatin1(kind) + ' ' + part.getName(true);
        return part.getName(true) != falseFor;
    }
};

} // namespace

TEST(TarvexPartTest, LayerNamingRules)
{
    // A layer takes its object name and type from its cells; displayName strips what the
    // parent's full name already says.
    TarvexLayeredPart top;
    top.addCell(cell("BRD_TOP_CU", "BRD", 0), true);
    top.addCell(cell("BRD_TOP_DIEL", "BRD", 0), true);
    const TarvexLayeredPartLayer& layer = *top.getLayers().at(0);
    EXPECT_EQ(layer.getObjectName() + ' ' + layer.getType() + ' ' + top.getName(true), "BRD PCB BRD");
    EXPECT_EQ(displayName(*layer.getCells().at(0), false), "CU");

    // The cells (all of object "BRD", merged into one layer) with the layer's full and short names.
    const std::tuple<const char*, QStringList, const char*, const char*> cases[] = {
        {"one name is the prefix of the other", {"BRD_TOP", "BRD_TOP_X"}, "BRD_TOP", "TOP"},
        {"running name longer than the next", {"BRD_TOP_X", "BRD_TOP"}, "BRD_TOP", "TOP"},
        {"mismatch right at an underscore", {"AB_C", "ABXC"}, "AB", "AB"},
        {"no common prefix: named by position", {"ALPHA_1", "BETA_2"}, "Layer 2", "Layer 2"},
        {"single cell with trailing underscores", {"BRD_TOP__"}, "BRD_TOP", "TOP"},
        {"single cell that is the object name", {"BRD"}, "BRD", "BRD"},
    };
    for (const auto& [what, cells, fullName, shortName] : cases) {
        SCOPED_TRACE(what);
        TarvexLayeredPart board;
        board.addCell(cell("BRD_BOTTOM", "BRD", 0), true);
        for (const QString& name : cells)
            board.addCell(cell(name, "BRD", 1e-3), true);
        ASSERT_EQ(board.getLayers().size(), 2u);
        EXPECT_EQ(board.getLayers()[1]->getName(true), fullName);
        EXPECT_EQ(board.getLayers()[1]->getName(false), shortName);
    }
}

TEST(TarvexPartTest, AddCellWithAndWithoutMerging)
{
    // Merging: same object and exactly the same z share a layer; 1e-10 m apart do not.
    TarvexLayeredPart merged;
    TarvexPart* first = merged.addCell(cell("BRD_A", "BRD", 1e-3), true);
    merged.addCell(cell("BRD_B", "BRD", 1e-3), true);
    merged.addCell(cell("BRD_C", "BRD", 1e-3 + 1e-10), true);
    merged.addCell(cell("OTHER_A", "OTHER", 1e-3), true);
    ASSERT_EQ(merged.getLayers().size(), 3u);
    EXPECT_EQ(merged.getLayers()[0]->getCells().size(), 2u);
    EXPECT_EQ(merged.getLayers()[1]->getObjectName(), "OTHER"); // equal z: after the existing layer
    EXPECT_EQ(first->getParent(), merged.getLayers()[0].get());

    // Without merging every cell gets its own layer, sorted, equal elevations in insertion
    // order; a negative height starts the solid at z - height.
    TarvexLayeredPart separate;
    separate.addCell(cell("L3", "BRD", 3), false);
    separate.addCell(cell("L2a", "BRD", 2), false);
    separate.addCell(cell("L2b", "BRD", 2), false);
    separate.addCell(std::make_unique<TarvexLayeredPartLayerCell>(
                         basic("D", "D", "Die", squareNodes(0, 0, 1, 1.0), -0.25)), false);
    QStringList order;
    for (const auto& layer : separate.getLayers())
        order << QStringLiteral("%1 %2").arg(layer->getName(true)).arg(layer->getElevation());
    EXPECT_EQ(order, QStringList({"D 1.25", "L2a 2", "L2b 2", "L3 3"}));

    // A structural change marks the geometry out of date.
    separate.getGeometry();
    separate.addCell(cell("L4", "BRD", 4), false);
    EXPECT_TRUE(separate.isGeometryDirty());
}

TEST(TarvexPartTest, GeometryOfBasicPartsAndBalls)
{
    // Nodes must share one z within 1e-6.
    TarvexBasicPart broken = basic("B", "B", "Die", {{0, 0, 0}, {1, 0, 2e-6}, {1, 1, 0}, {0, 1, 0}}, 1);
    try {
        broken.getGeometry();
        ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Z variation");
    }
    EXPECT_TRUE(broken.isGeometryDirty());

    TarvexBasicPart block = basic("U1", "U1", "Package", squareNodes(1, 2, 3, 0.5), 0.25);
    EXPECT_TRUE(near(block.getGeometry().bound, Bound(Vec3(1, 2, 0.5), Vec3(4, 5, 0.75))));
    EXPECT_FALSE(block.isGeometryDirty());
    // A ball at (1, 2, 0.5) mm, dmax 0.3 mm, height 0.2 mm.
    const double mm = 1e-3;
    TarvexSolderBall ball("SB1", 0.2 * mm, 0.2 * mm, 0.3 * mm, 0.2 * mm, Vec3(1 * mm, 2 * mm, 0.5 * mm), nullptr);
    EXPECT_TRUE(near(ball.getGeometry().bound,
                        Bound(Vec3(0.85 * mm, 1.85 * mm, 0.5 * mm), Vec3(1.15 * mm, 2.15 * mm, 0.7 * mm)), 1e-15));
}

TEST(TarvexPartTest, GeometryOfLayersAndTheirPieces)
{
    // Four cells around an empty square unite into one layer solid with one hole; the north
    // cell joins only after a later one, so it is retried. The pieces are the holes, moved
    // to the origin.
    TarvexLayeredPart board;
    const double z = 2e-3;
    board.addCell(cell("BRD_S", "BRD", z, {{0, 0, z}, {3, 0, z}, {3, 1, z}, {0, 1, z}}), true);
    board.addCell(cell("BRD_N", "BRD", z, {{0, 2, z}, {3, 2, z}, {3, 3, z}, {0, 3, z}}), true);
    board.addCell(cell("BRD_W", "BRD", z, {{0, 1, z}, {1, 1, z}, {1, 2, z}, {0, 2, z}}), true);
    board.addCell(cell("BRD_E", "BRD", z, {{2, 1, z}, {3, 1, z}, {3, 2, z}, {2, 2, z}}), true);
    EXPECT_TRUE(near(board.getGeometry().getPlacedBound(), Bound(Vec3(0, 0, z), Vec3(3, 3, z + 1e-4)), 1e-15));
    for (const auto& pieces : {board.getGeometryPieces(), board.getFlatGeometryPieces(),
                               board.getLayers()[0]->getGeometryPieces()}) {
        ASSERT_EQ(pieces.size(), 1u);
        EXPECT_TRUE(near(pieces[0].bound, Bound(Vec3(0, 0, 0), Vec3(1, 1, 1e-4)), 1e-15));
        EXPECT_TRUE(pieces[0].transform.getTranslation().isApprox(Vec3(1, 1, z), 1e-15));
        ASSERT_TRUE(pieces[0].hasGeometry());
        EXPECT_TRUE(pieces[0].geometry->isExtrusion());
    }
    EXPECT_TRUE(basic("U1", "U1", "Package").getGeometryPieces().empty());

    // A layer of another footprint does not stack (the stacking itself is the extrusion's).
    board.addCell(cell("BRD_CORE", "BRD", z + 1e-4, squareNodes(0, 0, 2, z + 1e-4)), false);
    EXPECT_TRUE(near(board.getGeometry().getPlacedBound(), Bound(Vec3(0, 0, z), Vec3(3, 3, z + 1e-4)), 1e-15));
    EXPECT_FALSE(TarvexLayeredPart().getGeometry().hasGeometry());
}

TEST(TarvexPartTest, CompositesUniteTheirChildren)
{
    TarvexCompositeGeometryObject sink(std::make_unique<TarvexBasicPart>(basic("HS_A", "HS", "HeatSink")));
    TarvexPart* fin = sink.addChild(
        std::make_unique<TarvexBasicPart>(basic("HS_B", "HS", "HeatSink", squareNodes(0, 0, 1, 1), 2)));
    EXPECT_EQ(fin->getParent(), &sink);
    EXPECT_TRUE(near(sink.getGeometry().bound, Bound(Vec3(0, 0, 0), Vec3(1, 1, 3))));
    const std::unique_ptr<TarvexPart> taken = sink.takeChild(1);
    EXPECT_EQ(taken.get(), fin);
    EXPECT_EQ(fin->getParent(), nullptr);
    EXPECT_TRUE(near(sink.getGeometry().bound, Bound(Vec3(0, 0, 0), Vec3(1, 1, 1))));
}

// Bit for bit the same record: transform, bound and the solid's vertices.
bool identical(const TarvexPlacedGeometry& a, const TarvexPlacedGeometry& b)
{
    return a.transform == b.transform && a.bound == b.bound && a.hasGeometry() == b.hasGeometry()
        && (!a.hasGeometry() || a.geometry->getPoints() == b.geometry->getPoints());
}

// A composite whose made geometry grows by each child added keeps the geometry a rebuild
// from all children gives, and says false only when the child left it as it was.
TEST(TarvexPartTest, GrowingCompositesMatchRebuiltOnes)
{
    using Make = std::function<std::unique_ptr<TarvexPart>()>;
    const auto block = [](double x, double y, double size, double z, double height) -> Make {
        return [=] {
            return std::make_unique<TarvexBasicPart>(basic("B", "B", "Die", squareNodes(x, y, size, z), height));
        };
    };
    const Make ball = [] {
        return std::make_unique<TarvexSolderBall>("SB", 0.2, 0.2, 0.3, 0.2, Vec3(0.5, 0.5, 1), nullptr);
    };
    const Make none;
    const struct
    {
        const char* name;
        Make first;
        std::vector<Make> added;
        std::vector<bool> grows;
    } cases[] = {
        {"stacked on top", block(0, 0, 1, 0, 1), {block(0, 0, 1, 1, 2)}, {true}},
        {"stacked below", block(0, 0, 1, 1, 1), {block(0, 0, 1, 0, 1)}, {true}},
        {"beside in its plane", block(0, 0, 1, 0, 1), {block(1, 0, 1, 0, 1)}, {true}},
        {"apart, then on top", block(0, 0, 1, 0, 1), {block(5, 5, 1, 3, 1), block(0, 0, 1, 1, 1)}, {false, true}},
        {"a ball, then beside", block(0, 0, 1, 0, 1), {ball, block(0, 1, 1, 0, 1)}, {false, true}},
        {"into an empty composite", none, {block(2, 2, 1, 0, 1), block(2, 2, 1, 1, 1)}, {true, true}},
    };
    for (const auto& c : cases) {
        TarvexCompositeGeometryObject growing(c.first ? c.first() : nullptr);
        TarvexCompositeGeometryObject rebuilt(c.first ? c.first() : nullptr);
        for (size_t i = 0; i < c.added.size(); ++i) {
            const TarvexPlacedGeometry before = growing.getGeometry();
            EXPECT_EQ(growing.addChildGrowing(c.added[i]()), c.grows[i]) << c.name << " child " << i;
            rebuilt.addChild(c.added[i]());
            EXPECT_FALSE(growing.isGeometryDirty()) << c.name;
            EXPECT_TRUE(identical(growing.getGeometry(), rebuilt.getGeometry())) << c.name << " child " << i;
            if (!c.grows[i]) {
                EXPECT_TRUE(identical(growing.getGeometry(), before)) << c.name << " child " << i;
            }
            EXPECT_EQ(growing.getChildren().back()->getParent(), &growing);
        }
        EXPECT_EQ(growing.getChildren().size(), rebuilt.getChildren().size()) << c.name;
    }

    // Not made yet, the geometry is left to be made on use, from every child.
    TarvexCompositeGeometryObject unmade(block(0, 0, 1, 0, 1)());
    EXPECT_TRUE(unmade.addChildGrowing(block(5, 5, 1, 3, 1)()));
    EXPECT_TRUE(unmade.isGeometryDirty());
    EXPECT_FALSE(unmade.addChildGrowing(nullptr));
    EXPECT_EQ(unmade.getChildren().size(), 2u);
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

    // The result is the last one obtained (the last cell's); refusing children stops there.
    visitor.failing = "BRD_TOP";
    EXPECT_FALSE(board.accept(visitor));
    RecordingVisitor refusing;
    refusing.refuseChildrenOf = "BRD";
    EXPECT_FALSE(board.accept(refusing));
    EXPECT_EQ(refusing.log, QStringList({"layered BRD", "children BRD"}));
}
