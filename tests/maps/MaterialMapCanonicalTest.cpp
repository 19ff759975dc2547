// The form every importer brings its records into: names, positive thicknesses, the lowest
// layer at zero, bottom-up order, flips and rotations of areas and density grids.

#include "maps/MaterialMapImporterBase.h"

#include "support/RecordingProgress.h"

#include <gtest/gtest.h>

#include <stdexcept>

using Geometry::Bound2D;
using Geometry::Vec2;
using Kind = Tools::ToolProgress::Kind;
using Tarvex::MaterialMapData;

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
    struct Case
    {
        double degrees;
        int rows;
        std::vector<double> densities;
        Bound2D area;
    };
    const Bound2D wide(Vec2(0, 0), Vec2(3, 2));
    const Bound2D tall(Vec2(0, 0), Vec2(2, 3));
    // Row 0 is the bottom (low y); a quarter turn to the left puts the first column at the
    // bottom, read from right to left. Angles are taken modulo a turn, to the nearest quarter.
    const Case cases[] = {
        {-720.5, 2, {1, 2, 3, 4, 5, 6}, wide}, {90.9, 3, {4, 1, 5, 2, 6, 3}, tall},
        {-270, 3, {4, 1, 5, 2, 6, 3}, tall},   {180, 2, {6, 5, 4, 3, 2, 1}, wide},
        {270, 3, {3, 6, 2, 5, 1, 4}, tall},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degrees);
        GivenImporter importer(false, nullptr);
        importer.given = {grid2x3()};
        importer.setRotationInPlane(c.degrees);
        const std::vector<MaterialMapData> records = importer.readMaterialMapData(QString());
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].rows, c.rows);
        EXPECT_EQ(records[0].columns, 6 / c.rows);
        EXPECT_EQ(records[0].metalDensity, c.densities);
        EXPECT_TRUE(records[0].area->isApprox(c.area, 1e-12));
    }
    Tools::RecordingProgress progress;
    GivenImporter importer(false, &progress);
    importer.given = {grid2x3()};
    importer.setRotationInPlane(45);
    EXPECT_TRUE(importer.readMaterialMapData(QString()).empty());
    EXPECT_EQ(progress.texts(Kind::FatalError).size(), 1);
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
    struct Case
    {
        bool x;
        bool y;
        std::vector<double> densities;
        Bound2D small;
        Bound2D large;
    };
    const Case cases[] = {
        {true, false, {2, 1, 4, 3, 6, 5}, Bound2D(Vec2(3, 0), Vec2(4, 1)), Bound2D(Vec2(0, 0), Vec2(3, 2))},
        {false, true, {5, 6, 3, 4, 1, 2}, Bound2D(Vec2(0, 1), Vec2(1, 2)), Bound2D(Vec2(1, 0), Vec2(4, 2))},
        {true, true, {6, 5, 4, 3, 2, 1}, Bound2D(Vec2(3, 1), Vec2(4, 2)), Bound2D(Vec2(0, 0), Vec2(3, 2))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + std::to_string(c.y));
        std::vector<MaterialMapData> records{small, large};
        ASSERT_TRUE(Tarvex::MaterialMapEditor::flipMaterialMapData(records, c.x, c.y));
        EXPECT_EQ(records[0].metalDensity, c.densities);
        EXPECT_TRUE(records[0].area->isApprox(c.small, 1e-12));
        EXPECT_TRUE(records[1].area->isApprox(c.large, 1e-12));
        EXPECT_TRUE(records[1].metalDensity.empty());
    }

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
    std::vector<MaterialMapData> mixed{inMicrons, inMillimetres};
    ASSERT_TRUE(Tarvex::MaterialMapEditor::flipMaterialMapData(mixed, true, false));
    EXPECT_TRUE(mixed[0].area->isApprox(Bound2D(Vec2(1000, 0), Vec2(2000, 1000)), 1e-9));
    EXPECT_TRUE(mixed[1].area->isApprox(Bound2D(Vec2(0, 0), Vec2(1, 1)), 1e-12));
}
