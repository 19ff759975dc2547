// Building the object tree of generated interchange files of 1 000, 10 000 and 100 000
// parts (2 % components, the rest solder balls and bumps in equal numbers), beside the
// bare DOM parse of the same file in the same run. The growth per tenfold parts is read
// from the items-per-second figures of neighbouring sizes. "tree:1" marks the file as of a
// newer version, whose parts all go into one nesting tree.
#include <tarvex/interchange/TXMXMLGenerator.h>
#include <tarvex/objectbuild/TarvexObjectBuilder.h>

#include <QByteArray>
#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>

#include "BenchMain.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>

namespace {

struct GeneratedFile
{
    QString path;
    qint64 bytes = 0;
};

// One file per part count, written once into a folder that lives as long as the program.
const GeneratedFile& generatedFile(int parts, bool tree)
{
    static QTemporaryDir folder;
    static std::map<std::pair<int, bool>, GeneratedFile> files;
    GeneratedFile& file = files[{parts, tree}];
    if (file.path.isEmpty()) {
        Tarvex::TXMXMLGeneratorOptions options;
        options.layers = 8;
        options.components = parts / 50;
        options.balls = (parts - options.components) / 2;
        options.seed = 2026;
        QByteArray bytes = Tarvex::TXMXMLGenerator::toXml(Tarvex::TXMXMLGenerator(options).generate());
        if (tree)
            bytes.replace("SchemaVersion=\"2025.1.0\"", "SchemaVersion=\"2025.2\"");
        file.path = folder.filePath(QStringLiteral("board-%1-%2.xml").arg(parts).arg(tree));
        QFile out(file.path);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            std::abort();
        file.bytes = bytes.size();
    }
    return file;
}

void BM_BareParse(benchmark::State& state)
{
    const GeneratedFile& file = generatedFile(int(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        QFile in(file.path);
        if (!in.open(QIODevice::ReadOnly))
            std::abort();
        QDomDocument document;
        if (!document.setContent(in.readAll()))
            std::abort();
        benchmark::DoNotOptimize(document);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["file_bytes"] = double(file.bytes);
}

void BM_ReadFileAndBuildTree(benchmark::State& state)
{
    const GeneratedFile& file = generatedFile(int(state.range(0)), state.range(1) != 0);
    size_t topLevel = 0;
    for (auto _ : state) {
        Tarvex::TarvexObjectBuilder builder(nullptr);
        if (!builder.readFile(file.path))
            std::abort();
        builder.buildTree();
        topLevel = builder.takeObjects().size();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["file_bytes"] = double(file.bytes);
    state.counters["top_level"] = double(topLevel);
}

void registerBenchmarks()
{
    for (const int parts : {1000, 10000, 100000}) {
      for (const int tree : {0, 1}) {
        for (const auto& entry : {std::make_pair("BM_BareParse", &BM_BareParse),
                                  std::make_pair("BM_ReadFileAndBuildTree", &BM_ReadFileAndBuildTree)}) {
            benchmark::internal::Benchmark* benchmark = benchmark::RegisterBenchmark(entry.first, entry.second);
            benchmark->ArgNames({"parts", "tree"})->Args({parts, tree})->Unit(benchmark::kMillisecond);
            if (parts >= 100000)
                benchmark->Iterations(3);
        }
      }
    }
}

} // namespace

int main(int argc, char** argv)
{
    return Bench::runBenchmarks(argc, argv, registerBenchmarks);
}
