#include "host/BasicVersion.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using FileSystem::BasicVersion;

TEST(BasicVersionTest, OrdersWithMissingComponentsAsZero)
{
    struct Case
    {
        BasicVersion lower;
        BasicVersion upper;
        bool equal;
    };
    const Case cases[] = {
        {BasicVersion{2025}, BasicVersion{2025, 1, 0}, false},
        {BasicVersion{2025, 1}, BasicVersion{2025, 1, 0}, true},
        {BasicVersion{2025, 1, 0, 0}, BasicVersion{2025, 1}, true},
        {BasicVersion{2024, 9}, BasicVersion{2025}, false},
        {BasicVersion{2025, 9}, BasicVersion{2026}, false},
        {BasicVersion{2025, 1, 0}, BasicVersion{2025, 1, 0, 1}, false},
        {BasicVersion{2025, 1, 9}, BasicVersion{2025, 2}, false},
        {BasicVersion{1, 10}, BasicVersion{2, 1}, false},
        {BasicVersion{2, 9}, BasicVersion{2, 10}, false}, // numeric, not text order
        {BasicVersion(), BasicVersion{0, 1}, false},
        {BasicVersion(), BasicVersion{0}, true},
        {BasicVersion(), BasicVersion{0, 0, 0}, true},
        {BasicVersion(), BasicVersion(), true},
        {BasicVersion{std::numeric_limits<unsigned>::max() - 1}, BasicVersion{std::numeric_limits<unsigned>::max()}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lower.toString() + " vs " + c.upper.toString());
        EXPECT_EQ(c.lower == c.upper, c.equal);
        EXPECT_EQ(c.upper == c.lower, c.equal);
        EXPECT_EQ(c.lower != c.upper, !c.equal);
        EXPECT_EQ(c.lower < c.upper, !c.equal);
        EXPECT_FALSE(c.upper < c.lower);
        EXPECT_EQ(c.upper > c.lower, !c.equal);
        EXPECT_FALSE(c.lower > c.upper);
        EXPECT_TRUE(c.lower <= c.upper);
        EXPECT_TRUE(c.upper >= c.lower);
        EXPECT_EQ(c.upper <= c.lower, c.equal);
        EXPECT_EQ(c.lower >= c.upper, c.equal);
    }
}

TEST(BasicVersionTest, ParsesOnlyWellFormedText)
{
    struct Case
    {
        const char* text;
        std::vector<unsigned> components; // empty: rejected
    };
    const Case cases[] = {
        {"2025.1.0", {2025, 1, 0}},
        {"2025", {2025}},
        {"0", {0}},
        {"007.08", {7, 8}},
        {"1.2.3.4.5", {1, 2, 3, 4, 5}},
        {"4294967295", {4294967295u}},
        {"", {}},
        {"2025.", {}},
        {".1", {}},
        {"1..2", {}},
        {".", {}},
        {"-1", {}},
        {"+1", {}},
        {"1.a", {}},
        {"1.2b", {}},
        {" 1", {}},
        {"1 ", {}},
        {"1. 2", {}},
        {"1,2", {}},
        {"4294967296", {}},
        {"99999999999", {}},
        {"1.99999999999999999999999", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(BasicVersion::fromString(c.text).getComponents(), c.components);
        EXPECT_EQ(BasicVersion::fromQString(QString::fromLatin1(c.text)).getComponents(), c.components);
    }
}

TEST(BasicVersionTest, SeparatorsAndNonAsciiDigits)
{
    EXPECT_EQ(BasicVersion::fromString("2025_1_0", '_'), (BasicVersion{2025, 1, 0}));
    EXPECT_TRUE(BasicVersion::fromString("2025.1", '_').isEmpty());
    EXPECT_EQ(BasicVersion::fromQString(QStringLiteral("3-4"), QLatin1Char('-')).getComponents(),
              (std::vector<unsigned>{3, 4}));
    // Digits of other scripts are not version digits.
    EXPECT_TRUE(BasicVersion::fromQString(QString::fromUtf8("\xd9\xa1.2")).isEmpty());
    EXPECT_TRUE(BasicVersion::fromQString(QString::fromUtf8("\xef\xbc\x91")).isEmpty()); // full-width 1
    // A high byte in std::string must not be taken for a separator or a digit.
    EXPECT_TRUE(BasicVersion::fromString("1\xae" "2").isEmpty());
}

TEST(BasicVersionTest, TextRoundTrip)
{
    const BasicVersion version{2025, 1, 0};
    EXPECT_EQ(version.toString(), "2025.1.0");
    EXPECT_EQ(version.toQString(), QStringLiteral("2025.1.0"));
    EXPECT_EQ(version.toQString(QLatin1Char('_')), QStringLiteral("2025_1_0"));
    EXPECT_EQ(version.toString('/'), "2025/1/0");
    EXPECT_EQ(BasicVersion::fromQString(version.toQString()).getComponents(), version.getComponents());
    EXPECT_EQ(BasicVersion().toString(), "");
    EXPECT_TRUE(BasicVersion().toQString().isEmpty());
    // Trailing zeros are kept in the text even though they do not change the ordering.
    EXPECT_EQ(BasicVersion::fromString("2025.0").toString(), "2025.0");
}

TEST(BasicVersionTest, TwoComponentConstructorClampsTheMajor)
{
    EXPECT_EQ(BasicVersion(2025ull, 1u).getComponents(), (std::vector<unsigned>{2025, 1}));
    EXPECT_EQ(BasicVersion(1ull << 40, 2u).getComponents(),
              (std::vector<unsigned>{std::numeric_limits<unsigned>::max(), 2}));
}

} // namespace
