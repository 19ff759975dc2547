// The CAD text format of the host stand-in: what it writes comes back exactly, faces point
// outwards, and malformed files are refused with the line at fault. Also the colour attribute.
#include <tarvex/host/CADModel.h>
#include <tarvex/host/DisplayColour.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/EntityGUI.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/SolverTypes.h>

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace CADinterface;
using Geometry::Bound;
using Geometry::Vec2;
using Geometry::Vec3;

namespace {

CADModel sampleModel()
{
    CADModel model;
    model.addBody(CADBody::box(Bound(Vec3(0, 0, 0), Vec3(0.1, 1.0 / 3.0, 2e-300)), Vec3(-0.0, 1e-9, 123456.789)));
    // Clockwise when seen with x to the right and z up: the normals still point outwards.
    model.addBody(CADBody::prism({Vec2(0, 0), Vec2(0, 0.002), Vec2(0.004, 0.002), Vec2(0.004, 0)}, 0.001,
                                 0.0005, Vec3(0.01, 0.02, 0.03)));
    model.addBody(CADBody::prism({Vec2(0, 0), Vec2(1, 0), Vec2(0, 1)}, 0, 0, Vec3()));
    return model;
}

} // namespace

TEST(CADModelTest, WrittenModelsReadBackExactlyFromTextAndFile)
{
    const CADModel model = sampleModel();
    QString problem;
    const std::optional<CADModel> read = CADModel::fromText(model.toText(), &problem);
    ASSERT_TRUE(read) << problem.toStdString();
    EXPECT_EQ(*read, model);
    EXPECT_TRUE(std::signbit(read->getBodies()[0].getPlacement().x)) << "-0 keeps its sign";

    const TestSupport::TempDir dir;
    ASSERT_TRUE(model.writeFile(dir.path("body.cad"), &problem)) << problem.toStdString();
    const std::optional<CADModel> fromFile = CADModel::readFile(dir.path("body.cad"), &problem);
    ASSERT_TRUE(fromFile) << problem.toStdString();
    EXPECT_EQ(*fromFile, model);
    EXPECT_FALSE(CADModel::readFile(dir.path("missing.cad"), &problem));
    EXPECT_TRUE(problem.contains("missing.cad"));

    // Comments, blank lines, carriage returns and extra blanks are read past.
    const QByteArray loose = "# made by hand\r\n\r\ntarvex-cad   1\r\nbox\n at 1 2 3\n\n  low 0 0 0 \nhigh 1 1 1\nend\n";
    const std::optional<CADModel> looseModel = CADModel::fromText(loose, &problem);
    ASSERT_TRUE(looseModel) << problem.toStdString();
    EXPECT_EQ(looseModel->getBound(), Bound(Vec3(1, 2, 3), Vec3(2, 3, 4)));
    EXPECT_TRUE(CADModel::fromText("tarvex-cad 1\n", &problem)->getBodies().empty());
}

