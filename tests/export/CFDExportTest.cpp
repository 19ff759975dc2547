// The terminal-results export on boards built with the host stand-in, read back with Qt's
// DOM. Positions are worked out by hand: the board stands at (0.01, 0.02, 0.03) in the host
// (y up) and is 0.1 wide, 0.0016 thick and 0.08 deep, so a point q relative to it is written
// as (q.x, 0.08 - q.z, q.y); the component U1 stands on it at (0.02, 0.0016, 0.03) and is
// 0.01 x 0.002 x 0.01.
#include <tarvex/export/TarvexCFDExport.h>

#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/ListAttributeEditor.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/TypeCatalogue.h>

#include "export/CfdFileReading.h"
#include "support/RecordingProgress.h"
#include "support/TempDir.h"

#include <QFile>

#include <stdexcept>

using namespace EntityModel;
using namespace CfdFile;
using Tarvex::TarvexCFDExport;

namespace {

const QString Pins = QStringLiteral("Simulation_Results/Pin_Results/Pin_Results_Summary/Pins");

/// Attribute values by their saved paths: numbers in SI, or text for choices and names.
using Values = std::vector<std::pair<QString, QVariant>>;

void set(Entity* entity, const QString& base, const Values& values)
{
    for (const auto& [path, value] : values) {
        const AttributePath at(base.isEmpty() ? path : base + QLatin1Char('/') + path);
        if (value.type() == QVariant::String)
            ASSERT_TRUE(EntityEditor::setValueNoThrow(entity, at, TypeRef(value.toString()))) << path.toStdString();
        else
            ASSERT_TRUE(EntityEditor::setSIValueNoThrow(entity, at, value.toDouble())) << path.toStdString();
    }
}

Entity* add(Entity* owner, const TypeRef& type, const QString& name, const Values& values = {})
{
    Entity* made = EntityEditor::createEntity(type, owner, TypeCatalogue::listFor(owner->getType(), type), nullptr, 0,
                                              name);
    set(made, QString(), values);
    return made;
}

/// Gives `terminal` one pin item per entry of `pins`: its name and the values under it.
void addPins(Entity* terminal, const std::vector<std::pair<QString, Values>>& pins)
{
    ASSERT_TRUE(ListAttributeEditor::setItemCount(terminal, AttributePath(Pins), int(pins.size())));
    for (size_t i = 0; i < pins.size(); ++i) {
        const QString item = Pins + QLatin1Char('/') + ListAttributeEditor::itemLabel(int(i));
        EntityEditor::setValueNoThrow(terminal, AttributePath(item + QStringLiteral("/Name")), pins[i].first);
        set(terminal, item, pins[i].second);
    }
}

/// A board with the component U1 on it.
struct Board
{
    std::unique_ptr<Model> model = Model::createDefault();
    Entity* pcb = nullptr;
    Entity* u1 = nullptr;

    Board()
    {
        pcb = add(EntityFetcher::getChassis(model->getRoot()), PCB_t, "Board",
                  {{"Width", 0.1}, {"Thickness", 0.0016}, {"Depth", 0.08}});
        moveTo(0.01, 0.02, 0.03);
        u1 = add(pcb, Component_t, "U1",
                 {{"Width", 0.01}, {"Height", 0.002}, {"Depth", 0.01}, {"X_Location", 0.02}, {"Y_Location", 0.0016},
                  {"Z_Location", 0.03}});
    }

    void moveTo(double x, double y, double z) const
    {
        set(pcb, QString(), {{"X_Location", x}, {"Y_Location", y}, {"Z_Location", z}});
    }

    /// The bytes an export of the board writes.
    QByteArray exported(const TestSupport::TempDir& dir, Tools::ToolProgress* sink = nullptr) const
    {
        Geometry::GeometryBuilder geometry;
        TarvexCFDExport().exportModel(geometry.buildPart(pcb), dir.path("out.xml"), sink);
        return dir.read("out.xml");
    }
};

} // namespace

