#include "EntityFields.h"
#include "ImportSession.h"

#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/SolverTypes.h>

#include <QFile>

#include <gtest/gtest.h>

// Packages, blocks, balls and compact models from our files to host entities. Host axes
// are y up: a file's (x, y, z) is the host's (x, z, -y); values are SI, relative to the
// entity that holds them.

using namespace EntityModel;
using Kind = Tools::ToolProgress::Kind;
using Session = ImportTest::ImportSession;
using ImportTest::fields;
using ImportTest::findAll;
using ImportTest::findOne;

namespace {

const QStringList placement{"Origin_Point", "X_Location", "Y_Location", "Z_Location", "Width", "Height", "Depth"};

// The names of the entities of `list` of `owner`, in order.
QStringList namesIn(const Entity* owner, const AttributePath& list)
{
    QStringList names;
    std::vector<Entity*> children;
    if (const Attribute* held = owner ? owner->findAttribute(list) : nullptr) {
        const auto* items = static_cast<const EntityListAttribute*>(held);
        for (int i = 0; i < items->count(); ++i)
            names << items->at(i)->getName();
    }
    return names;
}

QString materialOf(const Entity* entity)
{
    const Entity* material = getLinkedEntity(entity, MaterialLink_t);
    return material ? material->getName() : QStringLiteral("none");
}

} // namespace

// The package U1 stands 1.9 mm above the chassis origin (it is on no board): a component
// with its extents, holding its blocks in a "-subcomponents" group at its origin. The
// mold goes first, the board adhesive before the first block of a known kind; each block
// is placed relative to the component, with its kind, power and material.
TEST(ComponentImport, APackageIsAComponentWhoseGroupHoldsItsBlocksInTheirOrder)
{
    Session s;
    s.importer.importModel(ImportTest::builderData("package-board.xml"), false);
    ASSERT_TRUE(s.progress.texts(Kind::FatalError).isEmpty());
    const Entity* u1 = findOne(s.chassis, Component_t, "U1");
    ASSERT_TRUE(u1);
    EXPECT_EQ(u1->getOwnerEntity(), s.chassis);
    EXPECT_EQ(fields(u1, "", QStringList{"Modelling_Level", "Board_Side", "Rotation_Mechanism", "Rotation_Order",
                                          "Angle_1", "Angle_2", "Angle_3", "Shape"} + placement),
              "Modelling_Level=Detailed; Board_Side=Top; Rotation_Mechanism=Ordered; Rotation_Order=ZYX; Angle_1=0; "
              "Angle_2=0; Angle_3=0; Shape=Rectangle; Origin_Point=Low_Corner; X_Location=0.01; Y_Location=0.0019; "
              "Z_Location=-0.03; Width=0.015; Height=0.0012; Depth=0.02");

    EXPECT_EQ(namesIn(u1, SubcomponentGroups_t), QStringList{"U1-subcomponents"});
    const Entity* group = findOne(u1, Subcomponent_Group_t, "U1-subcomponents");
    EXPECT_EQ(fields(group, "", {"X_Location", "Y_Location", "Z_Location", "Angle_1", "Angle_2", "Angle_3"}),
              "X_Location=0; Y_Location=0; Z_Location=0; Angle_1=0; Angle_2=0; Angle_3=0");
    EXPECT_EQ(namesIn(group, Obstructions_t), QStringList({"MOLD", "FOOT", "U1", "DIE", "GLUE", "SUB"}));

    const QStringList block{"Type", "Shape", "Heat_Dissipated", "X_Location", "Y_Location", "Z_Location", "Width",
                            "Height", "Depth"};
    const std::tuple<const char*, const char*, const char*> blocks[] = {
        {"MOLD", "Mold", "Type=Encapsulant; Shape=Cuboid; Heat_Dissipated=0; X_Location=0; Y_Location=0.0007; "
                         "Z_Location=0; Width=0.015; Height=0.0005; Depth=0.02"},
        {"FOOT", "FR4", "Type=Die_Attach; Shape=Cuboid; Heat_Dissipated=0; X_Location=0.002; Y_Location=0; "
                        "Z_Location=0.016; Width=0.002; Height=5e-05; Depth=0.002"},
        {"U1", "FR4", "Type=Substrate; Shape=Cuboid; Heat_Dissipated=0; X_Location=0; Y_Location=0; Z_Location=0; "
                      "Width=0.015; Height=0.0012; Depth=0.02"},
        {"DIE", "Silicon", "Type=Die; Shape=Cuboid; Heat_Dissipated=2; X_Location=0.005; Y_Location=0.0004; "
                           "Z_Location=0.01; Width=0.005; Height=0.0003; Depth=0.005"},
        {"GLUE", "Silicon", "Type=Die_Attach; Shape=Cuboid; Heat_Dissipated=0; X_Location=0.005; Y_Location=0.0003; "
                            "Z_Location=0.01; Width=0.005; Height=0.0001; Depth=0.005"},
        {"SUB", "FR4", "Type=none; Shape=Cuboid; Heat_Dissipated=0; X_Location=0; Y_Location=0; Z_Location=0; "
                       "Width=0.015; Height=0.0003; Depth=0.02"},
    };
    for (const auto& [name, material, expected] : blocks) {
        SCOPED_TRACE(name);
        const Entity* entity = findOne(group, Solid_Obstruction_t, name);
        EXPECT_EQ(fields(entity, "", block), expected);
        EXPECT_EQ(materialOf(entity), material);
    }

    // The host puts each block back where the file has it.
    const std::pair<const char*, Geometry::Bound> inSpace[] = {
        {"DIE", Geometry::Bound(Geometry::Vec3(0.015, 0.0023, -0.02), Geometry::Vec3(0.02, 0.0026, -0.015))},
        {"FOOT", Geometry::Bound(Geometry::Vec3(0.012, 0.0019, -0.014), Geometry::Vec3(0.014, 0.00195, -0.012))},
    };
    for (const auto& [name, expected] : inSpace) {
        const Geometry::Bound bound = s.boundOf({findOne(group, Solid_Obstruction_t, name)});
        EXPECT_LT((bound.getLow() - expected.getLow()).length() + (bound.getHigh() - expected.getHigh()).length(), 1e-12)
            << name;
    }
}

