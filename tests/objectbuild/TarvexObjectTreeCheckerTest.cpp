#include "objectbuild/ObjectBuilderTestSupport.h"

#include <tarvex/objectbuild/TarvexObjectTreeChecker.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace Tarvex;
using TestSupport::fr4;
using TestSupport::geom;
using TestSupport::interchangeFile;

namespace {

// A 10 x 10 mm board, 1.6 mm thick.
const QString board = geom("PCB", "PCB_Core", "PCB", 0, 0, 10, 10, 0, 1.6, fr4);

QString ball(const QString& name, double x, double y, double z = 1.6, const QString& tag = QStringLiteral("SolderBall"))
{
    return QStringLiteral("<%1 Name=\"%2\" MatName=\"FR4\" d1=\"0.4\" d2=\"0.4\" dmax=\"0.5\" ht=\"0.3\" "
                          "position=\"%3,%4,%5\"/>")
        .arg(tag, name)
        .arg(x)
        .arg(y)
        .arg(z);
}

QString balls(const QString& content) { return QStringLiteral("<SolderBallSet>") + content + "</SolderBallSet>"; }

QString bumps(const QString& content) { return QStringLiteral("<SolderBumpSet>") + content + "</SolderBumpSet>"; }

// The problems the checker finds in the tree of `bytes`, as "kind subject: message".
QStringList problemsOf(const QByteArray& bytes)
{
    const TestSupport::TempDir dir;
    const auto built = TestSupport::build(dir, bytes);
    if (!built->read)
        return {QStringLiteral("not read")};
    const QString file = dir.path(QStringLiteral("model.xml"));
    QStringList lines;
    for (const TarvexFileProblem& problem : TarvexObjectTreeChecker(file).check(built->objects)) {
        EXPECT_EQ(problem.file, file);
        lines << TarvexFileProblem::kindName(problem.kind) + ' ' + problem.subject + ": " + problem.message;
    }
    return lines;
}

} // namespace

TEST(TarvexObjectTreeChecker, FindsPartsOutsideBoardsOverlappingJointsAndRepeatedNames)
{
    const QString version = QStringLiteral("2025.1.0");
    const QString package = geom("U1", "U1_Substrate", "Package", 5, 5, 9, 9, 1.9, 0.4, fr4);
    const struct
    {
        const char* what;
        QByteArray file;
        QStringList problems;
    } cases[] = {
        {"parts on the board, a heat sink on a package and balls below it lie on the board",
         interchangeFile(version,
                         board + geom("C1", "C1", "Block", 2, 2, 4, 4, 1.6, 1, fr4) + package +
                             geom("HS1", "HS1", "HeatSink", 5, 5, 9, 9, 2.3, 1, fr4) +
                             geom("HS1", "HS1", "HeatSink", 5, 5, 6, 9, 3.3, 3, fr4),
                         balls(ball("U1_A1", 6, 6))),
         {}},
        {"a block over the edge of the board, a package beside it with a heat sink on it",
         interchangeFile(version,
                         board + geom("C1", "C1", "Block", 8, 2, 12, 4, 1.6, 1, fr4) +
                             geom("U2", "U2_Substrate", "Package", 20, 0, 24, 4, 0, 0.4, fr4) +
                             geom("HS2", "HS2", "HeatSink", 20, 0, 24, 4, 0.4, 1, fr4)),
         {"uncontained-part U2: Package \"U2\" lies outside every board",
          "uncontained-part C1: Block \"C1\" lies outside every board and package"}},
        {"without a board a package holds what lies below it",
         interchangeFile(version, package, balls(ball("U1_A1", 6, 6, 1.6) + ball("B9", 12, 6, 1.6))),
         {"uncontained-part B9: SolderBall \"B9\" lies outside every board and package"}},
        {"joints that share space overlap; touching, or one above the other, they do not",
         interchangeFile(version, board,
                         balls(ball("B1", 1, 1) + ball("B2", 1.3, 1) + ball("B3", 3, 1) + ball("B4", 3.5, 1) +
                               ball("B5", 5, 1) + ball("B6", 7, 1)) +
                             bumps(ball("D1", 5, 1, 3, "SolderBump") + ball("D2", 7.2, 1, 1.7, "SolderBump"))),
         {"overlapping-balls B1: solder ball \"B1\" overlaps solder ball \"B2\": centres 0.3 mm apart, diameters "
          "0.5 and 0.5 mm",
          "overlapping-balls B6: solder ball \"B6\" overlaps solder bump \"D2\": centres 0.2 mm apart, diameters "
          "0.5 and 0.5 mm"}},
        {"a name two Geoms or two balls hold; the pieces of one heat sink share theirs",
         interchangeFile(version,
                         board + geom("A", "X", "Block", 1, 1, 2, 2, 1.6, 1, fr4) +
                             geom("B", "X", "Block", 3, 3, 4, 4, 1.6, 1, fr4) +
                             geom("HS1", "HS1", "HeatSink", 5, 5, 9, 9, 1.6, 1, fr4) +
                             geom("HS1", "HS1", "HeatSink", 5, 5, 6, 9, 2.6, 3, fr4),
                         balls(ball("B1", 1, 8) + ball("B1", 3, 8) + ball("B2", 5, 8))),
         {"duplicate-name X: 2 Geoms are named \"X\"", "duplicate-name B1: 2 solder balls are named \"B1\""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(problemsOf(c.file), c.problems);
    }
}

TEST(TarvexObjectTreeChecker, FindsEveryOverlapOfARowWhateverTheOrderOfTheFile)
{
    // 40 balls 0.4 mm apart, 0.5 mm wide: each overlaps its neighbours, none the next but one.
    std::vector<int> order(40);
    for (int i = 0; i < 40; ++i)
        order[size_t(i)] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    QString row;
    for (const int i : order)
        row += ball(QStringLiteral("B%1").arg(i), 0.5 + 0.4 * i, 5);
    const QString wideBoard = geom("PCB", "PCB_Core", "PCB", 0, 0, 20, 10, 0, 1.6, fr4);
    const QStringList problems = problemsOf(interchangeFile(QStringLiteral("2025.1.0"), wideBoard, balls(row)));
    EXPECT_EQ(problems.size(), 39);
    for (int i = 0; i + 1 < 40; ++i) {
        const QString first = QStringLiteral("\"B%1\"").arg(i);
        const QString second = QStringLiteral("\"B%1\"").arg(i + 1);
        EXPECT_EQ(std::count_if(problems.begin(), problems.end(),
                                [&](const QString& line) { return line.contains(first) && line.contains(second); }),
                  1)
            << i;
    }
}
