// What each kind of entity becomes in the exported project: its objects, their values and
// where the structure links them.
#include "exchange3d/ExportTestSupport.h"

#include <tarvex/exchange3d/Tarvex3DObjectWriter.h>

#include <gtest/gtest.h>

using namespace ExportTest;
using Tarvex3D::Tarvex3DObjectWriter;

TEST(ObjectWriterTest, GroupsHoldTheirChildrenAndEqualNamesBecomeUnique)
{
    const std::unique_ptr<Model> model = Model::createDefault();
    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    Entity* group = child(chassis, Group_Obstruction_t, Obstructions_t, "G");
    block(group, "N", {0, 0, 0}, {0.001, 0.001, 0.001});
    block(group, "N", {0.002, 0, 0}, {0.001, 0.001, 0.001});
    // Literally the name the second "N" was given before it: it takes the next free one.
    block(chassis, "N_1", {0.004, 0, 0}, {0.001, 0.001, 0.001});
    // Without a name a solid is called after its type, which names its geometry file too.
    block(chassis, "", {0.006, 0, 0}, {0.001, 0.001, 0.001});
    // Without a size a solid has no body of its own: it is a group of its children. A
    // component is known by its reference designator.
    Entity* hollow = child(chassis, Component_t, Components_t, "");
    EntityEditor::setValue(hollow, Reference_Designator_t, "Hollow");
    block(hollow, "Inner", {0, 0.01, 0}, {0.001, 0.001, 0.001});
    // Types the export does not take are left out with all they hold.
    block(child(chassis, Porous_Obstruction_t, Obstructions_t, "Porous"), "Lost", {0, 0, 0}, {1, 1, 1});

    const auto [project, notes] = exportOf(*model);
    EXPECT_EQ(addedObjects(project),
              QStringList({"DataGroup 37 Hollow", "GeomObject 38 Inner", "Operation 39 BaseBody", "DataGroup 40 G",
                           "GeomObject 41 N", "Operation 42 BaseBody", "GeomObject 43 N_1", "Operation 44 BaseBody",
                           "GeomObject 45 N_1_1", "Operation 46 BaseBody",
                           "GeomObject 47 Solid_Obstruction", "Operation 48 BaseBody"}));
    EXPECT_EQ(links(structureGroup(project, "Parts")), "37{38{39}} 40{41{42} 43{44}} 45{46} 47{48}");
    EXPECT_EQ(differingAttributes(objectWithId(project, "45"), "ObjectFileName=N_1_1.geom|ObjectName=N_1"), QStringList());
    EXPECT_EQ(objectWithId(project, "40").attribute("Customized"), "1");
    EXPECT_EQ(notes, QStringList({"Inner: Wrote Inner.geom (1 bodies).", "N: Wrote N.geom (1 bodies).",
                                  "N: Wrote N_1.geom (1 bodies).", "N_1: Wrote N_1_1.geom (1 bodies).",
                                  ": Wrote Solid_Obstruction.geom (1 bodies)."}));
    EXPECT_EQ(project.documentElement().firstChildElement("IdSeed").attribute("Value"), "49");
}

