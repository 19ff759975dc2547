// Reading material maps of 2000 x 2000 densities (a CSV grid and a text layout) beside the
// bare read of the same file into numbers, and applying grids to a host layer.
//
// Run with --peak-rss=csv, --peak-rss=text or --peak-rss=bare to measure, in a process of its
// own, how much the resident memory grows while one 2000 x 2000 file is read, or with
// --peak-rss=apply:N for reading and applying an N x N grid to a host layer.

#include "host/EntityEditor.h"
#include "host/ListAttributeEditor.h"
#include "host/Model.h"
#include "host/TypeCatalogue.h"
#include "maps/MaterialMapNumber.h"
#include "maps/TarvexMaterialMapImporter.h"
#include "maps/UniformGridMaterialMapImporter.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

constexpr int gridSize = 2000;

// A density for every cell that is not the same everywhere, written with six decimals.
QByteArray density(int row, int column)
{
    return QByteArray::number(((row * 7919 + column * 104729) % 1000000) / 1e6, 'f', 6);
}

// The files are written row by row, so that making them does not raise the peak memory.
void writeGrid(const QString& path, int size, char separator, const QByteArray& head, const QByteArray& tail)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(head);
    for (int row = 0; row < size; ++row) {
        QByteArray line;
        for (int column = 0; column < size; ++column) {
            if (column > 0)
                line += separator;
            line += density(row, column);
        }
        file.write(line + '\n');
    }
    file.write(tail);
}

struct Files
{
    Files()
    {
        csv = dir.filePath(QStringLiteral("grid.csv"));
        text = dir.filePath(QStringLiteral("layout.txt"));
        writeGrid(csv, gridSize, ',', QByteArray(), QByteArray());
        const QByteArray sizes = QByteArray::number(gridSize) + ' ' + QByteArray::number(gridSize);
        writeGrid(text, gridSize, ' ',
                  "LAYOUT_MAP\nAREA 0 0 10 10\nLAYER L FR4 Copper 0.1 0\nGRID " + sizes + "\nMETAL_DENSITY\n" + sizes + '\n',
                  "END_METAL_DENSITY\nEND_LAYER\nEND_LAYOUT_MAP\n");
    }
    QTemporaryDir dir;
    QString csv;
    QString text;
};

const Files& files()
{
    static const Files made;
    return made;
}

// The baseline: the file's bytes cut at separators and line ends, every token that is a
// number converted. No structure is checked.
std::vector<double> bareRead(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    std::vector<double> values;
    QByteArray carry;
    while (true) {
        QByteArray chunk = file.read(1 << 20);
        if (chunk.isEmpty())
            break;
        chunk.prepend(carry);
        const int last = chunk.lastIndexOf('\n');
        carry = chunk.mid(last + 1);
        const char* at = chunk.constData();
        const char* end = at + last + 1;
        while (at < end) {
            const char* token = at;
            while (at < end && *at != ',' && *at != ' ' && *at != '\n')
                ++at;
            double value = 0;
            if (at > token && Tarvex::MaterialMapNumber::toDouble(token, size_t(at - token), value))
                values.push_back(value);
            ++at;
        }
    }
    return values;
}

void BM_BareReadCsv(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(bareRead(files().csv).size());
    state.SetItemsProcessed(state.iterations() * gridSize * gridSize);
    state.SetBytesProcessed(state.iterations() * QFile(files().csv).size());
}

void BM_ReadCsvGrid(benchmark::State& state)
{
    Tarvex::UniformGridMaterialMapImporter importer(nullptr);
    for (auto _ : state) {
        const std::vector<Tarvex::MaterialMapData> records = importer.readMaterialMapData(files().csv);
        if (records.size() != 1 || records[0].metalDensity.size() != size_t(gridSize) * gridSize)
            state.SkipWithError("the grid was not read");
    }
    state.SetItemsProcessed(state.iterations() * gridSize * gridSize);
    state.SetBytesProcessed(state.iterations() * QFile(files().csv).size());
}

void BM_BareReadText(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(bareRead(files().text).size());
    state.SetItemsProcessed(state.iterations() * gridSize * gridSize);
    state.SetBytesProcessed(state.iterations() * QFile(files().text).size());
}

