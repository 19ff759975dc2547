// Reading an interchange XML file against the bare DOM parse of the same bytes: what the
// nesting and entity guard, the decoding and the version check cost.
#include "interchange/TarvexTXMXMLParser.h"

#include <QBuffer>
#include <QByteArray>
#include <QDomDocument>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

QDomElement appendElement(QDomDocument& document, QDomNode parent, const QString& name)
{
    QDomElement element = document.createElement(name);
    parent.appendChild(element);
    return element;
}

void appendGeom(QDomDocument& document, QDomElement& geomSet, int index)
{
    QDomElement geom = appendElement(document, geomSet, QStringLiteral("Geom"));
    geom.setAttribute(QStringLiteral("Name"), QStringLiteral("G%1").arg(index));
    geom.setAttribute(QStringLiteral("ObjectName"), QStringLiteral("U%1").arg(index / 8));
    geom.setAttribute(QStringLiteral("Type"), QStringLiteral("Package"));
    geom.setAttribute(QStringLiteral("MatName"), QStringLiteral("FR4"));
    geom.setAttribute(QStringLiteral("dz"), 0.125 * (index % 16 + 1));
    const double x = (index % 100) * 2.5;
    const double y = (index / 100) * 2.5;
    const double corners[4][2] = {{x, y}, {x + 2.0, y}, {x + 2.0, y + 2.0}, {x, y + 2.0}};
    for (const auto& corner : corners) {
        QDomElement node = appendElement(document, geom, QStringLiteral("node"));
        node.setAttribute(QStringLiteral("x"), corner[0]);
        node.setAttribute(QStringLiteral("y"), corner[1]);
        node.setAttribute(QStringLiteral("z"), 0.0);
    }
}

/// An interchange file of at least `megabytes` MB: units, materials and many footprints.
QByteArray generateModel(int megabytes)
{
    QDomDocument document =
        QDomImplementation().createDocument(QString(), QStringLiteral("TARVEX_INTERCHANGE_MODEL"), QDomDocumentType());
    QDomElement root = document.documentElement();
    root.setAttribute(QStringLiteral("SchemaVersion"), QStringLiteral("2025.1.0"));
    QDomElement units = appendElement(document, root, QStringLiteral("UNITSet"));
    appendElement(document, units, QStringLiteral("Length")).setAttribute(QStringLiteral("Unit"), QStringLiteral("mm"));
    appendElement(document, units, QStringLiteral("Power")).setAttribute(QStringLiteral("Unit"), QStringLiteral("W"));
    QDomElement materials = appendElement(document, root, QStringLiteral("MaterialSet"));
    for (int i = 0; i < 50; ++i) {
        QDomElement material = appendElement(document, materials, QStringLiteral("Material"));
        material.setAttribute(QStringLiteral("Name"), QStringLiteral("M%1").arg(i));
        material.setAttribute(QStringLiteral("k"), 0.3 + i);
        material.setAttribute(QStringLiteral("density"), 1850.0 + i);
        material.setAttribute(QStringLiteral("specificheat"), 1100.0);
    }
    QDomElement geomSet = appendElement(document, root, QStringLiteral("GEOMSet"));

    // Size one batch, then add as many as the target needs.
    const int batch = 1000;
    for (int i = 0; i < batch; ++i)
        appendGeom(document, geomSet, i);
    const qint64 batchBytes = document.toByteArray(1).size();
    const qint64 target = qint64(megabytes) * 1024 * 1024;
    const int total = int(batch * (target / batchBytes + 1));
    for (int i = batch; i < total; ++i)
        appendGeom(document, geomSet, i);
    return document.toByteArray(1);
}

const QByteArray& model(int megabytes)
{
    static const QByteArray small = generateModel(1);
    static const QByteArray large = generateModel(10);
    return megabytes >= 10 ? large : small;
}

void BM_TarvexTXMXMLParserRead(benchmark::State& state)
{
    const QByteArray& bytes = model(int(state.range(0)));
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

void BM_QDomDocumentSetContent(benchmark::State& state)
{
    const QByteArray& bytes = model(int(state.range(0)));
    for (auto _ : state) {
        QDomDocument document;
        if (!document.setContent(bytes))
            std::abort();
        benchmark::DoNotOptimize(document);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.counters["file_bytes"] = double(bytes.size());
}

} // namespace

BENCHMARK(BM_TarvexTXMXMLParserRead)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QDomDocumentSetContent)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
