#include "host/EntityEditor.h"
#include "host/EntityFetcher.h"
#include "host/EntityReading.h"
#include "host/ModelFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace EntityModel;

namespace {

std::unique_ptr<Model> richModel()
{
    auto model = Model::createDefault();
    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    Entity* board = EntityEditor::createEntity(PCB_t, chassis, Objects_t, nullptr, 0, "Board");
    Entity* part = EntityEditor::createEntity(Component_t, board, Components_t, nullptr, 0, "U1 \"quoted\" µ");
    EntityEditor::setSIValue(board, Thickness_t, 0.0016);
    EntityEditor::setConvertValueToUnits(board, Thickness_t, Length_t, mm_t);
    EntityEditor::setSIValue(part, X_Location_t, 1.0 / 3.0);
    EntityEditor::setValue(part, AttributePath("Pins"), 64);
    EntityEditor::setValue(part, AttributePath("Hidden"), false);
    EntityEditor::setValue(part, Board_Side_t, Top_t);
    EntityEditor::setValue(part, AttributePath("Display/Colour"), "red");
    EntityEditor::setSIDoubleListValue(board, AttributePath("Layer_Thicknesses"), {3.5e-5, 1.5e-3, 3.5e-5});
    EntityEditor::setSIPointsCurve(board, AttributePath("Conductivity_Curve"), {{300, 0.3}, {400, 0.35}});
    EntityEditor::setLinks(part, AttributePath("Material"), {board});
    return model;
}

} // namespace

TEST(ModelFile, SavedModelLoadsBackWithEveryValueIdAndLinkAndSavesToTheSameBytes)
{
    const auto model = richModel();
    const QByteArray first = ModelFile::toJson(*model);
    QString error;
    const auto loaded = ModelFile::fromJson(first, &error);
    ASSERT_TRUE(loaded) << error.toStdString();
    EXPECT_EQ(ModelFile::toJson(*loaded), first);

    Entity* chassis = EntityFetcher::getChassis(loaded->getRoot());
    ASSERT_TRUE(chassis);
    std::vector<Entity*> all;
    chassis->getOwnedChildEntities(all, true, true);
    ASSERT_EQ(all.size(), 2u);
    Entity* board = all[0];
    Entity* part = all[1];
    EXPECT_EQ(part->getName(), QString::fromUtf8("U1 \"quoted\" µ"));
    EXPECT_EQ(getStandardDoubleValue(part, X_Location_t, 0), 1.0 / 3.0); // exact, not rounded
    EXPECT_NEAR(getDoubleValue(board, Thickness_t, Length_t, mm_t, 0), 1.6, 1e-12);
    EXPECT_EQ(getIntValue(part, AttributePath("Pins"), 0), 64);
    EXPECT_EQ(part->findAttribute(AttributePath("Pins"))->getKind(), Attribute::Kind::Value);
    EXPECT_FALSE(getBoolValue(part, AttributePath("Hidden"), true));
    EXPECT_TRUE(hasAttributeSetTo(part, Board_Side_t, Top_t));
    EXPECT_EQ(getStringValue(part, AttributePath("Display/Colour")), "red");
    EXPECT_EQ(getStandardDoubleListValues(board, AttributePath("Layer_Thicknesses")),
              (QVector<double>{3.5e-5, 1.5e-3, 3.5e-5}));
    EXPECT_EQ(getLinkedEntity(part, AttributePath("Material")), board);
    EXPECT_EQ(board->getId(), model->findEntity(board->getId())->getId());

    // New entities of the loaded model never take an id already saved.
    Entity* fresh = EntityEditor::createEntity(Component_t, board, Components_t);
    EXPECT_GT(fresh->getId(), part->getId());
}

