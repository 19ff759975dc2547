// Names given out by one export: safe for the project, file names and scripts, and never
// given out twice.
#include "exchange3d/ExportTestSupport.h"

#include <tarvex/exchange3d/Tarvex3DNameRegistry.h>

#include <gtest/gtest.h>

using Tarvex3D::Tarvex3DNameRegistry;

TEST(NameRegistryTest, UnsafeCharactersBecomeUnderscores)
{
    EXPECT_EQ(Tarvex3DNameRegistry::safeName("Block 1.a"), "Block_1_a");
    EXPECT_EQ(Tarvex3DNameRegistry::safeName("a/b\\c{d}e:f"), "a_b_c_d_e_f");
    EXPECT_EQ(Tarvex3DNameRegistry::safeName(QStringLiteral("tab\there\nnew") + QChar(0x7f)), "tab_here_new_");
    EXPECT_EQ(Tarvex3DNameRegistry::safeName(QStringLiteral("Kühler-2 (x)")), QStringLiteral("Kühler-2_(x)"));
}

TEST(NameRegistryTest, EveryNameGivenOutIsUniqueWhateverTheOrder)
{
    // The names asked for in turn and those given.
    const std::pair<QStringList, QStringList> cases[] = {
        {{"N", "N", "N"}, {"N", "N_1", "N_2"}},
        // An entity literally named like the second "N" takes its name first.
        {{"N_1", "N", "N", "N"}, {"N_1", "N", "N_2", "N_3"}},
        {{"N", "N", "N_1", "N_1"}, {"N", "N_1", "N_1_1", "N_1_2"}},
        // Names equal once made safe collide as well.
        {{"a b", "a.b", "a_b"}, {"a_b", "a_b_1", "a_b_2"}},
        {{"", ""}, {"", "_1"}},
    };
    for (const auto& [asked, expected] : cases) {
        Tarvex3DNameRegistry registry;
        QStringList given;
        for (const QString& name : asked)
            given << registry.uniqueName(name);
        EXPECT_EQ(given, expected) << asked.join(',').toStdString();
        EXPECT_EQ(given.removeDuplicates(), 0);
    }
    Tarvex3DNameRegistry registry;
    registry.uniqueName("N");
    registry.clear();
    EXPECT_EQ(registry.uniqueName("N"), "N") << "a cleared registry starts again";
}
