// Saving a host model of about 4 MB and of about 260 MB of JSON, built by importing a
// generated interchange file into a new project's chassis. In the same run, on the same
// model and into the same file of a temporary folder:
//   BM_ToJson             ModelFile::toJson alone (the text every save writes);
//   BM_PlainSave          toJson, then one unchecked QSaveFile write and commit (the save
//                         of before: no check of the write, no sync to disk);
//   BM_PlainSyncedSave    the same with a flush and an fsync before the commit, so that the
//                         cost of the sync can be told apart from that of the checks;
//   BM_CheckedSave        ModelFile::save (AtomicFile: every write, the flush, the sync and
//                         the rename checked, mode and owner kept);
// and BM_PlainSaveLocked / BM_CheckedSaveLocked, the two saves with a QLockFile beside the
// model taken before and released after, as the tool does from loading to saving.
// Bytes per second count the JSON bytes written; the ratio of BM_CheckedSaveLocked to
// BM_PlainSave is the cost of the checked, locked save over the save of before.
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/ModelFile.h>
#include <tarvex/import/TarvexImporter.h>
#include <tarvex/interchange/TXMXMLGenerator.h>
#include "support/RecordingProgress.h"

#include <QByteArray>
#include <QFile>
#include <QLockFile>
#include <QSaveFile>
#include <QString>
#include <QTemporaryDir>

#include "BenchMain.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

using EntityModel::Model;
using EntityModel::ModelFile;

// The folder of every generated and saved file, for the whole run.
QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    if (!dir.isValid())
        std::abort();
    return dir;
}

// A new project with the generated board of `components` components (and twice as many
// solder balls and bumps) imported below its chassis, as `tarvex import` builds it.
std::unique_ptr<Model> importedModel(int components)
{
    Tarvex::TXMXMLGeneratorOptions options;
    options.layers = 8;
    options.components = components;
    options.balls = 2 * components;
    options.seed = 2026;
    const QString xmlPath = folder().filePath(QStringLiteral("board-%1.xml").arg(components));
    {
        const QByteArray xml = Tarvex::TXMXMLGenerator::toXml(Tarvex::TXMXMLGenerator(options).generate());
        QFile out(xmlPath);
        if (!out.open(QIODevice::WriteOnly) || out.write(xml) != xml.size() || !out.flush())
            std::abort();
    }
    std::unique_ptr<Model> model = Model::createDefault();
    Tools::RecordingProgress progress;
    Geometry::GeometryBuilder geometry;
    Tarvex::TarvexImporter importer(EntityModel::EntityFetcher::getChassis(model->getRoot()), &progress, &geometry);
    if (importer.importModel(xmlPath, false).empty())
        std::abort();
    QFile::remove(xmlPath);
    return model;
}

struct SavedModel
{
    std::unique_ptr<Model> model;
    qint64 jsonBytes = 0;
    QString path;
};

// The model of about `megabytes` MB of JSON, made once per size: the component count comes
// from the JSON bytes per component of a small import. The file it is saved to exists
// before any case runs, so that every case replaces a model of the same size.
SavedModel& savedModel(int megabytes)
{
    static std::map<int, SavedModel> models;
    SavedModel& saved = models[megabytes];
    if (!saved.model) {
        const int sample = 200;
        const double perComponent = double(ModelFile::toJson(*importedModel(sample)).size()) / sample;
        const int components = int(std::lround(megabytes * 1024.0 * 1024.0 / perComponent));
        saved.model = importedModel(components);
        saved.path = folder().filePath(QStringLiteral("model-%1.json").arg(megabytes));
        QString error;
        if (!ModelFile::save(*saved.model, saved.path, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            std::abort();
        }
        saved.jsonBytes = QFile(saved.path).size();
        std::fprintf(stderr, "model of %d components: %lld bytes of JSON\n", components,
                     static_cast<long long>(saved.jsonBytes));
    }
    return saved;
}

// The save of before: the write and the commit, neither result looked at beyond the commit.
bool plainSave(const Model& model, const QString& path, bool sync)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(ModelFile::toJson(model));
    if (sync && (!file.flush() || ::fsync(file.handle()) != 0))
        return false;
    return file.commit();
}

bool checkedSave(const Model& model, const QString& path)
{
    QString error;
    if (ModelFile::save(model, path, &error))
        return true;
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return false;
}

template <typename Body> void run(benchmark::State& state, bool locked, Body body)
{
    SavedModel& saved = savedModel(int(state.range(0)));
    for (auto _ : state) {
        if (locked) {
            // As the tool locks: never stale by age, only when its process is gone.
            QLockFile lock(saved.path + QStringLiteral(".lock"));
            lock.setStaleLockTime(0);
            if (!lock.tryLock(0))
                std::abort();
            if (!body(saved))
                std::abort();
            lock.unlock();
        } else if (!body(saved)) {
            std::abort();
        }
    }
    state.SetBytesProcessed(state.iterations() * saved.jsonBytes);
    state.counters["json_bytes"] = double(saved.jsonBytes);
}

void BM_ToJson(benchmark::State& state)
{
    run(state, false, [](SavedModel& saved) {
        const QByteArray json = ModelFile::toJson(*saved.model);
        benchmark::DoNotOptimize(json.constData());
        return json.size() == saved.jsonBytes;
    });
}

void BM_PlainSave(benchmark::State& state)
{
    run(state, false, [](SavedModel& saved) { return plainSave(*saved.model, saved.path, false); });
}

void BM_PlainSyncedSave(benchmark::State& state)
{
    run(state, false, [](SavedModel& saved) { return plainSave(*saved.model, saved.path, true); });
}

void BM_CheckedSave(benchmark::State& state)
{
    run(state, false, [](SavedModel& saved) { return checkedSave(*saved.model, saved.path); });
}

void BM_PlainSaveLocked(benchmark::State& state)
{
    run(state, true, [](SavedModel& saved) { return plainSave(*saved.model, saved.path, false); });
}

void BM_CheckedSaveLocked(benchmark::State& state)
{
    run(state, true, [](SavedModel& saved) { return checkedSave(*saved.model, saved.path); });
}

// The cases of one size run one after the other, so that they share the machine's state;
// the large model gets a fixed, small number of iterations.
void registerBenchmarks()
{
    for (const int megabytes : {4, 260}) {
        for (const auto& entry : {std::make_pair("BM_ToJson", &BM_ToJson),
                                  std::make_pair("BM_PlainSave", &BM_PlainSave),
                                  std::make_pair("BM_PlainSyncedSave", &BM_PlainSyncedSave),
                                  std::make_pair("BM_CheckedSave", &BM_CheckedSave),
                                  std::make_pair("BM_PlainSaveLocked", &BM_PlainSaveLocked),
                                  std::make_pair("BM_CheckedSaveLocked", &BM_CheckedSaveLocked)}) {
            benchmark::internal::Benchmark* benchmark = benchmark::RegisterBenchmark(entry.first, entry.second);
            benchmark->ArgName("MB")->Arg(megabytes)->Unit(benchmark::kMillisecond)->UseRealTime();
            if (megabytes >= 100)
                benchmark->Iterations(3);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    return Bench::runBenchmarks(argc, argv, registerBenchmarks);
}
