#include <tarvex/builders/TarvexAddressTable.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using Tarvex::TarvexAddressTable;

TEST(TarvexAddressTable, EveryEntryIsFoundAgainThroughGrowthAndAbsentOnesAreNot)
{
    // Addresses as the builders see them: heap blocks, and neighbours within one array.
    std::vector<std::unique_ptr<int>> blocks;
    for (int i = 0; i < 3000; ++i)
        blocks.push_back(std::make_unique<int>(i));
    std::vector<double> array(3000);

    for (const bool reserved : {false, true}) {
        TarvexAddressTable<int> table;
        if (reserved)
            table.reserve(6000);
        for (int i = 0; i < 3000; ++i) {
            const auto block = table.insert(blocks[size_t(i)].get());
            ASSERT_TRUE(block.second);
            *block.first = i;
            *table.insert(&array[size_t(i)]).first = -i;
        }
        EXPECT_EQ(table.size(), 6000u);

        // Inserting a key again gives its value back and makes no entry.
        const auto again = table.insert(blocks[7].get());
        EXPECT_FALSE(again.second);
        EXPECT_EQ(*again.first, 7);
        EXPECT_EQ(table.size(), 6000u);

        bool allFound = true;
        for (int i = 0; i < 3000; ++i) {
            const int* block = table.find(blocks[size_t(i)].get());
            const int* item = table.find(&array[size_t(i)]);
            allFound = allFound && block && *block == i && item && *item == -i;
        }
        EXPECT_TRUE(allFound) << (reserved ? "reserved" : "grown");
        const int other = 0;
        EXPECT_EQ(table.find(&other), nullptr);
    }

    const TarvexAddressTable<int> empty;
    EXPECT_EQ(empty.find(&array[0]), nullptr);
}
