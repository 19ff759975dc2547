// Import of project archives: the entities a project gives, what each object sets, and the
// archives and projects that end an import with the model as it was.
#include "exchange3d/ProjectArchive.h"
#include <tarvex/exchange3d/Tarvex3DImporter.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/EntityGUI.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/ModelFile.h>
#include <tarvex/host/SolverTypes.h>
#include "model3d/HostAttributes.h"
#include "support/RecordingProgress.h"
#include "support/TempDir.h"

#include <tuple>
#include <utility>

#include <gtest/gtest.h>

using namespace EntityModel;
using TestSupport::ZipEntry;

namespace {

// The tree below `entity`, one line per entity: its type and name, indented by depth.
QStringList tree(const Entity* entity, int depth = 0)
{
    QStringList lines;
    std::vector<Entity*> children;
    entity->getOwnedChildEntities(children, false, true);
    for (const Entity* child : children) {
        lines << QString(depth * 2, QLatin1Char(' ')) + child->getType().getLabel() + QLatin1Char(' ') + child->getName();
        lines << tree(child, depth + 1);
    }
    return lines;
}

Entity* find(const Entity* below, const QString& name)
{
    std::vector<Entity*> all;
    below->getOwnedChildEntities(all, true, true);
    for (Entity* entity : all) {
        if (entity->getName() == name)
            return entity;
    }
    return nullptr;
}

// What the importer said of one import.
struct Outcome
{
    bool imported = false;
    std::string error;
    QStringList notes;
};

// Imports `archive` into the chassis of `model` with the system's temporary folder inside
// `sandbox`, so that what the import leaves there can be seen.
Outcome importInto(Model& model, const QString& archive, const TestSupport::TempDir& sandbox,
                   Tools::RecordingProgress* progress = nullptr)
{
    const TestSupport::TemporaryFolderAt temporary(sandbox.path("tmp"));
    Tarvex3D::Tarvex3DImporter importer(progress);
    Outcome outcome;
    outcome.imported = importer.importModel(EntityFetcher::getChassis(model.getRoot()), archive.toStdString());
    outcome.error = importer.importError();
    for (const auto& note : importer.getNotes())
        outcome.notes << note.second;
    return outcome;
}

// The outward normal of the face `entity` sits on, as "x,y,z".
QString normalOfFace(const Entity* entity)
{
    QStringList parts;
    for (const double value : getStandardDoubleListValues(getLinkedEntity(entity->getOwnerEntity(), FaceDefinition_t), Normals_t))
        parts << QString::number(value);
    return parts.join(QLatin1Char(','));
}

TEST(Tarvex3DImporter, BuildsTheProjectsStructureUnderAGroupNamedAfterTheArchive)
{
    TestSupport::TempDir dir;
    // "Block 2" is made of two bodies here: its box and a prism.
    const QByteArray prism = "prism\n  at 0.03 0.001 0.002\n  base 0 height 0.002\n  point 0 0\n  point 0.004 0\n"
                             "  point 0 0.003\nend\n";
    ASSERT_TRUE(TestSupport::writeProjectArchive(
        dir.path("two.blocks.zip"), TestSupport::twoBlocks(),
        {TestSupport::twoBlockGeometry()[0], {"Block_2.geom", TestSupport::projectFile("Block_2.geom") + prism}}));
    const std::unique_ptr<Model> model = Model::createDefault();
    Tools::RecordingProgress progress;
    const Outcome outcome = importInto(*model, dir.path("two.blocks.zip"), dir, &progress);
    ASSERT_TRUE(outcome.imported) << outcome.error;
    EXPECT_EQ(TestSupport::entriesOf(dir.path("tmp")), QStringList());
    const Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    // Template groups are kept, empty or not; terminal groups and operations make nothing;
    // objects go to the solids their "refid" or reference face names.
    EXPECT_EQ(tree(chassis), QStringList({
                                 "Material EC_Copper",
                                 "Group_Obstruction two.blocks",
                                 "  Group_Obstruction Components",
                                 "  Group_Obstruction Parts",
                                 "    Solid_Obstruction Block 1.a",
                                 "      CAD_Face ",
                                 "      Face ",
                                 "        Terminal T1",
                                 "      Heat_Source Heater",
                                 "    Group_Obstruction Block 2",
                                 "      Solid_Obstruction Block 2 1",
                                 "      Solid_Obstruction Block 2 2",
                                 "      Sensor Probe A",
                                 "  Group_Obstruction Coordinate Systems",
                                 "  Group_Obstruction Static Analysis",
                                 "    Group_Obstruction Power Input",
                                 "    Group_Obstruction Probings",
                                 "  Group_Obstruction Transient Analysis",
                                 "  Group_Obstruction Extraction",
                                 "    Group_Obstruction Terminals",
                             }));
    EXPECT_EQ(outcome.notes, QStringList({"No Implementation for UCS Object"}));
    EXPECT_EQ(progress.texts(Tools::ToolProgress::Kind::Message),
              QStringList({"Importing Tarvex3D model", "Processing geometry: Block_1_a", "Processing geometry: Block_2",
                           "Importing Tarvex3D model Finished"}));
    EXPECT_EQ(progress.totalSteps(), 3u);
    // A body keeps its place and shape in the world as the entity made of it.
    const Entity* prismSolid = find(chassis, "Block 2 2");
    ASSERT_TRUE(prismSolid);
    EXPECT_EQ(EntityGUI::get_geometry(prismSolid).toText(), "tarvex-cad 1\n" + prism);
    // The import is one step that takes all of it back.
    EXPECT_EQ(model->getUndoStack().undoText(), "Import Tarvex3D model");
    ASSERT_TRUE(model->getUndoStack().undo());
    EXPECT_EQ(tree(chassis), QStringList());
}

TEST(Tarvex3DImporter, ReadsEachKindOfObjectAsItsAttributesSay)
{
    TestSupport::TempDir dir;
    ASSERT_TRUE(TestSupport::writeProjectArchive(dir.path("kinds.zip"), TestSupport::projectFile("kinds.xml"),
                                                 TestSupport::twoBlockGeometry()));
    const std::unique_ptr<Model> model = Model::createDefault();
    const Outcome outcome = importInto(*model, dir.path("kinds.zip"), dir);
    ASSERT_TRUE(outcome.imported) << outcome.error;
    EXPECT_EQ(outcome.notes,
              QStringList({"No Implementation for UCS Object", "Heat Souce Entity has ambiguous heat options",
                           "Unsupported Thermal Simulation Type (7) for Heat_Source",
                           "Temperature Curve not implemented for Heat Source.",
                           "Heat Source Entity missing heat dissipation value", "No Implementation (HTC)",
                           "Unsupported Thermal Simulation Type (-1) for Force", "StressControlBits 3000 is unsupported",
                           "No Implementation (Probe) - RefFace", "Failed to look up referece face",
                           "Failed to look up referece face", "Unsupported Thermal Simulation Type (-1) for Terminal",
                           "No Implementation for Mystery Object"}));

    const Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    // "face" is the outward normal of the face an entity sits on: faces 2 and 5 are -y and
    // +y of a body the exporter wrote, 1 and 6 -z and +z; "CreateBox" numbers 6 as +x.
    // Each entity and the values read into it, "path=value|path=value".
    const std::pair<const char*, const char*> entities[] = {
        {"Block 1.a", "Installed=Yes|Display_Options/Hidden=No|Display_Options/Render_Style=Wireframe|"
                      "Display_Options/Transparency=\"30\"|Display_Options/Colour=\"255,128,64\"|"
                      "Cooling/Modelling_Detail=Full|Width=0.01|Y_Location=0.002"},
        {"Block 2", "Installed=No|Display_Options/Hidden=Yes|Display_Options/Render_Style=Solid_Outlined|"
                    "Display_Options/Colour=\"180,180,180\"|Depth=0.005"},
        {"Heater", "Heat/Heat_Option=Total_Heat|Heat/Heat_Dissipated=2.5|"
                   "Analysis_Type=Static|Geometry/Size_From_Parent=Yes"},
        {"Probe A", "Type=Point|X_Location=0.0025|Z_Location=0.0025"},
        {"T1", "Boundary_Type=External|Analysis_Type=Solid_Extraction|face=0,0,1"},
        {"Fixed", "Heat/Heat_Option=Fixed_Temperature|Heat/Time_Dependent_Heat_Dissipation=Yes|"
                  "Heat/Temperature=350.5|Analysis_Type=Transient"},
        {"Hold", "Displacement_Type=Surface|Use_X=\"true\"|Use_Y=\"false\"|Enabled=\"false\"|Dz=0.003|face=0,-1,0"},
        {"Push", "Distribution_Type=Surface|Fx=4|face=0,1,0"},
        {"VRM", "Electrical_Option=Voltage|Voltage=1.8|Expression=\"1.8 V\"|face=0,0,-1"},
        {"Average", "Type=Average"},
        {"CreateBox face", "Boundary_Type=Connection|face=1,0,0"},
        {"Shared", "face=0,-1,0"},
    };
    for (const auto& [name, values] : entities) {
        const Entity* entity = find(chassis, QString::fromUtf8(name));
        ASSERT_TRUE(entity) << name;
        QStringList read;
        for (const QString& pair : QString::fromUtf8(values).split('|')) {
            const QString path = pair.section('=', 0, 0);
            read << path + '=' + (path == "face" ? normalOfFace(entity) : Model3DTest::flatten(entity).value(path));
        }
        EXPECT_EQ(read.join('|').toStdString(), values) << name;
    }
    const Entity* ambiguous = find(chassis, "Block 1.a")->getOwnedChildEntitiesOfType(Heat_Source_t).at(1);
    EXPECT_EQ(Model3DTest::flatten(ambiguous).keys(), QStringList()) << "an ambiguous heat source keeps its defaults";
    for (const char* skipped : {"HTC", "Odd", "Two patches", "Nowhere", "Swept"})
        EXPECT_EQ(find(chassis, skipped), nullptr) << skipped;
    // Objects on one face share it.
    EXPECT_EQ(find(chassis, "Shared")->getOwnerEntity(), find(chassis, "Hold")->getOwnerEntity());
    EXPECT_EQ(find(chassis, "Block 2")->getOwnedChildEntitiesOfType(Face_t).size(), 3u);
}

TEST(Tarvex3DImporter, FailsWithTheModelAsItWasAndNoFolderLeft)
{
    const QByteArray good = TestSupport::twoBlocks();
    // The structure's top groups are at depth 1, so this reaches one level past the limit.
    const auto nested = [](int levels) {
        return QByteArray("<Object id=\"2\">").repeated(levels) + QByteArray("</Object>").repeated(levels);
    };
    QByteArray folder = good;
    folder.replace("ObjectFileName=\"Block_2.geom\"", "ObjectFileName=\"geometry/Block_2.geom\"");
    const std::vector<ZipEntry> geometry = TestSupport::twoBlockGeometry();
    // What is wrong, the archive's entries and the error.
    const std::tuple<const char*, std::vector<ZipEntry>, const char*> cases[] = {
        {"no project file", {{"project.xml", good}}, "Invalid file structure. No model xml found."},
        {"project file not XML", {{"Project.xml", "<Project>"}}, "Invalid file structure. The model xml cannot be read."},
        {"no structure", {{"Project.xml", "<Project><Objects/></Project>"}},
         "Invalid file structure. No hierachy found in model xml."},
        {"structure too deep", {{"Project.xml", TestSupport::withStructure(good, nested(65))}},
         "Invalid file structure. The hierarchy in the model xml is nested deeper than 64 levels."},
        {"too many objects placed",
         {{"Project.xml", TestSupport::withStructure(good, QByteArray("<Object id=\"2\"/>").repeated(100001))}},
         "Invalid file structure. The hierarchy in the model xml places 100019 objects, more than 100000."},
        {"project file too large", {{"Project.xml", good + QByteArray(64 << 20, ' ')}},
         "Invalid file structure. The model xml holds 67112377 bytes, more than 67108864."},
        {"geometry file in a folder", {{"Project.xml", folder}, geometry[0], {"geometry/Block_2.geom", geometry[1].bytes}},
         "The geometry file \"geometry/Block_2.geom\" of \"Block 2\" is not a file of the archive; the archive was "
         "refused."},
    };
    for (const auto& [what, entries, error] : cases) {
        TestSupport::TempDir dir;
        ASSERT_TRUE(TestSupport::writeZip(dir.path("hostile.zip"), entries)) << what;
        const std::unique_ptr<Model> model = Model::createDefault();
        // Something made before, which the failed import must leave in place.
        EntityEditor::createEntity(Solid_Obstruction_t, EntityFetcher::getChassis(model->getRoot()), Obstructions_t,
                                   nullptr, 0, QStringLiteral("Existing"));
        const QByteArray before = ModelFile::toJson(*model);
        const int steps = model->getUndoStack().doneCount();
        const Outcome outcome = importInto(*model, dir.path("hostile.zip"), dir);
        EXPECT_FALSE(outcome.imported) << what;
        EXPECT_EQ(outcome.error, error) << what;
        EXPECT_EQ(ModelFile::toJson(*model), before) << what;
        EXPECT_EQ(model->getUndoStack().doneCount(), steps) << what;
        EXPECT_EQ(TestSupport::entriesOf(dir.path("tmp")), QStringList()) << what;
        EXPECT_EQ(TestSupport::entriesOf(dir.path("")), QStringList({"hostile.zip", "tmp"})) << what;
    }

    TestSupport::TempDir dir;
    ASSERT_TRUE(TestSupport::writeProjectArchive(dir.path("deep.zip"), TestSupport::withStructure(good, nested(64)), geometry));
    const std::unique_ptr<Model> model = Model::createDefault();
    EXPECT_TRUE(importInto(*model, dir.path("deep.zip"), dir).imported);
    Tarvex3D::Tarvex3DImporter importer(nullptr);
    EXPECT_FALSE(importer.importModel(nullptr, "any.zip"));
    EXPECT_EQ(importer.importError(), "Internal Error. Root entity nullptr.");
}

} // namespace
