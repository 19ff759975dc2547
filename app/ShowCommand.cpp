#include "CommandLine.h"
#include "Console.h"
#include "ModelPrinter.h"

using namespace EntityModel;

int runShowCommand(CommandParser& parser)
{
    parser.setApplicationDescription("Prints the entity tree of a saved model with types, names and attributes.");
    parser.addPositionalArgument("MODEL.json", "A saved model.");
    if (const std::optional<int> status = parser.read(1, 1, {}, QStringLiteral("show needs MODEL.json")))
        return *status;
    const QString path = parser.pathArgument();
    if (!readable(path))
        return 1;
    const std::unique_ptr<Model> model = openModel(path, true, nullptr);
    if (!model)
        return 1;
    ModelPrinter(out()).print(*model->getRoot());
    out().flush();
    return 0;
}
