// Extending a board in place with a file: its components built onto the board and placed by
// the board's thickness, components the file redefines replaced, its powered cells as heat
// sources on the board, and the same result however often the same file is applied.
#include "EntityFields.h"
#include "ImportSession.h"

#include <tarvex/host/EntityEditor.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using namespace EntityModel;
using ImportTest::fields;
using Kind = Tools::ToolProgress::Kind;

namespace {

const QStringList ComponentFields = {"Board_Side", "X_Location", "Y_Location", "Z_Location", "Width",
                                     "Height",     "Depth",      "Angle",      "Angle_1"};
const QStringList HeatSourceFields = {"Modelling_Level", "X_Location", "Y_Location", "Z_Location",
                                      "Width", "Height", "Depth", "Heat/Heat_Dissipated",
                                      "Heat/Temperature_Dependent_Heat_Dissipation"};

// The entities of `type` directly on `owner`, by reference designator or name.
std::multimap<QString, Entity*> directOfType(const Entity* owner, const TypeRef& type)
{
    std::multimap<QString, Entity*> found;
    for (Entity* entity : owner->getOwnedChildEntitiesOfType(type)) {
        const QString designator = getStringValue(entity, Reference_Designator_t);
        found.emplace(designator.isEmpty() ? entity->getName() : designator, entity);
    }
    return found;
}

QStringList keysOf(const std::multimap<QString, Entity*>& entities)
{
    QStringList keys;
    for (const auto& entry : entities)
        keys << entry.first;
    return keys;
}

} // namespace

TEST(BoardExtension, ComponentsLandOnTheBoardAndTheSameFileTwiceLeavesOneOfEach)
{
    ImportTest::ImportSession s;
    // A 1.5 mm board made by hand, with a U1 the file redefines, an R9 it does not, and a
    // heat source of its own.
    Entity* board = EntityEditor::createEntity(PCB_t, s.chassis, Objects_t, nullptr, 0, "Main");
    EntityEditor::setSIValueNoThrow(board, Thickness_t, 0.0015);
    for (const char* designator : {"U1", "R9"}) {
        Entity* component = EntityEditor::createEntity(Component_t, board, Components_t, nullptr, 0, QString());
        EntityEditor::setValueNoThrow(component, Reference_Designator_t, QString(designator));
    }
    Entity* oldU1 = directOfType(board, Component_t).find("U1")->second;
    Entity* fan = EntityEditor::createEntity(Heat_Source_t, board, Heat_Sources_t, nullptr, 0, "Fan");
    // One an earlier extension made for a cell this file does not power.
    Entity* gone = EntityEditor::createEntity(Heat_Source_t, board, Heat_Sources_t, nullptr, 0, "HeatSource OLD_Core");
    const QString file = ImportTest::builderData("extend-board.xml");

    Entity* firstHeatSource = nullptr;
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        s.progress.clear();
        EXPECT_TRUE(s.importer.extendPCB(board, file).empty());
        EXPECT_TRUE(s.progress.texts(Kind::FatalError).isEmpty()) << s.progress.texts(Kind::FatalError).join(" | ").toStdString();
        const Tarvex::TarvexBoardExtension& extension = s.importer.getLastExtension();
        // The first round replaces the hand-made U1, the second the U1, U2 and E1 of the first
        // (E1 nested in the file's board as well).
        EXPECT_EQ(extension.replaced, round == 1 ? 1 : 3);
        EXPECT_FALSE(oldU1->isAlive());

        const std::multimap<QString, Entity*> components = directOfType(board, Component_t);
        EXPECT_EQ(keysOf(components), (QStringList{"E1", "R9", "U1", "U2"}));
        // Top: 1.8 mm up in the file, so 0.3 mm above this board's 1.5 mm top face. Bottom: its
        // top face 0.2 mm under the underside. Relative to the file board's low corner; on a
        // board only the angle about its normal.
        EXPECT_EQ(fields(components.find("U1")->second, QString(), ComponentFields),
                  "Board_Side=Top; X_Location=0.002; Y_Location=0.0003; Z_Location=0.015; Width=0.004; "
                  "Height=0.001; Depth=0.003; Angle=0; Angle_1=none");
        EXPECT_EQ(fields(components.find("U2")->second, QString(), ComponentFields),
                  "Board_Side=Bottom; X_Location=0.01; Y_Location=-0.0002; Z_Location=0.008; Width=0.004; "
                  "Height=0.0005; Depth=0.002; Angle=0; Angle_1=none");

        // Only the powered core becomes a heat source; the others stay, and a second round
        // rewrites the same entity.
        // The board's own heat sources keep their place, first.
        const std::vector<Entity*> inOrder = board->getOwnedChildEntitiesOfType(Heat_Source_t);
        ASSERT_EQ(inOrder.size(), 3u);
        EXPECT_EQ(inOrder.front(), fan);
        EXPECT_TRUE(gone->isAlive());
        const std::multimap<QString, Entity*> sources = directOfType(board, Heat_Source_t);
        EXPECT_EQ(keysOf(sources), (QStringList{"Fan", "HeatSource BRD_Core", "HeatSource OLD_Core"}));
        Entity* core = sources.find("HeatSource BRD_Core")->second;
        EXPECT_EQ(fields(core, QString(), HeatSourceFields),
                  "Modelling_Level=Thin; X_Location=0; Y_Location=0.0001; Z_Location=0; Width=0.02; Height=0.0014; "
                  "Depth=0.02; Heat/Heat_Dissipated=2; Heat/Temperature_Dependent_Heat_Dissipation=No");
        EXPECT_TRUE(fan->isAlive());
        if (!firstHeatSource)
            firstHeatSource = core;
        EXPECT_EQ(core, firstHeatSource);

        // What the extension reports: the file's components and the board's heat source; no
        // second layered model anywhere.
        std::vector<Entity*> expected{components.find("U1")->second, components.find("U2")->second,
                                      components.find("E1")->second, core};
        std::sort(expected.begin(), expected.end());
        std::vector<Entity*> built = extension.built;
        std::sort(built.begin(), built.end());
        EXPECT_EQ(built, expected);
        EXPECT_EQ(ImportTest::findAll(s.chassis, PCB_t).size(), 1u);
        EXPECT_TRUE(s.model->getDetachedEntities().empty());
    }
    EXPECT_EQ(s.model->getUndoStack().undoText(), "Update Tarvex Data");
}
