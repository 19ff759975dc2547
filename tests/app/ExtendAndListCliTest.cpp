// What `tarvex extend` and `tarvex import` of a list tell at the end, and the runs of them that
// must fail: an extension file that cannot be read, a list past the cap, a list that builds nothing.
#include "app/CliFiles.h"

#include "support/ImportLists.h"

#include <gtest/gtest.h>

using TestSupport::CliRun;
using TestSupport::tarvex;

TEST(TarvexCli, ExtendClosesWithWhatItBuilt)
{
    TestSupport::TempDir dir;
    ASSERT_FALSE(CliFiles::importedSample(dir).isEmpty());

    // The first extension builds the file's components; the second replaces them: each is
    // deleted and built again, and the heat source of the first is reused.
    const QString file = QStringLiteral(TARVEX_TEST_DATA "/builders/extend-board.xml");
    const std::pair<int, const char*> runs[] = {
        {0, "Built 10 entities (Component 3, Heat_Source 1, Solid_Obstruction 3, Subcomponent_Group 3), changed 2 "
            "entities (Material 1, PCB 1), deleted 0 entities; 0 warnings.\n"},
        {3, "Built 9 entities (Component 3, Solid_Obstruction 3, Subcomponent_Group 3), changed 0 entities, "
            "deleted 9 entities (Component 3, Solid_Obstruction 3, Subcomponent_Group 3); 0 warnings.\n"}};
    for (const auto& [replaced, summary] : runs) {
        SCOPED_TRACE(replaced);
        const CliRun extended = tarvex({"extend", file, "--model", dir.path("model.json"), "--board", "PCB"});
        EXPECT_EQ(extended.exitCode, 0) << extended.err.toStdString();
        EXPECT_EQ(extended.out, QStringLiteral("Extended PCB \"PCB\" #4 (%1 of its components replaced).\n%2Saved the "
                                               "model to %3\n")
                                    .arg(replaced)
                                    .arg(QLatin1String(summary), dir.path("model.json")));
        EXPECT_TRUE(extended.err.endsWith("Extend PCB Finished\n")) << extended.err.toStdString();
    }
}

TEST(TarvexCli, ExtensionsAndListsThatCannotBeDoneLeaveTheModelAsItWas)
{
    TestSupport::TempDir dir;
    const QString model = CliFiles::importedSample(dir);
    ASSERT_FALSE(model.isEmpty());
    const QByteArray before = dir.read("model.json");
    const QString truncated = dir.write("truncated.xml", CliFiles::blockFile("B1").left(150));
    dir.write("block.xml", CliFiles::blockFile("B1"));
    const QString chain = TestSupport::writeDoublingChain(dir, 20, "block.xml");
    const QString onlyMissing = dir.write("only-missing.json", R"({"TARVEX_INTERCHANGE_MODEL": {"Import": {"file": "gone.xml"}}})");
    struct Case
    {
        QStringList arguments;
        QString message;
    };
    const Case cases[] = {
        {{"extend", truncated, "--model", model, "--board", "PCB"}, "Failed to import : " + truncated},
        // Only a board can be extended, and it is named as every command names entities.
        {{"extend", dir.path("block.xml"), "--model", model, "--board", "U1"}, "Component \"U1\" #7 is not a board"},
        // 2^20 imports asked for: stopped at the cap, long before.
        {{"import", chain, "--model", model}, "would open more than 10000 files; the import is stopped"},
        {{"import", onlyMissing, "--model", model}, "the import built nothing, so nothing is saved"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        EXPECT_TRUE(CliFiles::failedWith(tarvex(c.arguments), c.message));
        EXPECT_EQ(dir.read("model.json"), before);
    }
    // Into a model not made yet, neither list makes one.
    struct List
    {
        QString file;
        const char* starts;
        const char* ends;
    };
    const List lists[] = {{chain, "Because of the errors nothing is saved; built ", " warnings, 1 error.\n"},
                          {onlyMissing, "Built 0 entities, ", "; 1 warning.\n"}};
    for (const List& list : lists) {
        const CliRun run = tarvex({"import", list.file, "--model", dir.path("new.json")});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.out.startsWith(list.starts) && run.out.endsWith(list.ends)) << run.out.toStdString();
        EXPECT_FALSE(QFile::exists(dir.path("new.json")));
    }
}