TEST(TarvexCFDExport, TerminalsOnEveryFaceOfTopAndBottomComponentsAndATurnedBoard)
{
    // A terminal 0.004 along its first axis and 0.001 along its second, 0.002 and 0.0005 from
    // the face's low corner, with a pin 0.001 and 0.0005 into it. Top and bottom faces take x
    // then z, left and right z then y, front and rear x then y. Left is high x and top high y,
    // except on a component on the bottom of the board (there U1 spans y -0.0004..0.0016).
    const struct
    {
        const char* side;
        bool bottom;
        double angle;
        const char* node1;
        const char* pin;
    } rows[] = {
        {"Top", false, 0, "(0.026, 0.0495, 0.0036)", "x=0.023 y=0.049 z=0.0036"},
        {"Bottom", false, 0, "(0.026, 0.0495, 0.0016)", "x=0.023 y=0.049 z=0.0016"},
        {"Left", false, 0, "(0.03, 0.044, 0.0021)", "x=0.03 y=0.047 z=0.0026"},
        {"Right", false, 0, "(0.02, 0.044, 0.0021)", "x=0.02 y=0.047 z=0.0026"},
        {"Front", false, 0, "(0.022, 0.04, 0.0031)", "x=0.023 y=0.04 z=0.0026"},
        {"Rear", false, 0, "(0.022, 0.05, 0.0031)", "x=0.023 y=0.05 z=0.0026"},
        {"Top", true, 0, "(0.026, 0.0495, -0.0004)", "x=0.023 y=0.049 z=-0.0004"},
        {"Left", true, 0, "(0.02, 0.044, 0.0001)", "x=0.02 y=0.047 z=0.0006"},
        // Turned a quarter about the file's z, the board's low corner back at the origin: a
        // point q relative to the board is written as (q.z, q.x, q.y).
        {"Top", false, 90, "(0.0305, 0.026, 0.0036)", "x=0.031 y=0.023 z=0.0036"},
        {"Top", false, -90, "(0.0495, 0.074, 0.0036)", "x=0.049 y=0.077 z=0.0036"},
    };
    for (const auto& row : rows) {
        const TestSupport::TempDir dir;
        const Board board;
        set(board.pcb, "Tarvex_Interchange_Placement", {{"Angle", row.angle}, {"X_Location", 0.5}});
        if (row.bottom)
            set(board.u1, QString(), {{"Board_Side", "Bottom"}});
        Entity* t = add(board.u1, Terminal_t, "T",
                        {{"Side", row.side}, {"Width", 0.004}, {"Depth", 0.001}, {"Offset_1", 0.002}, {"Offset_2", 0.0005}});
        addPins(t, {{"P", {{"Placement/Pin Offset 1", 0.001}, {"Placement/Pin Offset 2", 0.0005}}}});
        const QDomElement written = terminal(readBack(board.exported(dir)), "T");
        const QString where = QStringLiteral("%1%2 at %3").arg(row.side, row.bottom ? " underneath" : "").arg(row.angle);
        EXPECT_EQ(written.firstChildElement("Outline").attribute("Node1"), row.node1) << where.toStdString();
        EXPECT_TRUE(written.firstChildElement("Outline").hasAttribute("Node4")) << where.toStdString();
        EXPECT_TRUE(pins(written).value(0).contains(QStringLiteral("PinID=1 ") + row.pin))
            << where.toStdString() << ": " << pins(written).value(0).toStdString();
    }
}

TEST(TarvexCFDExport, ConductionIsWrittenOnlyWhereTheTerminalOrItsGroupIncludesIt)
{
    // A group decides for its terminals; a terminal outside groups decides for itself.
    const struct
    {
        const char* groupFlag; // null: the terminal is in no group
        const char* terminalFlag;
        const char* conduction;
    } rows[] = {{"No", "Yes", "0"}, {"Yes", "No", "1.5"}, {nullptr, "Yes", "1.5"}, {nullptr, "No", "0"}, {nullptr, "", "0"}};
    for (const auto& row : rows) {
        const TestSupport::TempDir dir;
        const Board board;
        Entity* owner = row.groupFlag ? add(board.u1, Terminal_Group_t, "G", {{"Include_Conduction", row.groupFlag}})
                                      : board.u1;
        Entity* t = add(owner, Terminal_t, "T", {{"Simulation_Results/Summary/Heat_Fluxes/Heat_Conduction_Out", 1.5}});
        if (*row.terminalFlag)
            set(t, QString(), {{"Include_Conduction", row.terminalFlag}});
        addPins(t, {{"P1", {{"Summary/Heat_Fluxes/Heat_Conduction_Out", 1.5}}},
                    {"P2", {{"Summary/Heat_Fluxes/Heat_Conduction_Out", 2.0}, {"Summary/Heat_Fluxes/Heat_Conduction_In", 0.5}}}});
        const QDomElement written = terminal(readBack(board.exported(dir)), "T");
        const QString where = QStringLiteral("group %1, terminal %2").arg(row.groupFlag, row.terminalFlag);
        EXPECT_EQ(children(written.firstChildElement("TerminalPinSet"), "Pin", "ConductionHeatTransfer"),
                  QStringList({row.conduction, row.conduction}))
            << where.toStdString();
        EXPECT_EQ(fields(written.firstChildElement("HeatTransfer"), {"Conduction", "Total"}),
                  QStringLiteral("Conduction=%1 Total=%1").arg(row.conduction))
            << where.toStdString();
    }
}

