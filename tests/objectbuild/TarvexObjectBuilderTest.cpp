#include "host/GeometryPrinters.h"
#include "objectbuild/ObjectBuilderTestSupport.h"
#include <tarvex/objects/TarvexBasic2RPart.h>
#include <tarvex/objects/TarvexLayeredPart.h>
#include <tarvex/objects/TarvexLayeredPartLayer.h>
#include <tarvex/objects/TarvexMaterialMap.h>
#include <tarvex/objectbuild/TarvexObjectBuilder.h>
#include <tarvex/objects/TarvexPowerSourceLegacyPowerMap.h>
#include <tarvex/objects/TarvexPowerSourcePowerMap.h>
#include <tarvex/objects/TarvexSolderBall.h>

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <stdexcept>

using namespace Tarvex;
using TestSupport::build;
using TestSupport::BuiltFile;
using TestSupport::fr4;
using TestSupport::geom;
using TestSupport::interchangeFile;
using Kind = Tools::ToolProgress::Kind;

namespace {

// The part named `name` in the tree below `nodes`, or null.
TarvexPart* findPart(const std::vector<std::unique_ptr<TarvexObject>>& nodes, const QString& name)
{
    for (const auto& node : nodes) {
        if (node->part && node->part->getName(true) == name)
            return node->part.get();
        if (TarvexPart* found = findPart(node->children, name))
            return found;
    }
    return nullptr;
}

// The part named `name` as a `Part`; throws, failing the test, when there is none.
template <typename Part>
Part& partOf(const BuiltFile& built, const QString& name)
{
    if (auto* part = dynamic_cast<Part*>(findPart(built.objects, name)))
        return *part;
    throw std::runtime_error("no part " + name.toStdString() + " of that kind");
}

// The first cell of layer `layer` of the layered part named `name`.
const TarvexBasicPart& cellOf(const BuiltFile& built, const QString& name, size_t layer = 0)
{
    return dynamic_cast<const TarvexBasicPart&>(
        *partOf<TarvexLayeredPart>(built, name).getLayers().at(layer)->getCells().at(0));
}

} // namespace

