#include "interchange/TarvexTXMJSONUpdater.h"
#include "interchange/TarvexTXMJsonParser.h"

#include "support/RecordingProgress.h"
#include "support/TempDir.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Tarvex::TarvexTXMJSONUpdater;
using Tarvex::TarvexTXMJsonParser;
using Tarvex::TXMFileVersion;
using Tarvex::TXMJSONFile;
using Tarvex::TXMJSONImport;
using Kind = Tools::ToolProgress::Kind;

namespace {

QJsonObject object(const char* json) { return QJsonDocument::fromJson(QByteArray(json)).object(); }

// Compact text of an object, so that failures show it.
std::string text(const QJsonObject& value)
{
    return QJsonDocument(value).toJson(QJsonDocument::Compact).toStdString();
}

std::string text(const char* json) { return text(object(json)); }

const char* const currentUnits =
    R"("UNIT":{"displacement":"mm","length":"um","load":"N","temperature":"C","time":"s"})";

} // namespace

TEST(TarvexTXMJsonParser, ReadsDevicesAndReportsBadContent)
{
    struct Case
    {
        const char* name;
        QByteArray bytes;
        bool null;
        std::string fatalError; // empty: none
        const char* lastLoaded;
        std::string result; // compact text of the file object when not null
    };
    const std::string updated = std::string("{") + currentUnits + R"(,"Version":"2025.1.0"})";
    const Case cases[] = {
        {"current", R"({"Version":"2025.1.0","Mode":"m"})", false, "", "2025.1.0", text(R"({"Version":"2025.1.0","Mode":"m"})")},
        {"newer", R"({"Version":"2026.3","UNIT":{"length":"mm"}})", false, "", "2026.3",
         text(R"({"Version":"2026.3","UNIT":{"length":"mm"}})")},
        {"trailing bytes", "{\"Version\":\"2025.1.0\"}\n\x01garbage}", false, "", "2025.1.0", text(R"({"Version":"2025.1.0"})")},
        {"no version", "{}", false, "", "", updated},
        {"top-level array", "[1, 2]", false, "", "", updated},
        {"empty file", "", true, "Failed to Read : illegal value", "", ""},
        {"missing value", R"({"Version":})", true, "Failed to Read : object is missing after a comma", "", ""},
        {"unterminated", R"({"Version":"2025.1.0")", true, "Failed to Read : unterminated string", "", ""},
        {"binary bytes", QByteArray("\x00\xff\x01", 3), true, "Failed to Read : illegal value", "", ""},
        {"nested too deep", QByteArray(5000, '[') + QByteArray(5000, ']'), true,
         "Failed to Read : too deeply nested document", "", ""},
        {"garbage after a broken document", R"({"a":1,} x)", true, "Failed to Read : object is missing after a comma", "", ""},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        Tools::RecordingProgress progress;
        TarvexTXMJsonParser parser(&progress);
        QBuffer buffer;
        buffer.setData(row.bytes);
        buffer.open(QIODevice::ReadOnly);
        const TXMJSONFile file = parser.read(&buffer);
        EXPECT_EQ(file.isNull(), row.null);
        EXPECT_EQ(parser.getLastLoadedFileVersion(), TXMFileVersion::fromString(row.lastLoaded));
        const QStringList errors = progress.texts(Kind::FatalError);
        EXPECT_EQ(progress.entries().size(), row.fatalError.empty() ? 0u : 1u);
        if (!row.fatalError.empty() && !errors.isEmpty()) {
            EXPECT_EQ(errors.front().toStdString(), row.fatalError);
        }
        if (!row.null) {
            EXPECT_EQ(text(file.object()), row.result);
        }
    }
}

