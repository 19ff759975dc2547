// Importing generated boards of about 1, 10 and 100 MB (8 layers, components of every kind)
// beside the bare DOM parse of the same bytes in the same run: the whole import (read,
// update, object tree, entity building into a fresh model), the entity building alone from
// an object tree read once, and the update of a model by the file it was imported from.
// Two kinds of board: mostly solder joints (24 balls and as many bumps per component, 2 %
// components), and mostly components (2 balls and bumps each). Growth per tenfold size is
// read from the bytes-per-second figures of neighbouring sizes.
#include <tarvex/builders/TarvexEntityBuilder.h>
#include <tarvex/builders/TarvexReuseMap.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/UndoStackOpener.h>
#include <tarvex/import/TarvexImporter.h>
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
#include <memory>

namespace {

struct GeneratedBoard
{
    QString path;
    QByteArray bytes;
};

enum BoardKind { MostlyJoints = 0, MostlyComponents = 1 };

// About 6.5 kB of file per component with its 48 joints, 1.3 kB per component with 4.
const GeneratedBoard& generatedBoard(int megabytes, int kind)
{
    static QTemporaryDir folder;
    static std::map<std::pair<int, int>, GeneratedBoard> boards;
    GeneratedBoard& board = boards[{megabytes, kind}];
    if (board.path.isEmpty()) {
        Tarvex::TXMXMLGeneratorOptions options;
        options.layers = 8;
        options.components = megabytes * (kind == MostlyJoints ? 155 : 750);
        options.balls = options.components * (kind == MostlyJoints ? 24 : 2);
        options.seed = 2026;
        board.bytes = Tarvex::TXMXMLGenerator::toXml(Tarvex::TXMXMLGenerator(options).generate());
        board.path = folder.filePath(QStringLiteral("board-%1MB-%2.xml").arg(megabytes).arg(kind));
        QFile out(board.path);
        if (!out.open(QIODevice::WriteOnly) || out.write(board.bytes) != board.bytes.size())
            std::abort();
    }
    return board;
}

const GeneratedBoard& generatedBoard(const benchmark::State& state)
{
    return generatedBoard(int(state.range(0)), int(state.range(1)));
}

void report(benchmark::State& state, const GeneratedBoard& board)
{
    state.SetBytesProcessed(state.iterations() * board.bytes.size());
    state.counters["file_MB"] = double(board.bytes.size()) / 1e6;
}

void BM_BareParse(benchmark::State& state)
{
    const GeneratedBoard& board = generatedBoard(state);
    for (auto _ : state) {
        QDomDocument document;
        if (!document.setContent(board.bytes))
            std::abort();
        benchmark::DoNotOptimize(document);
    }
    report(state, board);
}

// The import into a fresh model, or (`update`) what `tarvex update` does after `tarvex
// import` of the same file: every entity of the earlier import is detached, reused by key
// and placed again. Only the import or the update is timed.
void importOrUpdate(benchmark::State& state, bool update)
{
    const GeneratedBoard& board = generatedBoard(state);
    size_t built = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto model = EntityModel::Model::createDefault();
        Geometry::GeometryBuilder geometry;
        Tarvex::TarvexImporter importer(EntityModel::EntityFetcher::getChassis(model->getRoot()), nullptr, &geometry);
        const std::vector<EntityModel::Entity*> earlier =
            update ? importer.importModel(board.path, false) : std::vector<EntityModel::Entity*>();
        state.ResumeTiming();
        built = (update ? importer.updateModel(board.path, earlier) : importer.importModel(board.path, false)).size();
        state.PauseTiming();
        model.reset(); // the host's to free, not the import's
        state.ResumeTiming();
    }
    report(state, board);
    state.counters["top_level"] = double(built);
}

void BM_FullImport(benchmark::State& state) { importOrUpdate(state, false); }

void BM_Update(benchmark::State& state) { importOrUpdate(state, true); }

void BM_EntityBuilding(benchmark::State& state)
{
    const GeneratedBoard& board = generatedBoard(state);
    Tarvex::TarvexObjectBuilder reader(nullptr);
    if (!reader.readFile(board.path))
        std::abort();
    reader.buildTree();
    const std::vector<std::unique_ptr<Tarvex::TarvexObject>> objects = reader.takeObjects();
    for (auto _ : state) {
        state.PauseTiming();
        auto model = EntityModel::Model::createDefault();
        Tarvex::TarvexReuseMap fresh;
        // Inside one undo step, as the import driver builds.
        auto step = std::make_unique<EntityModel::UndoStackOpener>(model.get(), QStringLiteral("Import Tarvex Data"));
        state.ResumeTiming();
        const Tarvex::TarvexBuiltEntities built =
            Tarvex::buildEntities(objects, EntityModel::EntityFetcher::getChassis(model->getRoot()), fresh, nullptr);
        benchmark::DoNotOptimize(built);
        state.PauseTiming();
        step.reset();
        model.reset();
        state.ResumeTiming();
    }
    report(state, board);
}

void registerBenchmarks()
{
    for (const int kind : {MostlyJoints, MostlyComponents}) {
        for (const int megabytes : {1, 10, 100}) {
            for (const auto& entry : {std::make_pair("BM_BareParse", &BM_BareParse),
                                      std::make_pair("BM_FullImport", &BM_FullImport),
                                      std::make_pair("BM_Update", &BM_Update),
                                      std::make_pair("BM_EntityBuilding", &BM_EntityBuilding)}) {
                benchmark::internal::Benchmark* benchmark = benchmark::RegisterBenchmark(entry.first, entry.second);
                benchmark->ArgNames({"MB", "components"})->Args({megabytes, kind})->Unit(benchmark::kMillisecond);
                if (megabytes >= 100)
                    benchmark->Iterations(1);
                else if (megabytes >= 10)
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
