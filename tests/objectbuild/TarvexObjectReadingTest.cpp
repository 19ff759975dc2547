#include "objectbuild/ObjectBuilderTestSupport.h"
#include <tarvex/objectbuild/TarvexObjectReading.h>

#include <gtest/gtest.h>

#include <thread>
#include <tuple>

using namespace Tarvex;
using TestSupport::fr4;
using TestSupport::geom;
using TestSupport::interchangeFile;
using Outcome = TarvexObjectReading::Outcome;

namespace {

// What a sink was told, in order, and where its step counts ended.
QStringList told(const Tools::RecordingProgress& progress)
{
    QStringList lines;
    for (const Tools::RecordingProgress::Entry& entry : progress.entries())
        lines << QString::number(int(entry.kind)) + QLatin1Char(' ') + entry.text;
    return lines << QStringLiteral("resets %1, steps %2 of %3")
                        .arg(progress.resets())
                        .arg(progress.step())
                        .arg(progress.totalSteps());
}

} // namespace

// A file read beforehand on another thread ends as the same file read on the spot: the same
// outcome, the same reports in the same order, the same step counts and the same tree,
// whether it builds, cannot be read, has a bent outline or is missing. So does a reading
// finished without having been read. A second finish takes nothing.
TEST(TarvexObjectReading, ReadingBeforehandGivesWhatReadingNowGives)
{
    const QString twoNodes = "<Geom ObjectName=\"N\" Name=\"N\" Type=\"Block\" dz=\"1\"><node x=\"0\" y=\"0\" z=\"0\"/>"
                             "<node x=\"1\" y=\"0\" z=\"0\"/></Geom>";
    const QString bent = "<Geom ObjectName=\"B\" Name=\"B\" Type=\"Block\" dz=\"1\"><node x=\"0\" y=\"0\" z=\"0\"/>"
                         "<node x=\"1\" y=\"0\" z=\"0.5\"/><node x=\"1\" y=\"1\" z=\"0\"/></Geom>";
    const std::vector<std::tuple<const char*, QByteArray, Outcome, int>> cases = { // what, bytes, outcome, trees
        {"a board with a warning",
         interchangeFile("2025.2", twoNodes + geom("MainPCB", "MainPCB", "PCB", 0, 0, 10, 10, 0, 1, fr4) +
                                       geom("U1", "U1", "Block", 1, 1, 2, 2, 1, 1, fr4) +
                                       geom("U2", "U2", "Block", 3, 3, 4, 4, 1, 1, fr4)),
         Outcome::Built, 3},
        {"a file cut short", "<TARVEX_INTERCHANGE_MODEL><GEOMSet>", Outcome::NotRead, 0},
        {"a bent outline", interchangeFile("2025.2", bent), Outcome::Stopped, 0},
        {"a missing file", QByteArray(), Outcome::NotRead, 0},
    };
    const TestSupport::TempDir dir;
    for (const auto& [what, bytes, outcome, trees] : cases) {
        SCOPED_TRACE(what);
        const QString path = bytes.isEmpty() ? dir.path("gone.xml") : dir.write("model.xml", bytes);

        Tools::RecordingProgress now;
        std::vector<std::unique_ptr<TarvexObject>> readNow;
        EXPECT_EQ(TarvexObjectReading::readNow(path, &now, readNow), outcome);
        EXPECT_EQ(int(readNow.size()), trees);

        for (const bool beforehand : {true, false}) {
            SCOPED_TRACE(beforehand ? "read beforehand" : "read when finished");
            TarvexObjectReading reading(path);
            EXPECT_EQ(reading.getPath(), path);
            if (beforehand)
                std::thread([&reading] { reading.read(); }).join();
            Tools::RecordingProgress later;
            std::vector<std::unique_ptr<TarvexObject>> readLater;
            EXPECT_EQ(reading.finish(&later, readLater), outcome);
            EXPECT_EQ(told(later), told(now));
            EXPECT_EQ(TestSupport::describeTree(readLater), TestSupport::describeTree(readNow));

            Tools::RecordingProgress again;
            std::vector<std::unique_ptr<TarvexObject>> second;
            EXPECT_EQ(reading.finish(&again, second), Outcome::NotRead);
            EXPECT_TRUE(again.entries().empty() && second.empty());
        }
    }
}