// A newer file gets the whole tree: the embedded block goes below the board, the die and
// the bump into the package they lie in, every other part becomes the base of a package of
// its own (the heat sink, already a composite, is wrapped once more), and balls come last,
// lowest first.
TEST(TarvexObjectBuilder, NewerFileBuildsTheWholeTreeInSIUnits)
{
    const TestSupport::TempDir dir;
    const QString geoms = geom("Main", "L1", "PCB", 0, 0, 10, 10, 0, 1, fr4) +
                          geom("E1", "E1", "Block", 4, 4, 5, 5, 0.2, 0.5, fr4 + " Power=\"500\"") +
                          geom("U1", "U1_Sub", "Package", 2, 2, 6, 6, 1.2, 0.4, fr4) +
                          geom("U1", "U1_Mold", "Package", 2, 2, 6, 6, 1.6, 0.8, fr4) +
                          geom("D1", "D1", "Die", 3, 3, 4, 4, 1.7, 0.2, fr4) +
                          geom("C1", "C1", "Block", 7, 7, 8, 8, 1, 1) +
                          geom("HS", "HS", "HeatSink", 2, 2, 6, 6, 2.4, 1, fr4) +
                          geom("HS", "HS", "HeatSink", 2, 2, 3, 6, 3.4, 2, fr4);
    const QString joints =
        "<SolderBallSet><SolderBall Name=\"A1\" MatName=\"FR4\" d1=\"0.2\" d2=\"0.2\" dmax=\"0.3\" ht=\"0.2\" "
        "position=\"3, 3, 1\"/><SolderBall Name=\"BAD\" MatName=\"FR4\" dmax=\"0.3\" ht=\"0.2\" position=\"1,2\"/>"
        "</SolderBallSet><SolderBumpSet><SolderBump Name=\"K1\" dmax=\"0.1\" ht=\"0.05\" position=\"4.5,4.5,1.6\"/>"
        "</SolderBumpSet>";
    const auto built = build(dir, interchangeFile("2025.2", geoms, joints));
    ASSERT_TRUE(built->read);

    EXPECT_EQ(TestSupport::describeTree(built->objects),
              (QStringList{"0 16 Main", "1 16 E1", "0 3 U1 [16 U1, 16 D1, 5 K1]", "0 3 C1 [16 C1]",
                           "0 3 HS [3 HS [1 HS, 1 HS]]", "0 4 BAD", "0 4 A1"}));

    // Every value in SI: lengths in m, power from mW in W.
    const Geometry::Bound bound = partOf<TarvexPart>(*built, "C1").getGeometry().getPlacedBound();
    EXPECT_TRUE(near(bound.getLow(), {0.007, 0.007, 0.001}));
    EXPECT_TRUE(near(bound.getHigh(), {0.008, 0.008, 0.002}));
    const TarvexBasicPart& e1Cell = cellOf(*built, "E1");
    EXPECT_DOUBLE_EQ(e1Cell.getPower(), 0.5);
    EXPECT_EQ(e1Cell.getMaterial() ? e1Cell.getMaterial()->getName() : QString(), "FR4");
    const auto& a1 = partOf<TarvexSolderBall>(*built, "A1");
    EXPECT_TRUE(near(a1.getPosition(), {0.003, 0.003, 0.001}));
    EXPECT_TRUE(near(Geometry::Vec3(a1.getDmax(), a1.getD1(), 0), {0.0003, 0.0002, 0}));
    EXPECT_TRUE(near(partOf<TarvexSolderBall>(*built, "BAD").getPosition(), {0, 0, 0}));

    EXPECT_EQ(built->progress.texts(Kind::Warning),
              (QStringList{"No material found for Geom : C1", "Invalid position for Solderball : BAD",
                           "No material found for SolderBump : K1"}));
    // Eight Geoms, two balls and a bump.
    EXPECT_EQ(built->progress.totalSteps(), 11u);

    // The current version is not newer than the layout change: parts nest into packages and
    // boards but no package is made around the others.
    EXPECT_EQ(TestSupport::describeTree(build(dir, interchangeFile("2025.1.0", geoms, joints))->objects),
              (QStringList{"0 16 Main", "1 16 E1", "0 3 U1 [16 U1, 16 D1, 5 K1]", "0 16 C1", "0 3 HS [1 HS, 1 HS]",
                           "0 4 A1", "0 4 BAD"}));
}

// Older files merge cells of one height into a layer, keep single Geoms as blocks, read
// simplification grids, and nest only into boards; what no board holds stays at the top.
// Their sources name line-format maps until power-map files came in 2024.1.2.
TEST(TarvexObjectBuilder, OlderFileMergesLayersAndKeepsBlocks)
{
    const TestSupport::TempDir dir;
    const QString geoms = geom("P", "P_CORE", "PCB", 0, 0, 10, 10, 0, 1, fr4) +
                          geom("P", "P_TOP_CU", "PCB", 0, 0, 5, 10, 1, 0.1, fr4) +
                          geom("P", "P_TOP_DIEL", "PCB", 5, 0, 10, 10, 1, 0.1, fr4) +
                          geom("B1", "B1", "Block", 1, 1, 2, 2, 1.1, 1) +
                          geom("R1", "R1", "TwoResistor", 3, 3, 4, 4, 1.1, 1, fr4 + " ThetaJC=\"4.5\" ThetaJB=\"12\"");
    const QString rest = "<SimplificationOptions><Model ObjectName=\"P\" NX=\"3\" NY=\"4\"/></SimplificationOptions>"
                         "<Power2DSourceSet><Power2DSource Name=\"S\" ObjectName=\"P\" Normal=\"z+\" Flip=\"x\"/>"
                         "</Power2DSourceSet>";
    const auto built = build(dir, interchangeFile("2024.1.1", geoms, rest));
    ASSERT_TRUE(built->read);

    EXPECT_EQ(TestSupport::describeTree(built->objects), (QStringList{"0 16 P", "0 1 B1", "0 2 R1"}));
    const auto& board = partOf<TarvexLayeredPart>(*built, "P");
    ASSERT_EQ(board.getLayers().size(), 2u);
    EXPECT_EQ(board.getLayers()[1]->getCells().size(), 2u);
    EXPECT_EQ(board.getLayers()[1]->getName(false), "TOP");
    EXPECT_EQ(board.getSimplificationGrid(), TarvexLayeredPart::SimplificationGrid(3, 4));
    ASSERT_EQ(board.getPowerSources().size(), 1u);
    const auto& legacy = dynamic_cast<const TarvexPowerSourceLegacyPowerMap&>(*board.getPowerSources()[0]);
    EXPECT_EQ(legacy.getFlipAxis(), Geometry::Vec2(1, 0));
    const auto later = build(dir, interchangeFile("2024.1.2", geoms, rest));
    EXPECT_TRUE(dynamic_cast<const TarvexPowerSourcePowerMap*>(
        partOf<TarvexLayeredPart>(*later, "P").getPowerSources().at(0).get()));
    const auto& compact = partOf<TarvexBasic2RPart>(*built, "R1");
    EXPECT_EQ(std::make_pair(compact.getThetaJC(), compact.getThetaJB()), std::make_pair(4.5, 12.0));
    EXPECT_EQ(built->progress.texts(Kind::Warning), QStringList{"No material found for Geom : B1"});
}