TEST(TarvexTXMJsonParser, UnreadableOrOversizedSourcesGiveANullFile)
{
    Tools::RecordingProgress progress;
    TarvexTXMJsonParser parser(&progress);
    TestSupport::TempDir dir;
    const QString list = dir.write(QStringLiteral("list.json"), R"({"Version":"2024"})");
    ASSERT_TRUE(parser.readFile(list));
    EXPECT_EQ(parser.getLastLoadedFileVersion(), TXMFileVersion(2024u));

    QBuffer closed;
    closed.setData("{}");
    QBuffer writeOnly;
    writeOnly.open(QIODevice::WriteOnly);
    EXPECT_FALSE(parser.read(nullptr));
    EXPECT_FALSE(parser.read(&closed));
    EXPECT_FALSE(parser.read(&writeOnly));
    EXPECT_FALSE(parser.readFile(dir.path(QStringLiteral("missing.json"))));
    EXPECT_FALSE(parser.readFile(dir.path(QString())));
    EXPECT_FALSE(parser.readFile(QStringLiteral("/dev/zero"))); // never ends: not read
    EXPECT_TRUE(progress.entries().empty());

    QFile huge(dir.path(QStringLiteral("huge.json")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(TarvexTXMJsonParser::maximumContentSize() + 1)); // sparse: no disk used
    huge.close();
    EXPECT_FALSE(parser.readFile(huge.fileName()));
    const QString told = progress.texts(Kind::FatalError).join('|');
    EXPECT_TRUE(told.startsWith(QStringLiteral("Failed to Read : the content is larger than %1 MB, the most ")
                                    .arg(TarvexTXMJsonParser::maximumContentSize() >> 20)))
        << told.toStdString();
    EXPECT_TRUE(parser.getLastLoadedFileVersion().isEmpty());
}

TEST(TXMJSONFile, ImportEntriesAndDefaults)
{
    const TXMJSONFile file(object(R"({
        "Mode": "assembly",
        "TARVEX_INTERCHANGE_MODEL": {"Import": [
            {"file": "a.xml", "priority": {"a": 2, "b": 1, "c": "x", "d": 2.5, "e": 1e12, "f": -4},
             "CENX": 5, "CENY": -1.5, "MINZ": 0, "faceUp": true, "scaleFactor": 2, "orientation": "R90"},
            {"file": "b.xml", "priority": 3, "CENX": "5", "CENY": null},
            7
        ]}})"));
    EXPECT_EQ(file.getMode(), QStringLiteral("assembly"));
    const Tarvex::TXMJSONUnit unit = file.getUnit(); // absent: every default
    EXPECT_EQ(QStringList({unit.getLength(), unit.getDisplacement(), unit.getLoad(), unit.getTemperature(), unit.getTime()}),
              QStringList({"um", "mm", "N", "C", "s"}));

    const QList<TXMJSONImport> imports = file.getModel().getImport();
    ASSERT_EQ(imports.size(), 3);
    const TXMJSONImport& full = imports[0];
    const QMap<QString, int> expected{{"a", 2}, {"b", 1}, {"c", 0}, {"d", 0}, {"e", 0}, {"f", -4}};
    EXPECT_TRUE(full.getPriority() == expected);
    EXPECT_EQ(full.getCenterX(), std::optional<double>(5.0));
    EXPECT_EQ(full.getCenterY(), std::optional<double>(-1.5));
    EXPECT_EQ(full.getMinimumZ(), std::optional<double>(0.0));
    EXPECT_TRUE(full.getFaceUp());
    EXPECT_EQ(full.getScaleFactor(), 2.0);
    EXPECT_EQ(full.getOrientation(), QStringLiteral("R90"));

    const TXMJSONImport& sparse = imports[1];
    EXPECT_TRUE(sparse.getPriority().isEmpty());
    EXPECT_FALSE(sparse.getCenterX()); // a string is not a number
    EXPECT_FALSE(sparse.getCenterY());
    EXPECT_FALSE(sparse.getMinimumZ());
    EXPECT_FALSE(sparse.getFaceUp());
    EXPECT_EQ(sparse.getScaleFactor(), 0.0);
    EXPECT_TRUE(imports[2].getFile().isEmpty()); // not an object: an empty entry

    EXPECT_EQ(TXMJSONFile(object(R"({"TARVEX_INTERCHANGE_MODEL":{"Import":{"file":"one.xml"}}})"))
                  .getModel().getImport().value(0).getFile(),
              QStringLiteral("one.xml"));
    EXPECT_TRUE(TXMJSONFile(object(R"({"TARVEX_INTERCHANGE_MODEL":{"Import":"one.xml"}})")).getModel().getImport().isEmpty());
    EXPECT_TRUE(TXMJSONFile(object("{}")).getModel().getImport().isEmpty());
}

TEST(TXMJSONFile, WritersKeepOrderAndRemoveEmptyPlacements)
{
    TXMJSONImport first;
    first.setFile(QStringLiteral("first.xml"));
    first.setCenterX(1.0);
    first.setMinimumZ(2.0);
    first.setMinimumZ(std::nullopt);
    first.setPriority({{"x", 4}});
    TXMJSONImport second;
    second.setFile(QStringLiteral("second.xml"));
    Tarvex::TXMJSONModel model;
    model.setImport({first, second});
    TXMJSONFile file;
    file.setModel(model);
    file.setVersion(TXMFileVersion{2025u, 1u});
    EXPECT_EQ(text(file.object()), text(R"({"Version":"2025.1","TARVEX_INTERCHANGE_MODEL":{"Import":[
        {"file":"first.xml","CENX":1,"priority":{"x":4}},{"file":"second.xml"}]}})"));
}

