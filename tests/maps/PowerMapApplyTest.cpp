#include "host/EntityEditor.h"
#include "host/EntityFetcher.h"
#include "host/EntityReading.h"
#include "host/Model.h"
#include "host/ModelFile.h"
#include "support/RecordingProgress.h"
#include "maps/TarvexPowerBlockSlicer.h"
#include "maps/TarvexPowerMapImporter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace EntityModel;
using Tarvex::TarvexPowerMapImporter;
using Tools::RecordingProgress;
using Tools::ToolProgress;

namespace {

const QString GridSample = QStringLiteral(TARVEX_SAMPLES "/grid-power-map.txt");
const QString AreaSample = QStringLiteral(TARVEX_SAMPLES "/area-power-map.txt");

struct DieModel
{
    std::unique_ptr<Model> model = Model::createDefault();
    Entity* die = nullptr;

    DieModel()
    {
        die = EntityEditor::createEntity(Heat_Source_t, EntityFetcher::getChassis(model->getRoot()),
                                         AttributePath(Objects_t), nullptr, 0, "Die");
        model->getUndoStack().clear();
    }
    QByteArray json() const { return ModelFile::toJson(*model); }
    std::vector<Entity*> maps() const
    {
        std::vector<Entity*> result;
        if (const Attribute* list = die->child(Power_Maps_t.getLabel())) {
            const auto* entities = static_cast<const EntityListAttribute*>(list);
            for (int i = 0; i < entities->count(); ++i)
                result.push_back(entities->at(i));
        }
        return result;
    }
};

QVector<double> list(const Entity* map, const TypeRef& composite, const TypeRef& corner)
{
    return getStandardDoubleListValues(map, composite / corner);
}

} // namespace

TEST(PowerMapApply, AnAreaMapWithLeakageBecomesLinkedPowerMapEntitiesInSIUnitsInOneUndoStep)
{
    DieModel m;
    const QByteArray before = m.json();
    RecordingProgress progress;
    TarvexPowerMapImporter importer(true, &progress);
    importer.setPowerScale(2.0);
    importer.setFlip(true, false);
    importer.setRotation(90.0);
    ASSERT_TRUE(importer.importPowerMap(m.die, AreaSample));
    EXPECT_TRUE(progress.texts(ToolProgress::Kind::FatalError).isEmpty());
    EXPECT_EQ(progress.texts(ToolProgress::Kind::Informational),
              (QStringList{"Applied power map area-power-map (1) to Die", "Applied power map area-power-map (2) to Die"}));

    const std::vector<Entity*> maps = m.maps();
    ASSERT_EQ(maps.size(), 2u);
    const Entity* first = maps[0];
    const Entity* leakage = maps[1];
    EXPECT_EQ(first->getType(), Power_Map_t);
    EXPECT_EQ(first->getName(), "area-power-map (1)");
    EXPECT_EQ(leakage->getName(), "area-power-map (2)");
    EXPECT_TRUE(hasAttributeSetTo(first, Power_Map_Kind_t, Area_Map_t));
    EXPECT_EQ(getStringValue(first, Power_Map_File_t), AreaSample);
    EXPECT_DOUBLE_EQ(getStandardDoubleValue(first, Die_Area_t / X_High_t, 0), 0.01);
    EXPECT_DOUBLE_EQ(getStandardDoubleValue(first, Die_Area_t / Y_High_t, 0), 0.008);
    const QVector<double> powers = getStandardDoubleListValues(first, Powers_t);
    ASSERT_EQ(powers.size(), 6);
    for (const TypeRef& corner : {X_Low_t, Y_Low_t, X_High_t, Y_High_t})
        EXPECT_EQ(list(first, Power_Blocks_t, corner).size(), 6);
    // The block that overlaps nothing keeps its place; the two that overlap at a corner
    // follow as pieces, lengths in metres.
    EXPECT_DOUBLE_EQ(list(first, Power_Blocks_t, X_Low_t)[0], 0.007);
    EXPECT_DOUBLE_EQ(list(first, Power_Blocks_t, X_High_t)[1], 0.0035);
    EXPECT_DOUBLE_EQ(powers[0], 0.8);
    EXPECT_NEAR(getStandardDoubleValue(first, Total_Power_t, 0), 4.8, 1e-12);
    EXPECT_NEAR(getStandardDoubleValue(leakage, Total_Power_t, 0), 5.05, 1e-12);
    EXPECT_EQ(getLinkedEntities(first, Leakage_Links_t), std::vector<Entity*>{maps[1]});
    EXPECT_EQ(getLinkedEntities(leakage, Leakage_Links_t), std::vector<Entity*>{maps[0]});
    EXPECT_EQ(getStandardDoubleListValues(leakage, Leakage_Temperatures_t), QVector<double>{85.0 + 273.15});
    EXPECT_DOUBLE_EQ(getStandardDoubleValue(first, Power_Scale_t, 0), 2.0);
    EXPECT_DOUBLE_EQ(getStandardDoubleValue(first, Map_Rotation_t, 0), 90.0);
    EXPECT_TRUE(getBoolValue(first, Flip_X_t, false));
    EXPECT_FALSE(getBoolValue(first, Flip_Y_t, true));
    EXPECT_EQ(first->findAttribute(Grid_Rows_t), nullptr);

    // One undo step takes it all back; redo brings the same model again.
    const QByteArray after = m.json();
    UndoStack& history = m.model->getUndoStack();
    EXPECT_EQ(history.count(), 1);
    EXPECT_EQ(history.undoText(), "Import Power Map");
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(m.json(), before);
    ASSERT_TRUE(history.redo());
    EXPECT_EQ(m.json(), after);
}

