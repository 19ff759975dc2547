// The bound on what import lists may open in one operation: lists naming each other several
// times multiply, and past the cap the whole operation is refused and taken back.
#include "EntityFields.h"
#include "ImportSession.h"

#include "support/ImportLists.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace EntityModel;
using Kind = Tools::ToolProgress::Kind;

TEST(ImportListCap, ListsOpenAtMostTheCapAndAreTakenBackWholePastIt)
{
    // A chain of 10 doubling levels opens 2 + 4 + ... + 1024 = 2046 files, 1024 of them the block.
    struct Case
    {
        int levels;
        size_t cap; // 0: the default
        bool complete;
    };
    const Case cases[] = {{10, 0, true}, {10, 2046, true}, {10, 2045, false}, {20, 0, false}, {20, 50, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 levels, cap %2").arg(c.levels).arg(c.cap).toStdString());
        ImportTest::ImportSession s;
        s.dir.write("block.xml", ImportTest::interchangeFile(ImportTest::OneBlock));
        const QString first = TestSupport::writeDoublingChain(s.dir, c.levels, "block.xml");
        if (c.cap)
            s.importer.setListFileCap(c.cap);
        const QByteArray before = s.json();

        const std::vector<Entity*> built = s.importer.importModel(first, false);
        const QStringList errors = s.progress.texts(Kind::FatalError);
        if (c.complete) {
            EXPECT_EQ(built.size(), 1024u);
            EXPECT_EQ(ImportTest::findAll(s.chassis, Component_t, "C1").size(), 1024u);
            EXPECT_TRUE(errors.isEmpty()) << errors.join(" | ").toStdString();
            continue;
        }
        // The list that would go past the cap is named, with the cap; nothing stays.
        const size_t cap = c.cap ? c.cap : 10000;
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].contains(QRegularExpression(
            QStringLiteral("^list\\d+\\.json : The import list .*/list\\d+\\.json would open more than %1 files; the "
                           "import is stopped and nothing of it is kept$")
                .arg(cap))))
            << errors[0].toStdString();
        EXPECT_TRUE(built.empty());
        EXPECT_EQ(s.json(), before);
        EXPECT_EQ(s.messages().last(), "Importing Tarvex Interchange Model Finished with some errors");
    }
}

TEST(ImportListCap, AnUpdateStoppedByTheCapKeepsTheEarlierImport)
{
    ImportTest::ImportSession s;
    s.dir.write("block.xml", ImportTest::interchangeFile(ImportTest::OneBlock));
    const QString list = TestSupport::writeDoublingChain(s.dir, 2, "block.xml");
    const std::vector<Entity*> earlier = s.importer.importModel(list, false);
    ASSERT_EQ(earlier.size(), 4u);
    const QByteArray before = s.json();

    s.importer.setListFileCap(5);
    EXPECT_TRUE(s.importer.updateModel(list, earlier).empty());
    EXPECT_EQ(s.json(), before);
    EXPECT_TRUE(s.model->getDetachedEntities().empty());
    // The cap holds for each operation, not for the importer's life.
    s.importer.setListFileCap(6);
    EXPECT_EQ(s.importer.updateModel(list, earlier).size(), 4u);
}
