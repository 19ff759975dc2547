#include "CommandLine.h"

#include "GenerateCommand.h"
#include "MaterialMapCommand.h"
#include "MaterialsCommand.h"
#include "Console.h"
#include "ModelLookup.h"
#include "ModelPrinter.h"
#include "ObjectsCommand.h"
#include "PowerMapCommand.h"

#include "ConsoleProgress.h"
#include "host/EntityEditor.h"
#include "host/EntityFetcher.h"
#include "host/EntityReading.h"
#include "host/GeometryBuilder.h"
#include "host/ModelFile.h"
#include "import/TarvexImporter.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

using namespace EntityModel;

namespace {

const QString EmbeddedSample = QStringLiteral(":/samples/board.xml");


const char* const Overview =
    "Usage: tarvex <command> [options]\n"
    "\n"
    "Exchanges thermal models with the Tarvex tools through a host model saved as JSON.\n"
    "\n"
    "Commands:\n"
    "  import [FILE] [--model MODEL.json] [--centre]   import an interchange model (XML or\n"
    "                                                  JSON list); without FILE the built-in\n"
    "                                                  sample board\n"
    "  update FILE --model MODEL.json                  re-import FILE over an earlier import\n"
    "  extend FILE --model MODEL.json --board NAME     extend the board NAME in place\n"
    "  show MODEL.json                                 print the entity tree of a saved model\n"
    "  objects FILE                                    print the object tree an interchange file\n"
    "                                                  makes, before any entity is built\n"
    "  materials LIBRARY_FILE [--model MODEL.json]     import a 3D solver material library into\n"
    "                                                  the model's material library\n"
    "  material-map FILE --model MODEL.json            apply a material map (layout file or CSV\n"
    "           --entity NAME [--resize]               density grid) to the layers of NAME\n"
    "  power-map FILE --model MODEL.json --entity NAME apply a text-format power map to the\n"
    "                                                  entity NAME\n"
    "  generate --components M --balls K -o FILE       write a synthetic interchange model\n"
    "           [--layers N] [--legacy] [--seed S]     (--legacy: the older layout)\n"
    "\n"
    "Run 'tarvex <command> --help' for the options of a command.\n";

// The top-level entities that earlier imports into a model built, kept as links on the
// project so that an update replaces those and never what a person made by hand.
const AttributePath ImportedEntities(QStringLiteral("Tarvex_Imports"));

std::vector<Entity*> earlierImports(const Model& model)
{
    return getLinkedEntities(model.getRoot(), ImportedEntities);
}

void recordImports(Model& model, std::vector<Entity*> entities)
{
    entities.erase(std::remove_if(entities.begin(), entities.end(), [](const Entity* e) { return !e || !e->isAlive(); }),
                   entities.end());
    EntityEditor::setLinksNoThrow(model.getRoot(), ImportedEntities, entities);
}

// A leading ":" names a built-in resource to Qt; a user's file name never does.
QString userPath(const QString& path)
{
    return path.startsWith(QLatin1Char(':')) ? QStringLiteral("./") + path : path;
}


void printEntities(const std::vector<Entity*>& entities, const QString& verb)
{
    out() << verb << ' ' << entities.size() << (entities.size() == 1 ? " top-level entity" : " top-level entities")
          << (entities.empty() ? "." : ":") << '\n';
    ModelPrinter printer(out());
    for (const Entity* entity : entities)
        printer.print(*entity, 1);
    out().flush();
}

} // namespace

int CommandLine::run(const QStringList& arguments)
{
    const QString command = arguments.value(1);
    m_command = command;
    const QStringList rest = QStringList{arguments.value(0)} + arguments.mid(2);
    if (command == QLatin1String("import"))
        return runImport(rest);
    if (command == QLatin1String("update"))
        return runUpdate(rest);
    if (command == QLatin1String("extend"))
        return runExtend(rest);
    if (command == QLatin1String("show"))
        return runShow(rest);
    if (command == QLatin1String("objects"))
        return runObjectsCommand(rest);
    if (command == QLatin1String("materials"))
        return runMaterialsCommand(rest);
    if (command == QLatin1String("material-map"))
        return runMaterialMapCommand(rest);
    if (command == QLatin1String("power-map"))
        return runPowerMapCommand(rest);
    if (command == QLatin1String("generate"))
        return runGenerateCommand(rest);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        out() << Overview;
        return 0;
    }
    return usage(command.isEmpty() ? QStringLiteral("no command given") : QStringLiteral("unknown command '%1'").arg(command));
}