TEST(ObjectWriterTest, HeatSourcesSensorsAndHeatTransferAreLinkedIntoTheGroupOfTheirAnalysis)
{
    const std::unique_ptr<Model> model = Model::createDefault();
    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    Entity* board = block(chassis, "Board", {0.01, 0.02, 0.03}, {0.1, 0.002, 0.1});
    child(board, Heat_Source_t, Heat_Sources_t, "Q",
          {{Analysis_Type_t, Transient_t}, {Geometry_t / Size_From_Parent_t, false},
           {Heat_t / Heat_Option_t, Fixed_Temperature_t}, {Installed_t, false}});
    child(board, Heat_Source_t, Heat_Sources_t, "Nowhere", {{Analysis_Type_t, None_t}});
    child(board, Sensor_t, Sensors_t, "P", {{Type_t, Point_t}, {X_Location_t, 0.005}});
    child(board, Sensor_t, Sensors_t, "A", {{Type_t, Average_t}});
    child(board, Sensor_t, Sensors_t, "Untyped");
    child(board, HTC_Boundary_t, HTC_Boundaries_t, "H", {{Heat_Transfer_Coefficient_t, 12.5}, {Temperature_t, 273.15 + 40}});

    const auto [project, notes] = exportOf(*model);
    EXPECT_EQ(addedObjects(project),
              QStringList({"GeomObject 37 Board", "Operation 38 BaseBody", "DataGroup 39 Board_Group",
                           "BoundaryCondObject 40 H", "BoundaryCondObject 41 H", "BoundaryCondObject 42 Q",
                           "BoundaryCondObject 43 Nowhere", "Node 44 P", "ProbingObject 45 A"}));
    EXPECT_TRUE(notes.contains("Q: Currently only support heat source with parent size."));
    EXPECT_TRUE(notes.contains("Q: Currently only support heat source with Total Heat."));

    const QDomElement source = objectWithId(project, "42");
    EXPECT_EQ(differingAttributes(source, "ThermalSimulationType=1|Enabled=0|refid=37"), QStringList());
    EXPECT_EQ(source.firstChildElement("PowerExp").attribute("Value"), "0");
    EXPECT_EQ(links(structureGroup(project, "Transient Analysis/Power Input")), "42");
    EXPECT_EQ(objectWithId(project, "43").attribute("ThermalSimulationType"), "-1");
    EXPECT_EQ(links(structureGroup(project, "Static Analysis/Power Input")), "") << "no analysis, no link";

    // A point sensor sits at its origin in the world, written in millimetres.
    const QDomElement position = objectWithId(project, "44").firstChildElement("Position");
    QStringList millimetres;
    for (const char* axis : {"x", "y", "z"})
        millimetres << position.firstChildElement(axis).attribute("Value");
    EXPECT_EQ(millimetres, QStringList({"15", "20", "30"}));
    EXPECT_EQ(objectWithId(project, "45").attribute("ProbType"), "2");
    EXPECT_EQ(links(structureGroup(project, "Static Analysis/Probings")), "44 45");

    // Heat transfer: a group object holding the boundary itself, which refers to the board.
    EXPECT_EQ(links(structureGroup(project, "Static Analysis/Heat Transfer Conditions")), "40{41}");
    EXPECT_EQ(objectWithId(project, "40").attribute("refid"), "-1");
    const QDomElement boundary = objectWithId(project, "41");
    EXPECT_EQ(differingAttributes(boundary, "refid=37|states=5"), QStringList());
    EXPECT_EQ(differingAttributes(boundary.firstChildElement("HeatTransferMapNodeValue"), "H=12.5|Temperature=40"),
              QStringList());
}