// Materials, power sources and layouts: SI values, the file's folder for the files they
// name, and the warnings when something named is missing.
TEST(TarvexObjectBuilder, TablesResolveFilesBesideTheModel)
{
    const TestSupport::TempDir dir;
    dir.write("core.ptrace", "map");
    dir.write("L1.layout", "layout");
    const QString materials =
        "<Material Name=\"FR4\" kx=\"0.8\" ky=\"0.8\" kz=\"0.3\" density=\"1.9\" specificheat=\"1150\"/>"
        "<Material Name=\"Cu\" k=\"385\" density=\"8933\" specificheat=\"385\"/>"
        "<Include File=\"C:/elsewhere/missing-library.xml\"/><Include File=\"\"/><Include File=\"junk.xml\"/>";
    dir.write("junk.xml", "not a library");
    const QString geoms = geom("Main", "L1", "PCB", 0, 0, 10, 10, 0, 1) + geom("Main", "L2", "PCB", 0, 0, 10, 10, 1, 1) +
                          geom("Main", "L3", "PCB", 0, 0, 10, 10, 2, 1, "MatName=\"Nothing\"");
    const QString rest =
        "<LayoutSet><Include ObjectName=\"L1\" File=\"D:\\boards\\L1.layout\" MetalMat=\"Cu\" DielectricMat=\"FR4\"/>"
        "<Include ObjectName=\"L2\" File=\"L2.layout\" MetalMat=\"Gold\" DielectricMat=\"FR4\"/></LayoutSet>"
        "<Power2DSourceSet>"
        "<Power2DSource Name=\"S1\" ObjectName=\"Main\" PowerMapFile=\"X:/maps/core.ptrace\" xll=\"1\" yll=\"2\" dx=\"3\" "
        "dy=\"4\" Normal=\"Z-\" Flip=\"Y\" Power=\"250\" PowerScale=\"2\" Rotation=\"90\" GeomScale=\"3\"/>"
        "<Power2DSource Name=\"S2\" ObjectName=\"Main\" PowerMapFile=\"gone.ptrace\" Normal=\"z+\"/>"
        "<Power2DSource Name=\"S3\" ObjectName=\"Main\" Normal=\"up\" Flip=\"q\"/>"
        "</Power2DSourceSet>";
    const auto built = build(dir, interchangeFile("2025.2", geoms, rest, materials));
    ASSERT_TRUE(built->read);
    const auto& board = partOf<TarvexLayeredPart>(*built, "Main");

    // Sources: the missing map is skipped; the others keep their order and SI values.
    const auto& sources = board.getPowerSources();
    ASSERT_EQ(sources.size(), 2u);
    const auto* s1 = &dynamic_cast<const TarvexPowerSourcePowerMap&>(*sources[0]);
    EXPECT_EQ(s1->getPowerMapFile(), dir.path("core.ptrace"));
    EXPECT_TRUE(near(s1->getNormal(), {0, 0, -1}));
    EXPECT_TRUE(near(Geometry::Vec3(s1->getPower(), s1->getXll(), s1->getDy()), {0.25, 0.001, 0.004}));
    EXPECT_EQ(std::make_tuple(s1->getFlipX(), s1->getFlipY(), s1->getPowerScale(), s1->getRotation(), s1->getGeomScale()),
              std::make_tuple(false, true, 2.0, 90.0, 3.0));
    EXPECT_EQ(sources[1]->getName(), "S3");
    EXPECT_TRUE(near(sources[1]->getNormal(), {0, 0, 1}));

    // Cells: a layout with both materials is a map on the file beside the model; with its
    // metal unknown the dielectric alone; a name nobody defines leaves the cell bare.
    const auto map = std::dynamic_pointer_cast<TarvexMaterialMap>(cellOf(*built, "Main", 0).getMaterial());
    ASSERT_TRUE(map);
    EXPECT_EQ(map->getLayoutFile(), dir.path("L1.layout"));
    EXPECT_EQ(map->getMetal()->getName(), "Cu");
    EXPECT_EQ(cellOf(*built, "Main", 1).getMaterial()->getName(), "FR4");
    EXPECT_FALSE(cellOf(*built, "Main", 2).getMaterial());

    // An unreadable library costs its materials, not the import; the reader's own words follow.
    QStringList warnings = built->progress.texts(Kind::Warning);
    warnings.replaceInStrings(QRegularExpression("(?s)^(junk.xml : Failed to Read) : .*"), "\\1");
    EXPECT_EQ(warnings,
              (QStringList{"missing-library.xml : Material library " + dir.path("missing-library.xml") + " does not exist",
                           "A material library include names no file; it is left out", "junk.xml : Failed to Read",
                           "gone.ptrace : Power Map File " + dir.path("gone.ptrace") + " does not exist",
                           "Unsupported normal for heat source :S3", "Unsupported normal for heat source :S3",
                           "No material layout file found for Geom : L2 - L2.layout", "No material found for Geom : L3"}));
    EXPECT_TRUE(built->progress.texts(Kind::FatalError).isEmpty());
}

