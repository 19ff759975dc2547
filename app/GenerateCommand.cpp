#include "CommandLine.h"
#include "Console.h"

#include <tarvex/host/AtomicFile.h>
#include <tarvex/interchange/TXMXMLGenerator.h>
#include <tarvex/interchange/TarvexTXMXMLDocument.h>

#include <QDir>
#include <QFileInfo>

namespace {

// Enough for files of several hundred megabytes; beyond that the DOM would not fit.
constexpr qlonglong maximumComponents = 1000000;
constexpr qlonglong maximumBalls = 5000000;
constexpr qlonglong maximumLayers = 100;

// Reads the integer option `name` in [minimum, maximum] into `value`; false after
// reporting when it is not one.
bool readCount(const QCommandLineParser& parser, const QString& name, qlonglong minimum, qlonglong maximum,
               qlonglong* value, QString* problem)
{
    bool ok = false;
    const qlonglong number = parser.value(name).toLongLong(&ok);
    if (!ok || number < minimum || number > maximum) {
        *problem = QStringLiteral("--%1 takes a whole number from %2 to %3, not '%4'")
                       .arg(name)
                       .arg(minimum)
                       .arg(maximum)
                       .arg(parser.value(name));
        return false;
    }
    *value = number;
    return true;
}

// A signal layout for the layer `include` names: one map layer over the whole layer (no
// area), its metal denser towards one corner, at the layer's own height and thickness (the
// import refuses a map layer outside the board layer it is applied to). Metal and dielectric
// are the include's.
QByteArray layoutFor(const Tarvex::TXMXMLLayoutInclude& include, const QList<Tarvex::TXMXMLGeom>& geoms)
{
    double elevation = 0.0;
    double thickness = 0.035;
    for (const Tarvex::TXMXMLGeom& geom : geoms) {
        if (geom.getName() == include.getObjectName() && !geom.getNodes().isEmpty()) {
            elevation = geom.getNodes().first().getZ();
            thickness = geom.getDz();
            break;
        }
    }
    return QStringLiteral("LAYOUT 2025.1\nLENGTH\tmm\nLAYOUT_MAP\nNUMBER_OF_LAYERS 1\n"
                          "LAYER %1 %2 %3 %4 %5\nMETAL_DENSITY\n2 2\n0.20 0.40\n0.60 0.80\n"
                          "END_METAL_DENSITY\nEND_LAYER\nEND_LAYOUT_MAP\n")
        .arg(include.getObjectName(), include.getDielectricMat(), include.getMetalMat())
        .arg(thickness)
        .arg(elevation)
        .toUtf8();
}

} // namespace

int runGenerateCommand(CommandParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Writes a synthetic interchange model: a board with its layers, M components (blocks, "
                       "two-resistor models, packages with a die, heat sinks), their terminals and heat sources, "
                       "K solder balls and K solder bumps, and the materials they use. The same options always "
                       "give the same file. With --legacy the file uses the older layout that the reader "
                       "updates on reading."));
    const QCommandLineOption components("components", QStringLiteral("Number of components."), "M");
    const QCommandLineOption balls("balls", QStringLiteral("Number of solder balls, and of solder bumps."), "K");
    const QCommandLineOption layers("layers", QStringLiteral("Number of board layers (default 4)."), "N", "4");
    const QCommandLineOption legacy("legacy", QStringLiteral("Write the older layout, under the former root name."));
    const QCommandLineOption seed("seed", QStringLiteral("Seed of the sizes and positions (default 1)."), "S", "1");
    const QCommandLineOption output(QStringList{"o", "output"},
                                    QStringLiteral("The file to write, \"-\" for standard output (the layout files "
                                                   "the model names are then written to the current folder)."),
                                    "FILE");
    parser.addOptions({components, balls, layers, legacy, seed, output});
    if (const std::optional<int> status = parser.read(0, 0, {components, balls, output},
                                                      QStringLiteral("generate needs --components M, --balls K and -o FILE")))
        return *status;
    if (parser.value(output).isEmpty())
        return parser.usageError(QStringLiteral("-o needs a file name"));

    qlonglong componentCount = 0, ballCount = 0, layerCount = 0;
    QString problem;
    const bool ok = readCount(parser, "components", 0, maximumComponents, &componentCount, &problem) &&
                    readCount(parser, "balls", 0, maximumBalls, &ballCount, &problem) &&
                    readCount(parser, "layers", 1, maximumLayers, &layerCount, &problem);
    if (!ok)
        return parser.usageError(problem);
    bool seedOk = false;
    const qulonglong seedValue = parser.value(seed).toULongLong(&seedOk);
    if (!seedOk)
        return parser.usageError(QStringLiteral("--seed takes a whole number from 0 to 18446744073709551615, not '%1'")
                                     .arg(parser.value(seed)));

    Tarvex::TXMXMLGeneratorOptions options;
    options.components = int(componentCount);
    options.balls = int(ballCount);
    options.layers = int(layerCount);
    options.legacy = parser.isSet(legacy);
    options.seed = seedValue;
    const Tarvex::TarvexTXMXMLDocument document = Tarvex::TXMXMLGenerator(options).generate();
    const QByteArray bytes = Tarvex::TXMXMLGenerator::toXml(document);

    // Written aside and renamed, every write checked, so that a failed write leaves no half
    // file behind and an old file as it was.
    const bool toStandardOutput = isStandardStream(parser.value(output));
    const QString path = parser.outputValue(output);
    QString writeProblem;
    if (!EntityModel::AtomicFile::write(path, bytes, QStringLiteral("the old file"), &writeProblem))
        return failure(writeProblem);
    // The layouts the model names are written beside it, so that it imports whole (from
    // standard input it is read as a file of the current folder).
    const QDir directory = toStandardOutput ? QDir::current() : QFileInfo(path).absoluteDir();
    int layouts = 0;
    const QList<Tarvex::TXMXMLGeom> geoms = document.getModel().getGeomSet().getGeoms();
    for (const Tarvex::TXMXMLLayoutInclude& include : document.getModel().getLayoutSet().getIncludes()) {
        if (include.getFile().isEmpty())
            continue;
        ++layouts;
        const QString layoutPath = directory.filePath(include.getFile());
        if (!EntityModel::AtomicFile::write(layoutPath, layoutFor(include, geoms), QStringLiteral("the old file"), &writeProblem))
            return failure(writeProblem);
    }
    if (toStandardOutput && !sendStandardOutput())
        return 1;
    report() << "Wrote " << (toStandardOutput ? QStringLiteral("the model to standard output") : path) << " ("
             << bytes.size() << " bytes, " << (options.legacy ? "older layout" : "current layout") << "): "
             << options.layers << " board layers, " << options.components << " components, " << options.balls
             << " solder balls and as many bumps.\n";
    if (toStandardOutput && layouts > 0)
        report() << "Wrote the " << layouts << (layouts == 1 ? " layout file" : " layout files")
                 << " it names to the current folder.\n";
    report().flush();
    err().flush();
    return 0;
}
