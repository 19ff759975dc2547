#include <tarvex/builders/TarvexEntityBuildState.h>
#include <tarvex/builders/TarvexEntityBuilder.h>
#include <tarvex/builders/TarvexMaterialEntityBuilder.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/ListAttributeEditor.h>
#include <tarvex/host/Model.h>
#include <tarvex/model3d/Tarvex3DDataDescription.h>
#include <tarvex/objects/TarvexMaterialCMX.h>
#include <tarvex/objects/TarvexMaterialMap.h>
#include <tarvex/objects/TarvexMaterialSimple.h>
#include "support/RecordingProgress.h"

#include "builders/BuilderTestSupport.h"

#include <QDomDocument>

// Layers whose cells share a layer, which no current file gives (each of its cells is a layer
// of its own), built from object trees made here.

using namespace BuilderTest;
using namespace Tarvex;
using Kind = Tools::ToolProgress::Kind;

namespace {

// A board "BRD" of one 1 mm layer whose cells are `materials.size()` strips 10 mm wide side
// by side, each of the material given for it.
std::unique_ptr<TarvexObject> stripBoard(const std::vector<std::shared_ptr<TarvexMaterial>>& materials)
{
    auto board = std::make_unique<TarvexLayeredPart>();
    for (size_t i = 0; i < materials.size(); ++i) {
        auto strip = block(QStringLiteral("BRD_S%1").arg(i + 1), "BRD", "PCB", Vec3(0.01 * double(i), 0, 0),
                           Vec3(0.01, 0.02, 0.001));
        board->addCell(std::make_unique<TarvexLayeredPartLayerCell>(std::move(*strip), materials[i]), true);
    }
    return std::make_unique<TarvexObject>(std::move(board));
}

// Library materials "Alloy42" and "Mold", read as a library file gives them.
std::vector<std::shared_ptr<TarvexMaterial>> libraryMaterials()
{
    QDomDocument document;
    document.setContent(QStringLiteral(
        "<Lib><Material name=\"Alloy42\"><Thermal><Model>120 14 8100 520 0.4 0.3\n20 10 8000 500 0.2 0.3</Model></Thermal></Material>"
        "<Material name=\"Mold\"><Thermal><Model>25 0.8 1900 900 0.9 0.1</Model></Thermal></Material></Lib>"));
    Tarvex3D::Tarvex3DDataDescription thermal(QStringLiteral("Thermal"));
    for (const char* value : {"Temperature", "Conductivity", "Density", "Specific heat", "Emissivity", "Solar Reflectance"})
        thermal.addValue({QString::fromLatin1(value), value == QLatin1String("Temperature") ? "C" : QString()});
    std::vector<std::shared_ptr<TarvexMaterial>> materials;
    const QDomNodeList elements = document.documentElement().elementsByTagName(QStringLiteral("Material"));
    for (int i = 0; i < elements.count(); ++i) {
        Tarvex3D::Tarvex3DMaterial material(elements.at(i).toElement());
        material.parseMaterialProperties({thermal});
        materials.push_back(std::make_shared<TarvexMaterialCMX>(material));
    }
    return materials;
}

struct Session
{
    std::unique_ptr<Model> model = Model::createDefault();
    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    Tools::RecordingProgress progress;
    TarvexReuseMap reuse;

    Entity* build(std::unique_ptr<TarvexObject> node)
    {
        std::vector<std::unique_ptr<TarvexObject>> objects;
        objects.push_back(std::move(node));
        const TarvexBuiltEntities built = buildEntities(objects, chassis, reuse, &progress);
        return built.newEntities.empty() ? nullptr : built.newEntities.front();
    }
};

const QString cells = "Tarvex_Interchange_Model/Tarvex_Layers_Definition/Tarvex_Layers/0000000000/Tarvex_Layer_Items/";

QString names(const std::vector<Entity*>& entities)
{
    QStringList out;
    for (const Entity* entity : entities)
        out << entity->getName();
    return out.join(' ');
}

QString fractionsOf(const Entity* board, int cell)
{
    QStringList out;
    for (double value : getStandardDoubleListValues(
             board, AttributePath(cells + ListAttributeEditor::itemLabel(cell) + QStringLiteral("/Material_Fraction"))))
        out << QString::number(value);
    return out.join(' ');
}

} // namespace