TEST(ModelFile, BrokenFilesAreRefusedWithAReason)
{
    struct Case
    {
        const char* json;
        const char* reason;
    };
    const Case cases[] = {
        {"", "not JSON"},
        {"{\"format\": \"tarvex-host-model\", ", "not JSON"},
        {"[1, 2]", "not a saved model"},
        {"{\"format\": \"something else\", \"formatVersion\": 1}", "not a saved model"},
        {"{\"format\": \"tarvex-host-model\", \"formatVersion\": 9, \"root\": {}}", "format version 9"},
        {"{\"format\": \"tarvex-host-model\", \"formatVersion\": 1, \"root\": {\"type\": \"Project\"}}", "positive whole \"id\""},
        {"{\"format\": \"tarvex-host-model\", \"formatVersion\": 1, \"root\": {\"id\": 1, \"type\": \"Project\", "
         "\"attributes\": {\"A\": {\"entities\": [{\"id\": 1, \"type\": \"Chassis\", \"attributes\": {}}]}}}}",
         "id 1 appears twice"},
        {"{\"format\": \"tarvex-host-model\", \"formatVersion\": 1, \"root\": {\"id\": 1, \"type\": \"Project\", "
         "\"attributes\": {\"A\": {\"mystery\": 1}}}}",
         "root/Project/A: unreadable attribute"},
        {"{\"format\": \"tarvex-host-model\", \"formatVersion\": 1, \"root\": {\"id\": 1.5, \"type\": \"Project\"}}",
         "positive whole \"id\""},
        // Link ids no entity may have: negative, fractional, zero, past the id limit, not numbers.
        {"{\"format\": \"tarvex-host-model\", \"formatVersion\": 1, \"root\": {\"id\": 1, \"type\": \"Project\", "
         "\"attributes\": {\"L\": {\"links\": [-1]}}}}",
         "root/Project/L: a link needs positive whole ids"},
        {"{\"format\": \"tarvex-host-model\", \"formatVersion\": 1, \"root\": {\"id\": 1, \"type\": \"Project\", "
         "\"attributes\": {\"L\": {\"links\": [2, 1.5]}}}}",
         "a link needs positive whole ids"},
        {"{\"format\": \"tarvex-host-model\", \"formatVersion\": 1, \"root\": {\"id\": 1, \"type\": \"Project\", "
         "\"attributes\": {\"L\": {\"links\": [0]}}}}",
         "a link needs positive whole ids"},
        {"{\"format\": \"tarvex-host-model\", \"formatVersion\": 1, \"root\": {\"id\": 1, \"type\": \"Project\", "
         "\"attributes\": {\"L\": {\"links\": [90009000000000999999]}}}}",
         "a link needs positive whole ids"},
        {"{\"format\": \"tarvex-host-model\", \"formatVersion\": 1, \"root\": {\"id\": 1, \"type\": \"Project\", "
         "\"attributes\": {\"L\": {\"links\": [\"2\"]}}}}",
         "a link needs positive whole ids"},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(ModelFile::fromJson(c.json, &error)) << c.json;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.reason))) << c.json << " gave: " << error.toStdString();
    }
}

TEST(ModelFile, SaveAndLoadThroughFilesReportProblemsByName)
{
    TestSupport::TempDir dir;
    const auto model = richModel();
    QString error;
    const QString path = dir.path("model.json");
    ASSERT_TRUE(ModelFile::save(*model, path, &error)) << error.toStdString();
    EXPECT_EQ(dir.read("model.json"), ModelFile::toJson(*model));
    EXPECT_TRUE(ModelFile::load(path, &error));

    EXPECT_FALSE(ModelFile::save(*model, dir.path("missing/folder/model.json"), &error));
    EXPECT_TRUE(error.contains("missing/folder/model.json"));
    EXPECT_FALSE(ModelFile::load(dir.path("nothing.json"), &error));
    EXPECT_TRUE(error.contains("nothing.json"));
    const QString garbage = dir.write("garbage.json", QByteArray("\x00\xff\xfe binary", 10));
    EXPECT_FALSE(ModelFile::load(garbage, &error));
    EXPECT_TRUE(error.contains("garbage.json") && error.contains("not JSON"));
}