// Awkward files: every case is read, reported where the file is at fault, and built as
// far as it can be. (Parts that contain each other are the nesting test's.)
TEST(TarvexObjectBuilder, AwkwardFilesAreBuiltAsFarAsTheyGo)
{
    const std::vector<std::tuple<const char*, QString, QStringList>> cases = { // what, Geoms, tree
        {"a Geom of two nodes beside a good one",
         "<Geom ObjectName=\"N\" Name=\"N\" Type=\"Block\" dz=\"1\"><node x=\"0\" y=\"0\" z=\"0\"/>"
         "<node x=\"1\" y=\"0\" z=\"0\"/></Geom>" + geom("G", "G", "Block", 0, 0, 1, 1, 0, 1, fr4),
         {"0 3 G [16 G]"}},
        {"an unknown type", geom("W", "W", "Wobble", 0, 0, 1, 1, 0, 1, fr4), {"0 3 W [16 W]"}},
        {"duplicate names",
         geom("A", "X", "Block", 0, 0, 1, 1, 0, 1, fr4) + geom("B", "X", "Block", 2, 2, 3, 3, 0, 1, fr4),
         {"0 3 A [16 A]", "0 3 B [16 B]"}},
        {"no Geoms at all", QString(), {}},
        {"an STL board", geom("MainPCB", "X", "STL", 0, 0, 1, 1, 0, 1, fr4), {"0 16 MainPCB"}},
        {"heat sinks of one object with two names",
         geom("H", "H1", "HeatSink", 0, 0, 1, 1, 0, 1, fr4) + geom("H", "H2", "HeatSink", 2, 2, 3, 3, 0, 1, fr4),
         {"0 3 H1 [3 H1 [1 H1]]", "0 3 H2 [3 H2 [1 H2]]"}},
    };
    const QString twoNodes = "Geom N has fewer than three nodes and is left out";
    const TestSupport::TempDir dir;
    for (const auto& [what, geoms, tree] : cases) {
        SCOPED_TRACE(what);
        const auto built = build(dir, interchangeFile("2025.2", geoms));
        EXPECT_TRUE(built->read);
        EXPECT_EQ(TestSupport::describeTree(built->objects), tree);
        EXPECT_TRUE(built->progress.texts(Kind::FatalError).isEmpty());
        const bool tooFewNodes = QString(what).contains("nodes");
        EXPECT_EQ(built->progress.texts(Kind::Warning), tooFewNodes ? QStringList{twoNodes} : QStringList());
    }
}

