#include "GenerateCommand.h"

#include "interchange/TXMXMLGenerator.h"

#include <QCommandLineParser>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>

namespace {

// Enough for files of several hundred megabytes; beyond that the DOM would not fit.
constexpr qlonglong maximumComponents = 1000000;
constexpr qlonglong maximumBalls = 5000000;
constexpr qlonglong maximumLayers = 100;

const char* const Synopsis = "tarvex generate --components M --balls K [--layers N] [--legacy] [--seed S] -o FILE";

int usageError(const QString& problem, const QCommandLineParser& parser)
{
    QTextStream err(stderr);
    err << "tarvex: " << problem << "\nUsage: " << Synopsis << "\n\n" << parser.helpText();
    return 2;
}

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

} // namespace

int runGenerateCommand(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a synthetic interchange model: a board with its layers, M components (blocks, "
                       "two-resistor models, packages with a die, heat sinks), their terminals and heat sources, "
                       "K solder balls and K solder bumps, and the materials they use. The same options always "
                       "give the same file. With --legacy the file uses the older layout that the reader "
                       "updates on reading."));
    const QCommandLineOption help(QStringList{"h", "help"}, QStringLiteral("Show this help."));
    const QCommandLineOption components("components", QStringLiteral("Number of components."), "M");
    const QCommandLineOption balls("balls", QStringLiteral("Number of solder balls, and of solder bumps."), "K");
    const QCommandLineOption layers("layers", QStringLiteral("Number of board layers (default 4)."), "N", "4");
    const QCommandLineOption legacy("legacy", QStringLiteral("Write the older layout, under the former root name."));
    const QCommandLineOption seed("seed", QStringLiteral("Seed of the sizes and positions (default 1)."), "S", "1");
    const QCommandLineOption output(QStringList{"o", "output"}, QStringLiteral("The file to write."), "FILE");
    for (const QCommandLineOption& option : {help, components, balls, layers, legacy, seed, output})
        parser.addOption(option);

    if (!parser.parse(arguments))
        return usageError(parser.errorText(), parser);
    if (parser.isSet(help)) {
        QTextStream(stdout) << "Usage: " << Synopsis << "\n\n" << parser.helpText();
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().front()), parser);
    if (!parser.isSet(components) || !parser.isSet(balls) || !parser.isSet(output))
        return usageError(QStringLiteral("generate needs --components M, --balls K and -o FILE"), parser);
    if (parser.value(output).isEmpty())
        return usageError(QStringLiteral("-o needs a file name"), parser);

    qlonglong componentCount = 0, ballCount = 0, layerCount = 0;
    QString problem;
    const bool ok = readCount(parser, "components", 0, maximumComponents, &componentCount, &problem) &&
                    readCount(parser, "balls", 0, maximumBalls, &ballCount, &problem) &&
                    readCount(parser, "layers", 1, maximumLayers, &layerCount, &problem);
    if (!ok)
        return usageError(problem, parser);
    bool seedOk = false;
    const qulonglong seedValue = parser.value(seed).toULongLong(&seedOk);
    if (!seedOk)
        return usageError(QStringLiteral("--seed takes a whole number from 0 to 18446744073709551615, not '%1'")
                              .arg(parser.value(seed)),
                          parser);

    Tarvex::TXMXMLGeneratorOptions options;
    options.components = int(componentCount);
    options.balls = int(ballCount);
    options.layers = int(layerCount);
    options.legacy = parser.isSet(legacy);
    options.seed = seedValue;
    const QByteArray bytes = Tarvex::TXMXMLGenerator::toXml(Tarvex::TXMXMLGenerator(options).generate());

    // Written aside and renamed, so that a failed write leaves no half file behind.
    const QString path = parser.value(output);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        QTextStream(stderr) << "error: Cannot write " << path << ": " << file.errorString() << '\n';
        return 1;
    }
    QTextStream(stdout) << "Wrote " << path << " (" << bytes.size() << " bytes, "
                        << (options.legacy ? "older layout" : "current layout") << "): " << options.layers
                        << " board layers, " << options.components << " components, " << options.balls
                        << " solder balls and as many bumps.\n";
    return 0;
}
