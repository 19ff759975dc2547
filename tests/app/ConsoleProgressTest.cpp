// The progress line of the tool: drawn on a terminal only, named after its phase, and
// redrawn at most ten times a second however many steps come.
#include "Console.h"
#include "ConsoleProgress.h"

#include <QFile>
#include <QStandardPaths>

#include <cstdio>

#include <gtest/gtest.h>

using Tools::ConsoleProgress;
using Tools::ToolProgress;

namespace {

// What a sink wrote to `stream`.
QByteArray written(std::FILE* stream)
{
    std::fflush(stream);
    std::rewind(stream);
    QByteArray bytes;
    char buffer[4096];
    size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, stream)) > 0)
        bytes.append(buffer, int(read));
    return bytes;
}

} // namespace

TEST(ConsoleProgress, RedrawsAtMostTenTimesASecondWithEachPhaseNamed)
{
    std::FILE* stream = std::tmpfile();
    ASSERT_TRUE(stream);
    qint64 now = 0;
    {
        ConsoleProgress progress(stream, true, [&now] { return now; });
        progress.setCountedPhases({"Building objects", "Building entities"});
        progress.beginPhase("Reading board.xml");
        EXPECT_EQ(progress.redraws(), 1) << "said at once";
        // Two phases of 1000 steps, one every 5 ms: 5 s each, so about 50 redraws each.
        for (const char* phase : {"Building objects", "Building entities"}) {
            SCOPED_TRACE(phase);
            const int before = progress.redraws();
            progress.setTotalSteps(1000);
            for (quint64 step = 1; step <= 1000; ++step) {
                now += 5;
                progress.setStep(step);
            }
            EXPECT_EQ(progress.redraws() - before, 50);
        }
        // A warning is written whole, on a line of its own; the line comes back with the next
        // redraw, not at once.
        progress.post(ToolProgress::Kind::Warning, "one thing");
        progress.beginPhase("Saving model.json");
        EXPECT_EQ(progress.redraws(), 1 + 2 * 50 + 1);
    }
    const QByteArray text = written(stream);
    EXPECT_EQ(text.count('\r'), 1 + 2 * 50 + 1 + 2); // the draws, the clearing for the warning and at the end
    for (const char* shown : {"\r\033[KReading board.xml ...", "\r\033[KBuilding objects [##########          ]  50% (500/1000)",
                              "\r\033[KBuilding entities [####################] 100% (1000/1000)",
                              "\r\033[Kwarning: one thing\n", "\r\033[KSaving model.json ..."})
        EXPECT_TRUE(text.contains(shown)) << shown << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains("Building objects [####################] 100% (1000/1000)\r\033[KBuilding objects"));
    std::fclose(stream);

    // Not a terminal: the messages only, no line drawn.
    std::FILE* plain = std::tmpfile();
    {
        ConsoleProgress progress(plain, false, [&now] { return now; });
        progress.setCountedPhases({"Building objects"});
        progress.beginPhase("Reading board.xml");
        progress.setTotalSteps(10);
        progress.setStep(5);
        progress.post(ToolProgress::Kind::FatalError, "broken");
        EXPECT_EQ(progress.redraws(), 0);
    }
    EXPECT_EQ(written(plain), "error: broken\n");
    std::fclose(plain);
}
