#include "objectbuild/ObjectBuilderTestSupport.h"
#include "support/TempDir.h"

#include "support/RecordingProgress.h"
#include "objects/TarvexBasic2RPart.h"
#include "objects/TarvexCompositeGeometryObject.h"
#include "objects/TarvexLayeredPart.h"
#include "objects/TarvexLayeredPartLayer.h"
#include "objects/TarvexMaterialMap.h"
#include "objectbuild/TarvexObjectBuilder.h"
#include "objects/TarvexPowerSourceLegacyPowerMap.h"
#include "objects/TarvexPowerSourcePowerMap.h"
#include "objects/TarvexSolderBall.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <iterator>
#include <stdexcept>

using namespace Tarvex;
using TestSupport::geom;
using TestSupport::interchangeFile;
using Kind = Tools::ToolProgress::Kind;

namespace {

const QString fr4 = QStringLiteral("MatName=\"FR4\"");

struct BuiltFile
{
    Tools::RecordingProgress progress;
    std::unique_ptr<TarvexObjectBuilder> builder;
    std::vector<std::unique_ptr<TarvexObject>> objects;
    bool read = false;
};

// Reads `bytes` as an interchange file (other files of the folder written first) and
// builds its tree.
std::unique_ptr<BuiltFile> build(const TestSupport::TempDir& dir, const QByteArray& bytes)
{
    auto built = std::make_unique<BuiltFile>();
    built->builder = std::make_unique<TarvexObjectBuilder>(&built->progress);
    built->read = built->builder->readFile(dir.write(QStringLiteral("model.xml"), bytes));
    built->builder->buildTree();
    built->objects = built->builder->takeObjects();
    return built;
}

const TarvexObject* findNode(const std::vector<std::unique_ptr<TarvexObject>>& nodes, const QString& name)
{
    for (const auto& node : nodes) {
        if (node->part && node->part->getName(true) == name)
            return node.get();
        if (const TarvexObject* found = findNode(node->children, name))
            return found;
    }
    return nullptr;
}

::testing::AssertionResult near(const Geometry::Vec3& actual, const Geometry::Vec3& expected)
{
    const double tolerance = 1e-12;
    if (std::abs(actual.x - expected.x) < tolerance && std::abs(actual.y - expected.y) < tolerance &&
        std::abs(actual.z - expected.z) < tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") instead of ("
                                         << expected.x << ", " << expected.y << ", " << expected.z << ")";
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
    const TarvexObject* c1 = findNode(built->objects, "C1");
    ASSERT_TRUE(c1);
    const Geometry::Bound bound = c1->part->getGeometry().getPlacedBound();
    EXPECT_TRUE(near(bound.getLow(), {0.007, 0.007, 0.001}));
    EXPECT_TRUE(near(bound.getHigh(), {0.008, 0.008, 0.002}));
    const auto* e1 = dynamic_cast<const TarvexLayeredPart*>(findNode(built->objects, "E1")->part.get());
    ASSERT_TRUE(e1 && e1->getLayers().size() == 1);
    const auto* e1Cell = dynamic_cast<const TarvexBasicPart*>(e1->getLayers()[0]->getCells()[0].get());
    EXPECT_DOUBLE_EQ(e1Cell->getPower(), 0.5);
    ASSERT_TRUE(e1Cell->getMaterial());
    EXPECT_EQ(e1Cell->getMaterial()->getName(), "FR4");
    const auto* a1 = dynamic_cast<const TarvexSolderBall*>(findNode(built->objects, "A1")->part.get());
    EXPECT_TRUE(near(a1->getPosition(), {0.003, 0.003, 0.001}));
    EXPECT_DOUBLE_EQ(a1->getDmax(), 0.0003);
    EXPECT_DOUBLE_EQ(a1->getD1(), 0.0002);
    EXPECT_TRUE(near(dynamic_cast<const TarvexSolderBall*>(findNode(built->objects, "BAD")->part.get())->getPosition(),
                     {0, 0, 0}));

    EXPECT_EQ(built->progress.texts(Kind::Warning),
              (QStringList{"No material found for Geom : C1", "Invalid position for Solderball : BAD",
                           "No material found for SolderBump : K1"}));
    // Eight Geoms, two balls and a bump.
    EXPECT_EQ(built->progress.totalSteps(), 11u);
}

// Older files merge cells of one height into a layer, keep single Geoms as blocks, read
// simplification grids, and nest only into boards; what no board holds stays at the top.
TEST(TarvexObjectBuilder, OlderFileMergesLayersAndKeepsBlocks)
{
    const TestSupport::TempDir dir;
    const QString geoms = geom("P", "P_CORE", "PCB", 0, 0, 10, 10, 0, 1, fr4) +
                          geom("P", "P_TOP_CU", "PCB", 0, 0, 5, 10, 1, 0.1, fr4) +
                          geom("P", "P_TOP_DIEL", "PCB", 5, 0, 10, 10, 1, 0.1, fr4) +
                          geom("B1", "B1", "Block", 1, 1, 2, 2, 1.1, 1) +
                          geom("R1", "R1", "TwoResistor", 3, 3, 4, 4, 1.1, 1, fr4 + " ThetaJC=\"4.5\" ThetaJB=\"12\"");
    const QString options = "<SimplificationOptions><Model ObjectName=\"P\" NX=\"3\" NY=\"4\"/></SimplificationOptions>";
    const auto built = build(dir, interchangeFile("2024.1", geoms, options));
    ASSERT_TRUE(built->read);

    EXPECT_EQ(TestSupport::describeTree(built->objects), (QStringList{"0 16 P", "0 1 B1", "0 2 R1"}));
    const auto* board = dynamic_cast<const TarvexLayeredPart*>(built->objects[0]->part.get());
    ASSERT_TRUE(board);
    ASSERT_EQ(board->getLayers().size(), 2u);
    EXPECT_EQ(board->getLayers()[1]->getCells().size(), 2u);
    EXPECT_EQ(board->getLayers()[1]->getName(false), "TOP");
    EXPECT_EQ(board->getSimplificationGrid(), TarvexLayeredPart::SimplificationGrid(3, 4));
    const auto* compact = dynamic_cast<const TarvexBasic2RPart*>(built->objects[2]->part.get());
    ASSERT_TRUE(compact);
    EXPECT_EQ(compact->getThetaJC(), 4.5);
    EXPECT_EQ(compact->getThetaJB(), 12);
    EXPECT_EQ(built->progress.texts(Kind::Warning), QStringList{"No material found for Geom : B1"});
}

// Files of the current version are not newer than the layout change: parts nest into
// packages and boards but no package is made around the others.
TEST(TarvexObjectBuilder, CurrentVersionNestsWithoutTheTree)
{
    const TestSupport::TempDir dir;
    const QString geoms = geom("Main", "L1", "PCB", 0, 0, 10, 10, 0, 1, fr4) +
                          geom("E1", "E1", "Block", 4, 4, 5, 5, 0.2, 0.5, fr4) +
                          geom("U1", "U1_Sub", "Package", 2, 2, 6, 6, 1.2, 0.4, fr4) +
                          geom("D1", "D1", "Die", 3, 3, 4, 4, 1.3, 0.2, fr4) +
                          geom("C1", "C1", "Block", 7, 7, 8, 8, 1, 1, fr4);
    const auto built = build(dir, interchangeFile("2025.1.0", geoms));
    EXPECT_EQ(TestSupport::describeTree(built->objects),
              (QStringList{"0 16 Main", "1 16 E1", "0 3 U1 [16 U1, 16 D1]", "0 16 C1"}));
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
    ASSERT_EQ(built->objects.size(), 1u);
    const auto& board = dynamic_cast<const TarvexLayeredPart&>(*built->objects[0]->part);

    // Sources: the missing map is skipped; the others keep their order and SI values.
    const auto& sources = board.getPowerSources();
    ASSERT_EQ(sources.size(), 2u);
    const auto* s1 = dynamic_cast<const TarvexPowerSourcePowerMap*>(sources[0].get());
    ASSERT_TRUE(s1);
    EXPECT_EQ(s1->getPowerMapFile(), dir.path("core.ptrace"));
    EXPECT_TRUE(near(s1->getNormal(), {0, 0, -1}));
    EXPECT_FALSE(s1->getFlipX());
    EXPECT_TRUE(s1->getFlipY());
    EXPECT_DOUBLE_EQ(s1->getPower(), 0.25);
    EXPECT_DOUBLE_EQ(s1->getXll(), 0.001);
    EXPECT_DOUBLE_EQ(s1->getDy(), 0.004);
    EXPECT_EQ(s1->getPowerScale(), 2);
    EXPECT_EQ(s1->getRotation(), 90);
    EXPECT_EQ(s1->getGeomScale(), 3);
    EXPECT_EQ(sources[1]->getName(), "S3");
    EXPECT_TRUE(near(sources[1]->getNormal(), {0, 0, 1}));

    // Cells: a layout with both materials is a map on the file beside the model; with its
    // metal unknown the dielectric alone; a name nobody defines leaves the cell bare.
    const auto cellMaterial = [&](size_t layer) {
        return dynamic_cast<const TarvexBasicPart&>(*board.getLayers()[layer]->getCells()[0]).getMaterial();
    };
    const auto map = std::dynamic_pointer_cast<TarvexMaterialMap>(cellMaterial(0));
    ASSERT_TRUE(map);
    EXPECT_EQ(map->getLayoutFile(), dir.path("L1.layout"));
    EXPECT_EQ(map->getMetal()->getName(), "Cu");
    EXPECT_EQ(cellMaterial(1)->getName(), "FR4");
    EXPECT_FALSE(cellMaterial(2));

    const QStringList warnings = built->progress.texts(Kind::Warning);
    EXPECT_TRUE(warnings.contains("gone.ptrace : Power Map File " + dir.path("gone.ptrace") + " does not exist"));
    EXPECT_EQ(warnings.count("Unsupported normal for heat source :S3"), 2);
    EXPECT_TRUE(warnings.contains("No material layout file found for Geom : L2 - L2.layout"));
    EXPECT_TRUE(warnings.contains("No material found for Geom : L3"));
    EXPECT_TRUE(warnings.contains("missing-library.xml : Material library " + dir.path("missing-library.xml") +
                                  " does not exist"));
    EXPECT_TRUE(warnings.contains("A material library include names no file; it is left out"));
    // An unreadable library costs its materials, not the import.
    EXPECT_EQ(warnings.filter(QRegularExpression("^junk.xml : Failed to Read")).size(), 1);
    EXPECT_TRUE(built->progress.texts(Kind::FatalError).isEmpty());
    EXPECT_EQ(warnings.size(), 8) << warnings.join('\n').toStdString();
}

// Sources of files before power-map files name line-format maps.
TEST(TarvexObjectBuilder, OldSourcesAreLegacyPowerMaps)
{
    const TestSupport::TempDir dir;
    const QString rest = "<Power2DSourceSet><Power2DSource Name=\"S\" ObjectName=\"B\" Normal=\"z+\" Flip=\"x\"/>"
                         "</Power2DSourceSet>";
    for (const char* version : {"2024.1.1", "2024.1.2"}) {
        const auto built = build(dir, interchangeFile(version, geom("B", "B", "Block", 0, 0, 1, 1, 0, 1, fr4), rest));
        ASSERT_EQ(built->objects.size(), 1u) << version;
        const auto& part = dynamic_cast<const TarvexBasicPart&>(*built->objects[0]->part);
        ASSERT_EQ(part.getPowerSources().size(), 1u);
        const auto* legacy = dynamic_cast<const TarvexPowerSourceLegacyPowerMap*>(part.getPowerSources()[0].get());
        EXPECT_EQ(legacy != nullptr, QString(version) == "2024.1.1") << version;
        if (legacy) {
            EXPECT_EQ(legacy->getFlipAxis(), Geometry::Vec2(1, 0));
        }
    }
}

// Awkward files: every case is read, reported where the file is at fault, and built as
// far as it can be; nothing loops on parts that contain each other.
TEST(TarvexObjectBuilder, AwkwardFilesAreBuiltAsFarAsTheyGo)
{
    struct Case
    {
        const char* what;
        QString geoms;
        QStringList tree;
    };
    const QString noNodes = "<Geom ObjectName=\"N\" Name=\"N\" Type=\"Block\" dz=\"1\" MatName=\"FR4\"/>";
    const std::vector<Case> cases = {
        {"a Geom without nodes", noNodes, {}},
        {"a Geom of two nodes beside a good one",
         "<Geom ObjectName=\"N\" Name=\"N\" Type=\"Block\" dz=\"1\"><node x=\"0\" y=\"0\" z=\"0\"/>"
         "<node x=\"1\" y=\"0\" z=\"0\"/></Geom>" + geom("G", "G", "Block", 0, 0, 1, 1, 0, 1, fr4),
         {"0 3 G [16 G]"}},
        {"an unknown type", geom("W", "W", "Wobble", 0, 0, 1, 1, 0, 1, fr4), {"0 3 W [16 W]"}},
        {"two packages of equal bounds",
         geom("P1", "P1", "Package", 0, 0, 1, 1, 0, 1, fr4) + geom("P2", "P2", "Package", 0, 0, 1, 1, 0, 1, fr4),
         {"0 3 P1 [16 P1, 3 P2 [16 P2]]"}},
        {"two parts of equal bounds",
         geom("A", "A", "Block", 0, 0, 1, 1, 0, 1, fr4) + geom("B", "B", "Block", 0, 0, 1, 1, 0, 1, fr4),
         {"0 3 A [16 A, 16 B]"}},
        {"duplicate names",
         geom("A", "X", "Block", 0, 0, 1, 1, 0, 1, fr4) + geom("B", "X", "Block", 2, 2, 3, 3, 0, 1, fr4),
         {"0 3 A [16 A]", "0 3 B [16 B]"}},
        {"no Geoms at all", QString(), {}},
        {"one substrate, the base of its own package", geom("S", "S", "Substrate", 0, 0, 1, 1, 0, 1, fr4),
         {"0 3 S [16 S]"}},
        {"an STL board", geom("MainPCB", "X", "STL", 0, 0, 1, 1, 0, 1, fr4), {"0 16 MainPCB"}},
        {"heat sinks of one object with two names",
         geom("H", "H1", "HeatSink", 0, 0, 1, 1, 0, 1, fr4) + geom("H", "H2", "HeatSink", 2, 2, 3, 3, 0, 1, fr4),
         {"0 3 H1 [3 H1 [1 H1]]", "0 3 H2 [3 H2 [1 H2]]"}},
    };
    const TestSupport::TempDir dir;
    for (const Case& c : cases) {
        const auto built = build(dir, interchangeFile("2025.2", c.geoms));
        EXPECT_TRUE(built->read) << c.what;
        QStringList tree = TestSupport::describeTree(built->objects);
        EXPECT_EQ(tree, c.tree) << c.what << ": " << tree.join(" | ").toStdString();
        EXPECT_TRUE(built->progress.texts(Kind::FatalError).isEmpty()) << c.what;
        if (QString(c.what).contains("nodes")) {
            EXPECT_EQ(built->progress.texts(Kind::Warning), QStringList{"Geom N has fewer than three nodes and is left out"})
                << c.what;
        }
    }
}

// What the reader refuses ends the build with its message; an outline that is not flat
// throws to the caller, which decides what to do with the file.
TEST(TarvexObjectBuilder, UnreadableFilesAndBentOutlines)
{
    const TestSupport::TempDir dir;
    Tools::RecordingProgress progress;
    TarvexObjectBuilder broken(&progress);
    const QString path = dir.write("broken.xml", "<TARVEX_INTERCHANGE_MODEL><GEOMSet>");
    EXPECT_FALSE(broken.readFile(path));
    EXPECT_TRUE(progress.has(Kind::FatalError, "Failed to read file : " + path));

    const QString bent = "<Geom ObjectName=\"B\" Name=\"B\" Type=\"Block\" dz=\"1\"><node x=\"0\" y=\"0\" z=\"0\"/>"
                         "<node x=\"1\" y=\"0\" z=\"0.5\"/><node x=\"1\" y=\"1\" z=\"0\"/></Geom>";
    progress.clear();
    TarvexObjectBuilder builder(&progress);
    EXPECT_THROW(builder.readFile(dir.write("bent.xml", interchangeFile("2025.2", bent))), std::runtime_error);
    EXPECT_EQ(progress.texts(Kind::FatalError), QStringList{"The nodes of B do not lie in one plane (Z variation)"});
}

// NaN, infinities and numbers too large for a double read as the wrappers' defaults, as
// before, but each is now a warning naming the element and the attribute.
TEST(TarvexObjectBuilder, NumbersThatAreNotFiniteAreWarnedAboutAndReadAsBefore)
{
    struct Case
    {
        const char* where;   // what the attribute is on
        const char* message; // the warning with %1 for the text
    };
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
    const Case places[] = {
        {"material", "Material FR4: attribute k is not a finite number (%1)"},
        {"geom", "Geom E1: attribute Power is not a finite number (%1)"},
        {"node", "Geom C1 node 4: attribute x is not a finite number (%1)"},
        {"solder ball", "SolderBall A1: attribute dmax is not a finite number (%1)"},
        {"power source scale", "Power2DSource S1: attribute PowerScale is not a finite number (%1)"},
        {"power source corner", "Power2DSource S1: attribute xll is not a finite number (%1)"},
    };
    for (const char* text : {"nan", "NaN", "inf", "-inf", " 1e999 ", "-1e999"}) {
        SCOPED_TRACE(text);
        const QString written = QString::fromUtf8(text);
        const QString shown = written.trimmed();
        const TestSupport::TempDir dir;
        const auto built = build(dir, interchangeFile("2025.2", QString(geoms).replace("%1", written),
                                                      QString(rest).replace("%1", written),
                                                      QString(materials).replace("%1", written)));
        ASSERT_TRUE(built->read);
        const QStringList warnings = built->progress.texts(Kind::Warning);
        for (const Case& place : places)
            EXPECT_EQ(warnings.count(QString::fromUtf8(place.message).arg(shown)), 1)
                << place.where << ":\n" << warnings.join('\n').toStdString();
        EXPECT_EQ(warnings.size(), int(std::size(places))) << warnings.join('\n').toStdString();

        // The values are the defaults the wrappers gave before.
        const auto* e1 = dynamic_cast<const TarvexLayeredPart*>(findNode(built->objects, "E1")->part.get());
        ASSERT_TRUE(e1);
        EXPECT_EQ(dynamic_cast<const TarvexBasicPart&>(*e1->getLayers()[0]->getCells()[0]).getPower(), 0.0);
        const auto* a1 = dynamic_cast<const TarvexSolderBall*>(findNode(built->objects, "A1")->part.get());
        ASSERT_TRUE(a1);
        EXPECT_EQ(a1->getDmax(), 0.0);
        const TarvexObject* main = findNode(built->objects, "Main");
        ASSERT_TRUE(main);
        const auto& sources = dynamic_cast<const TarvexLayeredPart&>(*main->part).getPowerSources();
        ASSERT_EQ(sources.size(), 1u);
        const auto* s1 = dynamic_cast<const TarvexPowerSourcePowerMap*>(sources[0].get());
        ASSERT_TRUE(s1);
        EXPECT_EQ(s1->getPowerScale(), 1.0);
        EXPECT_EQ(sources[0]->getXll(), 0.0);
    }

    // Finite numbers, blank and absent attributes say nothing.
    const TestSupport::TempDir dir;
    const auto quiet = build(dir, interchangeFile("2025.2", QString(geoms).replace("%1", "7.5"),
                                                  QString(rest).replace("%1", "  "), QString(materials).replace("%1", "1e3")));
    const QStringList quietWarnings = quiet->progress.texts(Kind::Warning);
    EXPECT_TRUE(quietWarnings.isEmpty()) << quietWarnings.join('\n').toStdString();
}