TEST(ObjectWriterTest, TerminalsStressAndElectricalBoundariesReferToTheFacesTheySitOn)
{
    const std::unique_ptr<Model> model = Model::createDefault();
    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    Entity* die = block(chassis, "Die", {0, 0, 0}, {0.01, 0.001, 0.01});
    Entity* top = child(die, Face_t, Faces_t, "Top", {{Side_t, Top_t}, {IsOnCuboid_t, true}});
    child(top, Terminal_t, Terminals_t, "T", {{Boundary_Type_t, External_t}});
    child(top, Displacement_t, Displacements_t, "D",
          {{Displacement_Type_t, Surface_t}, {Use_X_t, true}, {Use_Z_t, true}, {Dz_t, -1e-6}});
    child(top, Force_t, Forces_t, "F", {{Distribution_Type_t, Point_t}, {Use_Y_t, true}, {Fy_t, 3.0}});
    child(top, Electrical_Boundary_t, ElectricalBoundaries_t, "V", {{Electrical_Option_t, Voltage_t}, {Voltage_t, 1.2}});
    child(top, Electrical_Boundary_t, ElectricalBoundaries_t, "I", {{Electrical_Option_t, Current_t}, {Current_t, 0.5}});

    const QDomDocument project = exportOf(*model).project;
    EXPECT_EQ(addedObjects(project),
              QStringList({"GeomObject 37 Die", "Operation 38 BaseBody", "DataGroup 39 Die_Group",
                           "SurfaceStressObject 40 D", "Thermal3DPatchObject 41 V", "Parameter 42 V",
                           "Patch 43 V_Patch", "Thermal3DPatchObject 44 I", "Parameter 45 I", "Patch 46 I_Patch",
                           "NodeStressObject 47 F", "TerminalObject 48 T_Group", "TerminalObject 49 T"}));
    const QString topFace = "S 37 F 1 1 5 1 100  I 0";

    // A terminal outside a terminal group gets one, linked into the extraction's terminals.
    EXPECT_EQ(links(structureGroup(project, "Extraction/Terminals")), "48{49}");
    EXPECT_EQ(differingAttributes(objectWithId(project, "49"), "RefFace=" + topFace + "|TerminalNodeType=12|states=5"),
              QStringList());
    EXPECT_EQ(objectWithId(project, "48").attribute("states"), "1");

    EXPECT_EQ(links(structureGroup(project, "Static Analysis/Stress Constraint")), "40 47");
    EXPECT_EQ(differingAttributes(objectWithId(project, "40"), "StressControlBits=1101|refFace=" + topFace
                                                                   + "|refid=37|Dz=-1e-06"),
              QStringList());
    EXPECT_EQ(differingAttributes(objectWithId(project, "47"), "StressControlBits=2010|Dy=3"), QStringList());

    EXPECT_EQ(links(structureGroup(project, "Static Analysis/Voltage Source (VRM)")), "41{43}");
    EXPECT_EQ(links(structureGroup(project, "Static Analysis/Current Source (Sink)")), "44{46}");
    // Each boundary's value is a parameter object in the unit of its kind.
    EXPECT_EQ(objectWithId(project, "41").attribute("Type"), "0");
    EXPECT_EQ(objectWithId(project, "41").firstChildElement("TotalValueExp").attribute("id"), "42");
    EXPECT_EQ(differingAttributes(objectWithId(project, "42"), "Value=1.2|UnitVal=1000000|UnitSig=2 1 -3 -1 0 0 0 0 0"),
              QStringList());
    EXPECT_EQ(objectWithId(project, "44").attribute("Type"), "1");
    EXPECT_EQ(objectWithId(project, "44").firstChildElement("TotalValueExp").attribute("id"), "45");
    EXPECT_EQ(differingAttributes(objectWithId(project, "45"), "Value=0.5|UnitVal=1|UnitSig=0 0 0 1 0 0 0 0 0"),
              QStringList());
    EXPECT_EQ(objectWithId(project, "43").attribute("RefFace"), topFace);
}

TEST(ObjectWriterTest, FaceNumbersComeFromTheCuboidSideElseFromTheCADFaceNormal)
{
    const std::unique_ptr<Model> model = Model::createDefault();
    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    Entity* solid = block(chassis, "S", {0, 0, 0}, {1, 1, 1});
    Entity* cad = child(solid, CAD_Face_t, CAD_Faces_t, "cad");
    const struct
    {
        const TypeRef* side;
        bool onCuboid;
        QVector<double> normal;
        int number;
    } faces[] = {
        {&Top_t, true, {}, 5},           {&Bottom_t, true, {}, 2},          {&Left_t, true, {}, 3},
        {&Right_t, true, {}, 4},         {&Front_t, true, {}, 6},           {&Back_t, true, {}, 1},
        {&Rear_t, true, {}, 1},          {&Top_t, false, {0, -1, 0}, 2},    {nullptr, false, {0, 0, 0.9}, 6},
        {nullptr, false, {0.5, 0.1, -0.7}, 1}, {nullptr, false, {-0.8, 0.3, 0.1}, 3}, {nullptr, false, {0.8, 0.3, 0.1}, 4},
        {nullptr, false, {0.1, 0.9, 0.1}, 5},  {nullptr, false, {0, 1}, 1},   {nullptr, false, {}, 1},
    };
    for (const auto& f : faces) {
        Entity* face = child(solid, Face_t, Faces_t, "F");
        if (f.side)
            EntityEditor::setValue(face, Side_t, *f.side);
        EntityEditor::setValue(face, IsOnCuboid_t, f.onCuboid);
        EntityEditor::setSIDoubleListValue(cad, Normals_t, f.normal);
        EntityEditor::setLinks(face, FaceDefinition_t, {cad});
        EXPECT_EQ(Tarvex3DObjectWriter::faceNumber(face), f.number)
            << (f.side ? f.side->getLabel().toStdString() : "normal") << ' ' << f.normal.size();
    }
}