// What the reader refuses ends the build with its message; an outline that is not flat
// throws to the caller, which decides what to do with the file.
TEST(TarvexObjectBuilder, UnreadableFilesAndBentOutlines)
{
    const TestSupport::TempDir dir;
    const auto broken = build(dir, "<TARVEX_INTERCHANGE_MODEL><GEOMSet>");
    EXPECT_FALSE(broken->read);
    EXPECT_EQ(broken->progress.texts(Kind::FatalError).last(), "Failed to read file : " + dir.path("model.xml"));

    const QString bent = "<Geom ObjectName=\"B\" Name=\"B\" Type=\"Block\" dz=\"1\"><node x=\"0\" y=\"0\" z=\"0\"/>"
                         "<node x=\"1\" y=\"0\" z=\"0.5\"/><node x=\"1\" y=\"1\" z=\"0\"/></Geom>";
    BuiltFile bentFile;
    EXPECT_THROW(bentFile.builder.readFile(dir.write("bent.xml", interchangeFile("2025.2", bent))), std::runtime_error);
    EXPECT_EQ(bentFile.progress.texts(Kind::FatalError),
              QStringList{"The nodes of B do not lie in one plane (Z variation)"});
}

// A joint's position is three finite numbers separated by ","; any other text is a warning
// naming the joint, which then stands at the origin. Balls and bumps read it alike.
TEST(TarvexObjectBuilder, JointPositionsAreThreeFiniteNumbersOrAWarning)
{
    const std::pair<const char*, std::optional<Geometry::Vec3>> cases[] = {
        {"position=\"3, 3, 1\"", Geometry::Vec3(0.003, 0.003, 0.001)},
        {"position=\" 1.5,-2e0,+0.5 \"", Geometry::Vec3(0.0015, -0.002, 0.0005)},
        {"position=\"\xc2\xa0" "4,5,6\"", Geometry::Vec3(0.004, 0.005, 0.006)},
        {"position=\"1,2\"", std::nullopt},
        {"position=\"1,2,3,4\"", std::nullopt},
        {"position=\"1,,3\"", std::nullopt},
        {"position=\"1;2;3\"", std::nullopt},
        {"position=\"1,2,nan\"", std::nullopt},
        {"position=\"1,2,-1e999\"", std::nullopt},
        {"position=\"1,2,3mm\"", std::nullopt},
        {"position=\"\"", std::nullopt},
        {"", std::nullopt},
    };
    const TestSupport::TempDir dir;
    for (const auto& [attribute, position] : cases) {
        SCOPED_TRACE(attribute);
        const QString joints = QStringLiteral("<SolderBallSet><SolderBall Name=\"J\" MatName=\"FR4\" dmax=\"0.3\" "
                                              "ht=\"0.2\" %1/></SolderBallSet><SolderBumpSet><SolderBump Name=\"K\" "
                                              "MatName=\"FR4\" dmax=\"0.1\" ht=\"0.05\" %1/></SolderBumpSet>")
                                   .arg(QString::fromUtf8(attribute));
        const auto built = build(dir, interchangeFile("2025.2", QString(), joints));
        ASSERT_TRUE(built->read);
        const QStringList warnings = position ? QStringList{}
                                              : QStringList{"Invalid position for Solderball : J",
                                                            "Invalid position for SolderBump : K"};
        EXPECT_EQ(built->progress.texts(Kind::Warning), warnings);
        for (const char* name : {"J", "K"})
            EXPECT_TRUE(near(partOf<TarvexSolderJoint>(*built, name).getPosition(), position.value_or(Geometry::Vec3())))
                << name;
    }
}