int CommandLine::usage(const QString& problem)
{
    err() << "tarvex: " << problem << "\n\n" << Overview;
    err().flush();
    return 2;
}

bool CommandLine::parse(QCommandLineParser& parser, const QStringList& arguments, const QString& description)
{
    parser.setApplicationDescription(description);
    const QCommandLineOption help(QStringList{"h", "help"}, "Show this help.");
    parser.addOption(help);
    const QString helpText = commandHelp(parser, m_command);
    if (!parser.parse(arguments)) {
        err() << "tarvex: " << parser.errorText() << "\n\n" << helpText;
        err().flush();
        return false;
    }
    if (parser.isSet(help)) {
        out() << helpText;
        out().flush();
        return false;
    }
    return true;
}

bool CommandLine::checkInput(const QString& path)
{
    // The importer stays silent about files it cannot open; a person needs to hear why.
    const QString problem = unreadable(path);
    if (problem.isEmpty())
        return true;
    failure(QStringLiteral("Cannot open file %1: %2").arg(path, problem));
    return false;
}

std::unique_ptr<Model> CommandLine::openModel(const QString& path, bool mustExist)
{
    if (path.isEmpty() || (!mustExist && !QFileInfo::exists(path)))
        return Model::createDefault();
    QString problem;
    std::unique_ptr<Model> model = ModelFile::load(path, &problem);
    if (!model) {
        err() << "error: " << problem << '\n';
        err().flush();
    }
    return model;
}

int CommandLine::finish(const Model& model, const QString& modelPath, bool failed)
{
    if (failed) {
        if (!modelPath.isEmpty())
            err() << "The model file " << modelPath << " was left unchanged.\n";
        err().flush();
        return 1;
    }
    if (modelPath.isEmpty())
        return 0;
    QString problem;
    if (!ModelFile::save(model, modelPath, &problem)) {
        err() << "error: " << problem << '\n';
        err().flush();
        return 1;
    }
    out() << "Saved the model to " << modelPath << '\n';
    out().flush();
    return 0;
}

int CommandLine::runImport(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("FILE", "Interchange model (XML) or import list (JSON); the built-in sample board when omitted.", "[FILE]");
    const QCommandLineOption modelOption("model", "Model file to import into (created when missing) and to save.", "MODEL.json");
    const QCommandLineOption centreOption("centre", "Centre the imported entities in their owners.");
    parser.addOption(modelOption);
    parser.addOption(centreOption);
    if (!parse(parser, arguments, "Imports an interchange model into a host model and prints what it built."))
        return parser.isSet("help") ? 0 : 2;
    if (parser.positionalArguments().size() > 1)
        return usage(QStringLiteral("import takes at most one FILE"));
    const QString file = parser.positionalArguments().isEmpty() ? EmbeddedSample : userPath(parser.positionalArguments().front());
    if (!checkInput(file))
        return 1;
    std::unique_ptr<Model> model = openModel(userPath(parser.value(modelOption)), false);
    if (!model)
        return 1;

    Tools::ConsoleProgress progress;
    Geometry::GeometryBuilder geometry;
    Tarvex::TarvexImporter importer(EntityFetcher::getChassis(model->getRoot()), &progress, &geometry);
    const std::vector<Entity*> built = importer.importModel(file, parser.isSet(centreOption));
    printEntities(built, QStringLiteral("Imported"));
    std::vector<Entity*> imports = earlierImports(*model);
    imports.insert(imports.end(), built.begin(), built.end());
    recordImports(*model, imports);
    return finish(*model, userPath(parser.value(modelOption)), progress.fatalErrors() > 0);
}