TEST(CADModelTest, BoundsAndFacesLieInTheWorldWithOutwardNormals)
{
    const CADModel model = sampleModel();
    const CADBody& prism = model.getBodies()[1];
    EXPECT_TRUE(prism.getBound().isApprox(Bound(Vec3(0.01, 0.021, 0.03), Vec3(0.014, 0.0215, 0.032)), 1e-15));

    const CADBody box = CADBody::box(Bound(Vec3(0, 0, 0), Vec3(2, 4, 6)), Vec3(10, 20, 30));
    const Vec3 boxNormals[] = {{0, 0, -1}, {0, -1, 0}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const Vec3 boxCentres[] = {{11, 22, 30}, {11, 20, 33}, {10, 22, 33}, {12, 22, 33}, {11, 24, 33}, {11, 22, 36}};
    const std::vector<CADFace> boxFaces = box.getFaces();
    ASSERT_EQ(boxFaces.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(boxFaces[i].number, int(i) + 1);
        EXPECT_EQ(boxFaces[i].normal, boxNormals[i]) << "face " << i + 1;
        EXPECT_EQ(boxFaces[i].centre, boxCentres[i]) << "face " << i + 1;
    }

    // Every face of either prism, whichever way its outline turns, points away from the
    // prism's middle.
    const std::vector<Vec2> square{Vec2(0, 0), Vec2(2, 0), Vec2(2, 2), Vec2(0, 2)};
    for (const std::vector<Vec2>& outline : {square, std::vector<Vec2>(square.rbegin(), square.rend())}) {
        const CADBody body = CADBody::prism(outline, 1, 2, Vec3(5, 0, 5));
        const Vec3 middle = body.getBound().getCentre();
        const std::vector<CADFace> faces = body.getFaces();
        ASSERT_EQ(faces.size(), 6u);
        EXPECT_EQ(faces[0].normal, Vec3(0, -1, 0));
        EXPECT_EQ(faces[1].normal, Vec3(0, 1, 0));
        EXPECT_DOUBLE_EQ(faces[1].centre.y, 3.0);
        for (const CADFace& face : faces) {
            EXPECT_NEAR(face.normal.length(), 1.0, 1e-12);
            EXPECT_GT((face.centre - middle).dot(face.normal), 0.0) << "face " << face.number;
        }
    }
}

TEST(CADModelTest, MalformedFilesAreRefusedWithTheLineAtFault)
{
    const QByteArray head = "tarvex-cad 1\n";
    const QByteArray box = "box\nat 0 0 0\nlow 0 0 0\nhigh 1 1 1\nend\n";
    const QByteArray prism = head + "prism\nat 0 0 0\nbase 0 height 1\n";
    const struct
    {
        QByteArray text;
        const char* problem;
    } cases[] = {
        {"", "line 0: not a CAD text file"},
        {"tarvex-cad 2\n" + box, "line 1: not a CAD text file"},
        {head + "sphere\n", "line 2: expected \"box\" or \"prism\""},
        {head + "box\nat 0 0\n", "line 3: expected \"at\" with 3 numbers"},
        {head + "box\nlow 0 0 0\n", "line 3: expected \"at\" with 3 numbers"},
        {head + "box\nat 0 0 nan\n", "line 3: \"nan\" is not a finite number"},
        {head + "box\nat 0 0 1e999\n", "line 3: \"1e999\" is not a finite number"},
        {head + "box\nat 0 0 0\nlow 0 2 0\nhigh 1 1 1\nend\n", "line 6: the box's low corner lies above"},
        {head + "box\nat 0 0 0\nlow 0 0 0\nhigh 1 1 1\n", "line 5: the file ends inside a body"},
        {head + "box\nat 0 0 0\nlow 0 0 0\nhigh 1 1 1\nend 1\n", "line 6: expected \"end\" with 0 numbers"},
        {head + "prism\nat 0 0 0\nbase 0 height -1\npoint 0 0\npoint 1 0\npoint 0 1\nend\n", "line 8: the prism's height is negative"},
        {head + "prism\nat 0 0 0\nbase 0 depth 1\n", "line 4: \"depth\" is not a finite number"},
        {prism + "point 0 0\npoint 1 0\nend\n", "line 7: a prism needs at least three"},
        {prism + "point 0 0\npoint 0 0\npoint 1 1\nend\n", "line 8: a point repeats"},
        {prism + "point 0 0\npoint 1 0\npoint 1 1\npoint 0 0\nend\n", "line 9: the last point repeats the first"},
        {prism + "point 0 0\npoint 1 1\npoint 2 2\nend\n", "line 8: the prism's outline has no area"},
    };
    for (const auto& c : cases) {
        QString problem;
        EXPECT_FALSE(CADModel::fromText(c.text, &problem)) << c.text.toStdString();
        EXPECT_TRUE(problem.startsWith(QString::fromUtf8(c.problem)))
            << c.text.toStdString() << "\ngave: " << problem.toStdString();
    }

    // The limits hold for a file of many small bodies as well.
    QByteArray many = head;
    for (int i = 0; i <= CADModel::MaxBodies; ++i)
        many += box;
    QString problem;
    EXPECT_FALSE(CADModel::fromText(many, &problem));
    EXPECT_TRUE(problem.endsWith(QStringLiteral("more than %1 bodies").arg(CADModel::MaxBodies))) << problem.toStdString();
}

TEST(DisplayColourTest, ColourTextReadsBackAndMalformedTextReadsAsNone)
{
    using namespace EntityModel;
    const std::unique_ptr<Model> model = Model::createDefault();
    Entity* block = EntityEditor::createEntity(Solid_Obstruction_t, EntityFetcher::getChassis(model->getRoot()),
                                               Obstructions_t, nullptr, 0, "B");
    EXPECT_FALSE(getColour(block));
    ASSERT_TRUE(setColourNoThrow(block, {255, 128, 0}));
    EXPECT_EQ(getStringValue(block, Display_Options_t / Colour_t), "255,128,0");
    EXPECT_EQ(getColour(block), (DisplayColour{255, 128, 0}));
    EXPECT_FALSE(setColourNoThrow(block, {256, 0, 0}));
    EXPECT_FALSE(setColourNoThrow(block, {0, -1, 0}));
    EXPECT_EQ(getColour(block), (DisplayColour{255, 128, 0})) << "a refused colour changes nothing";

    const struct
    {
        const char* text;
        std::optional<DisplayColour> colour;
    } texts[] = {{" 1, 2 ,3", DisplayColour{1, 2, 3}}, {"1,2,3,4", std::nullopt}, {"1,2,300", std::nullopt},
                 {"a,b,c", std::nullopt}};
    for (const auto& t : texts) {
        EntityEditor::setValue(block, colourPath(), t.text);
        EXPECT_EQ(getColour(block), t.colour) << t.text;
    }
}

TEST(CADModelTest, AnEntitysOwnGeometryIsPlacedWhereTheGeometryBuilderPutsIt)
{
    using namespace EntityModel;
    const std::unique_ptr<Model> model = Model::createDefault();
    Entity* group = EntityEditor::createEntity(Group_Obstruction_t, EntityFetcher::getChassis(model->getRoot()),
                                               Obstructions_t, nullptr, 0, "G");
    EntityEditor::setSIValue(group, X_Location_t, 0.5);
    Entity* block = EntityEditor::createEntity(Solid_Obstruction_t, group, Obstructions_t, nullptr, 0, "B");
    EntityEditor::setSIValue(block, Y_Location_t, 0.25);
    EntityEditor::setSIValue(block, Width_t, 0.01);
    EntityEditor::setSIValue(block, Thickness_t, 0.002);
    EntityEditor::setSIValue(block, Depth_t, 0.003);
    // A child makes the block's part larger but is no part of the block's own body.
    Entity* child = EntityEditor::createEntity(Solid_Obstruction_t, block, Obstructions_t, nullptr, 0, "C");
    EntityEditor::setSIValue(child, Width_t, 1.0);

    const CADModel boxModel = EntityGUI::get_geometry(block);
    ASSERT_EQ(boxModel.getBodies().size(), 1u);
    EXPECT_EQ(boxModel.getBodies()[0], CADBody::box(Bound(Vec3(), Vec3(0.01, 0.002, 0.003)), Vec3(0.5, 0.25, 0)));
    EXPECT_TRUE(EntityGUI::get_geometry(group).getBodies().empty()) << "a group has no body of its own";

    EntityEditor::setValue(block, Shape_t, Polygon_t);
    EntityEditor::setSIDoubleListValue(block, Outline_t, {0, 0, 0.01, 0, 0, 0.003});
    const CADModel prismModel = EntityGUI::get_geometry(block);
    ASSERT_EQ(prismModel.getBodies().size(), 1u);
    EXPECT_EQ(prismModel.getBodies()[0],
              CADBody::prism({Vec2(0, 0), Vec2(0.01, 0), Vec2(0, 0.003)}, 0, 0.002, Vec3(0.5, 0.25, 0)));
    EntityEditor::setSIDoubleListValue(block, Outline_t, {0, 0, 0.01, 0});
    EXPECT_TRUE(EntityGUI::get_geometry(block).getBodies().empty()) << "an outline of two points is no prism";
}
