// Reading area power maps of 1 000 to 100 000 blocks: the bare parse of the file beside the
// whole read, and the slicing of the blocks alone, to show how slicing grows with the
// number of blocks. "blocks_out" counts the blocks after slicing: about nine per block when
// blocks overlap a few others, many more when the die is covered ever more deeply.
#include <tarvex/maps/NorvaneTXMFormatParser.h>
#include <tarvex/maps/TarvexPowerBlockSlicer.h>
#include <tarvex/maps/TarvexPowerMapImporter.h>

#include <QFile>
#include <QTemporaryDir>

#include "BenchMain.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <random>

namespace {

using Tarvex::TarvexPowerBlockSlicer;

enum Layout { Tiles = 0, Overlapping = 1, Dense = 2 };

constexpr double Die = 10000.0; // um

struct MapData
{
    std::vector<TarvexPowerBlockSlicer::Block> blocks;
    std::vector<double> powers;
};

// Tiles: the blocks tile the die row by row, as the maps of a floor plan do. Overlapping:
// blocks at random places whose size shrinks with their number so that they cover the die
// about once whatever their number; each overlaps a few others. Dense: blocks of 20 to
// 200 um at random places, so that the die is covered ever more deeply as they grow in
// number.
const MapData& mapData(int count, int layout)
{
    static std::map<std::pair<int, int>, MapData> made;
    MapData& data = made[{count, layout}];
    if (!data.blocks.empty())
        return data;
    std::mt19937 random(unsigned(count * 3 + layout));
    const auto rounded = [](double value) { return std::round(value * 10) / 10; }; // 0.1 um, as files hold them
    if (layout == Tiles) {
        const int side = int(std::ceil(std::sqrt(double(count))));
        const double pitch = Die / side;
        for (int i = 0; i < count; ++i)
            data.blocks.push_back({rounded((i % side) * pitch), rounded((i / side) * pitch),
                                   rounded((i % side + 1) * pitch), rounded((i / side + 1) * pitch)});
    } else {
        const double typical = layout == Overlapping ? Die / std::sqrt(double(count)) : 110.0;
        std::uniform_real_distribution<double> size(layout == Overlapping ? typical / 2 : 20.0,
                                                     layout == Overlapping ? typical * 1.5 : 200.0);
        for (int i = 0; i < count; ++i) {
            const double width = rounded(size(random));
            const double height = rounded(size(random));
            std::uniform_real_distribution<double> x(0, Die - width);
            std::uniform_real_distribution<double> y(0, Die - height);
            const double x0 = rounded(x(random));
            const double y0 = rounded(y(random));
            data.blocks.push_back({x0, y0, x0 + width, y0 + height});
        }
    }
    std::uniform_real_distribution<double> power(0.01, 1.0);
    for (int i = 0; i < count; ++i)
        data.powers.push_back(std::round(power(random) * 1000) / 1000);
    return data;
}

QString mapFile(int count, int layout)
{
    static QTemporaryDir dir;
    static std::map<std::pair<int, int>, QString> files;
    QString& path = files[{count, layout}];
    if (!path.isEmpty())
        return path;
    const MapData& data = mapData(count, layout);
    QByteArray text = "POWER\tW\nLENGTH\tum\nDIE_AREA 0 0 10000 10000\nAREA_POWER_MAP\n" + QByteArray::number(count) + '\n';
    for (size_t i = 0; i < data.blocks.size(); ++i) {
        const auto& b = data.blocks[i];
        text += QByteArray::number(b.xLow) + ' ' + QByteArray::number(b.yLow) + ' ' + QByteArray::number(b.xHigh) + ' ' +
                QByteArray::number(b.yHigh) + ' ' + QByteArray::number(data.powers[i]) + '\n';
    }
    text += "END_AREA_POWER_MAP\n";
    path = dir.filePath(QStringLiteral("map-%1-%2.txt").arg(count).arg(layout));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(text);
    return path;
}

void BM_Parse(benchmark::State& state, int layout)
{
    const QString path = mapFile(int(state.range(0)), layout);
    for (auto _ : state) {
        Tarvex::NorvaneTXMFormatParser parser(path.toStdString(), nullptr);
        benchmark::DoNotOptimize(parser.parseFile());
    }
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Read(benchmark::State& state, int layout)
{
    const QString path = mapFile(int(state.range(0)), layout);
    size_t blocks = 0;
    for (auto _ : state) {
        Tarvex::TarvexPowerMapImporter importer(nullptr);
        const auto records = importer.readPowerMapData(path);
        blocks = records.empty() ? 0 : records.front().blocks.size();
        benchmark::DoNotOptimize(records.data());
    }
    state.counters["blocks_out"] = double(blocks);
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Slice(benchmark::State& state, int layout)
{
    const MapData& data = mapData(int(state.range(0)), layout);
    size_t blocks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<TarvexPowerBlockSlicer::Block> sliced = data.blocks;
        std::vector<double> powers = data.powers;
        state.ResumeTiming();
        TarvexPowerBlockSlicer::slice(sliced, powers);
        blocks = sliced.size();
        benchmark::DoNotOptimize(sliced.data());
    }
    state.counters["blocks_out"] = double(blocks);
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

int main(int argc, char** argv)
{
    struct Run
    {
        const char* name;
        void (*function)(benchmark::State&, int);
        int layout;
        int largest;
    };
    const Run runs[] = {
        {"BM_Parse/overlapping", BM_Parse, Overlapping, 100000},
        {"BM_Read/overlapping", BM_Read, Overlapping, 100000},
        {"BM_Slice/overlapping", BM_Slice, Overlapping, 100000},
        {"BM_Parse/tiles", BM_Parse, Tiles, 100000},
        {"BM_Read/tiles", BM_Read, Tiles, 100000},
        {"BM_Slice/tiles", BM_Slice, Tiles, 100000},
        // At 100 000 dense blocks the pieces pass the slicer's block limit.
        {"BM_Slice/dense", BM_Slice, Dense, 10000},
    };
    return Bench::runBenchmarks(argc, argv, [&runs] {
        for (const Run& run : runs) {
            benchmark::RegisterBenchmark(run.name, run.function, run.layout)
                ->RangeMultiplier(10)
                ->Range(1000, run.largest)
                ->Unit(benchmark::kMillisecond)
                ->Complexity(benchmark::oNLogN);
        }
    });
}
