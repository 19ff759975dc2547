// The form every importer brings its records into: names, positive thicknesses, the lowest
// layer at zero, bottom-up order, flips and rotations of areas and density grids.

#include <tarvex/maps/MaterialMapImporterBase.h>

#include "MaterialMapTestSupport.h"

#include <gtest/gtest.h>


using namespace MaterialMapTest;

namespace {

// An importer whose "file" is a list of records given by the test.
class GivenImporter : public Tarvex::MaterialMapImporterBase<7>
{
public:
    using MaterialMapImporterBase::MaterialMapImporterBase;
    std::vector<MaterialMapData> readMaterialMapDataImpl(const QString&) override { return given; }
    std::vector<MaterialMapData> given;
};

MaterialMapData record(const std::string& name, double upPos, double thickness)
{
    MaterialMapData r;
    r.name = name;
    r.upPos = upPos;
    r.thickness = thickness;
    return r;
}

// A 2 x 3 grid 1 2 3 / 4 5 6 on the area [0, 3] x [0, 2].
MaterialMapData grid2x3()
{
    MaterialMapData r = record("G", 0, 1);
    r.rows = 2;
    r.columns = 3;
    r.metalDensity = {1, 2, 3, 4, 5, 6};
    r.area = Bound2D(Vec2(0, 0), Vec2(3, 2));
    return r;
}

std::string summary(const std::vector<MaterialMapData>& records)
{
    std::string text;
    for (const MaterialMapData& r : records)
        text += QStringLiteral("%1@%2+%3 ").arg(QString::fromStdString(r.name)).arg(r.upPos).arg(r.thickness).toStdString();
    return text;
}

} // namespace

TEST(MaterialMapCanonical, NamesPositionsAndOrder)
{
    struct Case
    {
        const char* what;
        std::vector<MaterialMapData> given;
        std::string expected;
        QStringList warnings;
    };
    const Case cases[] = {
        {"listed top-down, returned bottom-up", {record("top", 2, 1), record("mid", 1, 1), record("bottom", 0, 1)},
         "bottom@0+1 mid@1+1 top@2+1 ", {}},
        {"equal positions: thinner first, otherwise file order kept",
         {record("a", 0, 2), record("b", 0, 1), record("c", 0, 2)}, "b@0+1 a@0+2 c@0+2 ", {}},
        {"one unnamed layer", {record("", 0, 1)}, "Layer@0+1 ", {}},
        {"unnamed layers are numbered in file order", {record("", 2, 1), record("named", 1, 1), record("", 0, 1)},
         "Layer 3@0+1 named@1+1 Layer 1@2+1 ", {}},
        {"a negative thickness lowers the position", {record("L", 1.0, -0.2)}, "L@0.8+0.2 ", {}},
        {"layers below zero are shifted up", {record("a", -1.0, 1), record("b", 0.0, 1)}, "a@0+1 b@1+1 ",
         {"Minimal Y position is non zero, shifting it up to make it zero"}},
    };
    for (const Case& c : cases) {
        Tools::RecordingProgress progress;
        GivenImporter importer(false, &progress);
        importer.given = c.given;
        EXPECT_EQ(summary(importer.readMaterialMapData(QString())), c.expected) << c.what;
        EXPECT_EQ(progress.texts(Kind::Warning), c.warnings) << c.what;
    }
}

TEST(MaterialMapCanonical, RotationsTurnAreasAndGridsCounterClockwise)
{
    // Row 0 is the bottom (low y); a quarter turn to the left puts the first column at the
    // bottom, read from right to left. Angles are taken modulo a turn, to the nearest quarter.
    const std::string wide = "G / unit mm area 0,0-3,2 at 0+1 grid 2x3: ";
    const std::string tall = "G / unit mm area 0,0-2,3 at 0+1 grid 3x2: ";
    const std::pair<double, std::string> cases[] = {
        {-720.5, wide + "1 2 3 4 5 6"}, {90.9, tall + "4 1 5 2 6 3"}, {-270, tall + "4 1 5 2 6 3"},
        {180, wide + "6 5 4 3 2 1"},    {270, tall + "3 6 2 5 1 4"},
        {45, "fatal: Material Map rotation of 45 degrees is not supported"},
    };
    for (const auto& [degrees, expected] : cases) {
        Tools::RecordingProgress progress;
        GivenImporter importer(false, &progress);
        importer.given = {grid2x3()};
        importer.setRotationInPlane(degrees);
        Read read{importer.readMaterialMapData(QString()), progress.texts(Kind::FatalError), {}};
        EXPECT_EQ(describe(read), std::vector<std::string>{expected}) << degrees;
    }
}

TEST(MaterialMapCanonical, FlipsMirrorWithinTheCommonBound)
{
    // Two layers of different areas: mirroring keeps their common bound [0, 4] x [0, 2] in
    // place. A grid of three rows keeps its middle row; densities beyond the grid are dropped.
    MaterialMapData small = grid2x3();
    small.rows = 3;
    small.columns = 2;
    small.metalDensity = {1, 2, 3, 4, 5, 6, 7};
    small.area = Bound2D(Vec2(0, 0), Vec2(1, 1));
    MaterialMapData large = record("H", 1, 1);
    large.area = Bound2D(Vec2(1, 0), Vec2(4, 2));
    const auto flipped = [](std::vector<MaterialMapData> records, bool x, bool y) {
        EXPECT_TRUE(Tarvex::MaterialMapEditor::flipMaterialMapData(records, x, y));
        return describe(Read{records, {}, {}});
    };
    const std::string g = "G / unit mm area ", h = "H / unit mm area ";
    EXPECT_EQ(flipped({small, large}, true, false),
              (std::vector<std::string>{g + "3,0-4,1 at 0+1 grid 3x2: 2 1 4 3 6 5", h + "0,0-3,2 at 1+1 grid 1x1:"}));
    EXPECT_EQ(flipped({small, large}, false, true),
              (std::vector<std::string>{g + "0,1-1,2 at 0+1 grid 3x2: 5 6 3 4 1 2", h + "1,0-4,2 at 1+1 grid 1x1:"}));

    // Files are z-up unless told otherwise: their y is mirrored last, after the rotation.
    GivenImporter zUp(nullptr);
    zUp.given = {grid2x3()};
    EXPECT_EQ(zUp.readMaterialMapData(QString())[0].metalDensity, (std::vector<double>{4, 5, 6, 1, 2, 3}));
    zUp.setRotationInPlane(90);
    zUp.setFlipXInPlane(true);
    // Flip x: 3 2 1 / 6 5 4; rotate: 6 3 / 5 2 / 4 1; flip y: 4 1 / 5 2 / 6 3.
    EXPECT_EQ(zUp.readMaterialMapData(QString())[0].metalDensity, (std::vector<double>{4, 1, 5, 2, 6, 3}));

    // Areas in other units are mirrored in metres and given back in their own unit.
    MaterialMapData inMicrons = grid2x3();
    inMicrons.lengthUnit = EntityModel::TypeRef("um");
    inMicrons.area = Bound2D(Vec2(0, 0), Vec2(1000, 1000));
    MaterialMapData inMillimetres = record("mm", 0, 1);
    inMillimetres.area = Bound2D(Vec2(1, 0), Vec2(2, 1));
    EXPECT_EQ(flipped({inMicrons, inMillimetres}, true, false),
              (std::vector<std::string>{"G / unit um area 1000,0-2000,1000 at 0+1 grid 2x3: 3 2 1 6 5 4",
                                        "mm / unit mm area 0,0-1,1 at 0+1 grid 1x1:"}));
}