// NaN, infinities and numbers too large for a double read as the wrappers' defaults, as
// before, but each is now a warning naming the element and the attribute. Which texts are
// not finite is the DOM's to tell; here every place that asks it is checked.
TEST(TarvexObjectBuilder, NumbersThatAreNotFiniteAreWarnedAboutAndReadAsBefore)
{
    // One file holds the text in every place at once; %1 is replaced by the text.
    const QString materials = "<Material Name=\"FR4\" k=\"%1\" density=\"1900\" specificheat=\"1150\"/>";
    const QString geoms = geom("Main", "L1", "PCB", 0, 0, 10, 10, 0, 1, fr4) +
                          geom("E1", "E1", "Block", 4, 4, 5, 5, 0.2, 0.5, fr4 + " Power=\"%1\"") +
                          "<Geom ObjectName=\"C1\" Name=\"C1\" Type=\"Block\" dz=\"1\" MatName=\"FR4\">"
                          "<node x=\"7\" y=\"7\" z=\"1\"/><node x=\"8\" y=\"7\" z=\"1\"/>"
                          "<node x=\"8\" y=\"8\" z=\"1\"/><node x=\"%1\" y=\"8\" z=\"1\"/></Geom>\n";
    const QString rest = "<SolderBallSet><SolderBall Name=\"A1\" MatName=\"FR4\" d1=\"0.2\" d2=\"0.2\" dmax=\"%1\" "
                         "ht=\"0.2\" position=\"3, 3, 1\"/></SolderBallSet>"
                         "<Power2DSourceSet><Power2DSource Name=\"S1\" ObjectName=\"Main\" Normal=\"z+\" "
                         "PowerScale=\"%1\" xll=\"%1\"/></Power2DSourceSet>";
    const TestSupport::TempDir dir;
    const auto buildWith = [&](const QString& text) {
        return build(dir, interchangeFile("2025.2", QString(geoms).replace("%1", text), QString(rest).replace("%1", text),
                                          QString(materials).replace("%1", text)));
    };
    // Padded, as the text shown must not be.
    const auto built = buildWith(" -1e999 ");
    ASSERT_TRUE(built->read);
    EXPECT_EQ(built->progress.texts(Kind::Warning),
              (QStringList{"Material FR4: attribute k is not a finite number (-1e999)",
                           "Power2DSource S1: attribute xll is not a finite number (-1e999)",
                           "Power2DSource S1: attribute PowerScale is not a finite number (-1e999)",
                           "Geom C1 node 4: attribute x is not a finite number (-1e999)",
                           "Geom E1: attribute Power is not a finite number (-1e999)",
                           "SolderBall A1: attribute dmax is not a finite number (-1e999)"}));

    // The values are the defaults the wrappers gave before.
    EXPECT_EQ(cellOf(*built, "E1").getPower(), 0.0);
    const auto& sources = partOf<TarvexLayeredPart>(*built, "Main").getPowerSources();
    ASSERT_EQ(sources.size(), 1u);
    EXPECT_EQ(dynamic_cast<const TarvexPowerSourcePowerMap&>(*sources[0]).getPowerScale(), 1.0);

    // Finite numbers and blank attributes say nothing.
    EXPECT_EQ(buildWith("1e3")->progress.texts(Kind::Warning), QStringList{});
    EXPECT_EQ(buildWith("  ")->progress.texts(Kind::Warning).filter("finite"), QStringList{});
}
