// The set and add commands of the built tool: what they write into a saved model, read back
// through the host stand-in, and the edits they refuse with the model file left as it was.
#include <tarvex/host/Attribute.h>
#include <tarvex/host/CurveAttribute.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/ModelFile.h>

#include "CliFiles.h"
#include "support/CliRun.h"
#include "support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace EntityModel;
using TestSupport::CliRun;
using TestSupport::tarvex;
using CliFiles::ok;

namespace {

/// A model of a board (#4) holding the groups A (#5) and B (#6), each with a terminal T
/// (#7 in A, #8 in B).
QString twoGroups(const TestSupport::TempDir& dir)
{
    const QString model = dir.path("model.json");
    ok({"add", model, "PCB", "Board", "--parent", "#2", "Width=0.1"});
    ok({"add", model, "Terminal_Group", "A", "--parent", "Board"});
    ok({"add", model, "Terminal_Group", "B", "--parent", "Board"});
    ok({"add", model, "Terminal", "T", "--parent", "A", "Side=Top"});
    ok({"add", model, "Terminal", "T", "--parent", "B"});
    return model;
}

} // namespace

TEST(TarvexEditCommands, SetWritesNumbersUnitsChoicesCurvesTextAndListItemsAsTheModelHoldsThem)
{
    const TestSupport::TempDir dir;
    const QString model = twoGroups(dir);
    const QString pins = QStringLiteral("Simulation_Results/Pin_Results/Pin_Results_Summary/Pins/");
    const CliRun run = tarvex({"set", model, "#7", "Width=2 mm", "Side=Bottom", "Offset_1=-1.5e-3",
                               pins + "0000000000/Name=1", pins + "0000000000/Placement/Pin Offset 1=0.5 mm",
                               pins + "0000000001/Name=P2",
                               pins + "0000000001/Heat_Transfer_Summary/Surface_Temperature=85 C",
                               pins + "0000000001/Summary/Heat_Fluxes/Heat_Radiation_Out_Curve=10:0.5, 0:0.2",
                               "Note=made by hand"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "Set 9 attributes of Terminal \"T\" #7.\nBuilt 0 entities, changed 1 entity (Terminal 1), "
                       "deleted 0 entities; 0 warnings.\nSaved the model to " + model + "\n");

    QString problem;
    const std::unique_ptr<Model> saved = ModelFile::load(model, &problem);
    ASSERT_TRUE(saved) << problem.toStdString();
    const Entity* t = saved->findEntity(7);
    ASSERT_TRUE(t);
    // Lengths in SI, shown in the unit they were given in.
    EXPECT_DOUBLE_EQ(getStandardDoubleValue(t, Width_t, 0), 0.002);
    EXPECT_EQ(static_cast<const ValueAttribute*>(t->findAttribute(Width_t))->getUnit().getLabel(), "mm");
    EXPECT_DOUBLE_EQ(getStandardDoubleValue(t, AttributePath("Offset_1"), 0), -0.0015);
    EXPECT_EQ(t->findAttribute(AttributePath("Side"))->getKind(), Attribute::Kind::Choice);
    EXPECT_TRUE(hasAttributeSetTo(t, AttributePath("Side"), Bottom_t));
    EXPECT_EQ(getStringValue(t, AttributePath("Note")), "made by hand");
    // A name is text even when it reads as a number; items are made in order.
    EXPECT_EQ(getChildAttributes(t, AttributePath(pins)).size(), 2u);
    const Attribute* name = t->findAttribute(AttributePath(pins + "0000000000/Name"));
    ASSERT_TRUE(name);
    EXPECT_EQ(static_cast<const ValueAttribute*>(name)->getValue(), QVariant(QStringLiteral("1")));
    EXPECT_DOUBLE_EQ(getStandardDoubleValue(t, AttributePath(pins + "0000000000/Placement/Pin Offset 1"), 0), 0.0005);
    EXPECT_DOUBLE_EQ(getStandardDoubleValue(t, AttributePath(pins + "0000000001/Heat_Transfer_Summary/Surface_Temperature"), 0),
                     358.15);
    const Attribute* curve = t->findAttribute(AttributePath(pins + "0000000001/Summary/Heat_Fluxes/Heat_Radiation_Out_Curve"));
    ASSERT_TRUE(curve && curve->getKind() == Attribute::Kind::Curve);
    EXPECT_EQ(static_cast<const CurveAttribute*>(curve)->getPoints(), QVector<QPointF>({{0.0, 0.2}, {10.0, 0.5}}));
}

TEST(TarvexEditCommands, RefusedEditsLeaveTheModelFileAsItWas)
{
    const TestSupport::TempDir dir;
    const QString model = twoGroups(dir);
    ok({"set", model, "#7", "Width=0.002", "Simulation_Results/Pin_Results/Pin_Results_Summary/Pins/0000000000/Name=P1"});
    const QByteArray saved = dir.read("model.json");
    const QString pins = QStringLiteral("Simulation_Results/Pin_Results/Pin_Results_Summary/Pins");
    const struct
    {
        QStringList arguments;
        int status;
        QString message;
    } rows[] = {
        {{"set", model, "Nobody", "Width=1"}, 1, "no entity named \"Nobody\" in " + model},
        {{"set", model, "T", "Width=1"},
         1,
         "\"T\" names 2 entities in " + model + "; name one by its id:\n  Terminal \"T\" #7 in Terminal_Group \"A\" #5\n"
         "  Terminal \"T\" #8 in Terminal_Group \"B\" #6"},
        // Values the host refuses.
        {{"set", model, "#7", "Side=Sideways"},
         1,
         "Side=Sideways: the host refused the choice; Side is one of Top, Bottom, Left, Right, Front, Rear, Back"},
        {{"set", model, "#7", "Depth=-inf mm"}, 1, "Depth=-inf mm: the host refused the value"},
        {{"set", model, "#7", "Name/First=P"}, 1, "Name/First=P: the host refused the value"},
        // Values that do not fit what the attribute holds, and paths that name no attribute.
        {{"set", model, "#7", "Width=3 furlongs"}, 1, "Width=3 furlongs: Width holds a number, in SI or with a known unit"},
        {{"set", model, "A", "Terminals=2"}, 1, "Terminals=2: Terminals holds attributes or entities; name one of them"},
        {{"set", model, "#7", pins + "/0000000002/Name=P3"},
         1,
         pins + "/0000000002/Name=P3: " + pins + " holds 1 items; item 0000000002 would leave a gap"},
        {{"set", model, "#7", "Heat_Radiation_Out_Curve=0:a"}, 1, "a curve is written as X:Y points"},
        // All or nothing: a good edit before a refused one is not saved either.
        {{"set", model, "#7", "Depth=0.001", "Side=Up"}, 1, "Side=Up: the host refused the choice"},
        {{"set", model, "#7", "Width"}, 2, "tarvex: \"Width\" is not PATH=VALUE"},
        {{"add", model, "Terminl", "X", "--parent", "A"}, 2, "tarvex: \"Terminl\" is not a type of entity"},
        {{"add", model, "Terminal", "X", "--parent", "A", "Side=Top", "Include_Conduction=Maybe"},
         1,
         "Include_Conduction=Maybe: the host refused the choice; Include_Conduction is one of Yes, No"},
    };
    for (const auto& row : rows) {
        const CliRun run = tarvex(row.arguments);
        const std::string what = row.arguments.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, row.status) << what << "\n" << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(row.message)) << what << "\n" << run.err.toStdString();
        if (row.status == 1) {
            EXPECT_TRUE(run.err.endsWith("The model file " + model + " was left unchanged.\n")) << what;
        }
        EXPECT_EQ(dir.read("model.json"), saved) << what;
    }

    // A refused add into a model that does not exist yet makes no file.
    const CliRun fresh = tarvex({"add", dir.path("new.json"), "PCB", "B", "--parent", "#2", "Side=Sideways"});
    EXPECT_EQ(fresh.exitCode, 1);
    EXPECT_TRUE(fresh.err.endsWith("No model file was made at " + dir.path("new.json") + ".\n")) << fresh.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.path("new.json")));
}

