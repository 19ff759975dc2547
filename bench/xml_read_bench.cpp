// Reading generated interchange files of about 1, 10 and 100 MB on either XML tree, each
// beside its baselines in the same run: the read of the file's bytes, the bare parse by Qt's
// DOM and the bare parse by pugixml. Cases: the read and update of a file (current and
// older layout), the update alone, and the whole import of a board into a fresh model.
//
// Run as a benchmark for times. For peak memory, run one operation per process:
//   xml_read_bench --peak-rss=MODE FILE
// with MODE one of bare (QDomDocument::setContent of the file's bytes), bare-pugixml
// (pugixml's parse of them), read-qt / read-pugixml (TarvexTXMXMLParser::read on that
// tree) and import-qt / import-pugixml (the whole import into a fresh model). It prints the
// peak resident set size (getrusage) after the operation and before it, and the processor
// time of the operation: a fresh process times it without the state that earlier runs leave
// in the allocator.
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/XMLDOMReader.h>
#include <tarvex/import/TarvexImporter.h>
#include <tarvex/interchange/TXMXMLGenerator.h>
#include <tarvex/interchange/TarvexTXMXMLParser.h>
#include <tarvex/interchange/TarvexTXMXMLUpdater.h>

#include <QBuffer>
#include <QByteArray>
#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>

#include "BenchMain.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <utility>

