#include "objects/TarvexPowerSourceLegacyPowerMap.h"
#include "objects/TarvexPowerSourcePowerMap.h"
#include "objects/TarvexPowerSourceTable.h"
#include "objects/TarvexPowerSourceVisitorConst.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

using namespace Tarvex;

namespace {

TarvexPowerSource::Common common(const QString& name, const QString& objectName)
{
    TarvexPowerSource::Common values;
    values.name = name;
    values.objectName = objectName;
    return values;
}

std::shared_ptr<TarvexPowerSource> source(const QString& name, const QString& objectName)
{
    return std::make_shared<TarvexPowerSourcePowerMap>(common(name, objectName), false, false, 1.0, 1.0, QString());
}

QStringList names(const TarvexPowerSourceTable::PowerSourceList& sources)
{
    QStringList result;
    for (const auto& entry : sources)
        result << entry->getName();
    return result;
}

/// Records which visit ran and what the visited source carried.
class RecordingVisitor : public TarvexPowerSourceVisitorConst
{
public:
    QStringList visits;
    const void* last = nullptr;

    void visitLegacyPowerMap(const TarvexPowerSourceLegacyPowerMap& source) override
    {
        visits << QStringLiteral("legacy %1 flip %2,%3 file %4")
                      .arg(source.getName())
                      .arg(source.getFlipAxis().x)
                      .arg(source.getFlipAxis().y)
                      .arg(source.getPowerMapFile());
        last = &source;
    }
    void visitPowerMap(const TarvexPowerSourcePowerMap& source) override
    {
        visits << QStringLiteral("map %1 flip %2,%3 file %4")
                      .arg(source.getName())
                      .arg(int(source.getFlipX()))
                      .arg(int(source.getFlipY()))
                      .arg(source.getPowerMapFile());
        last = &source;
    }
};

} // namespace

TEST(TarvexPowerSourceTest, VisitorsDispatchByClass)
{
    const auto current = std::make_shared<TarvexPowerSourcePowerMap>(common("P1", "U1"), true, false, 2.0, 5.0,
                                                                     "/maps/p1.txt");
    const auto legacy = std::make_shared<TarvexPowerSourceLegacyPowerMap>(common("P2", "U1"), Geometry::Vec2(1, 0),
                                                                          1.0, 5.0, QString());
    struct Row
    {
        std::shared_ptr<TarvexPowerSource> source;
        QString visit;
    };
    for (const Row& row : {Row{current, "map P1 flip 1,0 file /maps/p1.txt"}, Row{legacy, "legacy P2 flip 1,0 file "}}) {
        SCOPED_TRACE(row.visit.toStdString());
        RecordingVisitor visitor;
        const TarvexPowerSource& constSource = *row.source;
        constSource.accept(visitor);
        row.source->accept(visitor);
        EXPECT_EQ(visitor.visits, QStringList({row.visit, row.visit}));
        EXPECT_EQ(visitor.last, row.source.get());
    }
}

TEST(TarvexPowerSourceTableTest, LookupReturnsEverySourceOfTheObject)
{
    TarvexPowerSourceTable table;
    table.insert(source("S1", "U1"));
    table.insert(source("S2", "BRD"));
    table.insert(source("S3", "U10"));
    table.insert(std::make_shared<TarvexPowerSourceLegacyPowerMap>(common("S4", "U1"), Geometry::Vec2(), 1.0, 0.0,
                                                                   QString()));
    table.insert(source("S5", "A"));
    table.insert(nullptr);
    ASSERT_EQ(table.size(), 5);

    QStringList objects;
    for (const auto& entry : table.getPowerSources())
        objects << entry->getObjectName();
    EXPECT_EQ(objects, QStringList({"A", "BRD", "U1", "U1", "U10"}));

    // Both sources of U1, neither of U10 (which U1 is a prefix of).
    const auto u1 = table.find("U1");
    ASSERT_EQ(u1.size(), 2u);
    EXPECT_TRUE(names(u1).contains("S1"));
    EXPECT_TRUE(names(u1).contains("S4"));
    EXPECT_EQ(names(table.find("U10")), QStringList({"S3"}));
    EXPECT_EQ(names(table.find("A")), QStringList({"S5"}));
    for (const char* missing : {"U0", "", "Z", "u1", "BR"})
        EXPECT_TRUE(table.find(missing).empty()) << missing;
    EXPECT_TRUE(TarvexPowerSourceTable().find("U1").empty());
}
