// Reading and updating generated interchange files of about 1, 10 and 100 MB, in the
// current and in the older layout, each beside the bare DOM parse of the same bytes.
//
// Run as a benchmark for times. For peak memory, run one operation per process:
//   xml_read_bench --peak-rss=bare FILE   (QDomDocument::setContent of the file's bytes)
//   xml_read_bench --peak-rss=read FILE   (TarvexTXMXMLParser::read of the same bytes)
// which prints the peak resident set size (getrusage) after the operation and before it,
// and the processor time of the operation: a fresh process times it without the state
// that earlier runs leave in the allocator.
#include <tarvex/interchange/TXMXMLGenerator.h>
#include <tarvex/interchange/TarvexTXMXMLParser.h>
#include <tarvex/interchange/TarvexTXMXMLUpdater.h>

#include <QBuffer>
#include <QByteArray>
#include <QDomDocument>
#include <QFile>

#include "BenchMain.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <utility>

namespace {

// Generated files grow with the component count; two balls and two bumps per component.
QByteArray generate(int components, bool legacy)
{
    Tarvex::TXMXMLGeneratorOptions options;
    options.layers = 8;
    options.components = components;
    options.balls = 2 * components;
    options.legacy = legacy;
    options.seed = 2025;
    return Tarvex::TXMXMLGenerator::toXml(Tarvex::TXMXMLGenerator(options).generate());
}

// A file of about `megabytes` MB, made once per size and layout.
const QByteArray& model(int megabytes, bool legacy)
{
    static std::map<std::pair<int, bool>, QByteArray> files;
    QByteArray& bytes = files[{megabytes, legacy}];
    if (bytes.isEmpty()) {
        const int sample = 500;
        const double perComponent = double(generate(sample, legacy).size()) / sample;
        bytes = generate(int(std::lround(megabytes * 1024.0 * 1024.0 / perComponent)), legacy);
    }
    return bytes;
}

void BM_ReadAndUpdate(benchmark::State& state)
{
    const QByteArray& bytes = model(int(state.range(0)), state.range(1) != 0);
    Tarvex::TarvexTXMXMLParser parser;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        const Tarvex::TarvexTXMXMLDocument document = parser.read(&buffer);
        if (!document)
            std::abort();
        benchmark::DoNotOptimize(document);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.counters["file_bytes"] = double(bytes.size());
}

void BM_BareSetContent(benchmark::State& state)
{
    const QByteArray& bytes = model(int(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        QDomDocument document;
        if (!document.setContent(bytes))
            std::abort();
        benchmark::DoNotOptimize(document);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.counters["file_bytes"] = double(bytes.size());
}

// The update alone, on a document parsed outside the timing: what the updater adds.
void BM_UpdateOnly(benchmark::State& state)
{
    const QByteArray& bytes = model(int(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        state.PauseTiming();
        Tarvex::TarvexTXMXMLDocument document;
        {
            QDomDocument dom;
            if (!dom.setContent(bytes))
                std::abort();
            document = Tarvex::TarvexTXMXMLDocument(dom);
        }
        state.ResumeTiming();
        Tarvex::TarvexTXMXMLUpdater updater;
        if (!updater.update(document))
            std::abort();
        // Freeing the tree is not the update's cost.
        state.PauseTiming();
        document = Tarvex::TarvexTXMXMLDocument();
        state.ResumeTiming();
    }
    state.counters["file_bytes"] = double(bytes.size());
}

// Bare and full reads of one file run one after the other, so that they share the
// machine's state; the largest files get a fixed, small number of iterations.
void registerBenchmarks()
{
    for (const int megabytes : {1, 10, 100}) {
        for (const int legacy : {0, 1}) {
            for (const auto& entry : {std::make_pair("BM_ReadAndUpdate", &BM_ReadAndUpdate),
                                      std::make_pair("BM_BareSetContent", &BM_BareSetContent),
                                      std::make_pair("BM_UpdateOnly", &BM_UpdateOnly)}) {
                benchmark::internal::Benchmark* benchmark = benchmark::RegisterBenchmark(entry.first, entry.second);
                benchmark->ArgNames({"MB", "legacy"})->Args({megabytes, legacy})->Unit(benchmark::kMillisecond);
                if (megabytes >= 100)
                    benchmark->Iterations(3);
            }
        }
    }
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double processorMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

int measurePeak(const char* mode, const char* path)
{
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot open %s\n", path);
        return 1;
    }
    const QByteArray bytes = file.readAll();
    const long before = peakKilobytes();
    // Both documents outlive the timing: freeing them is not part of reading.
    QDomDocument bare;
    Tarvex::TarvexTXMXMLDocument read;
    const double start = processorMilliseconds();
    if (std::strcmp(mode, "bare") == 0) {
        if (!bare.setContent(bytes))
            return 1;
    } else {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        Tarvex::TarvexTXMXMLParser parser;
        read = parser.read(&buffer);
        if (!read)
            return 1;
    }
    const double elapsed = processorMilliseconds() - start;
    std::printf("%s %s: file %lld bytes, peak RSS %ld kB, before the operation %ld kB, %.1f ms of processor time\n",
                mode, path, static_cast<long long>(bytes.size()), peakKilobytes(), before, elapsed);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strncmp(argv[1], "--peak-rss=", 11) == 0)
        return measurePeak(argv[1] + 11, argv[2]);
    return Bench::runBenchmarks(argc, argv, registerBenchmarks);
}
