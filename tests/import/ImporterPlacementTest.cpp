#include "ImportSession.h"

#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityReading.h>

#include <gtest/gtest.h>

// Where the driver puts what it imported: centring in the owner, and the CENX/CENY/MINZ
// placement of import-list entries. Host axes are y up: a file's (x, y, z) is (x, z, -y).

using namespace EntityModel;
using Geometry::Vec3;
using Kind = Tools::ToolProgress::Kind;

namespace {

// A second block beside it: x 10..12 mm, y 3..5 mm, z 0..2 mm.
const char* const SecondBlock =
    "<Geom ObjectName=\"C2\" Name=\"C2\" Type=\"Block\" MatName=\"FR4\" dz=\"2\"><node x=\"10\" y=\"3\" z=\"0\"/>"
    "<node x=\"12\" y=\"3\" z=\"0\"/><node x=\"12\" y=\"5\" z=\"0\"/><node x=\"10\" y=\"5\" z=\"0\"/></Geom>";

using namespace ImportTest;
using Session = ImportSession;

// Imports the one block through an import list in `unit` whose entry has `placement`.
std::vector<Entity*> importBlockThroughList(Session& s, const char* unit, const char* placement)
{
    s.dir.write("block.xml", interchangeFile(OneBlock));
    const QString list = s.dir.write(
        "list.json", QStringLiteral(R"({"Version": "2025.1.0", "UNIT": {"length": "%1"},
                                        "TARVEX_INTERCHANGE_MODEL": {"Import": {"file": "block.xml", %2}}})")
                         .arg(unit, placement)
                         .toUtf8());
    return s.importer.importModel(list, false);
}

Vec3 locationOf(const Entity* entity)
{
    return Vec3(getStandardDoubleValue(entity, X_Location_t, 0), getStandardDoubleValue(entity, Y_Location_t, 0),
                getStandardDoubleValue(entity, Z_Location_t, 0));
}

::testing::AssertionResult near(const Vec3& actual, const Vec3& expected)
{
    return (actual.isApprox(expected, 1e-12) ? ::testing::AssertionSuccess() : ::testing::AssertionFailure())
           << "(" << actual.x << ", " << actual.y << ", " << actual.z << ")";
}

} // namespace

TEST(TarvexImporterPlacement, CentringMovesTheImportAsAWholeOntoItsOwnersCentre)
{
    const QByteArray twoBlocks = interchangeFile(QString(OneBlock) + SecondBlock);
    Session plain;
    const std::vector<Entity*> asInFile = plain.importer.importModel(plain.dir.write("two.xml", twoBlocks), false);
    ASSERT_EQ(asInFile.size(), 2u);
    EXPECT_TRUE(near(locationOf(asInFile[0]), Vec3(0.002, 0.0016, -0.006))) << "without centring, where the file says";

    // The chassis is 0.5 x 0.3 x 0.4 m from the origin; its bound also takes in what it
    // holds, here the blocks down to z = -0.006.
    Session centred;
    EntityEditor::setSIValue(centred.chassis, Width_t, 0.5);
    EntityEditor::setSIValue(centred.chassis, Height_t, 0.3);
    EntityEditor::setSIValue(centred.chassis, Depth_t, 0.4);
    const std::vector<Entity*> built = centred.importer.importModel(centred.dir.write("two.xml", twoBlocks), true);
    ASSERT_EQ(built.size(), 2u);
    EXPECT_TRUE(near(centred.boundOf(built).getCentre(), Vec3(0.25, 0.15, 0.197)));
    // One translation for the group: the blocks keep their places relative to each other.
    EXPECT_TRUE(near(locationOf(built[1]) - locationOf(built[0]), locationOf(asInFile[1]) - locationOf(asInFile[0])));
}

TEST(TarvexImporterPlacement, ListEntriesPlaceFootprintCentreAndBottomInTheListsLengthUnit)
{
    struct Case
    {
        const char* name;
        const char* unit;
        const char* placement; // the entry's keys beside "file"
        Vec3 footprintCentreAndBottom; // host: centre x, low y, centre z; metres
    };
    // The block alone sits at centre x 0.003, bottom 0.0016, centre z -0.0045.
    const Case cases[] = {
        {"all three keys", "mm", R"("CENX": 10, "CENY": 20, "MINZ": 0.5)", Vec3(0.010, 0.0005, -0.020)},
        {"a missing key counts as 0", "mm", R"("MINZ": 2)", Vec3(0, 0.002, 0)},
        {"the list's unit", "um", R"("CENX": 5000, "CENY": -250)", Vec3(0.005, 0, 0.00025)},
        {"metres", "m", R"("CENY": 0.001, "MINZ": 0.25)", Vec3(0, 0.25, -0.001)},
        {"a number written as text is no placement", "mm", R"("CENX": "5")", Vec3(0.003, 0.0016, -0.0045)},
        {"no key, no move", "mm", R"("name": "C1")", Vec3(0.003, 0.0016, -0.0045)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        const std::vector<Entity*> built = importBlockThroughList(s, c.unit, c.placement);
        ASSERT_EQ(built.size(), 1u) << s.progress.texts(Kind::FatalError).join('\n').toStdString();
        const Geometry::Bound bound = s.boundOf(built);
        EXPECT_TRUE(near(Vec3(bound.getCentre().x, bound.getLow().y, bound.getCentre().z), c.footprintCentreAndBottom));
        EXPECT_TRUE(s.progress.texts(Kind::Warning).isEmpty()) << s.progress.texts(Kind::Warning).join('\n').toStdString();
    }
}

TEST(TarvexImporterPlacement, ListEntriesWithinAMicrometreOrInAnUnknownUnitStayWhereTheFilePutThem)
{
    struct Case
    {
        const char* name;
        const char* unit;
        const char* placement;
        const char* warning; // empty when none
    };
    const Case cases[] = {
        // 0.5 um off in x: below the placement tolerance, so nothing is rewritten at all.
        {"within the tolerance", "mm", R"("CENX": 3.0005, "CENY": 4.5, "MINZ": 1.6)", ""},
        {"unknown length unit", "furlong", R"("CENX": 10)", "list.json : Unknown unit \"furlong\" for Length; block.xml is not placed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        const std::vector<Entity*> built = importBlockThroughList(s, c.unit, c.placement);
        ASSERT_EQ(built.size(), 1u);
        // Exactly the builder's values: a move by a tiny offset would change their last bits.
        Session plain;
        const std::vector<Entity*> asInFile =
            plain.importer.importModel(plain.dir.write("block.xml", interchangeFile(OneBlock)), false);
        ASSERT_EQ(asInFile.size(), 1u);
        for (const TypeRef& axis : {X_Location_t, Y_Location_t, Z_Location_t})
            EXPECT_EQ(getStandardDoubleValue(built[0], axis, -1), getStandardDoubleValue(asInFile[0], axis, -2));
        const QStringList warnings = s.progress.texts(Kind::Warning);
        EXPECT_EQ(warnings, *c.warning ? QStringList{c.warning} : QStringList{});
    }
}
