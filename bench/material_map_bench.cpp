// Material maps of 2000 x 2000 densities, a CSV grid and a text layout: the bare read of the
// file into numbers (the baseline), the importer's read, and the read plus the application
// of the map to a host layer, all on the same generated files.
//
// Each case reports "x_bare", its mean time over that of the bare read of the same file in
// the same run, and, from a fresh process that runs it once, "peak_MiB", how far the resident
// memory rose above where it stood, and "x_raw", that peak over the raw doubles of the case:
// 8 bytes per cell for the densities of a read, three times that for an application, whose
// layer holds two fractions per cell while the densities read are still held.

#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/TypeCatalogue.h>
#include <tarvex/maps/MaterialMapNumber.h>
#include <tarvex/maps/TarvexMaterialMapImporter.h>
#include <tarvex/maps/UniformGridMaterialMapImporter.h>

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "PeakMemory.h"

#include "BenchMain.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
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

void writeLayout(const QString& path, int size)
{
    const QByteArray sizes = QByteArray::number(size) + ' ' + QByteArray::number(size);
    writeGrid(path, size, ' ',
              "LAYOUT_MAP\nAREA 0 0 10 10\nLAYER L FR4 Copper 0.1 0\nGRID " + sizes + "\nMETAL_DENSITY\n" + sizes + '\n',
              "END_METAL_DENSITY\nEND_LAYER\nEND_LAYOUT_MAP\n");
}

enum class Format { Csv, Text };

