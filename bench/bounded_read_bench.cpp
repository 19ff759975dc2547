// Each bounded reader at its limit, beside a baseline measured in the same run on the same
// file (the bare parse or read of its bytes): a material map of 300 000 cells, text and XML
// layouts of 10 000 layers, a map line of 32 MiB, area power maps of 300 000 blocks to
// slice, a legacy power map cut into 300 000 rectangles, and the interchange readers on
// large generated files.
//
// Every case reports "peak_MiB", how far the resident memory rose above where it stood while
// the case ran (the peak is reset first through /proc/self/clear_refs), and each bounded
// case "x_base", its mean time over that of its baseline.
//
// For the memory of the interchange readers per byte of input, run one read per process:
//   bounded_read_bench --peak=xml FILE    (TarvexTXMXMLParser::readFile)
//   bounded_read_bench --peak=json FILE   (TarvexTXMJsonParser::readFile)
// which prints the file's size, the peak growth and their ratio.

#include <tarvex/host/XMLDOMReader.h>
#include <tarvex/interchange/TXMXMLGenerator.h>
#include <tarvex/interchange/TarvexTXMJsonParser.h>
#include <tarvex/interchange/TarvexTXMXMLParser.h>
#include <tarvex/maps/MaterialMapNumber.h>
#include <tarvex/maps/NorvaneTXMFormatParser.h>
#include <tarvex/maps/TarvexLegacyPowerMapReader.h>
#include <tarvex/maps/TarvexMaterialMapImporter.h>
#include <tarvex/maps/TarvexPowerMapImporter.h>
#include <tarvex/maps/UniformGridMaterialMapImporter.h>

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include "PeakMemory.h"

#include "BenchMain.h"

#include <benchmark/benchmark.h>


#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

namespace {

using Bench::PeakScope;

QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    return dir;
}

// The file `name`, written once by `write` into the bytes it is handed.
QString file(const QString& name, const std::function<void(QFile&)>& write)
{
    static std::map<QString, QString> made;
    QString& path = made[name];
    if (path.isEmpty()) {
        path = folder().filePath(name);
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        write(out);
    }
    return path;
}

QByteArray numbers(int count, int seed)
{
    QByteArray line;
    for (int i = 0; i < count; ++i)
        line += QByteArray::number(((seed * 7919 + i * 104729) % 1000) / 1000.0) + (i + 1 < count ? " " : "");
    return line;
}

// 300 rows of 1000 densities: the cells a model holds.
QString csvGrid()
{
    return file("grid.csv", [](QFile& out) {
        for (int row = 0; row < 300; ++row)
            out.write(numbers(1000, row).replace(' ', ',') + '\n');
    });
}

// 10 000 layers of 30 cells each, every LAYER line or element followed by its densities.
QString textLayout()
{
    return file("layout.txt", [](QFile& out) {
        out.write("LAYOUT_MAP\nAREA 0 0 3 2\n");
        for (int i = 0; i < Tarvex::TarvexMaterialMapImporter::MaxLayoutLayers; ++i)
            out.write("LAYER L" + QByteArray::number(i) + " FR4 Cu 0.001 " + QByteArray::number(i * 0.001) +
                      "\nMETAL_DENSITY\n1 30\n" + numbers(30, i) + "\nEND_METAL_DENSITY\n");
        out.write("END_LAYOUT_MAP\n");
    });
}

QString xmlLayout()
{
    return file("layout.xml", [](QFile& out) {
        out.write("<Layout version=\"1\"><LAYOUT_MAP><AREA x0=\"0\" x1=\"3\" y0=\"0\" y1=\"2\"/>\n");
        for (int i = 0; i < Tarvex::TarvexMaterialMapImporter::MaxLayoutLayers; ++i)
            out.write("<LAYER name=\"L" + QByteArray::number(i) + "\" diel_material=\"FR4\" metal_material=\"Cu\" z=\"" +
                      QByteArray::number(i * 0.001) + "\" thickness=\"0.001\"/><GRID row=\"1\" col=\"30\"/>"
                      "<METAL_DENSITY>" + numbers(30, i) + "</METAL_DENSITY>\n");
        out.write("</LAYOUT_MAP></Layout>\n");
    });
}