TEST(TarvexCFDExport, LumpedGroupIsOneTerminalOfOnePinAtTheCentreOfItsMembers)
{
    const TestSupport::TempDir dir;
    const Board board;
    Entity* lumped = add(board.u1, Terminal_Group_t, "L",
                         {{"Export_Options/Export_Type", "Lump"},
                          {"Include_Conduction", "Yes"},
                          {"Simulation_Results/Summary/Heat_Fluxes/Heat_Convection_Out", 3.0},
                          {"Simulation_Results/Summary/Heat_Fluxes/Heat_Conduction_Out", 0.4},
                          {"Simulation_Results/Heat_Transfer_Summary/Surface_Temperature", 340.0},
                          {"Simulation_Results/Heat_Transfer_Summary/Reference_Temperature", 300.0},
                          {"Simulation_Results/Heat_Transfer_Summary/Effective_Area", 2e-5}});
    // Members on top of U1 at x 0.02..0.022, z 0.03..0.032 and x 0.026..0.028, z 0.034..0.037;
    // their own results are not the group's.
    add(lumped, Terminal_t, "A",
        {{"Side", "Top"}, {"Width", 0.002}, {"Depth", 0.002},
         {"Simulation_Results/Summary/Heat_Fluxes/Heat_Convection_Out", 99.0}});
    add(lumped, Terminal_t, "B", {{"Side", "Top"}, {"Width", 0.002}, {"Depth", 0.003}, {"Offset_1", 0.006}, {"Offset_2", 0.004}});
    // A terminal under the corner of a board at the origin lies on the file's zero planes,
    // where rounding would leave some 1e-20.
    board.moveTo(0, 0, 0);
    add(board.pcb, Terminal_t, "S", {{"Side", "Bottom"}, {"Width", 0.001}, {"Depth", 0.001}});
    Tools::RecordingProgress progress;

    const QByteArray bytes = board.exported(dir, &progress);
    const QDomElement root = readBack(bytes);
    EXPECT_EQ(children(root, "Terminal", "name"), QStringList({"L", "S"}));
    const QDomElement l = terminal(root, "L");
    EXPECT_EQ(outline(l), "Type=grid Node1=(0.028, 0.05, 0.0036) Node2=(0.028, 0.043, 0.0036) "
                          "Node3=(0.02, 0.043, 0.0036) Node4=(0.02, 0.05, 0.0036) Node5=- NX=1 NY=1");
    EXPECT_EQ(l.firstChildElement("TerminalPinSet").attribute("num"), "1");
    EXPECT_EQ(pins(l), QStringList({"PinName=L PinID=1 x=0.024 y=0.0465 z=0.0036 A=2e-05 ConvectionHeatTransfer=3 "
                                    "ConductionHeatTransfer=0.4 RadiationHeatTransfer=0 TotalHeatTransfer=3.4 "
                                    "Rth=0 htc=0 Tsurf=340 Tamb=300"}));
    EXPECT_EQ(totals(l), "Convective=3 Conduction=0.4 Radiation=0 Total=3.4 Tsurf=340 Tamb=300");
    EXPECT_EQ(outline(terminal(root, "S")), "Type=grid Node1=(0.001, 0.08, 0) Node2=(0.001, 0.079, 0) "
                                            "Node3=(0, 0.079, 0) Node4=(0, 0.08, 0) Node5=- NX=0 NY=0");

    // The file is the board's own: turning the board in the host changes nothing.
    set(board.pcb, QString(), {{"Angle_1", 10.0}, {"Angle_2", 30.0}, {"Angle_3", -20.0}});
    EXPECT_EQ(board.exported(dir), bytes);

    // One step per terminal and group found, written or not.
    EXPECT_EQ(progress.texts(Tools::ToolProgress::Kind::Message), QStringList({"Wrting Terminal Data File"}));
    EXPECT_EQ(progress.totalSteps(), 4u);
    EXPECT_EQ(progress.step(), 4u);
}

TEST(TarvexCFDExport, NamesKeepTheFileWellFormed)
{
    const TestSupport::TempDir dir;
    const Board board;
    Entity* t = add(board.u1, Terminal_t, QStringLiteral("T\x01<&\"") + QChar(0xD800) + QStringLiteral("\u00e9"),
                    {{"Side", "Top"}});
    addPins(t, {{QStringLiteral("P\x1f") + QChar(0xFFFE) + QStringLiteral("\tQ"), {}}});
    const QDomElement root = readBack(board.exported(dir));
    EXPECT_EQ(children(root, "Terminal", "name"), QStringList({QStringLiteral("T_<&\"_\u00e9")}));
    EXPECT_EQ(root.firstChildElement("Terminal").firstChildElement("TerminalPinSet").firstChildElement("Pin").attribute("PinName"),
              "P__\tQ");
}

TEST(TarvexCFDExport, RefusesWhatIsNoBoardAndStaysSilentWhenTheFileCannotBeOpened)
{
    // The texts of the refusals are checked through the tool (tests/app).
    const TestSupport::TempDir dir;
    const Board board;
    Geometry::GeometryBuilder geometry;
    Tools::RecordingProgress progress;
    EXPECT_THROW(TarvexCFDExport().exportModel(geometry.buildPart(board.u1), dir.path("out.xml"), &progress),
                 std::runtime_error);
    EXPECT_EQ(progress.texts(Tools::ToolProgress::Kind::Message), QStringList({"Wrting Terminal Data File"}));
    EXPECT_FALSE(QFile::exists(dir.path("out.xml")));
    // A folder where the file should go: nothing written, nothing more said.
    EXPECT_NO_THROW(TarvexCFDExport().exportModel(geometry.buildPart(board.pcb), dir.path("."), &progress));
    EXPECT_EQ(progress.entries().size(), 2u);
}
