// Importing generated boards of about 1, 10 and 100 MB (8 layers, components of every kind)
// beside its baselines in the same run, the read of the file and the bare DOM parse of its
// bytes:
//   BM_FullImport      what `tarvex import FILE --model NEW.json` does: read, update, object
//                      tree, entity building into a fresh model that keeps no undo history,
//                      and the save of the model;
//   BM_ImportWithUndo  the same import with the undo history kept (1 and 10 MB), for the
//                      cost of the history;
//   BM_Update          what `tarvex update` does after `tarvex import` of the same file: every
//                      entity of the earlier import detached, reused by key and placed again,
//                      and the model saved;
//   BM_EntityBuilding  the entity building alone from an object tree read once;
//   BM_Save, BM_Load   the imported model written to and read from its file.
// Two kinds of board: mostly solder joints (24 balls and as many bumps per component, 2 %
// components), and mostly components (2 balls and bumps each). Growth per tenfold size is
// read from the bytes-per-second figures of neighbouring sizes; `peak_MiB` is how far the
// resident memory rose while the case ran, `model_MB` the size of the saved model.
#include <tarvex/builders/TarvexEntityBuilder.h>
#include <tarvex/builders/TarvexReuseMap.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/ModelFile.h>
#include <tarvex/host/UndoStackOpener.h>
#include <tarvex/import/TarvexImporter.h>
#include <tarvex/interchange/TXMXMLGenerator.h>
#include <tarvex/objectbuild/TarvexObjectBuilder.h>

#include <QByteArray>
#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>

#include "BenchMain.h"
#include "PeakMemory.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

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
QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    if (!dir.isValid())
        std::abort();
    return dir;
}

