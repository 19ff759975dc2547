// Drawing a board of 100 000 solder balls (and as many bumps, 4 000 components) as PNG and
// as SVG, beside the import of the same generated file into a fresh model. Each case reports
// its time and how far the resident memory rose while it ran (peak_MiB); a picture should
// take well under 2 s and less memory than the import of the model it shows.
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/Model.h>
#include <tarvex/import/TarvexImporter.h>
#include <tarvex/interchange/TXMXMLGenerator.h>
#include <tarvex/render/ModelSceneBuilder.h>
#include <tarvex/render/SceneRenderer.h>

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "BenchMain.h"
#include "PeakMemory.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr int Balls = 100000;

const QString& generatedBoard()
{
    static QTemporaryDir folder;
    static QString path;
    if (path.isEmpty()) {
        Tarvex::TXMXMLGeneratorOptions options;
        options.layers = 8;
        options.components = Balls / 25;
        options.balls = Balls;
        options.seed = 2026;
        const QByteArray bytes = Tarvex::TXMXMLGenerator::toXml(Tarvex::TXMXMLGenerator(options).generate());
        path = folder.filePath(QStringLiteral("board.xml"));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            std::abort();
    }
    return path;
}

struct ImportedBoard
{
    std::unique_ptr<EntityModel::Model> model = EntityModel::Model::createDefault();
    EntityModel::Entity* chassis = EntityModel::EntityFetcher::getChassis(model->getRoot());

    ImportedBoard()
    {
        Geometry::GeometryBuilder geometry;
        Tarvex::TarvexImporter importer(chassis, nullptr, &geometry);
        if (importer.importModel(generatedBoard(), false).empty())
            std::abort();
    }
};

void BM_Import(benchmark::State& state)
{
    generatedBoard();
    double peak = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        const Bench::PeakScope memory;
        state.ResumeTiming();
        auto board = std::make_unique<ImportedBoard>();
        peak = memory.growthMiB();
        state.PauseTiming();
        board.reset();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = peak;
}

// The whole of `tarvex render` after the model is loaded: the scene gathered from the
// entities, drawn and encoded.
void renderCase(benchmark::State& state, bool svg)
{
    static const ImportedBoard board;
    double peak = 0.0;
    size_t balls = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        // Starting the scope trims the heap, which is not the picture's work.
        state.PauseTiming();
        const Bench::PeakScope memory;
        state.ResumeTiming();
        const Render::RenderScene scene = Render::ModelSceneBuilder::build(*board.chassis);
        const Render::SceneRenderer renderer(scene, Render::View::Top);
        QByteArray encoded;
        if (svg) {
            encoded = renderer.toSvg(Render::SceneRenderer::defaultSize());
        } else {
            QBuffer buffer(&encoded);
            buffer.open(QIODevice::WriteOnly);
            renderer.toImage(Render::SceneRenderer::defaultSize()).save(&buffer, "PNG");
        }
        peak = memory.growthMiB();
        balls = scene.balls.size();
        bytes = encoded.size();
    }
    state.counters["peak_MiB"] = peak;
    state.counters["balls_and_bumps"] = double(balls);
    state.counters["output_MB"] = double(bytes) / 1e6;
}

// The gathering of the scene alone, the part both formats share.
void BM_Scene(benchmark::State& state)
{
    static const ImportedBoard board;
    for (auto _ : state)
        benchmark::DoNotOptimize(Render::ModelSceneBuilder::build(*board.chassis));
}

void BM_RenderPng(benchmark::State& state) { renderCase(state, false); }

void BM_RenderSvg(benchmark::State& state) { renderCase(state, true); }

void registerBenchmarks()
{
    benchmark::RegisterBenchmark("BM_Import", &BM_Import)->Unit(benchmark::kMillisecond)->Iterations(1);
    benchmark::RegisterBenchmark("BM_Scene", &BM_Scene)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("BM_RenderPng", &BM_RenderPng)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("BM_RenderSvg", &BM_RenderSvg)->Unit(benchmark::kMillisecond)->Iterations(3);
}

} // namespace

int main(int argc, char** argv)
{
    // Text needs a GUI application; the offscreen platform needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    return Bench::runBenchmarks(argc, argv, registerBenchmarks);
}
