// `tarvex generate`: options, usage errors, and files that read back.
#include "support/CliRun.h"
#include "support/TempDir.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace {

using GenerateRun = TestSupport::CliRun;

// The command under test with `arguments`.
GenerateRun tarvexGenerate(const QStringList& arguments) { return TestSupport::tarvex(QStringList{"generate"} + arguments); }

} // namespace

TEST(TarvexGenerate, WritesTheSameFileForTheSameOptionsInEveryProcess)
{
    TestSupport::TempDir dir;
    const QString first = dir.path("first.xml");
    const QString second = dir.path("second.xml");
    const QStringList options{"--components", "9", "--balls", "6", "--layers", "3", "--seed", "42"};
    const GenerateRun run = tarvexGenerate(options + QStringList{"-o", first});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("Wrote " + first + " (")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("current layout"));
    ASSERT_EQ(tarvexGenerate(options + QStringList{"--output", second}).exitCode, 0);
    const QByteArray bytes = dir.read("first.xml");
    EXPECT_TRUE(bytes.contains("<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\">"));
    EXPECT_EQ(bytes.count("<SolderBall "), 6);
    EXPECT_EQ(dir.read("second.xml"), bytes);

    const GenerateRun legacy = tarvexGenerate(options + QStringList{"--legacy", "-o", second});
    ASSERT_EQ(legacy.exitCode, 0) << legacy.err.toStdString();
    EXPECT_TRUE(legacy.out.contains("older layout"));
    EXPECT_TRUE(dir.read("second.xml").contains("<NORVANE_SIMPLIFIED_DESIGN_THERMAL_MODEL>"));

    // The generated file is an interchange model that the import reads.
    QProcess import;
    import.start(QStringLiteral(TARVEX_CLI), {"import", second});
    import.waitForFinished(60000);
    EXPECT_EQ(import.exitCode(), 0) << import.readAllStandardError().toStdString();
}

TEST(TarvexGenerate, UsageErrorsExitWithTwoAndWriteNothing)
{
    TestSupport::TempDir dir;
    const QString out = dir.path("out.xml");
    struct Case
    {
        QStringList options;
        const char* message;
    };
    const Case cases[] = {
        {{"--balls", "1", "-o", out}, "generate needs --components M, --balls K and -o FILE"},
        {{"--components", "1", "-o", out}, "generate needs --components M, --balls K and -o FILE"},
        {{"--components", "1", "--balls", "1"}, "generate needs --components M, --balls K and -o FILE"},
        {{"--components", "-1", "--balls", "1", "-o", out}, "--components takes a whole number from 0 to 1000000, not '-1'"},
        {{"--components", "ten", "--balls", "1", "-o", out}, "--components takes a whole number"},
        {{"--components", "1", "--balls", "1.5", "-o", out}, "--balls takes a whole number from 0 to 5000000, not '1.5'"},
        {{"--components", "1", "--balls", "1", "--layers", "0", "-o", out}, "--layers takes a whole number from 1 to 100"},
        {{"--components", "1", "--balls", "1", "--seed", "-3", "-o", out}, "--seed takes a whole number"},
        {{"--components", "1", "--balls", "1", "-o", out, "extra"}, "unexpected argument 'extra'"},
        {{"--components", "1", "--balls", "1", "--colour", "-o", out}, "Unknown option 'colour'"},
        {{"--components", "1", "--balls", "1", "-o", ""}, "-o needs a file name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        const GenerateRun run = tarvexGenerate(c.options);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(c.message))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("\n\nUsage: tarvex generate [options]\n")) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }

    const GenerateRun help = tarvexGenerate({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--legacy")) << help.out.toStdString();
    // A file that cannot be written is a failure, not a usage error.
    const GenerateRun unwritable = tarvexGenerate({"--components", "1", "--balls", "1", "-o", dir.path("no/such/folder/x.xml")});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.err.startsWith("error: The folder " + dir.path("no/such/folder") + " does not exist while saving " +
                                          dir.path("no/such/folder/x.xml") + "; no file was made"))
        << unwritable.err.toStdString();
    // The overview lists the command.
    QProcess overview;
    overview.start(QStringLiteral(TARVEX_CLI), {"--help"});
    overview.waitForFinished(60000);
    EXPECT_TRUE(overview.readAllStandardOutput().contains("  generate --components M --balls K -o FILE"));
}
