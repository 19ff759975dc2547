#include <tarvex/interchange/TXMFileVersion.h>
#include <tarvex/interchange/TarvexTXMJSONUpdater.h>
#include <tarvex/interchange/TarvexTXMXMLUpdater.h>

#include <gtest/gtest.h>

using Tarvex::TXMFileVersion;

TEST(TXMFileVersion, CompatibilityAndUpdateDecisions)
{
    // One row per version text: where it stands against the format's versions and what the
    // readers decide for it.
    struct Case
    {
        const char* text;
        bool compatible;      // TXMFileVersion::isCompatible
        bool xmlNeedsUpdate;  // not newer than 2025.1.0
        bool jsonNeedsUpdate; // below 2025.1.0
    };
    const Case cases[] = {
        {"", false, true, true}, // missing version: the oldest layout
        {"2024.9", false, true, true},          {"2025", true, true, true},
        {"2025.1", true, true, false}, // equal to 2025.1.0: missing components count as 0
        {"2025.1.0", true, true, false},        {"2025.1.0.1", true, false, false},
        {"2026", false, false, false},          {"2025.x", false, true, true}, // unreadable: the empty version
    };
    const Tarvex::TarvexTXMXMLUpdater xmlUpdater;
    const Tarvex::TarvexTXMJSONUpdater jsonUpdater;
    for (const Case& row : cases) {
        SCOPED_TRACE(row.text);
        const TXMFileVersion version = TXMFileVersion::fromString(row.text);
        EXPECT_EQ(TXMFileVersion::isCompatible(version), row.compatible);
        EXPECT_EQ(xmlUpdater.needsUpdate(version), row.xmlNeedsUpdate);
        EXPECT_EQ(jsonUpdater.needsUpdate(version), row.jsonNeedsUpdate);
    }
    // The separator is handed on to the parser.
    EXPECT_EQ(TXMFileVersion::fromString("2025-1-0", '-').getComponents(), (std::vector<unsigned>{2025, 1, 0}));
    EXPECT_EQ(TXMFileVersion::fromQString(QStringLiteral("7_3"), QLatin1Char('_')).toQString(), QStringLiteral("7.3"));
}