// The generated files, made once per size and format before any timing starts.
const QString& mapFile(Format format, int size)
{
    static QTemporaryDir dir;
    static std::map<std::pair<Format, int>, QString> made;
    QString& path = made[{format, size}];
    if (path.isEmpty()) {
        const QLatin1String suffix(format == Format::Csv ? "csv" : "txt");
        path = dir.filePath(QStringLiteral("%1-%2.%3").arg(size).arg(int(format)).arg(suffix));
        if (format == Format::Csv)
            writeGrid(path, size, ',', QByteArray(), QByteArray());
        else
            writeLayout(path, size);
    }
    return path;
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

// The mean time of a bare read of each file, as its baseline case measured it in this run
// (the baseline runs first); measured here when that case was left out.
double bareSeconds(const QString& path, double measured = 0.0)
{
    static std::map<QString, double> baselines;
    if (measured > 0.0)
        return baselines[path] = measured;
    if (const auto found = baselines.find(path); found != baselines.end())
        return found->second;
    const int runs = 5;
    const auto start = std::chrono::steady_clock::now();
    for (int run = 0; run < runs; ++run)
        benchmark::DoNotOptimize(bareRead(path).size());
    return baselines[path] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / runs;
}

// A component of 10 x 10 x 0.1 mm under the root of a new model.
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

size_t readMap(Format format, const QString& path)
{
    std::vector<Tarvex::MaterialMapData> records;
    if (format == Format::Csv)
        records = Tarvex::UniformGridMaterialMapImporter(nullptr).readMaterialMapData(path);
    else
        records = Tarvex::TarvexMaterialMapImporter(nullptr).readMaterialMapData(path);
    return records.size() == 1 ? records[0].metalDensity.size() : 0;
}

// Reads the map and applies it to the component's one layer, resized to the map.
bool applyMap(Format format, const QString& path, EntityModel::Entity* component)
{
    std::unique_ptr<Tarvex::MaterialMapImporter> importer;
    if (format == Format::Csv)
        importer = std::make_unique<Tarvex::UniformGridMaterialMapImporter>(nullptr);
    else
        importer = std::make_unique<Tarvex::TarvexMaterialMapImporter>(nullptr);
    importer->setResizeOwner(true);
    return importer->importFile(path, component);
}

// The cases measured for memory, each run once in a fresh process.
enum class Case { Bare, Read, Apply };

const char* caseName(Case which)
{
    return which == Case::Bare ? "bare" : which == Case::Read ? "read" : "apply";
}

// How far the resident memory rises above where it stands while the case runs (KiB), or -1.
long runCase(Case which, Format format, const QString& path)
{
    auto model = std::make_unique<EntityModel::Model>();
    EntityModel::Entity* component = makeComponent(*model);
    const Bench::PeakScope scope;
    bool done = false;
    if (which == Case::Bare)
        done = bareRead(path).size() > 0;
    else if (which == Case::Read)
        done = readMap(format, path) > 0;
    else
        done = applyMap(format, path, component);
    return done ? scope.growthKiB() : -1;
}

// `runCase` in a process of its own, so that nothing this one holds or has freed counts.
long peakGrowthKiB(Case which, Format format, const QString& path)
{
    QProcess process;
    process.start(QStringLiteral("/proc/self/exe"),
                  {QStringLiteral("--peak-rss=%1").arg(QLatin1String(caseName(which))),
                   QStringLiteral("--format=%1").arg(QLatin1String(format == Format::Csv ? "csv" : "text")),
                   QStringLiteral("--file=%1").arg(path)});
    if (!process.waitForFinished(-1) || process.exitCode() != 0)
        return -1;
    bool ok = false;
    const long growth = process.readAllStandardOutput().trimmed().toLong(&ok);
    return ok ? growth : -1;
}

void reportPeak(benchmark::State& state, long growthKiB, int size, int arrays)
{
    const double raw = double(size) * size * sizeof(double) * arrays / 1024.0;
    state.counters["peak_MiB"] = double(growthKiB) / 1024.0;
    state.counters["x_raw"] = double(growthKiB) / raw;
}

// `seconds` is the time of all iterations of the case.
void reportTimes(benchmark::State& state, const QString& path, double seconds, int size, bool baseline = false)
{
    const double mean = seconds / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["x_bare"] = mean / bareSeconds(path, baseline ? mean : 0.0);
    state.SetItemsProcessed(state.iterations() * size * size);
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}

void BM_BareRead(benchmark::State& state, Format format)
{
    const int size = int(state.range(0));
    const QString& path = mapFile(format, size);
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(bareRead(path).size());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    reportTimes(state, path, seconds, size, true);
    reportPeak(state, peakGrowthKiB(Case::Bare, format, path), size, 1);
}

void BM_Read(benchmark::State& state, Format format)
{
    const int size = int(state.range(0));
    const QString& path = mapFile(format, size);
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (readMap(format, path) != size_t(size) * size)
            state.SkipWithError("the map was not read");
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    reportTimes(state, path, seconds, size);
    reportPeak(state, peakGrowthKiB(Case::Read, format, path), size, 1);
}

void BM_ReadAndApply(benchmark::State& state, Format format)
{
    const int size = int(state.range(0));
    const QString& path = mapFile(format, size);
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<EntityModel::Model>();
        EntityModel::Entity* component = makeComponent(*model);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        if (!applyMap(format, path, component))
            state.SkipWithError("the map was not applied");
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
    reportTimes(state, path, seconds, size);
    reportPeak(state, peakGrowthKiB(Case::Apply, format, path), size, 3);
}

// The fastest of several runs shows the cost with the least disturbance from the machine.
double fastest(const std::vector<double>& values)
{
    return *std::min_element(values.begin(), values.end());
}

// Each case on both files, with the fastest repetition among the statistics.
void registerCases()
{
    using Function = void (*)(benchmark::State&, Format);
    const std::pair<const char*, Function> cases[] = {
        {"BM_BareRead", BM_BareRead}, {"BM_Read", BM_Read}, {"BM_ReadAndApply", BM_ReadAndApply}};
    for (Format format : {Format::Csv, Format::Text}) {
        for (const auto& [name, function] : cases) {
            const std::string full = std::string(name) + (format == Format::Csv ? "/csv" : "/text");
            benchmark::RegisterBenchmark(full.c_str(), function, format)
                ->Arg(gridSize)
                ->Unit(benchmark::kMillisecond)
                ->ComputeStatistics("min", fastest);
        }
    }
}

// Runs one case and prints its peak growth in KiB: "--peak-rss=CASE --format=FORMAT
// --file=PATH", as the benchmark starts it, or by hand "--peak-rss=CASE-FORMAT[:N]" (for
// example apply-csv:2000), which makes the file and prints the figures in words.
int printPeak(int argc, char** argv)
{
    std::map<std::string, std::string> options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const size_t equals = argument.find('=');
        if (argument.rfind("--", 0) == 0 && equals != std::string::npos)
            options[argument.substr(2, equals - 2)] = argument.substr(equals + 1);
    }
    std::string kind = options["peak-rss"];
    const Case which = kind.rfind("bare", 0) == 0 ? Case::Bare : kind.rfind("apply", 0) == 0 ? Case::Apply : Case::Read;
    if (options.count("file")) {
        const Format format = options["format"] == "text" ? Format::Text : Format::Csv;
        const long growth = runCase(which, format, QString::fromStdString(options["file"]));
        std::printf("%ld\n", growth);
        return growth < 0 ? 1 : 0;
    }
    const size_t colon = kind.find(':');
    const int size = colon == std::string::npos ? gridSize : std::stoi(kind.substr(colon + 1));
    const Format format = kind.find("text") != std::string::npos ? Format::Text : Format::Csv;
    const int arrays = which == Case::Apply ? 3 : 1;
    const long growth = peakGrowthKiB(which, format, mapFile(format, size));
    const double raw = double(size) * size * sizeof(double) * arrays / 1024.0;
    std::printf("%s: %d x %d cells, raw doubles %.0f KiB (%d array%s); peak growth %ld KiB = %.2f x the raw doubles\n",
                kind.c_str(), size, size, raw, arrays, arrays > 1 ? "s" : "", growth, double(growth) / raw);
    return growth < 0 ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--peak-rss=", 11) == 0)
            return printPeak(argc, argv);
    }
    return Bench::runBenchmarks(argc, argv, [] {
        // The files are made before any timing starts.
        for (Format format : {Format::Csv, Format::Text})
            mapFile(format, gridSize);
        registerCases();
    });
}