// A grid power map whose one line of values is just under the longest line taken.
QString longLine()
{
    return file("long-line.txt", [](QFile& out) {
        const qint64 values = (Tarvex::NorvaneTXMFormatParser::MaxLineBytes - 64) / 6;
        out.write("POWER_MAP\n" + QByteArray::number(values) + " 1\n");
        const QByteArray chunk = QByteArray("0.125 ").repeated(1 << 16);
        for (qint64 written = 0; written + (1 << 16) <= values; written += 1 << 16)
            out.write(chunk);
        out.write(QByteArray("0.125 ").repeated(int(values % (1 << 16))) + "\nEND_POWER_MAP\n");
    });
}

// Square tiles over a 10 mm die, side by side: each one a block or a rectangle of its own.
void writeTiles(QFile& out, int side, const QByteArray& power)
{
    const double pitch = 10000.0 / side;
    for (int i = 0; i < side * side; ++i)
        out.write(QByteArray::number((i % side) * pitch) + ' ' + QByteArray::number((i / side) * pitch) + ' ' +
                  QByteArray::number((i % side + 1) * pitch) + ' ' + QByteArray::number((i / side + 1) * pitch) + ' ' +
                  power + '\n');
}

// 547 x 547 = 299 209 blocks, the most the slicing takes being 300 000.
constexpr int tileSide = 547;

QString areaPowerMap()
{
    return file("area-power-map.txt", [](QFile& out) {
        out.write("LENGTH um\nDIE_AREA 0 0 10000 10000\nAREA_POWER_MAP\n" +
                  QByteArray::number(tileSide * tileSide) + '\n');
        writeTiles(out, tileSide, "0.001");
        out.write("END_AREA_POWER_MAP\n");
    });
}

QString legacyPowerMap()
{
    return file("legacy-power-map.txt", [](QFile& out) {
        out.write("Length Unit : um\nPOWER Unit : mW\nPOWER_MAP_AREA 0 0 10000 10000\nAREA_POWER_MAP\n" +
                  QByteArray::number(tileSide * tileSide) + '\n');
        writeTiles(out, tileSide, "1.5");
    });
}

// A generated interchange model of about 100 MB.
QString interchangeXml()
{
    return file("model.xml", [](QFile& out) {
        Tarvex::TXMXMLGeneratorOptions options;
        options.components = 50000;
        options.balls = 250000;
        options.seed = 14;
        out.write(Tarvex::TXMXMLGenerator::toXml(Tarvex::TXMXMLGenerator(options).generate()));
    });
}

// An import list of about `megabytes` MB: entries naming files and where to place them.
QString interchangeJson(int megabytes)
{
    return file(QStringLiteral("list-%1.json").arg(megabytes), [megabytes](QFile& out) {
        out.write("{\"Version\": \"2025.1.0\", \"Mode\": \"assembly\", \"TARVEX_INTERCHANGE_MODEL\": {\"Import\": [\n");
        const qint64 entries = qint64(megabytes) * 1024 * 1024 / 73; // an entry takes about 73 bytes
        for (qint64 i = 0; i < entries; ++i)
            out.write("{\"File\": \"part-" + QByteArray::number(i) + ".xml\", \"CENX\": " +
                      QByteArray::number(i * 0.001) + ", \"CENY\": 0.25, \"MINZ\": 1.5}" +
                      (i + 1 < entries ? ",\n" : "\n"));
        out.write("]}}\n");
    });
}

// The baseline: the file's bytes cut at blanks, commas and line ends, every number converted.
size_t bareNumbers(const QString& path)
{
    QFile in(path);
    in.open(QIODevice::ReadOnly);
    const QByteArray bytes = in.readAll();
    size_t count = 0;
    const char* at = bytes.constData();
    const char* end = at + bytes.size();
    while (at < end) {
        const char* token = at;
        while (at < end && *at != ',' && *at != ' ' && *at != '\n')
            ++at;
        double value = 0;
        count += at > token && Tarvex::MaterialMapNumber::toDouble(token, size_t(at - token), value);
        ++at;
    }
    return count;
}

bool formatParse(const QString& path)
{
    Tarvex::NorvaneTXMFormatParser parser(path.toStdString(), nullptr);
    return parser.parseFile();
}

bool domParse(const QString& path)
{
    QFile in(path);
    in.open(QIODevice::ReadOnly);
    InterProcess::XMLDOMReader::Failure failure;
    return !InterProcess::XMLDOMReader::read(&in, &failure).isNull();
}