namespace {

using InterProcess::XMLDOMBacking;

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

struct GeneratedFile
{
    QByteArray bytes;
    QString path;
};

// A file of about `megabytes` MB, made once per size and layout and kept on disk too.
const GeneratedFile& model(int megabytes, bool legacy)
{
    static QTemporaryDir folder;
    static std::map<std::pair<int, bool>, GeneratedFile> files;
    GeneratedFile& file = files[{megabytes, legacy}];
    if (file.bytes.isEmpty()) {
        const int sample = 500;
        const double perComponent = double(generate(sample, legacy).size()) / sample;
        file.bytes = generate(int(std::lround(megabytes * 1024.0 * 1024.0 / perComponent)), legacy);
        file.path = folder.filePath(QStringLiteral("model-%1MB-%2.xml").arg(megabytes).arg(int(legacy)));
        QFile out(file.path);
        if (!out.open(QIODevice::WriteOnly) || out.write(file.bytes) != file.bytes.size())
            std::abort();
    }
    return file;
}

const GeneratedFile& model(const benchmark::State& state)
{
    return model(int(state.range(0)), state.range(1) != 0);
}

XMLDOMBacking backingOf(const benchmark::State& state)
{
    return state.range(2) != 0 ? XMLDOMBacking::Pugixml : XMLDOMBacking::Qt;
}

void report(benchmark::State& state, const GeneratedFile& file)
{
    state.SetBytesProcessed(state.iterations() * file.bytes.size());
    state.counters["file_bytes"] = double(file.bytes.size());
}

// What reading the file costs before any parsing: its bytes from the page cache.
void BM_ReadBytes(benchmark::State& state)
{
    const GeneratedFile& file = model(state);
    for (auto _ : state) {
        QFile in(file.path);
        if (!in.open(QIODevice::ReadOnly))
            std::abort();
        const QByteArray bytes = in.readAll();
        benchmark::DoNotOptimize(bytes.constData());
    }
    report(state, file);
}

void BM_BareSetContent(benchmark::State& state)
{
    const GeneratedFile& file = model(state);
    for (auto _ : state) {
        QDomDocument document;
        if (!document.setContent(file.bytes))
            std::abort();
        benchmark::DoNotOptimize(document);
    }
    report(state, file);
}

void BM_BarePugixml(benchmark::State& state)
{
    const GeneratedFile& file = model(state);
    for (auto _ : state) {
        pugi::xml_document document;
        if (!document.load_buffer(file.bytes.constData(), size_t(file.bytes.size())))
            std::abort();
        benchmark::DoNotOptimize(document);
    }
    report(state, file);
}

void BM_ReadAndUpdate(benchmark::State& state)
{
    const GeneratedFile& file = model(state);
    Tarvex::TarvexTXMXMLParser parser;
    parser.setBacking(backingOf(state));
    for (auto _ : state) {
        QBuffer buffer;
        buffer.setData(file.bytes);
        buffer.open(QIODevice::ReadOnly);
        const Tarvex::TarvexTXMXMLDocument document = parser.read(&buffer);
        if (!document || document.backing() != backingOf(state))
            std::abort();
        benchmark::DoNotOptimize(document);
    }
    report(state, file);
}

// The update alone, on a document parsed outside the timing: what the updater adds.
void BM_UpdateOnly(benchmark::State& state)
{
    const GeneratedFile& file = model(state);
    for (auto _ : state) {
        state.PauseTiming();
        InterProcess::XMLDOMReader::Failure failure;
        Tarvex::TarvexTXMXMLDocument document(
            InterProcess::XMLDOMReader::parseDocument(file.bytes, &failure, backingOf(state)));
        state.ResumeTiming();
        Tarvex::TarvexTXMXMLUpdater updater;
        if (!updater.update(document))
            std::abort();
        // Freeing the tree is not the update's cost.
        state.PauseTiming();
        document = Tarvex::TarvexTXMXMLDocument();
        state.ResumeTiming();
    }
    state.counters["file_bytes"] = double(file.bytes.size());
}

size_t importInto(const QString& path)
{
    auto hostModel = EntityModel::Model::createDefault();
    Geometry::GeometryBuilder geometry;
    Tarvex::TarvexImporter importer(EntityModel::EntityFetcher::getChassis(hostModel->getRoot()), nullptr, &geometry);
    return importer.importModel(path, false).size();
}

// The whole import (read, update, object tree, entities) into a fresh model.
void BM_FullImport(benchmark::State& state)
{
    const GeneratedFile& file = model(state);
    const XMLDOMBacking before = InterProcess::XMLDOMReader::defaultBacking();
    InterProcess::XMLDOMReader::setDefaultBacking(backingOf(state));
    for (auto _ : state) {
        if (importInto(file.path) == 0)
            std::abort();
    }
    InterProcess::XMLDOMReader::setDefaultBacking(before);
    report(state, file);
}

// Baselines and cases of one file run one after the other, so that they share the
// machine's state; the largest files get a fixed, small number of iterations.
void registerBenchmarks()
{
    using Case = void (*)(benchmark::State&);
    const std::pair<const char*, Case> baselines[] = {
        {"BM_ReadBytes", &BM_ReadBytes}, {"BM_BareSetContent", &BM_BareSetContent}, {"BM_BarePugixml", &BM_BarePugixml}};
    const std::pair<const char*, Case> cases[] = {
        {"BM_ReadAndUpdate", &BM_ReadAndUpdate}, {"BM_UpdateOnly", &BM_UpdateOnly}, {"BM_FullImport", &BM_FullImport}};
    const auto add = [](const char* name, Case function, std::vector<int64_t> arguments) {
        benchmark::internal::Benchmark* benchmark = benchmark::RegisterBenchmark(name, function);
        benchmark->ArgNames({"MB", "legacy", "pugixml"})->Args(arguments)->Unit(benchmark::kMillisecond);
        if (arguments[0] >= 100)
            benchmark->Iterations(std::strcmp(name, "BM_FullImport") == 0 ? 1 : 3);
    };
    for (const int megabytes : {1, 10, 100}) {
        for (const int legacy : {0, 1}) {
            for (const auto& [name, function] : baselines)
                add(name, function, {megabytes, legacy, 0});
            for (const auto& [name, function] : cases) {
                // The whole import is measured on the current layout only.
                if (legacy && function == &BM_FullImport)
                    continue;
                for (const int pugixml : {0, 1})
                    add(name, function, {megabytes, legacy, pugixml});
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
    const std::string name(mode);
    const XMLDOMBacking backing =
        name.size() > 8 && name.compare(name.size() - 8, 8, "-pugixml") == 0 ? XMLDOMBacking::Pugixml : XMLDOMBacking::Qt;
    // The documents outlive the timing: freeing them is not part of reading.
    QDomDocument bare;
    pugi::xml_document barePugixml;
    Tarvex::TarvexTXMXMLDocument read;
    const double start = processorMilliseconds();
    if (name == "bare") {
        if (!bare.setContent(bytes))
            return 1;
    } else if (name == "bare-pugixml") {
        if (!barePugixml.load_buffer(bytes.constData(), size_t(bytes.size())))
            return 1;
    } else if (name.rfind("read-", 0) == 0) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        Tarvex::TarvexTXMXMLParser parser;
        parser.setBacking(backing);
        read = parser.read(&buffer);
        if (!read)
            return 1;
    } else if (name.rfind("import-", 0) == 0) {
        InterProcess::XMLDOMReader::setDefaultBacking(backing);
        if (importInto(QString::fromLocal8Bit(path)) == 0)
            return 1;
    } else {
        std::fprintf(stderr, "unknown mode %s\n", mode);
        return 2;
    }
    const double elapsed = processorMilliseconds() - start;
    std::printf("%s %s: file %lld bytes, peak RSS %ld kB, before the operation %ld kB, %.1f ms of processor time\n",
                mode, path, static_cast<long long>(bytes.size()), peakKilobytes(), before, elapsed);
    std::fflush(stdout);
    // The model of an import is the host's to free; the process ends here.
    std::_Exit(0);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strncmp(argv[1], "--peak-rss=", 11) == 0)
        return measurePeak(argv[1] + 11, argv[2]);
    return Bench::runBenchmarks(argc, argv, registerBenchmarks);
}