TEST(PowerMapApply, AGridMapIsStoredWithItsSizeAndANewImportReplacesTheMapsBeforeIt)
{
    DieModel m;
    TarvexPowerMapImporter importer(nullptr);
    ASSERT_TRUE(importer.importPowerMap(m.die, GridSample));
    std::vector<Entity*> maps = m.maps();
    ASSERT_EQ(maps.size(), 1u);
    EXPECT_EQ(maps[0]->getName(), "grid-power-map");
    EXPECT_TRUE(hasAttributeSetTo(maps[0], Power_Map_Kind_t, Grid_Map_t));
    EXPECT_EQ(getIntValue(maps[0], Grid_Rows_t, 0), 3);
    EXPECT_EQ(getIntValue(maps[0], Grid_Columns_t, 0), 4);
    const QVector<double> powers = getStandardDoubleListValues(maps[0], Powers_t);
    ASSERT_EQ(powers.size(), 12);
    EXPECT_DOUBLE_EQ(powers[0], 0.005);  // the last line of the file is the bottom row
    EXPECT_DOUBLE_EQ(powers[11], 0.040); // the first line's last cell is the top right
    EXPECT_DOUBLE_EQ(getStandardDoubleValue(maps[0], Total_Power_t, 0), 0.24);
    EXPECT_TRUE(getLinkedEntities(maps[0], Leakage_Links_t).empty());
    const QByteArray gridOnly = m.json();
    const Entity* grid = maps[0];

    ASSERT_TRUE(importer.importPowerMap(m.die, AreaSample));
    maps = m.maps();
    ASSERT_EQ(maps.size(), 2u);
    EXPECT_EQ(maps[0]->getName(), "area-power-map (1)");
    EXPECT_FALSE(grid->isAlive());
    ASSERT_TRUE(m.model->getUndoStack().undo());
    EXPECT_EQ(m.json(), gridOnly);
}