bool jsonParse(const QString& path)
{
    QFile in(path);
    in.open(QIODevice::ReadOnly);
    return QJsonDocument::fromJson(in.readAll()).isObject();
}

// One case: the file it reads, and the operation, true when it read what it should.
struct Case
{
    const char* name;
    std::function<QString()> path;
    std::function<bool(const QString&)> baseline;
    std::function<bool(const QString&)> bounded;
};

const std::vector<Case>& cases()
{
    static const std::vector<Case> all = {
        {"csv_grid_300k_cells", csvGrid, [](const QString& p) { return bareNumbers(p) == 300000; },
         [](const QString& p) {
             const auto records = Tarvex::UniformGridMaterialMapImporter(nullptr).readMaterialMapData(p);
             return records.size() == 1 && records[0].metalDensity.size() == 300000;
         }},
        {"text_layout_10k_layers", textLayout, formatParse,
         [](const QString& p) { return Tarvex::TarvexMaterialMapImporter(nullptr).readMaterialMapData(p).size() == 10000; }},
        {"xml_layout_10k_layers", xmlLayout, domParse,
         [](const QString& p) { return Tarvex::TarvexMaterialMapImporter(nullptr).readMaterialMapData(p).size() == 10000; }},
        {"map_line_32MiB", longLine, [](const QString& p) { return bareNumbers(p) > 0; }, formatParse},
        {"power_map_299k_blocks", areaPowerMap, formatParse,
         [](const QString& p) { return Tarvex::TarvexPowerMapImporter(nullptr).readPowerMapData(p).size() == 1; }},
        {"legacy_power_map_299k_rectangles", legacyPowerMap, [](const QString& p) { return bareNumbers(p) > 0; },
         [](const QString& p) {
             std::vector<Tarvex::TarvexPowerMapArea> areas;
             Tarvex::TarvexLegacyPowerMapReader().read(p, areas);
             return areas.size() == size_t(tileSide) * tileSide;
         }},
        {"interchange_xml_100MB", interchangeXml, domParse,
         [](const QString& p) { return bool(Tarvex::TarvexTXMXMLParser().readFile(p)); }},
        {"interchange_json_100MB", [] { return interchangeJson(100); }, jsonParse,
         [](const QString& p) { return bool(Tarvex::TarvexTXMJsonParser().readFile(p)); }},
    };
    return all;
}

std::map<std::string, double>& baselineSeconds()
{
    static std::map<std::string, double> seconds;
    return seconds;
}

void run(benchmark::State& state, const Case& c, bool baseline)
{
    const QString path = c.path();
    const auto& operation = baseline ? c.baseline : c.bounded;
    double seconds = 0;
    const PeakScope peak;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!operation(path))
            state.SkipWithError("the file was not read");
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["peak_MiB"] = peak.growthMiB();
    const double mean = seconds / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    if (baseline)
        baselineSeconds()[c.name] = mean;
    else if (baselineSeconds().count(c.name))
        state.counters["x_base"] = mean / baselineSeconds()[c.name];
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}

// Prints the growth of one interchange read per byte of the file.
int printPeak(const std::string& kind, const QString& path)
{
    const PeakScope peak;
    const bool read = kind == "json" ? bool(Tarvex::TarvexTXMJsonParser().readFile(path))
                                     : bool(Tarvex::TarvexTXMXMLParser().readFile(path));
    const double growth = peak.growthMiB();
    const double size = double(QFile(path).size()) / (1024.0 * 1024.0);
    std::printf("%s %s: %s, file %.1f MiB, peak growth %.1f MiB = %.1f x the file\n", kind.c_str(),
                qPrintable(path), read ? "read" : "NOT READ", size, growth, growth / size);
    return read ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strncmp(argv[1], "--peak=", 7) == 0)
        return printPeak(argv[1] + 7, QString::fromLocal8Bit(argv[2]));
    return Bench::runBenchmarks(argc, argv, [] {
        for (const Case& c : cases()) {
            for (const bool baseline : {true, false}) {
                const std::string name = std::string(c.name) + (baseline ? "/baseline" : "/bounded");
                benchmark::RegisterBenchmark(name.c_str(),
                                             [&c, baseline](benchmark::State& state) { run(state, c, baseline); })
                    ->Unit(benchmark::kMillisecond)
                    ->Iterations(std::strstr(c.name, "interchange") ? 1 : 3);
            }
        }
    });
}