// On a board, a component takes the side it faces: R5 starts at the board's underside, so
// it hangs below and is given by its top face (0.5 mm); R6 stands 0.5 mm below the top
// face, which is where top-side heights start. A board turns them by one angle only. The
// host reads them back to where the file put them.
TEST(ComponentImport, ComponentsOnABoardTakeTheSideTheyFace)
{
    Session s;
    s.importer.importModel(ImportTest::builderData("package-board.xml"), false);
    const Entity* board = findOne(s.chassis, PCB_t, "BRD");
    ASSERT_TRUE(board);
    const std::tuple<const char*, const char*, Geometry::Bound> components[] = {
        {"R5", "Board_Side=Bottom; Angle=0; Angle_1=none; X_Location=0.04; Y_Location=0.0005; Z_Location=0.033",
         Geometry::Bound(Geometry::Vec3(0.04, 0, -0.007), Geometry::Vec3(0.044, 0.0005, -0.005))},
        {"R6", "Board_Side=Top; Angle=0; Angle_1=none; X_Location=0.04; Y_Location=-0.0005; Z_Location=0.023",
         Geometry::Bound(Geometry::Vec3(0.04, 0.0011, -0.017), Geometry::Vec3(0.044, 0.0016, -0.015))},
    };
    for (const auto& [name, expected, inSpace] : components) {
        SCOPED_TRACE(name);
        Entity* component = findOne(board, Component_t, name);
        ASSERT_TRUE(component);
        EXPECT_EQ(component->getOwnerEntity(), board);
        EXPECT_EQ(fields(component, "", {"Board_Side", "Angle", "Angle_1", "X_Location", "Y_Location", "Z_Location"}),
                  expected);
        const Geometry::Bound bound = s.boundOf({component});
        EXPECT_LT((bound.getLow() - inSpace.getLow()).length() + (bound.getHigh() - inSpace.getHigh()).length(), 1e-12);
    }
    EXPECT_EQ(fields(findOne(board, Solid_Obstruction_t, "R5"), "", {"Heat_Dissipated"}), "Heat_Dissipated=0.2");
}

