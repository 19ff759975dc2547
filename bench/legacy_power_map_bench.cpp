// Reading legacy power maps of 1 000 to 100 000 blocks, beside the bare reading of the same
// file's numbers, to show how placing grows with the number of blocks.
#include <tarvex/maps/TarvexLegacyPowerMapReader.h>

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <random>

namespace {

enum Layout { Tiles = 0, Overlapping = 1 };

// A 10 mm die with `blocks` power blocks. Tiles: the blocks tile the die row by row, as the
// power maps of a floor plan do. Overlapping: blocks of 20 to 200 um at random places on a
// 1 um grid, so that they overlap and cut each other; the number of rectangles then grows
// much faster than the number of blocks.
QString mapFile(int blocks, int layout)
{
    static QTemporaryDir dir;
    static std::map<std::pair<int, int>, QString> files;
    auto& path = files[{blocks, layout}];
    if (!path.isEmpty())
        return path;
    path = dir.filePath(QStringLiteral("map-%1-%2.txt").arg(blocks).arg(layout));
    QByteArray text = "Length Unit : um\nPOWER Unit : mW\nPOWER_MAP_AREA 0 0 10000 10000\nAREA_POWER_MAP\n" +
                      QByteArray::number(blocks) + '\n';
    auto block = [&text](double x0, double y0, double x1, double y1) {
        text += QByteArray::number(x0) + ' ' + QByteArray::number(y0) + ' ' + QByteArray::number(x1) + ' ' +
                QByteArray::number(y1) + " 1.5\n";
    };
    if (layout == Tiles) {
        const int side = int(std::ceil(std::sqrt(double(blocks))));
        const double pitch = 10000.0 / side;
        for (int i = 0; i < blocks; ++i)
            block((i % side) * pitch, (i / side) * pitch, (i % side + 1) * pitch, (i / side + 1) * pitch);
    } else {
        std::mt19937 random(blocks);
        std::uniform_int_distribution<int> at(0, 9800);
        std::uniform_int_distribution<int> size(20, 200);
        for (int i = 0; i < blocks; ++i) {
            const int x = at(random);
            const int y = at(random);
            block(x, y, x + size(random), y + size(random));
        }
    }
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text);
    return path;
}

void BM_BareNumbers(benchmark::State& state)
{
    const QString path = mapFile(int(state.range(0)), Tiles);
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        double sum = 0;
        while (!file.atEnd()) {
            for (const QByteArray& cell : file.readLine().simplified().split(' '))
                sum += cell.toDouble();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_LegacyPowerMap(benchmark::State& state, int layout)
{
    const QString path = mapFile(int(state.range(0)), layout);
    size_t rectangles = 0;
    for (auto _ : state) {
        std::vector<Tarvex::TarvexPowerMapArea> areas;
        Tarvex::TarvexLegacyPowerMapReader().read(path, areas);
        rectangles = areas.size();
        benchmark::DoNotOptimize(areas.data());
    }
    state.counters["rectangles"] = double(rectangles);
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_BareNumbers)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK_CAPTURE(BM_LegacyPowerMap, tiles, Tiles)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK_CAPTURE(BM_LegacyPowerMap, overlapping, Overlapping)
    ->RangeMultiplier(10)
    ->Range(1000, 10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

BENCHMARK_MAIN();