TEST(TarvexTXMJSONUpdater, UpdatesOldFiles)
{
    struct Case
    {
        const char* name;
        const char* before;
        std::string after;
    };
    const std::string units = currentUnits;
    const Case cases[] = {
        {"no version, other units", R"({"UNIT":{"length":"mm","time":"h","force":"kN"}})",
         R"({"UNIT":{"displacement":"mm","force":"kN","length":"um","load":"N","temperature":"C","time":"s"},"Version":"2025.1.0"})"},
        {"current", R"({"Version":"2025.1.0","UNIT":{"length":"mm"}})", R"({"Version":"2025.1.0","UNIT":{"length":"mm"}})"},
        {"newer", R"({"Version":"2025.1.1","UNIT":{"length":"mm"}})", R"({"Version":"2025.1.1","UNIT":{"length":"mm"}})"},
        {"integer priority", R"({"Version":"2024.2","TARVEX_INTERCHANGE_MODEL":{"Import":[{"Priority":3,"priority":{"p":1}}]}})",
         R"({"Version":"2025.1.0",)" + units +
             R"(,"TARVEX_INTERCHANGE_MODEL":{"Import":[{"Priority":{"all":3},"priority":{"p":1}}]}})"},
        {"object priority", R"({"Version":"2024","TARVEX_INTERCHANGE_MODEL":{"Import":[{"Priority":{"x":1}}]}})",
         R"({"Version":"2025.1.0",)" + units + R"(,"TARVEX_INTERCHANGE_MODEL":{"Import":[{"Priority":{"x":1}}]}})"},
        {"other priorities", R"({"TARVEX_INTERCHANGE_MODEL":{"Import":[{"Priority":"3"},{"Priority":2.5},{"Priority":null},{}]}})",
         R"({"Version":"2025.1.0",)" + units + R"(,"TARVEX_INTERCHANGE_MODEL":{"Import":[{},{},{},{}]}})"},
        {"single import", R"({"TARVEX_INTERCHANGE_MODEL":{"Import":{"file":"a.xml","Priority":-2}}})",
         R"({"Version":"2025.1.0",)" + units +
             R"(,"TARVEX_INTERCHANGE_MODEL":{"Import":[{"file":"a.xml","Priority":{"all":-2}}]}})"},
    };
    const TarvexTXMJSONUpdater updater;
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        const QJsonObject before = object(row.before);
        const TXMJSONFile updated = updater.update(TXMJSONFile(before));
        EXPECT_EQ(text(updated.object()), text(row.after.c_str()));
        EXPECT_EQ(text(TXMJSONFile(before).object()), text(row.before)); // the input is a copy
        EXPECT_EQ(text(updater.update(QJsonDocument(before)).object()), text(row.after.c_str()));
    }
}

TEST(TarvexTXMJSONUpdater, DocumentsAndFilesThatAreNotObjects)
{
    const TarvexTXMJSONUpdater updater;
    const QJsonDocument array(QJsonArray{1, 2});
    EXPECT_TRUE(updater.needsUpdate(array));
    EXPECT_TRUE(updater.update(array).isNull());
    EXPECT_TRUE(updater.update(QJsonDocument()).isNull());
    EXPECT_FALSE(updater.needsUpdate(QJsonDocument(object(R"({"Version":"2025.1.0"})"))));
    EXPECT_TRUE(updater.update(TXMJSONFile()).isNull());

    // Entries of a file that is already current are left alone, whatever is asked.
    const TXMJSONImport entry(object(R"({"Priority":3})"));
    EXPECT_EQ(text(updater.update(entry, TXMFileVersion::current()).object()), text(R"({"Priority":3})"));
    EXPECT_EQ(text(updater.update(entry, TXMFileVersion{2025u, 0u}).object()), text(R"({"Priority":{"all":3}})"));
}

TEST(TarvexTXMJsonParser, ReadsAnOldListFromFile)
{
    TarvexTXMJsonParser parser;
    const TXMJSONFile file = parser.readFile(QStringLiteral(TARVEX_TEST_DATA "/interchange/import_list_2024.json"));
    ASSERT_TRUE(file);
    EXPECT_EQ(parser.getLastLoadedFileVersion().toQString(), QStringLiteral("2024.2"));
    EXPECT_EQ(file.getVersion(), TXMFileVersion::current());
    EXPECT_EQ(file.getUnit().getLength(), QStringLiteral("um"));
    const QList<TXMJSONImport> imports = file.getModel().getImport();
    ASSERT_EQ(imports.size(), 1);
    EXPECT_EQ(imports[0].getFile(), QStringLiteral("board.xml"));
    EXPECT_EQ(imports[0].getCenterX(), std::optional<double>(10.0));
    EXPECT_FALSE(imports[0].getCenterY());
    EXPECT_EQ(imports[0].getMinimumZ(), std::optional<double>(0.5));
    // The normalised "Priority" is not the "priority" the entry is read by.
    EXPECT_TRUE(imports[0].getPriority().isEmpty());
    EXPECT_EQ(text(imports[0].object().value("Priority").toObject()), text(R"({"all":3})"));
}
