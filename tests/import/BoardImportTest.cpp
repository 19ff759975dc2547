#include "EntityFields.h"
#include "ImportSession.h"

#include <tarvex/host/EntityReading.h>
#include <tarvex/host/ListAttributeEditor.h>

#include <gtest/gtest.h>

// Boards and their layers, holes, materials and heat sources, from our files in
// tests/data/builders to host entities. Host axes are y up: a file's (x, y, z) is the host's
// (x, z, -y); every value is SI and relative to the entity that holds it.

using namespace EntityModel;
using Kind = Tools::ToolProgress::Kind;
using Session = ImportTest::ImportSession;
using ImportTest::fields;
using ImportTest::findAll;
using ImportTest::findOne;

namespace {

QString layer(int i) { return QStringLiteral("Tarvex_Interchange_Model/Tarvex_Layers_Definition/Tarvex_Layers/%1/").arg(i, 10, 10, QLatin1Char('0')); }

QString cell(int i, int j) { return layer(i) + QStringLiteral("Tarvex_Layer_Items/%1/").arg(j, 10, 10, QLatin1Char('0')); }

} // namespace

// Copper, an orthotropic core (kx 0.8, ky 0.6, kz 0.3) and copper with 250 mW, all of one L
// outline 40 x 30 mm: three layers bottom-up, the outline in host x and z relative to the
// board's low corner (file y runs against host z), kz as K2, the power in watts, and one
// material entity per name however often it is used or imported.
TEST(BoardImport, LayersComeBottomUpWithOutlineConductivityAndPowerInSI)
{
    Session s;
    const std::vector<Entity*> built = s.importer.importModel(ImportTest::builderData("l-board.xml"), false);
    ASSERT_EQ(built.size(), 1u) << s.progress.texts(Kind::FatalError).join('\n').toStdString();
    const Entity* board = built.front();
    EXPECT_EQ(board->getType(), PCB_t);
    const QString outline = "[0 0.03 0 0 0.01 0 0.01 0.02 0.04 0.02 0.04 0.03]";
    EXPECT_EQ(fields(board, "", {"Reference_Designator", "Shape", "Outline", "Thickness", "Width", "Height", "Depth",
                                 "X_Location", "Z_Location", "Tarvex_Interchange_Placement/Importer Version"}),
              ("Reference_Designator=\"BRD\"; Shape=Polygon; Outline=" + outline +
               "; Thickness=0.0011; Width=0.04; Height=0.0011; Depth=0.03; X_Location=0; Z_Location=-0.03; "
               "Tarvex_Interchange_Placement/Importer Version=2")
                  .toStdString());

    const char* const rows[] = {
        "Name=\"Bottom\"; Thickness=5e-05; Y_Location=0",
        "Name=\"Core\"; Thickness=0.001; Y_Location=5e-05",
        "Name=\"Top\"; Thickness=5e-05; Y_Location=0.00105",
    };
    const char* const cells[] = {
        "Material/Name=\"Copper\"; Material/Conductivity/K1=385; Material/Conductivity/K2=385; Power/Value=0",
        "Material/Name=\"Core\"; Material/Conductivity/K1=0.8; Material/Conductivity/K2=0.3; Power/Value=0",
        "Material/Name=\"Copper\"; Material/Conductivity/K1=385; Material/Conductivity/K2=385; Power/Value=0.25",
    };
    EXPECT_EQ(ListAttributeEditor::getItemCount(board, AttributePath(layer(0)).parent()), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(fields(board, layer(i), {"Name", "Thickness", "Y_Location"}), rows[i]);
        EXPECT_EQ(fields(board, cell(i, 0),
                         {"Material/Name", "Material/Conductivity/K1", "Material/Conductivity/K2", "Power/Value"}),
                  cells[i]);
        EXPECT_EQ(fields(board, cell(i, 0), {"Shape", "Outline", "X_Location", "Z_Location", "Width", "Depth"}),
                  ("Shape=Polygon; Outline=" + outline + "; X_Location=0; Z_Location=0; Width=0.04; Depth=0.03")
                      .toStdString());
    }

    // Plain materials are not listed by the layer, but the library has each once, even
    // after a second import of the same file.
    EXPECT_EQ(fields(board, layer(1), {"Materials"}), "Materials=none");
    s.importer.importModel(ImportTest::builderData("l-board.xml"), false);
    EXPECT_EQ(findAll(s.model->getRoot(), Material_t).size(), 2u);
    EXPECT_EQ(fields(findOne(s.model->getRoot(), Material_t, "Core"), "",
                     {"Conductivity/Type", "Conductivity/K1", "Conductivity/K2", "Conductivity/K3", "Density/Value",
                      "Heat_Radiation_Properties/Surface_Emissivity/Value"}),
              "Conductivity/Type=Orthotropic; Conductivity/K1=0.8; Conductivity/K2=0.3; Conductivity/K3=0.6; "
              "Density/Value=1900; Heat_Radiation_Properties/Surface_Emissivity/Value=0.9");
}