// Library materials join the layer's list in the order cells name them, each cell wholly of
// its own (as percentages), cells written earlier padded when the list grows; a plain
// material goes into the cell only, though the model's library has it too.
TEST(TarvexLayeredMaterials, LibraryMaterialsAreListedByTheLayerAndEveryCellHasOneFractionEach)
{
    const auto library = libraryMaterials();
    ASSERT_EQ(library.size(), 2u);
    const auto fr4 = std::make_shared<TarvexMaterialSimple>("FR4", 1900.0, 1150.0, 0.3);
    Session s;
    Entity* board = s.build(stripBoard({library[0], library[1], fr4, library[0]}));
    ASSERT_TRUE(board);
    EXPECT_TRUE(s.progress.texts(Kind::FatalError).isEmpty());
    const std::vector<Entity*> listedMaterials =
        getLinkedEntities(board, AttributePath("Tarvex_Interchange_Model/Tarvex_Layers_Definition/Tarvex_Layers/"
                                               "0000000000/Materials"));
    EXPECT_EQ(names(listedMaterials), "Alloy42 Mold");
    EXPECT_EQ((QStringList{fractionsOf(board, 0), fractionsOf(board, 1), fractionsOf(board, 2), fractionsOf(board, 3)}),
              (QStringList{"100 0", "0 100", "", "100 0"}));
    EXPECT_EQ(getLinkedEntity(board, AttributePath(cells + "0000000000/Material/TarvexMaterial")), listedMaterials[0]);
    EXPECT_EQ(getStringValue(board, AttributePath(cells + "0000000002/Material/Name")), "FR4");
    EXPECT_NEAR(getStandardDoubleValue(board, AttributePath(cells + "0000000000/Material/Conductivity/K2"), 0), 10, 1e-12);

    std::vector<Entity*> all = listed(s.model->getRoot(), Materials_t);
    EXPECT_EQ(names(all), "Alloy42 Mold FR4");
    EXPECT_NEAR(getStandardDoubleValue(all[2], AttributePath("Density/Value"), 0), 1900, 1e-12);
}

// A layout needs the layer to itself; without metal or dielectric there is nothing to lay
// out; and a map is never one material entity.
TEST(TarvexLayeredMaterials, MapsThatCannotApplyAreReportedAndBuildNothing)
{
    const auto copper = std::make_shared<TarvexMaterialSimple>("Copper", 8933.0, 385.0, 385.0);
    const auto fr4 = std::make_shared<TarvexMaterialSimple>("FR4", 1900.0, 1150.0, 0.3);
    const auto map = std::make_shared<TarvexMaterialMap>("BRD_S1", copper, fr4, "/nowhere/signal.layout");
    const auto empty = std::make_shared<TarvexMaterialMap>("BRD_S1", nullptr, nullptr, QString());

    Session shared;
    Entity* board = shared.build(stripBoard({map, fr4}));
    ASSERT_TRUE(board);
    EXPECT_EQ(shared.progress.texts(Kind::FatalError), QStringList{"Layout can only be applied to single cell layer"});
    EXPECT_EQ(fractionsOf(board, 0), "");

    Session bare;
    ASSERT_TRUE(bare.build(stripBoard({empty})));
    EXPECT_EQ(bare.progress.texts(Kind::Warning), QStringList{"No Material attached to S1"});

    Session direct;
    TarvexEntityBuildState state(direct.reuse);
    EXPECT_EQ(TarvexMaterialEntityBuilder::materialEntityFor(*map, direct.chassis, &state, &direct.progress), nullptr);
    EXPECT_EQ(direct.progress.texts(Kind::FatalError),
              QStringList{"TarvexMaterialMap is not supported in TarvexMaterialEntityBuilder"});
    EXPECT_TRUE(listed(direct.model->getRoot(), Materials_t).empty());
}