TEST(TarvexEditCommands, ADesignatorNamesTheComponentNotItsPartsAndTwoComponentsOfOneAreRefused)
{
    const TestSupport::TempDir dir;
    const QString model = twoGroups(dir);
    // As an import makes them: the component and its body both carry the designator R1.
    ok({"add", model, "Component", "Resistor", "--parent", "Board", "Reference_Designator=R1"});
    ok({"add", model, "Solid_Obstruction", "Body", "--parent", "Resistor", "Reference_Designator=R1"});
    const CliRun run = tarvex({"set", model, "R1", "Height=1 mm"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("Set 1 attribute of Component \"Resistor\" #9.")) << run.out.toStdString();

    ok({"add", model, "Component", "Other", "--parent", "Board", "Reference_Designator=R1"});
    const QByteArray saved = dir.read("model.json");
    const CliRun shared = tarvex({"set", model, "R1", "Height=2 mm"});
    EXPECT_EQ(shared.exitCode, 1);
    EXPECT_TRUE(shared.err.contains("\"R1\" names 2 entities in " + model +
                                    "; name one by its id:\n  Component \"Resistor\" #9 in PCB \"Board\" #4\n"
                                    "  Component \"Other\" #11 in PCB \"Board\" #4\n"))
        << shared.err.toStdString();
    EXPECT_EQ(dir.read("model.json"), saved);
}