// Sources face up onto the top face or down onto the bottom face of their part, placed
// relative to the entity that holds them; PowerScale multiplies the power of a source
// without a map, and a map keeps the scales and turns the other way when seen from below.
TEST(BoardImport, HeatSourcesLieOnTheFacesOfThePartThatCarriesThem)
{
    Session s;
    s.importer.importModel(ImportTest::builderData("heat-sources.xml"), false);
    ASSERT_TRUE(s.progress.texts(Kind::FatalError).isEmpty()) << s.progress.texts(Kind::FatalError).join('\n').toStdString();
    const Entity* board = findOne(s.chassis, PCB_t, "BRD");
    const Entity* block = findOne(s.chassis, Solid_Obstruction_t, "U7");
    ASSERT_TRUE(board && block);

    const QStringList placement{"Modelling_Level", "X_Location", "Y_Location", "Z_Location", "Width", "Height", "Depth"};
    const std::tuple<const Entity*, const char*, const char*> sources[] = {
        {board, "BRD_Top", "Modelling_Level=Thin; X_Location=0.005; Y_Location=0.0016; Z_Location=0.022; "
                           "Width=0.004; Height=0; Depth=0.003"},
        {board, "BRD_Bottom", "Modelling_Level=Thin; X_Location=0.03; Y_Location=0; Z_Location=0.008; "
                              "Width=0.002; Height=0; Depth=0.002"},
        {block, "U7_Map", "Modelling_Level=Thin; X_Location=0.001; Y_Location=0; Z_Location=0.001; "
                          "Width=0.008; Height=0; Depth=0.004"},
    };
    for (const auto& [owner, name, expected] : sources) {
        SCOPED_TRACE(name);
        const std::vector<Entity*> found = findAll(owner, Heat_Source_t, name);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found.front()->getOwnerEntity(), owner);
        EXPECT_EQ(fields(found.front(), "", placement), expected);
    }
    EXPECT_EQ(fields(findOne(board, Heat_Source_t, "BRD_Top"), "", {"Heat/Temperature_Dependent_Heat_Dissipation", "Heat/Heat_Dissipated"}),
              "Heat/Temperature_Dependent_Heat_Dissipation=No; Heat/Heat_Dissipated=1.5");
    EXPECT_EQ(fields(findOne(board, Heat_Source_t, "BRD_Bottom"), "", {"Heat/Heat_Dissipated"}), "Heat/Heat_Dissipated=1");
    const Entity* map = findOne(block, Power_Map_t, "area-map");
    EXPECT_EQ(fields(map, "", {"Power_Scale", "Geometry_Scale", "Map_Rotation", "Flip_X", "Flip_Y", "Total_Power"}),
              "Power_Scale=3; Geometry_Scale=0.5; Map_Rotation=-90; Flip_X=true; Flip_Y=false; Total_Power=1.5");
    // A heat sink's source lies under its first block, the base, once: no fin builds it again.
    const std::vector<Entity*> sink = findAll(s.chassis, Heat_Source_t, "HS9_Base");
    ASSERT_EQ(sink.size(), 1u);
    EXPECT_EQ(sink.front()->getOwnerEntity()->getType(), Solid_Obstruction_t);
    EXPECT_EQ(sink.front()->getOwnerEntity()->getOwnerEntity()->getName(), "HS9");
    EXPECT_EQ(fields(sink.front(), "", placement), "Modelling_Level=Thin; X_Location=0.001; Y_Location=0; "
                                                   "Z_Location=0.001; Width=0.008; Height=0; Depth=0.008");
    // Each source once: the block's one cell does not build its object's sources again; a
    // source of no part is told, not lost in silence.
    EXPECT_EQ(findAll(s.chassis, Heat_Source_t).size(), 4u);
    EXPECT_EQ(s.progress.texts(Kind::Warning).filter("No part Nobody for heat source Stray; it is left out").size(), 1);
}

