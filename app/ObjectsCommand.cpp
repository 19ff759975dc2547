#include "ObjectsCommand.h"

#include "Console.h"
#include "ObjectTreePrinter.h"

#include "host/ConsoleProgress.h"
#include "objects/TarvexObjectBuilder.h"

#include <QCommandLineParser>

#include <stdexcept>

int runObjectsCommand(const QStringList& arguments)
{
    const QString command = QStringLiteral("objects");
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Reads an interchange XML file and prints the object tree the import builds from it, before any "
        "host entity is made: one line per node with the part's kind, name, type, material and placed bound "
        "in metres (file axes, z up). Layers and cells of layered parts, and the parts of composites, follow "
        "their part with a dash.");
    parser.addPositionalArgument("FILE", "Interchange model file (XML).");
    const QCommandLineOption help(QStringList{"h", "help"}, "Show this help.");
    parser.addOption(help);
    if (!parser.parse(arguments))
        return usageError(parser, command, parser.errorText());
    if (parser.isSet(help)) {
        out() << commandHelp(parser, command);
        out().flush();
        return 0;
    }
    if (parser.positionalArguments().size() != 1)
        return usageError(parser, command, QStringLiteral("objects needs exactly one FILE"));

    const QString file = parser.positionalArguments().front();
    if (const QString problem = unreadable(file); !problem.isEmpty())
        return failure(QStringLiteral("Cannot open file %1: %2").arg(file, problem));

    Tools::ConsoleProgress progress;
    Tarvex::TarvexObjectBuilder builder(&progress);
    try {
        if (!builder.readFile(file))
            return failure(QString());
    } catch (const std::exception& error) {
        return failure(QStringLiteral("%1: %2").arg(file, QString::fromStdString(error.what())));
    }
    builder.buildTree();
    ObjectTreePrinter(out()).print(builder.takeObjects());
    return 0;
}
