#include <tarvex/host/BasicVersion.h>

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

namespace {

using FileSystem::BasicVersion;

TEST(BasicVersionTest, OrdersWithMissingComponentsAsZero)
{
    // Each pair in order, and whether the two are equal.
    const std::tuple<BasicVersion, BasicVersion, bool> cases[] = {
        {BasicVersion{2025}, BasicVersion{2025, 1, 0}, false},
        {BasicVersion{2025, 1, 0, 0}, BasicVersion{2025, 1}, true},
        {BasicVersion{2025, 9}, BasicVersion{2026}, false},
        {BasicVersion{2, 9}, BasicVersion{2, 10}, false}, // numeric, not text order
        {BasicVersion(), BasicVersion{0, 1}, false},
        {BasicVersion(), BasicVersion{0, 0}, true},
        {BasicVersion{std::numeric_limits<unsigned>::max() - 1}, BasicVersion{std::numeric_limits<unsigned>::max()}, false},
    };
    for (const auto& [lower, upper, equal] : cases) {
        SCOPED_TRACE(lower.toString() + " vs " + upper.toString());
        EXPECT_EQ(lower == upper, equal);
        EXPECT_EQ(lower < upper, !equal);
        EXPECT_TRUE(lower <= upper && !(upper < lower));
    }
}

TEST(BasicVersionTest, ParsesAndWritesOnlyWellFormedText)
{
    // Each text with its components; none when it is rejected.
    const std::pair<const char*, std::vector<unsigned>> cases[] = {
        {"2025.1.0", {2025, 1, 0}}, {"007.08", {7, 8}}, {"4294967295", {4294967295u}},
        {"", {}},         {"2025.", {}},       {".1", {}},         {"1..2", {}},    {"-1", {}},
        {"1.2b", {}},     {" 1", {}},          {"4294967296", {}}, {"1.99999999999999999999999", {}},
    };
    for (const auto& [text, components] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(BasicVersion::fromString(text).getComponents(), components);
        EXPECT_EQ(BasicVersion::fromQString(QString::fromLatin1(text)).getComponents(), components);
    }
    EXPECT_EQ(BasicVersion::fromString("2025_1_0", '_'), (BasicVersion{2025, 1, 0}));
    EXPECT_TRUE(BasicVersion::fromString("2025.1", '_').isEmpty());
    EXPECT_EQ(BasicVersion::fromQString(QStringLiteral("3-4"), QLatin1Char('-')), (BasicVersion{3, 4}));
    // Digits of other scripts are not version digits, nor is a high byte of std::string.
    EXPECT_TRUE(BasicVersion::fromQString(QString::fromUtf8("\xd9\xa1.2")).isEmpty());
    EXPECT_TRUE(BasicVersion::fromString("1\xae" "2").isEmpty());

    EXPECT_EQ((BasicVersion{2025, 1, 0}).toString('/'), "2025/1/0");
    // Trailing zeros are kept in the text even though they do not change the ordering.
    EXPECT_EQ(BasicVersion::fromQString(QStringLiteral("2025.0")).toQString(), QStringLiteral("2025.0"));
    EXPECT_EQ(BasicVersion(1ull << 40, 2u).getComponents(), (std::vector<unsigned>{std::numeric_limits<unsigned>::max(), 2}));
}

} // namespace
