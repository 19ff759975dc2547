#include "ImportSession.h"

#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/MemoryGuard.h>
#include "support/FailingProgress.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>

using namespace EntityModel;
using Kind = Tools::ToolProgress::Kind;

namespace {

const QByteArray GoodXml = "<?xml version=\"1.0\"?>\n"
                           "<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\">\n"
                           "  <UNITSet><Length Unit=\"mm\"/></UNITSet>\n"
                           "</TARVEX_INTERCHANGE_MODEL>\n";
const QByteArray BrokenXml = "<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\">\n  <GEOMSet>\n";

using Session = ImportTest::ImportSession;

bool solutionOptionsOn(const Entity* chassis)
{
    const Entity* control = EntityFetcher::getSolutionControl(chassis);
    return hasAttributeSetTo(control, Solid_Objects_t / Allow_Temperature_Dependent_Power_t, Yes_t) &&
           hasAttributeSetTo(control, Solid_Objects_t / Output_convective_HTC_t, Yes_t);
}

} // namespace

TEST(TarvexImporter, FileFormIsChosenByTheFirstByteAlone)
{
    const std::tuple<const char*, QByteArray, bool, bool> cases[] = { // file, bytes, read as JSON, readable
        {"object.json", "{\"Version\": \"2025.1.0\"}", true, true},
        {"array.json", "[]", true, true},
        {"blank-first.json", " {\"Version\": \"2025.1.0\"}", false, false},
        {"bom.xml", "\xEF\xBB\xBF" + GoodXml, false, true},
        // Blanks may come before the root element (not before an XML declaration).
        {"blanks.xml", "\n\n   <TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\"/>", false, true},
    };
    for (const auto& [name, bytes, readAsJson, readable] : cases) {
        SCOPED_TRACE(name);
        Session s;
        s.importer.importModel(s.dir.write(name, bytes), false);
        const QStringList errors = s.progress.texts(Kind::FatalError);
        // An import list without entries says so; an XML file is parsed.
        EXPECT_EQ(s.progress.texts(Kind::Warning).contains(QString(name) + " : No files to import"), readAsJson);
        EXPECT_EQ(errors.isEmpty(), readable) << errors.join(" | ").toStdString();
        EXPECT_EQ(s.messages().last().endsWith("with some errors"), !readable);
    }
}

TEST(TarvexImporter, EachFileOfAListReportsUnderItsOwnNameAndTheListNameComesBack)
{
    Session s;
    s.dir.write("parts/broken.xml", BrokenXml);
    s.dir.write("good.xml", GoodXml);
    s.dir.write("inner.json", "{\"TARVEX_INTERCHANGE_MODEL\": {\"Import\": {\"file\": \"nowhere.xml\"}}}");
    // "sub/good.xml" does not exist under the list's folder, so the bare name is used.
    const QString list = s.dir.write(
        "list.json", "{\"Version\": \"2025.1.0\", \"TARVEX_INTERCHANGE_MODEL\": {\"Import\": ["
                     "{\"file\": \"parts/broken.xml\", \"priority\": {\"late\": 5}},"
                     "{\"file\": \"sub/good.xml\"},"
                     "{\"file\": \"inner.json\", \"priority\": {\"a\": 1}},"
                     "{\"file\": \"missing.xml\", \"priority\": {\"a\": 2}}]}}");
    s.importer.importModel(list, false);

    // Priorities order the entries: good (0), inner (1), missing (2), broken (5).
    EXPECT_EQ(s.progress.texts(Kind::Warning),
              (QStringList{"inner.json : Unable to locate : nowhere.xml", "list.json : Unable to locate : missing.xml"}));
    const QStringList errors = s.progress.texts(Kind::FatalError);
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].startsWith("broken.xml : Failed to Read : "));
    EXPECT_EQ(errors[1], "broken.xml : Failed to read file : " + s.dir.path("parts/broken.xml"));
    // The closing message is sent with the outer (empty) prefix again.
    EXPECT_EQ(s.messages().last(), "Importing Tarvex Interchange Model Finished with some errors");
}

