#include "CommandLine.h"
#include "Console.h"
#include "ObjectTreePrinter.h"

#include "ConsoleProgress.h"
#include <tarvex/host/ForwardingProgress.h>
#include <tarvex/host/XMLDOMReader.h>
#include <tarvex/objectbuild/TarvexObjectBuilder.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>

#include <stdexcept>

int runObjectsCommand(CommandParser& parser)
{
    parser.setApplicationDescription(
        "Reads an interchange XML file and prints the object tree the import builds from it, before any "
        "host entity is made: one line per node with the part's kind, name, type, material and placed bound "
        "in metres (file axes, z up). Layers and cells of layered parts, and the parts of composites, follow "
        "their part with a dash.");
    parser.addPositionalArgument("FILE", "Interchange model file (XML), \"-\" for standard input.");
    parser.addJsonOption(QStringLiteral("the object tree"));
    if (const std::optional<int> status = parser.read(1, 1, {}, QStringLiteral("objects needs exactly one FILE")))
        return *status;

    const QString file = parser.inputArgument(0, InterProcess::XMLDOMReader::contentCeiling);
    if (file.isEmpty() || !readable(file))
        return 1;

    QFile input(file);
    char first = 0;
    if (input.open(QIODevice::ReadOnly) && input.getChar(&first) && (first == '{' || first == '['))
        return failure(QStringLiteral("%1 is a JSON import list; objects reads one interchange XML file "
                                      "(import reads lists)")
                           .arg(userText(file)));
    input.close();

    // Messages name the file, as those of an import do.
    Tools::ConsoleProgress console;
    Tools::ForwardingProgress progress(&console, QFileInfo(file).fileName() + QStringLiteral(" : "));
    Tarvex::TarvexObjectBuilder builder(&progress);
    try {
        if (!builder.readFile(file))
            return failure(QString());
    } catch (const std::exception&) {
        // The builder said which outline is bent.
        return failure(QStringLiteral("Failed to read file : ") + file);
    }
    builder.buildTree();
    if (parser.wantsJson()) {
        out() << QJsonDocument(ObjectTreePrinter::toJson(builder.takeObjects())).toJson(QJsonDocument::Indented);
        out().flush();
    } else {
        ObjectTreePrinter(out()).print(builder.takeObjects());
    }
    return 0;
}