// A ball stands on its centre in a group carrying the height of the first ball; its
// orthotropic solder keeps its file axes turned into the host's (kz along host y). A ball
// whose material the file lacks is told twice, once when read and once when built, and
// gets no link.
TEST(ComponentImport, SolderBallsStandOnTheirCentresWithTheirDiametersAndMaterial)
{
    Session s;
    s.importer.importModel(ImportTest::builderData("package-board.xml"), false);
    const Entity* group = findOne(s.chassis, Group_Obstruction_t, "Solder Balls");
    ASSERT_TRUE(group);
    EXPECT_EQ(fields(group, "", {"X_Location", "Y_Location", "Z_Location"}),
              "X_Location=0; Y_Location=0.0016; Z_Location=0");
    EXPECT_EQ(namesIn(group, Bumps_t), QStringList({"U1_A1", "U1_A2"}));
    const QStringList ball{"Definition", "Height", "Max_Diameter", "Top_Diameter", "Bottom_Diameter", "X_Location",
                           "Y_Location", "Z_Location"};
    EXPECT_EQ(fields(findOne(group, Bump_t, "U1_A1"), "", ball),
              "Definition=Detailed; Height=0.0003; Max_Diameter=0.0005; Top_Diameter=0.0004; "
              "Bottom_Diameter=0.00035; X_Location=0.012; Y_Location=none; Z_Location=-0.012");
    EXPECT_EQ(fields(findOne(group, Bump_t, "U1_A2"), "", {"X_Location", "Z_Location"}),
              "X_Location=0.022; Z_Location=-0.012");

    const Entity* solder = getLinkedEntity(findOne(group, Bump_t, "U1_A1"), MaterialLink_t);
    EXPECT_EQ(fields(solder, "", {"Conductivity/Type", "Conductivity/K1", "Conductivity/K2", "Conductivity/K3"}),
              "Conductivity/Type=Orthotropic; Conductivity/K1=60; Conductivity/K2=40; Conductivity/K3=50");
    EXPECT_EQ(materialOf(findOne(group, Bump_t, "U1_A2")), "none");
    EXPECT_EQ(s.progress.texts(Kind::Warning).filter("U1_A2"),
              QStringList({"package-board.xml : No material found for Solderball : U1_A2",
                           "package-board.xml : No Material attached to U1_A2"}));
}

// A two-resistor model is one component with its resistances and power, whether the file
// gives it on its own or (in the newer layout) the tree wraps it as the base of a package.
TEST(ComponentImport, ATwoResistorModelIsOneComponentWithItsResistancesAndPower)
{
    const std::string expected = "Modelling_Level=2R; Junction_to_Case_Thermal_Resistance=4.5; "
                             "Junction_to_Board_Thermal_Resistance=12; Thermal_Design_Power=0.75; Model=\"Q1\"; "
                             "Shape=Rectangle; X_Location=0.03; Y_Location=0.0016; Z_Location=-0.031; Width=0.006; "
                             "Height=0.0012; Depth=0.006";
    const QStringList paths{"Modelling_Level", "Junction_to_Case_Thermal_Resistance",
                            "Junction_to_Board_Thermal_Resistance", "Thermal_Design_Power", "Model", "Shape",
                            "X_Location", "Y_Location", "Z_Location", "Width", "Height", "Depth"};
    QByteArray newer;
    {
        QFile file(ImportTest::builderData("package-board.xml"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray all = file.readAll();
        const int start = all.indexOf("<Geom ObjectName=\"Q1\"");
        const QByteArray q1 = all.mid(start, all.indexOf("</Geom>", start) + 7 - start);
        newer = "<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.2.0\"><UNITSet><Length Unit=\"mm\"/></UNITSet>"
                "<MaterialSet><Material Name=\"Silicon\" k=\"148\" density=\"2330\" specificheat=\"712\"/></MaterialSet>"
                "<GEOMSet>" + q1 + "</GEOMSet></TARVEX_INTERCHANGE_MODEL>";
    }
    for (const bool wrapped : {false, true}) {
        SCOPED_TRACE(wrapped ? "wrapped" : "alone");
        Session s;
        s.importer.importModel(wrapped ? s.dir.write("q1.xml", newer) : ImportTest::builderData("package-board.xml"),
                               false);
        const std::vector<Entity*> found = findAll(s.chassis, Component_t, "Q1");
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found.front()->getOwnerEntity(), s.chassis);
        EXPECT_EQ(fields(found.front(), "", paths), expected);
        EXPECT_EQ(materialOf(found.front()), "Silicon");
        EXPECT_TRUE(findAll(found.front(), Subcomponent_Group_t).empty());
    }
    // Without its material the model is told by its designator.
    Session s;
    s.importer.importModel(s.dir.write("q1.xml", newer.replace("MatName=\"Silicon\"", "MatName=\"Ghost\"")), false);
    EXPECT_EQ(s.progress.texts(Kind::Warning).filter("attached"), QStringList{"q1.xml : No Material attached to Q1"});
}