TEST(ObjectWriterTest, FeaOnlyLeavesOutWhatIsNotSolvedInFeaWithEverythingItHolds)
{
    const std::unique_ptr<Model> model = Model::createDefault();
    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    Entity* cfd = block(chassis, "Cfd", {0, 0, 0}, {1, 1, 1});
    EntityEditor::setValue(cfd, Solve_Using_t, CFD_t);
    block(cfd, "Inside", {0, 0, 0}, {0.5, 0.5, 0.5});
    EntityEditor::setValue(block(chassis, "Fea", {2, 0, 0}, {1, 1, 1}), Solve_Using_t, FEA_t);
    block(chassis, "Plain", {4, 0, 0}, {1, 1, 1});

    EXPECT_EQ(addedObjects(exportOf(*model, true).project),
              QStringList({"GeomObject 37 Fea", "Operation 38 BaseBody", "GeomObject 39 Plain", "Operation 40 BaseBody"}));
    EXPECT_EQ(addedObjects(exportOf(*model).project).size(), 9) << "without the flag all are written";
}

TEST(ObjectWriterTest, StudioControlSetsTheAnalysisOptions)
{
    const std::unique_ptr<Model> model = Model::createDefault();
    Entity* control = child(model->getRoot(), Tarvex_Studio_Control_t, Objects_t, "Studio",
                            {{Transient_Type_t, ET_Co_Simulation_t}, {Evaluation_Temperature_t, 358.15},
                             {Enable_HTHH_t, true}, {Relative_Humidity_t, 85.0}, {Enable_Distributed_Computing_t, true}});
    EntityEditor::setValue(control, Analysis_Type_t / Simulation_Type_t, 1);
    const struct
    {
        bool thermal, electric, warpage;
        const char* type;
    } kinds[] = {{true, false, false, "0"}, {true, true, false, "2"},  {true, false, true, "3"}, {true, true, true, "4"},
                 {false, true, false, "1"}, {false, true, true, "0"},  {false, false, true, "5"}, {false, false, false, "0"}};
    for (const auto& k : kinds) {
        EntityEditor::setValue(control, Thermal_t, k.thermal);
        EntityEditor::setValue(control, Electric_t, k.electric);
        EntityEditor::setValue(control, Warpage_and_Stress_t, k.warpage);
        const QDomElement setup = exportOf(*model).project.documentElement().firstChildElement("Model");
        const QDomElement options = setup.firstChildElement("AnalysisSetup").firstChildElement("ThermalSimulationOptions");
        // MaxIteration is not set by the model: it keeps its template value.
        EXPECT_EQ(differingAttributes(options, QStringLiteral("Type=") + k.type
                                                   + "|SimulationType=1|Type2=2|EvaluationTempExp=358.15 K|"
                                                     "EnableEvalRelativeHumidity=1|EvalHumidity=85 C|"
                                                     "EnableDefaultCPUAccelerator=0|EnableDistributedComputing=1|"
                                                     "MaxIteration=30"),
                  QStringList())
            << k.thermal << k.electric << k.warpage;
    }
}