void BM_ReadTextLayout(benchmark::State& state)
{
    Tarvex::TarvexMaterialMapImporter importer(nullptr);
    for (auto _ : state) {
        const std::vector<Tarvex::MaterialMapData> records = importer.readMaterialMapData(files().text);
        if (records.size() != 1 || records[0].metalDensity.size() != size_t(gridSize) * gridSize)
            state.SkipWithError("the layout was not read");
    }
    state.SetItemsProcessed(state.iterations() * gridSize * gridSize);
    state.SetBytesProcessed(state.iterations() * QFile(files().text).size());
}

// A component of 10 x 10 x 0.1 mm with one layer covering it.
EntityModel::Entity* makeComponent(EntityModel::Model& model)
{
    using namespace EntityModel;
    Entity* component = EntityEditor::createEntity(Component_t, model.getRoot(),
                                                   TypeCatalogue::listFor(Project_t, Component_t), nullptr, 0, "Die");
    EntityEditor::setSIValueNoThrow(component, Width_t, 0.01);
    EntityEditor::setSIValueNoThrow(component, Depth_t, 0.01);
    EntityEditor::setSIValueNoThrow(component, Height_t, 0.0001);
    return component;
}

// Reads an N x N CSV grid and applies it, resizing the component's one layer to it.
void BM_ReadAndApplyCsv(benchmark::State& state)
{
    const int size = int(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("grid.csv"));
    writeGrid(path, size, ',', QByteArray(), QByteArray());
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<EntityModel::Model>();
        EntityModel::Entity* component = makeComponent(*model);
        state.ResumeTiming();
        Tarvex::UniformGridMaterialMapImporter importer(nullptr);
        importer.setResizeOwner(true);
        if (!importer.importFile(path, component))
            state.SkipWithError("the grid was not applied");
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * size * size);
}

// The bare read of the same N x N file, as the baseline of BM_ReadAndApplyCsv.
void BM_BareReadCsvOfSize(benchmark::State& state)
{
    const int size = int(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("grid.csv"));
    writeGrid(path, size, ',', QByteArray(), QByteArray());
    for (auto _ : state)
        benchmark::DoNotOptimize(bareRead(path).size());
    state.SetItemsProcessed(state.iterations() * size * size);
}

BENCHMARK(BM_BareReadCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCsvGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareReadText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadTextLayout)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareReadCsvOfSize)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndApplyCsv)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond)->Iterations(3);

long statusKilobytes(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(std::strlen(key)));
    }
    return -1;
}

// Reads one 2000 x 2000 file and prints how far the resident memory rose above where it was.
int measurePeak(const std::string& kind)
{
    std::unique_ptr<EntityModel::Model> model;
    QTemporaryDir dir;
    const int applied = kind.rfind("apply:", 0) == 0 ? std::stoi(kind.substr(6)) : 0;
    if (applied > 0) {
        writeGrid(dir.filePath(QStringLiteral("grid.csv")), applied, ',', QByteArray(), QByteArray());
        model = std::make_unique<EntityModel::Model>();
    }
    const Files& made = files();
    {
        std::ofstream reset("/proc/self/clear_refs");
        reset << "5"; // the peak starts again from the current size
    }
    const long before = statusKilobytes("VmRSS:");
    size_t count = 0;
    if (applied > 0) {
        Tarvex::UniformGridMaterialMapImporter importer(nullptr);
        importer.setResizeOwner(true);
        EntityModel::Entity* component = makeComponent(*model);
        if (importer.importFile(dir.filePath(QStringLiteral("grid.csv")), component))
            count = size_t(applied) * size_t(applied);
    } else if (kind == "csv") {
        Tarvex::UniformGridMaterialMapImporter importer(nullptr);
        count = importer.readMaterialMapData(made.csv).at(0).metalDensity.size();
    } else if (kind == "text") {
        Tarvex::TarvexMaterialMapImporter importer(nullptr);
        count = importer.readMaterialMapData(made.text).at(0).metalDensity.size();
    } else {
        count = bareRead(made.csv).size();
    }
    const long peak = statusKilobytes("VmHWM:");
    const double raw = double(count) * sizeof(double) / 1024.0;
    std::printf("%s: %zu densities (raw doubles %.0f KiB); resident before %ld KiB, peak %ld KiB, growth %ld KiB = "
                "%.2f x the raw doubles\n",
                kind.c_str(), count, raw, before, peak, peak - before, double(peak - before) / raw);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--peak-rss=", 0) == 0)
            return measurePeak(argument.substr(std::strlen("--peak-rss=")));
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    files(); // made before any timing starts
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