// Files that cannot be imported, or lists with nothing to import: the warnings and errors
// each gives under the name of the file, and the closing message that says whether it failed.
TEST(TarvexImporter, UnreadableFilesAndEmptyListsAreReportedUnderTheirNames)
{
    struct Case
    {
        const char* what;
        std::vector<std::pair<QString, QByteArray>> files; // the first is imported, written or not
        QStringList warnings;
        QStringList errors; // "..." stands for any text, "<path>" for the imported file
        bool failed;        // the closing message is the "with some errors" one
    };
    const QByteArray selfA = "{\"TARVEX_INTERCHANGE_MODEL\": {\"Import\": {\"file\": \"b.json\"}}}";
    const QByteArray selfB = "{\"TARVEX_INTERCHANGE_MODEL\": {\"Import\": {\"file\": \"a.json\"}}}";
    const Case cases[] = {
        // A file that cannot be opened is silent and does not count as an error.
        {"missing file", {{"missing.xml", QByteArray()}}, {}, {}, false},
        {"wrong root", {{"wrong-root.xml", "<Layout/>"}}, {}, {"wrong-root.xml : Failed to read file : <path>"}, true},
        {"entries that are not files",
         {{"list.json", "{\"TARVEX_INTERCHANGE_MODEL\": {\"Import\": [{\"file\": \"folder.xml\"}, {\"file\": \"\"}]}}"},
          {"folder.xml/inside.xml", GoodXml}},
         {"list.json : Unable to locate : folder.xml", "list.json : Unable to locate : "}, {}, false},
        // Lists that name each other stop instead of recursing.
        {"lists that name themselves", {{"a.json", selfA}, {"b.json", selfB}}, {}, {"a.json : The import list...includes itself..."}, true},
        {"invalid JSON", {{"bad.json", "{\"TARVEX_INTERCHANGE_MODEL\": "}}, {},
         {"bad.json : Failed to Read : ...", "bad.json : Invalid File Format."}, false},
        {"empty list", {{"empty.json", "{\"TARVEX_INTERCHANGE_MODEL\": {\"Import\": []}}"}}, {"empty.json : No files to import"}, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Session s;
        for (const auto& [name, bytes] : c.files) {
            if (!bytes.isEmpty())
                s.dir.write(name, bytes);
        }
        const QString path = s.dir.path(c.files.front().first);
        EXPECT_TRUE(s.importer.importModel(path, false).empty());
        EXPECT_EQ(s.progress.texts(Kind::Warning), c.warnings);
        const QStringList errors = s.progress.texts(Kind::FatalError);
        ASSERT_EQ(errors.size(), c.errors.size()) << errors.join(" | ").toStdString();
        for (int i = 0; i < errors.size(); ++i) {
            QStringList parts = QString(c.errors[i]).replace("<path>", path).split("...");
            for (QString& part : parts)
                part = QRegularExpression::escape(part);
            const QRegularExpression pattern("\\A" + parts.join(".*") + "\\z", QRegularExpression::DotMatchesEverythingOption);
            EXPECT_TRUE(pattern.match(errors[i]).hasMatch()) << errors[i].toStdString();
        }
        EXPECT_EQ(s.messages().last(), c.failed ? "Importing Tarvex Interchange Model Finished with some errors"
                                                : "Importing Tarvex Interchange Model Finished");
    }
}

TEST(TarvexImporter, UpdateDetachesTheEarlierImportAndDeletesWhatIsNotReused)
{
    Session s;
    Entity* board = EntityEditor::createEntity(PCB_t, s.chassis, Objects_t, nullptr, 0, "Board");
    Entity* component = EntityEditor::createEntity(Component_t, board, Components_t, nullptr, 0, "U1");
    Entity* source = EntityEditor::createEntity(Heat_Source_t, component, AttributePath("Heat_Sources"), nullptr, 0, "Q");
    Entity* material = EntityEditor::createEntity(Material_t, s.chassis, Materials_t, nullptr, 0, "FR4");
    s.model->getUndoStack().clear();
    const QByteArray before = s.json();

    const QString path = s.dir.write("board.xml", GoodXml);
    s.importer.updateModel(path, {board, material, nullptr});

    // Nothing in this file reuses them, so the earlier entities of the listed kinds go;
    // the material is not one of those kinds and stays.
    EXPECT_EQ((std::vector<bool>{board->isAlive(), component->isAlive(), source->isAlive(), material->isAlive()}),
              (std::vector<bool>{false, false, false, true}));
    EXPECT_TRUE(s.model->getDetachedEntities().empty());
    EXPECT_TRUE(solutionOptionsOn(s.chassis));
    EXPECT_EQ(s.messages(), (QStringList{"Reading Tarvex Interchange Model Model",
                                         "Updating Tarvex Interchange Model Finished"}));
    EXPECT_EQ(s.model->getUndoStack().undoText(), "Update Tarvex Data");
    EXPECT_EQ(s.model->getUndoStack().count(), 1);
    s.model->getUndoStack().undo();
    EXPECT_EQ(s.json(), before);

    s.progress.clear();
    s.importer.updateModel(s.dir.write("broken.xml", BrokenXml), {});
    EXPECT_EQ(s.messages().last(), "Updating Tarvex Interchange Model Finished with some errors");
}

TEST(TarvexImporter, ExtendMarksTheBoardOrThrowsWhenTheFileCannotBeRead)
{
    Session s;
    Entity* board = EntityEditor::createEntity(PCB_t, s.chassis, Objects_t, nullptr, 0, "Board");
    EXPECT_TRUE(s.importer.extendPCB(board, s.dir.write("board.xml", GoodXml)).empty());
    EXPECT_TRUE(hasAttributeSetTo(board, Is_Tarvex_Extended_t, Yes_t));
    EXPECT_EQ(s.messages(), (QStringList{"Reading Simplified Model", "Building Tarvex Geometry", "Importing Geometry",
                                         "Finalizing Geometry", "Extend PCB Finished"}));
    EXPECT_EQ(s.model->getUndoStack().undoText(), "Update Tarvex Data");

    Entity* other = EntityEditor::createEntity(PCB_t, s.chassis, Objects_t, nullptr, 0, "Other");
    const QString missing = s.dir.path("missing.xml");
    try {
        s.importer.extendPCB(other, missing);
        FAIL() << "extendPCB of a missing file must throw";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(QString::fromStdString(error.what()), "Failed to import : " + missing);
    }
    EXPECT_EQ(s.progress.texts(Kind::FatalError).last(), "Failed to read file : " + missing);
    EXPECT_FALSE(hasAttributeSetTo(other, Is_Tarvex_Extended_t, Yes_t));
}

TEST(TarvexImporter, RunningOutOfMemoryEndsTheOperationAndTakesItBack)
{
    const QString board = QStringLiteral(TARVEX_SAMPLES "/board.xml");
    // The sink fails at the closing message, when every entity of the operation is built.
    for (const bool update : {false, true}) {
        Session s;
        const std::vector<Entity*> earlier = update ? s.importer.importModel(board, false) : std::vector<Entity*>();
        const QByteArray before = s.json();
        Tools::FailingProgress progress(update ? "Updating Tarvex Interchange Model Finished"
                                               : "Importing Tarvex Interchange Model Finished");
        Tarvex::TarvexImporter importer(s.chassis, &progress, &s.geometry);
        EXPECT_TRUE((update ? importer.updateModel(board, earlier) : importer.importModel(board, true)).empty());
        EXPECT_EQ(s.json(), before) << update;
        EXPECT_EQ(progress.texts(Kind::FatalError),
                  QStringList{MemoryGuard::message(update ? "Update Tarvex Data" : "Import Tarvex Data")})
            << update;
    }
}

// File in, entities out: the board and the block on it, each placed in host axes (y up:
// the file's z becomes y, its y becomes -z), sizes from the host bound, all in metres. The
// import is one undo step, and undoing it leaves the model as it was.
TEST(TarvexImporter, ImportBuildsPlacedEntitiesFromTheFileInOneUndoStep)
{
    Session s;
    const QByteArray before = s.json();
    const QString board = "<Geom ObjectName=\"Main\" Name=\"Main_Core\" Type=\"PCB\" dz=\"1.6\">"
                          "<node x=\"0\" y=\"0\" z=\"0\"/><node x=\"10\" y=\"0\" z=\"0\"/>"
                          "<node x=\"10\" y=\"8\" z=\"0\"/><node x=\"0\" y=\"8\" z=\"0\"/></Geom>";
    const QString path = s.dir.write("board.xml", ImportTest::interchangeFile(board + ImportTest::OneBlock));
    const std::vector<Entity*> built = s.importer.importModel(path, false);
    ASSERT_EQ(built.size(), 2u) << s.progress.texts(Kind::FatalError).join('\n').toStdString();

    struct Expected
    {
        TypeRef type;
        const char* key;
        double x, y, z, width, height, depth;
    };
    const Expected expected[] = {{PCB_t, "Main", 0, 0, -0.008, 0.01, 0.0016, 0.008},
                                 {Component_t, "C1", 0.002, 0.0016, -0.006, 0.002, 0.001, 0.003}};
    for (size_t i = 0; i < 2; ++i) {
        const Expected& e = expected[i];
        const Entity* entity = built[i];
        EXPECT_EQ(entity->getType(), e.type) << e.key;
        EXPECT_EQ(entity->getOwnerEntity(), s.chassis) << e.key;
        const QString key = getStringValue(entity, Reference_Designator_t);
        EXPECT_EQ(key.isEmpty() ? getStringValue(entity, Name_t) : key, e.key);
        const std::pair<TypeRef, double> values[] = {{X_Location_t, e.x}, {Y_Location_t, e.y}, {Z_Location_t, e.z},
                                                     {Width_t, e.width},  {Height_t, e.height}, {Depth_t, e.depth}};
        for (const auto& [attribute, value] : values)
            EXPECT_NEAR(getStandardDoubleValue(entity, attribute, -1.0), value, 1e-12)
                << e.key << " " << attribute.getLabel().toStdString();
    }
    EXPECT_TRUE(solutionOptionsOn(s.chassis));
    EXPECT_EQ(s.messages(), (QStringList{"Reading Tarvex Interchange Model For Import",
                                         "Importing Tarvex Interchange Model Finished"}));
    EXPECT_EQ(s.progress.resets(), 1);
    EXPECT_EQ(s.model->getUndoStack().count(), 1);
    EXPECT_EQ(s.model->getUndoStack().undoText(), "Import Tarvex Data");
    ASSERT_TRUE(s.model->getUndoStack().undo());
    EXPECT_EQ(s.json(), before);
}

// An import with no parent to build below (a model without a chassis) finds no place for
// its entities: a fatal error, the "with some errors" closing message, nothing built, and
// an update leaves the earlier import where it was instead of deleting it for nothing.
TEST(TarvexImporter, WithoutAParentNothingIsImportedAndThatIsAnError)
{
    Session s;
    Entity* board = EntityEditor::createEntity(PCB_t, s.chassis, Objects_t, nullptr, 0, "Board");
    s.model->getUndoStack().clear();
    const QByteArray before = s.json();
    const QString path = s.dir.write("board.xml", ImportTest::interchangeFile(ImportTest::OneBlock));
    const QString noPlace = "There is no entity to import into (no parent entity was given, or the model has no "
                            "chassis); nothing was imported";

    Tarvex::TarvexImporter orphan(nullptr, &s.progress, &s.geometry);
    EXPECT_TRUE(orphan.importModel(path, true).empty());
    EXPECT_EQ(s.progress.texts(Kind::FatalError), QStringList{noPlace});
    EXPECT_EQ(s.messages(), (QStringList{"Reading Tarvex Interchange Model For Import",
                                         "Importing Tarvex Interchange Model Finished with some errors"}));
    EXPECT_EQ(s.json(), before);

    s.progress.clear();
    EXPECT_TRUE(orphan.updateModel(path, {board}).empty());
    EXPECT_EQ(s.progress.texts(Kind::FatalError), QStringList{noPlace});
    EXPECT_EQ(s.messages().last(), "Updating Tarvex Interchange Model Finished with some errors");
    EXPECT_TRUE(board->isAlive());
    EXPECT_EQ(board->getOwnerEntity(), s.chassis);
    EXPECT_EQ(s.json(), before);
}
