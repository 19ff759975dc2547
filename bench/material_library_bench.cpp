// Reading and importing a large material library of the 3D solver tool, beside the bare
// DOM parse of the same file: what the table parsing, unit conversion and host entities
// cost on top of the XML parser.
#include <tarvex/host/LibraryManager.h>
#include <tarvex/host/Model.h>
#include <tarvex/model3d/TarvexMaterialImporter.h>

#include <QByteArray>
#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int materialCount = 10000;
constexpr int rowCount = 50;

/// A library of `materialCount` materials, each with `rowCount` rows in each of its four
/// tables, every property varying with temperature.
QByteArray generateLibrary()
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Norvane_Material_Lib Version=\"1.05\">\n"
                     "<DataDescriptions>\n"
                     "<Metal><Column name=\"Temperature\" unit=\"C\"/><Column name=\"Conductivity\" unit=\"S/m\"/></Metal>\n"
                     "<Thermal><Column name=\"Temperature\" unit=\"C\"/><Column name=\"Conductivity\" unit=\"W/(m*K)\"/>"
                     "<Column name=\"Density\" unit=\"kg/m^3\"/><Column name=\"Specific heat\" unit=\"J/(kg*K)\"/>"
                     "<Column name=\"Emissivity\"/><Column name=\"Solar Reflectance\"/></Thermal>\n"
                     "<Structural><Elasticity><Column name=\"Temperature\" unit=\"C\"/>"
                     "<Column name=\"Youngs Modulus\" unit=\"Pa\"/><Column name=\"Poissons Ratio\"/></Elasticity>\n"
                     "<CTE><Column name=\"Temperature\" unit=\"C\"/><Column name=\"CTE\" unit=\"1/C\"/></CTE></Structural>\n"
                     "</DataDescriptions>\n";
    for (int m = 0; m < materialCount; ++m) {
        QByteArray metal;
        QByteArray thermal;
        QByteArray elasticity;
        QByteArray cte;
        for (int r = 0; r < rowCount; ++r) {
            const QByteArray t = QByteArray::number(-55 + 5 * r);
            metal += t + ' ' + QByteArray::number(5.8e7 - 1e5 * r - m, 'g', 6) + '\n';
            thermal += t + ' ' + QByteArray::number(400.0 - 0.5 * r + m * 1e-3, 'g', 6) + ' ' +
                       QByteArray::number(8900 + r) + ' ' + QByteArray::number(385.0 + 0.25 * r, 'g', 6) +
                       " 0.05 0.6\n";
            elasticity += t + ' ' + QByteArray::number(1.1e11 - 1e8 * r, 'g', 6) + ' ' +
                          QByteArray::number(0.34 + 1e-4 * r, 'g', 6) + '\n';
            cte += t + ' ' + QByteArray::number(1.6e-5 + 1e-8 * r, 'g', 6) + '\n';
        }
        xml += "<Material name=\"M" + QByteArray::number(m) + "\">\n<Metal><Model>\n" + metal +
               "</Model></Metal>\n<Thermal><Model>\n" + thermal + "</Model></Thermal>\n<Structural><Elasticity>\n" +
               elasticity + "</Elasticity><CTE RefTemperature=\"25\">\n" + cte + "</CTE></Structural>\n</Material>\n";
    }
    return xml + "</Norvane_Material_Lib>\n";
}

/// The generated library, written once per run.
const QString& libraryFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath(QStringLiteral("library.xml"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(generateLibrary()) < 0)
            std::abort();
        return file;
    }();
    return path;
}

qint64 fileSize() { return QFile(libraryFile()).size(); }

void setCounters(benchmark::State& state)
{
    state.SetBytesProcessed(state.iterations() * fileSize());
    state.SetItemsProcessed(state.iterations() * materialCount);
}

/// The baseline: the file's bytes through `QDomDocument::setContent`, nothing more.
void BM_DomSetContent(benchmark::State& state)
{
    for (auto _ : state) {
        QFile file(libraryFile());
        if (!file.open(QIODevice::ReadOnly))
            std::abort();
        QDomDocument document;
        if (!document.setContent(file.readAll()))
            std::abort();
        benchmark::DoNotOptimize(document);
    }
    setCounters(state);
}

/// The reader: guard, DOM parse, and every material's tables into SI curves.
void BM_ReadMaterials(benchmark::State& state)
{
    for (auto _ : state) {
        Tarvex3D::TarvexMaterialImporter importer(nullptr);
        const std::vector<Tarvex3D::Tarvex3DMaterial> materials = importer.readMaterials(libraryFile());
        if (materials.size() != size_t(materialCount))
            std::abort();
        benchmark::DoNotOptimize(materials.data());
    }
    setCounters(state);
}

/// The whole import: reading, then a host material per material, copied into a new host
/// library.
void BM_ImportMaterialLibrary(benchmark::State& state)
{
    for (auto _ : state) {
        EntityModel::LibraryManager manager;
        Tarvex3D::TarvexMaterialImporter importer(nullptr);
        importer.setLibraryManager(&manager);
        if (!importer.importMaterialLibrary(libraryFile()))
            std::abort();
        const EntityModel::Entity* library =
            manager.findLibraryByLibraryPath(Tarvex3D::TarvexMaterialImporter::libraryName);
        if (manager.getLibraryItems(library).size() != size_t(materialCount))
            std::abort();
    }
    setCounters(state);
}

} // namespace

BENCHMARK(BM_DomSetContent)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadMaterials)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportMaterialLibrary)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
