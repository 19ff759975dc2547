#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/ModelFile.h>
#include "support/RecordingProgress.h"
#include <tarvex/maps/TarvexPowerBlockSlicer.h>
#include <tarvex/maps/TarvexPowerMapImporter.h>
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
    std::vector<Entity*> maps() const { return die->getOwnedChildEntitiesOfType(Power_Map_t); }
};


} // namespace

// A grid map, then an area map with leakage that replaces it: power-map entities in SI units,
// each import one undo step.
TEST(PowerMapApply, AnAreaMapWithLeakageReplacesTheMapsBeforeItInOneUndoStepAndFailedImportsChangeNothing)
{
    DieModel m;
    ASSERT_TRUE(TarvexPowerMapImporter(nullptr).importPowerMap(m.die, GridSample));
    ASSERT_EQ(m.maps().size(), 1u);
    const Entity* grid = m.maps()[0];
    EXPECT_TRUE(hasAttributeSetTo(grid, Power_Map_Kind_t, Grid_Map_t)); // its size is what the command prints
    const QByteArray before = m.json();
    RecordingProgress told;
    TarvexPowerMapImporter importer(true, &told);
    importer.setPowerScale(2.0);
    importer.setFlip(true, false);
    importer.setRotation(90.0);
    ASSERT_TRUE(importer.importPowerMap(m.die, AreaSample));
    EXPECT_EQ(told.texts(ToolProgress::Kind::Informational),
              (QStringList{"Applied power map area-power-map (1) to Die", "Applied power map area-power-map (2) to Die"}));

    const std::vector<Entity*> maps = m.maps();
    ASSERT_EQ(maps.size(), 2u);
    EXPECT_FALSE(grid->isAlive());
    const Entity* first = maps[0];
    const Entity* leakage = maps[1];
    EXPECT_TRUE(hasAttributeSetTo(first, Power_Map_Kind_t, Area_Map_t));
    EXPECT_EQ(getStringValue(first, Power_Map_File_t), AreaSample);
    const QVector<double> powers = getStandardDoubleListValues(first, Powers_t);
    ASSERT_EQ(powers.size(), 6);
    // The block that overlaps nothing keeps its place; the two that overlap at a corner
    // follow as pieces, lengths in metres.
    EXPECT_DOUBLE_EQ(getStandardDoubleListValues(first, Power_Blocks_t / X_Low_t)[0], 0.007);
    EXPECT_DOUBLE_EQ(getStandardDoubleListValues(first, Power_Blocks_t / X_High_t)[1], 0.0035);
    EXPECT_DOUBLE_EQ(powers[0], 0.8);
    // The links both ways are printed, and checked, by the command's test; the temperature is kept in K.
    EXPECT_EQ(getStandardDoubleListValues(leakage, Leakage_Temperatures_t), QVector<double>{85.0 + 273.15});
    EXPECT_DOUBLE_EQ(getStandardDoubleValue(first, Power_Scale_t, 0), 2.0);
    EXPECT_TRUE(getBoolValue(first, Flip_X_t, false));

    // One undo step takes it all back; redo brings the same model again.
    const QByteArray after = m.json();
    UndoStack& history = m.model->getUndoStack();
    EXPECT_EQ(history.count(), 2);
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(m.json(), before);
    ASSERT_TRUE(history.redo());
    EXPECT_EQ(m.json(), after);

    // A failed import leaves the model and its history exactly as they were. Strips crossing each other in a lattice: few blocks, but each crossing becomes a piece
    // of each strip, which passes the ceiling on the blocks slicing may make.
    QByteArray lattice = "DIE_AREA 0 0 12000 12000\nAREA_POWER_MAP\n600\n";
    for (int i = 0; i < 600; ++i) {
        const QByteArray low = QByteArray::number(i * 20);
        const QByteArray high = QByteArray::number(i * 20 + 10);
        lattice += i % 2 == 0 ? low + " 0 " + high + " 12000 1\n" : "0 " + low + " 12000 " + high + " 1\n";
    }
    const QString tooMany = QStringLiteral("Slicing the overlapping power blocks makes more than %1 blocks.")
                                .arg(Tarvex::TarvexPowerBlockSlicer::DefaultBlockLimit);
    TestSupport::TempDir dir;
    struct Case
    {
        const char* name;
        QByteArray content;
        QString message;
    };
    const Case cases[] = {
        {"empty.txt", QByteArray(""), "No power map found in %1."},
        {"unit.txt", "POWER\tfurlongs\nPOWER_MAP\n1 1\n1\n", "Unknown unit \"furlongs\" for Power"},
        {"huge.txt", "POWER\tkW\nPOWER_MAP\n2 1\n0 1e306\n", "The power map huge holds a value out of range."},
        {"lattice.txt", lattice, tooMany},
    };
    for (const Case& c : cases) {
        const QString path = dir.write(c.name, c.content);
        RecordingProgress progress;
        EXPECT_FALSE(TarvexPowerMapImporter(&progress).importPowerMap(m.die, path)) << c.name;
        const QStringList fatal = progress.texts(ToolProgress::Kind::FatalError);
        EXPECT_TRUE(fatal.contains(QString(c.message).replace("%1", path))) << c.name << ": " << fatal.join(" | ").toStdString();
        EXPECT_EQ(m.json(), after) << c.name;
        EXPECT_EQ(history.count(), 2) << c.name;
    }

    // An entity whose "Power_Maps" is something else keeps it.
    DieModel odd;
    EntityEditor::setValue(odd.die, Power_Maps_t, "kept");
    odd.model->getUndoStack().clear();
    const QByteArray oddBefore = odd.json();
    RecordingProgress progress;
    EXPECT_FALSE(TarvexPowerMapImporter(&progress).importPowerMap(odd.die, GridSample));
    EXPECT_EQ(odd.json(), oddBefore);
    EXPECT_FALSE(TarvexPowerMapImporter(&progress).importPowerMap(nullptr, GridSample));
    EXPECT_EQ(progress.texts(ToolProgress::Kind::FatalError),
              (QStringList{"The entity Die has a \"Power_Maps\" attribute that cannot hold power maps.",
                           "There is no entity to apply the power map " + GridSample + " to."}));
}
