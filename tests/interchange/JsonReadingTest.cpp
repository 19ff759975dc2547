#include <tarvex/interchange/TarvexTXMJSONUpdater.h>
#include <tarvex/interchange/TarvexTXMJsonParser.h>

#include "interchange/XmlTestSupport.h"
#include "support/RecordingProgress.h"
#include "support/TempDir.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <string>

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

const std::string units = R"("UNIT":{"displacement":"mm","length":"um","load":"N","temperature":"C","time":"s"})";

} // namespace

TEST(TarvexTXMJsonParser, ReadsDevicesAndReportsBadContent)
{
    struct Case
    {
        const char* name;
        QByteArray bytes;
        std::string fatalError; // empty: none; else the file is null
        const char* lastLoaded;
        std::string result; // compact text of the file object when not null
    };
    const std::string updated = "{" + units + R"(,"Version":"2025.1.0"})";
    const Case cases[] = {
        {"current", R"({"Version":"2025.1.0","Mode":"m"})", "", "2025.1.0", text(R"({"Version":"2025.1.0","Mode":"m"})")},
        {"trailing bytes", "{\"Version\":\"2025.1.0\"}\n\x01garbage}", "", "2025.1.0", text(R"({"Version":"2025.1.0"})")},
        {"no version", "{}", "", "", updated},
        {"top-level array", "[1, 2]", "", "", updated},
        {"empty file", "", "Failed to Read : illegal value", "", ""},
        {"unterminated", R"({"Version":"2025.1.0")", "Failed to Read : unterminated string", "", ""},
        {"nested too deep", QByteArray(5000, '[') + QByteArray(5000, ']'),
         "Failed to Read : too deeply nested document", "", ""},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        Tools::RecordingProgress progress;
        TarvexTXMJsonParser parser(&progress);
        QBuffer buffer;
        buffer.setData(row.bytes);
        buffer.open(QIODevice::ReadOnly);
        const TXMJSONFile file = parser.read(&buffer);
        EXPECT_EQ(file.isNull(), !row.fatalError.empty());
        EXPECT_EQ(parser.getLastLoadedFileVersion(), TXMFileVersion::fromString(row.lastLoaded));
        EXPECT_EQ(progress.entries().size(), row.fatalError.empty() ? 0u : 1u);
        EXPECT_EQ(progress.texts(Kind::FatalError).join('|').toStdString(), row.fatalError);
        EXPECT_EQ(file.isNull() ? "" : text(file.object()), row.result);
    }
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

    const QList<TXMJSONImport> imports = file.getModel().getImport();
    ASSERT_EQ(imports.size(), 3);
    const TXMJSONImport& full = imports[0];
    const QMap<QString, int> expected{{"a", 2}, {"b", 1}, {"c", 0}, {"d", 0}, {"e", 0}, {"f", -4}};
    EXPECT_TRUE(full.getPriority() == expected);
    EXPECT_EQ(full.getCenterY(), std::optional<double>(-1.5));
    EXPECT_EQ(full.getMinimumZ(), std::optional<double>(0.0));
    EXPECT_TRUE(full.getFaceUp());
    EXPECT_EQ(full.getScaleFactor(), 2.0);
    EXPECT_EQ(full.getOrientation(), QStringLiteral("R90"));

    const TXMJSONImport& sparse = imports[1];
    EXPECT_TRUE(sparse.getPriority().isEmpty());
    EXPECT_FALSE(sparse.getCenterX()); // a string is not a number
    EXPECT_FALSE(sparse.getCenterY());
    EXPECT_TRUE(imports[2].getFile().isEmpty()); // not an object: an empty entry

    EXPECT_TRUE(TXMJSONFile(object(R"({"TARVEX_INTERCHANGE_MODEL":{"Import":"one.xml"}})")).getModel().getImport().isEmpty());
}

TEST(TarvexTXMJSONUpdater, UpdatesOldFiles)
{
    struct Case
    {
        const char* name;
        const char* before;
        std::string after;
    };
    const Case cases[] = {
        {"no version, other units", R"({"UNIT":{"length":"mm","time":"h","force":"kN"}})",
         R"({"UNIT":{"displacement":"mm","force":"kN","length":"um","load":"N","temperature":"C","time":"s"},"Version":"2025.1.0"})"},
        {"integer priority", R"({"Version":"2024.2","TARVEX_INTERCHANGE_MODEL":{"Import":[{"Priority":3,"priority":{"p":1}}]}})",
         R"({"Version":"2025.1.0",)" + units +
             R"(,"TARVEX_INTERCHANGE_MODEL":{"Import":[{"Priority":{"all":3},"priority":{"p":1}}]}})"},
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

    // Documents and files that are not objects.
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

TEST(TarvexTXMJsonParser, ReadsAnOldListFromFileAndGivesANullFileForUnreadableSources)
{
    Tools::RecordingProgress progress;
    TarvexTXMJsonParser parser(&progress);
    const TXMJSONFile file = parser.readFile(QStringLiteral(TARVEX_TEST_DATA "/interchange/import_list_2024.json"));
    ASSERT_TRUE(file);
    EXPECT_EQ(parser.getLastLoadedFileVersion().toQString(), QStringLiteral("2024.2"));
    EXPECT_EQ(file.getVersion(), TXMFileVersion::current());
    const QList<TXMJSONImport> imports = file.getModel().getImport();
    ASSERT_EQ(imports.size(), 1);
    EXPECT_EQ(imports[0].getCenterX(), std::optional<double>(10.0));
    // The normalised "Priority" is not the "priority" the entry is read by.
    EXPECT_TRUE(imports[0].getPriority().isEmpty());
    EXPECT_EQ(text(imports[0].object().value("Priority").toObject()), text(R"({"all":3})"));

    TestSupport::TempDir dir;
    QBuffer closed;
    closed.setData("{}");
    QBuffer writeOnly;
    writeOnly.open(QIODevice::WriteOnly);
    EXPECT_FALSE(parser.read(nullptr));
    EXPECT_FALSE(parser.read(&closed));
    EXPECT_FALSE(parser.read(&writeOnly));
    // A missing file, no name, and a device that never ends are not read.
    for (const QString& path : {dir.path(QStringLiteral("missing.json")), dir.path(QString()), QStringLiteral("/dev/zero")})
        EXPECT_FALSE(parser.readFile(path)) << path.toStdString();
    EXPECT_TRUE(progress.entries().empty());
    EXPECT_TRUE(parser.getLastLoadedFileVersion().isEmpty());
    const qint64 limit = TarvexTXMJsonParser::maximumContentSize();
    EXPECT_FALSE(parser.readFile(InterchangeTest::sparseFile(dir.path(QStringLiteral("huge.json")), limit + 1)));
    const QString told = progress.texts(Kind::FatalError).join('|');
    EXPECT_TRUE(told.startsWith(InterchangeTest::tooLargeStart(limit))) << told.toStdString();
}