int CommandLine::runUpdate(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("FILE", "The newer interchange model.");
    const QCommandLineOption modelOption("model", "Model file holding the earlier import.", "MODEL.json");
    parser.addOption(modelOption);
    if (!parse(parser, arguments, "Re-imports an interchange model over the entities of an earlier import: "
                                  "matching entities are reused, the others deleted."))
        return parser.isSet("help") ? 0 : 2;
    if (parser.positionalArguments().size() != 1 || !parser.isSet(modelOption))
        return usage(QStringLiteral("update needs FILE and --model MODEL.json"));
    const QString file = userPath(parser.positionalArguments().front());
    if (!checkInput(file) || !checkInput(userPath(parser.value(modelOption))))
        return 1;
    std::unique_ptr<Model> model = openModel(userPath(parser.value(modelOption)), true);
    if (!model)
        return 1;

    Entity* chassis = EntityFetcher::getChassis(model->getRoot());
    const std::vector<Entity*> existing = earlierImports(*model);
    Tools::ConsoleProgress progress;
    Geometry::GeometryBuilder geometry;
    Tarvex::TarvexImporter importer(chassis, &progress, &geometry);
    const std::vector<Entity*> updated = importer.updateModel(file, existing);
    printEntities(updated, QStringLiteral("Updated"));
    if (updated.empty() && !existing.empty() && progress.fatalErrors() == 0) {
        // Saving now would drop the whole earlier import for a file that built nothing.
        err() << "error: the update built nothing, so the earlier import is kept\n";
        return finish(*model, userPath(parser.value(modelOption)), true);
    }
    recordImports(*model, updated);
    return finish(*model, userPath(parser.value(modelOption)), progress.fatalErrors() > 0);
}

int CommandLine::runExtend(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("FILE", "The simplified-model interchange file.");
    const QCommandLineOption modelOption("model", "Model file holding the board.", "MODEL.json");
    const QCommandLineOption boardOption("board", "Name of the board (PCB) to extend.", "NAME");
    parser.addOption(modelOption);
    parser.addOption(boardOption);
    if (!parse(parser, arguments, "Extends an existing board in place with the components of an interchange file."))
        return parser.isSet("help") ? 0 : 2;
    if (parser.positionalArguments().size() != 1 || !parser.isSet(modelOption) || !parser.isSet(boardOption))
        return usage(QStringLiteral("extend needs FILE, --model MODEL.json and --board NAME"));
    const QString file = userPath(parser.positionalArguments().front());
    if (!checkInput(file) || !checkInput(userPath(parser.value(modelOption))))
        return 1;
    std::unique_ptr<Model> model = openModel(userPath(parser.value(modelOption)), true);
    if (!model)
        return 1;
    Entity* board = findEntityByName(model->getRoot(), parser.value(boardOption), PCB_t);
    if (!board) {
        err() << "error: no board named \"" << parser.value(boardOption) << "\" in " << userPath(parser.value(modelOption)) << '\n';
        err().flush();
        return 1;
    }

    Tools::ConsoleProgress progress;
    Geometry::GeometryBuilder geometry;
    Tarvex::TarvexImporter importer(EntityFetcher::getChassis(model->getRoot()), &progress, &geometry);
    try {
        importer.extendPCB(board, file);
    } catch (const std::runtime_error& error) {
        err() << "error: " << error.what() << '\n';
        return finish(*model, userPath(parser.value(modelOption)), true);
    }
    ModelPrinter(out()).print(*board);
    return finish(*model, userPath(parser.value(modelOption)), progress.fatalErrors() > 0);
}

int CommandLine::runShow(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("MODEL.json", "A saved model.");
    if (!parse(parser, arguments, "Prints the entity tree of a saved model with types, names and attributes."))
        return parser.isSet("help") ? 0 : 2;
    if (parser.positionalArguments().size() != 1)
        return usage(QStringLiteral("show needs MODEL.json"));
    const QString path = userPath(parser.positionalArguments().front());
    if (!checkInput(path))
        return 1;
    std::unique_ptr<Model> model = openModel(path, true);
    if (!model)
        return 1;
    ModelPrinter(out()).print(*model->getRoot());
    out().flush();
    return 0;
}