// A map of 2024.1 in the older line format: each powered rectangle becomes "<name> <k>",
// scaled into place, mirrored, turned by 90 degrees about the map's corner, which lands on (xll, yll),
// its power times PowerScale, with leakage as a curve over temperature. A malformed line
// costs its own source only, with the file and line named.
TEST(BoardImport, OlderLineFormatMapsBecomeOneHeatSourcePerPoweredRectangle)
{
    Session s;
    s.importer.importModel(ImportTest::builderData("legacy-sources.xml"), false);
    const Entity* board = findOne(s.chassis, PCB_t, "BRD");
    ASSERT_TRUE(board);
    const QStringList paths{"X_Location", "Z_Location", "Width", "Depth", "Heat/Temperature_Dependent_Heat_Dissipation",
                            "Heat/Heat_Dissipated", "Heat/Heat_Dissipated_Temperature_Curve"};
    // The 4 x 2 mm map mirrored in x (a flip about y), then turned a quarter: its first half
    // lands at x 5..7, y 7..9 mm, the second below it at y 5..7 mm (host z runs against y,
    // from the board's edge at 30 mm).
    EXPECT_EQ(fields(findOne(board, Heat_Source_t, "DIE 1"), "", paths),
              "X_Location=0.005; Z_Location=0.021; Width=0.002; Depth=0.002; "
              "Heat/Temperature_Dependent_Heat_Dissipation=No; Heat/Heat_Dissipated=2; Heat/Heat_Dissipated_Temperature_Curve=none");
    EXPECT_EQ(fields(findOne(board, Heat_Source_t, "DIE 2"), "", paths),
              "X_Location=0.005; Z_Location=0.023; Width=0.002; Depth=0.002; "
              "Heat/Temperature_Dependent_Heat_Dissipation=Yes; Heat/Heat_Dissipated=none; "
              "Heat/Heat_Dissipated_Temperature_Curve={358.15:1.5}");
    EXPECT_EQ(findAll(board, Heat_Source_t).size(), 2u);
    const QStringList errors = s.progress.texts(Kind::FatalError);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().contains("legacy-bad.txt line 8")) << errors.front().toStdString();
    EXPECT_FALSE(s.messages().filter("Importing Tarvex Interchange Model Finished with some errors").isEmpty())
        << s.messages().join('\n').toStdString();
}

// The layout of a one-layer board's only cell lists copper then FR4 in the layer and gives
// each grid cell its percentages of them.
TEST(BoardImport, ALayoutGivesTheLayerItsMetalAndDielectricAndEachCellItsFractions)
{
    Session s;
    s.importer.importModel(ImportTest::builderData("layout-board.xml"), false);
    ASSERT_TRUE(s.progress.texts(Kind::FatalError).isEmpty()) << s.progress.texts(Kind::FatalError).join('\n').toStdString();
    const Entity* board = findOne(s.chassis, PCB_t, "BRD");
    ASSERT_TRUE(board);
    const std::vector<Entity*> materials = getLinkedEntities(board, AttributePath(layer(0) + "Materials"));
    ASSERT_EQ(materials.size(), 2u);
    EXPECT_EQ(materials[0]->getName(), "Copper");
    EXPECT_EQ(materials[1]->getName(), "FR4");
    EXPECT_EQ(fields(board, cell(0, 0), {"X_Location", "Width", "Material_Fraction"}),
              "X_Location=0; Width=0.002; Material_Fraction=[25 75]");
    EXPECT_EQ(fields(board, cell(0, 1), {"X_Location", "Width", "Material_Fraction"}),
              "X_Location=0.002; Width=0.002; Material_Fraction=[75 25]");
    EXPECT_EQ(findAll(s.model->getRoot(), Material_t).size(), 2u);
}

// Older boards whose layers are frames of four cells: an opening in both layers is one
// through hole; one in the top layer only opens from the top, as deep as that layer.
// A plain older board of one Geom is one layer of one cell.
TEST(BoardImport, OpeningsOfOlderBoardsBecomeThroughAndPartialHoles)
{
    Session s;
    s.importer.importModel(ImportTest::builderData("holes-legacy.xml"), false);
    const QStringList paths{"Shape", "X_Location", "Y_Location", "Z_Location", "Width", "Depth", "Partial_Hole",
                            "Partial_Hole_Depth"};
    const std::pair<const char*, const char*> boards[] = {
        {"PCB_THRU", "Shape=Rectangle; X_Location=0.01; Y_Location=0; Z_Location=0.01; Width=0.01; Depth=0.01; "
                     "Partial_Hole=No; Partial_Hole_Depth=none"},
        {"PCB_TOPHOLE", "Shape=Rectangle; X_Location=0.01; Y_Location=0.001; Z_Location=0.01; Width=0.01; "
                        "Depth=0.01; Partial_Hole=From_Top; Partial_Hole_Depth=0.0005"},
    };
    for (const auto& [name, expected] : boards) {
        SCOPED_TRACE(name);
        const Entity* board = findOne(s.chassis, PCB_t, name);
        ASSERT_TRUE(board);
        const std::vector<Entity*> holes = findAll(board, PCB_Hole_t);
        ASSERT_EQ(holes.size(), 1u);
        EXPECT_EQ(holes.front()->getName(), QString(name) + " hole");
        EXPECT_EQ(fields(holes.front(), "", paths), expected);
    }
    // A board of one plain Geom is a stack of one layer of one cell.
    const Entity* plain = findOne(s.chassis, PCB_t, "PCB_ONE");
    ASSERT_TRUE(plain);
    EXPECT_EQ(ListAttributeEditor::getItemCount(plain, AttributePath(layer(0)).parent()), 1);
    EXPECT_EQ(fields(plain, layer(0), {"Name", "Thickness", "Tarvex_Layer_Items/0000000000/Width"}),
              "Name=\"PCB_ONE\"; Thickness=0.0016; Tarvex_Layer_Items/0000000000/Width=0.02");
    EXPECT_TRUE(findAll(plain, PCB_Hole_t).empty());
}