TEST(PowerMapApply, AFailedImportLeavesTheModelAndItsHistoryExactlyAsTheyWere)
{
    DieModel m;
    ASSERT_TRUE(TarvexPowerMapImporter(nullptr).importPowerMap(m.die, GridSample));
    const QByteArray before = m.json();
    const int steps = m.model->getUndoStack().count();

    // Strips crossing each other in a lattice: few blocks, but each crossing becomes a piece
    // of each strip, which passes the ceiling on the blocks slicing may make.
    QByteArray lattice = "DIE_AREA 0 0 12000 12000\nAREA_POWER_MAP\n600\n";
    for (int i = 0; i < 600; ++i) {
        const QByteArray low = QByteArray::number(i * 20);
        const QByteArray high = QByteArray::number(i * 20 + 10);
        lattice += i % 2 == 0 ? low + " 0 " + high + " 12000 1\n" : "0 " + low + " 12000 " + high + " 1\n";
    }
    const std::string tooMany = ("Slicing the overlapping power blocks makes more than " +
                                 QString::number(Tarvex::TarvexPowerBlockSlicer::DefaultBlockLimit) + " blocks.")
                                    .toStdString();

    TestSupport::TempDir dir;
    struct Case
    {
        const char* name;
        QByteArray content; // null: the file does not exist
        const char* message;
    };
    const Case cases[] = {
        {"missing.txt", QByteArray(), "Failed to open file - %1"},
        {"empty.txt", QByteArray(""), "No power map found in %1."},
        {"unmatched.txt", "POWER_MAP\n1 1\n1\nEND_MAP\n", "Failed to open file - %1"},
        {"outside.txt", "DIE_AREA 0 0 1 1\nAREA_POWER_MAP\n1\n0 0 2 1 1\n", "Area power block out of bounds in power map file."},
        {"short.txt", "POWER_MAP\n3 1\n1 2\n", "Missing columns in power map file."},
        {"unit.txt", "POWER\tfurlongs\nPOWER_MAP\n1 1\n1\n", "Unknown unit \"furlongs\" for Power"},
        {"length.txt", "LENGTH\tparsec\nDIE_AREA 0 0 1 1\nPOWER_MAP\n1 1\n1\n", "Unknown unit \"parsec\" for Length"},
        {"huge.txt", "POWER\tkW\nPOWER_MAP\n2 1\n0 1e306\n", "The power map huge holds a value out of range."},
        {"lattice.txt", lattice, tooMany.c_str()},
    };
    for (const Case& c : cases) {
        const QString path = c.content.isNull() ? dir.path(c.name) : dir.write(c.name, c.content);
        RecordingProgress progress;
        EXPECT_FALSE(TarvexPowerMapImporter(&progress).importPowerMap(m.die, path)) << c.name;
        const QStringList fatal = progress.texts(ToolProgress::Kind::FatalError);
        EXPECT_TRUE(fatal.contains(QString::fromUtf8(c.message).replace("%1", path))) << c.name << ": "
                                                                                     << fatal.join(" | ").toStdString();
        EXPECT_EQ(m.json(), before) << c.name;
        EXPECT_EQ(m.model->getUndoStack().count(), steps) << c.name;
        EXPECT_EQ(m.model->getUndoStack().undoText(), "Import Power Map") << c.name;
    }

    // An entity whose "Power_Maps" is something else keeps it.
    DieModel odd;
    EntityEditor::setValue(odd.die, Power_Maps_t, "kept");
    odd.model->getUndoStack().clear();
    const QByteArray oddBefore = odd.json();
    RecordingProgress progress;
    EXPECT_FALSE(TarvexPowerMapImporter(&progress).importPowerMap(odd.die, GridSample));
    EXPECT_EQ(odd.json(), oddBefore);
    EXPECT_TRUE(progress.has(ToolProgress::Kind::FatalError,
                             "The entity Die has a \"Power_Maps\" attribute that cannot hold power maps."));
    EXPECT_FALSE(TarvexPowerMapImporter(&progress).importPowerMap(nullptr, GridSample));
    EXPECT_TRUE(progress.has(ToolProgress::Kind::FatalError, "There is no entity to apply the power map " + GridSample + " to."));
}