const GeneratedBoard& generatedBoard(int megabytes, int kind)
{
    static std::map<std::pair<int, int>, GeneratedBoard> boards;
    GeneratedBoard& board = boards[{megabytes, kind}];
    if (board.path.isEmpty()) {
        Tarvex::TXMXMLGeneratorOptions options;
        options.layers = 8;
        options.components = megabytes * (kind == MostlyJoints ? 155 : 750);
        options.balls = options.components * (kind == MostlyJoints ? 24 : 2);
        options.seed = 2026;
        board.bytes = Tarvex::TXMXMLGenerator::toXml(Tarvex::TXMXMLGenerator(options).generate());
        board.path = folder().filePath(QStringLiteral("board-%1MB-%2.xml").arg(megabytes).arg(kind));
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

void report(benchmark::State& state, const GeneratedBoard& board, const Bench::PeakScope* peak = nullptr)
{
    state.SetBytesProcessed(state.iterations() * board.bytes.size());
    state.counters["file_MB"] = double(board.bytes.size()) / 1e6;
    if (peak)
        state.counters["peak_MiB"] = peak->growthMiB();
}

QString modelPath(const benchmark::State& state)
{
    return folder().filePath(QStringLiteral("model-%1MB-%2.json").arg(state.range(0)).arg(state.range(1)));
}

void save(const EntityModel::Model& model, const QString& path)
{
    QString error;
    if (!EntityModel::ModelFile::save(model, path, &error))
        std::abort();
}

void BM_ReadFile(benchmark::State& state)
{
    const GeneratedBoard& board = generatedBoard(state);
    for (auto _ : state) {
        QFile file(board.path);
        if (!file.open(QIODevice::ReadOnly) || file.readAll().size() != board.bytes.size())
            std::abort();
    }
    report(state, board);
}

void BM_BareParse(benchmark::State& state)
{
    const GeneratedBoard& board = generatedBoard(state);
    const Bench::PeakScope peak;
    for (auto _ : state) {
        QFile file(board.path);
        if (!file.open(QIODevice::ReadOnly))
            std::abort();
        QDomDocument document;
        if (!document.setContent(file.readAll()))
            std::abort();
        benchmark::DoNotOptimize(document);
    }
    report(state, board, &peak);
}

enum class Run { Import, ImportWithUndo, Update };

// The import into a fresh model and its save, or (`Update`) what `tarvex update` does after
// `tarvex import` of the same file. Only the import or the update and the save are timed;
// the model is kept until the case ends, as the tool keeps it until it exits.
void importOrUpdate(benchmark::State& state, Run run)
{
    const GeneratedBoard& board = generatedBoard(state);
    const QString path = modelPath(state);
    size_t built = 0;
    std::vector<std::unique_ptr<EntityModel::Model>> kept;
    std::unique_ptr<Bench::PeakScope> peak;
    for (auto _ : state) {
        state.PauseTiming();
        auto model = EntityModel::Model::createDefault();
        model->setUndoRecording(run == Run::ImportWithUndo);
        Geometry::GeometryBuilder geometry;
        Tarvex::TarvexImporter importer(EntityModel::EntityFetcher::getChassis(model->getRoot()), nullptr, &geometry);
        const std::vector<EntityModel::Entity*> earlier =
            run == Run::Update ? importer.importModel(board.path, false) : std::vector<EntityModel::Entity*>();
        kept.clear();
        peak = std::make_unique<Bench::PeakScope>();
        state.ResumeTiming();
        built = (run == Run::Update ? importer.updateModel(board.path, earlier) : importer.importModel(board.path, false))
                    .size();
        save(*model, path);
        state.PauseTiming();
        kept.push_back(std::move(model));
        state.ResumeTiming();
    }
    report(state, board, peak.get());
    state.counters["top_level"] = double(built);
    state.counters["model_MB"] = double(QFile(path).size()) / 1e6;
}

void BM_FullImport(benchmark::State& state) { importOrUpdate(state, Run::Import); }

void BM_ImportWithUndo(benchmark::State& state) { importOrUpdate(state, Run::ImportWithUndo); }

void BM_Update(benchmark::State& state) { importOrUpdate(state, Run::Update); }

// The model imported from the board, saved once to its file.
std::unique_ptr<EntityModel::Model> importedModel(const benchmark::State& state)
{
    auto model = EntityModel::Model::createDefault();
    model->setUndoRecording(false);
    Geometry::GeometryBuilder geometry;
    Tarvex::TarvexImporter importer(EntityModel::EntityFetcher::getChassis(model->getRoot()), nullptr, &geometry);
    if (importer.importModel(generatedBoard(state).path, false).empty())
        std::abort();
    save(*model, modelPath(state));
    return model;
}

void BM_Save(benchmark::State& state)
{
    const std::unique_ptr<EntityModel::Model> model = importedModel(state);
    for (auto _ : state)
        save(*model, modelPath(state));
    report(state, generatedBoard(state));
    state.counters["model_MB"] = double(QFile(modelPath(state)).size()) / 1e6;
}

void BM_Load(benchmark::State& state)
{
    importedModel(state);
    std::unique_ptr<Bench::PeakScope> peak;
    for (auto _ : state) {
        peak = std::make_unique<Bench::PeakScope>();
        QString error;
        std::unique_ptr<EntityModel::Model> loaded = EntityModel::ModelFile::load(modelPath(state), &error);
        if (!loaded)
            std::abort();
        state.PauseTiming();
        loaded.reset();
        state.ResumeTiming();
    }
    report(state, generatedBoard(state), peak.get());
    state.counters["model_MB"] = double(QFile(modelPath(state)).size()) / 1e6;
}

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
        model->setUndoRecording(false);
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
            for (const auto& entry : {std::make_pair("BM_ReadFile", &BM_ReadFile),
                                      std::make_pair("BM_BareParse", &BM_BareParse),
                                      std::make_pair("BM_FullImport", &BM_FullImport),
                                      std::make_pair("BM_ImportWithUndo", &BM_ImportWithUndo),
                                      std::make_pair("BM_Update", &BM_Update),
                                      std::make_pair("BM_EntityBuilding", &BM_EntityBuilding),
                                      std::make_pair("BM_Save", &BM_Save),
                                      std::make_pair("BM_Load", &BM_Load)}) {
                if (entry.second == &BM_ImportWithUndo && megabytes >= 100)
                    continue; // the history of a 100 MB board alone is gigabytes
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
    // As the tool allocates (see app/main.cpp), baselines included.
    mallopt(M_MXFAST, 0);
    return Bench::runBenchmarks(argc, argv, registerBenchmarks);
}
