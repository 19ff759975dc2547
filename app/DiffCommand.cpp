#include "CommandLine.h"
#include "Console.h"
#include "ModelDiff.h"

using namespace EntityModel;

namespace {

// As diff(1): a model that cannot be read is trouble (2), not a difference (1).
constexpr int Trouble = 2;

} // namespace

int runDiffCommand(CommandParser& parser)
{
    parser.setApplicationDescription(
        "Prints what differs between two saved models, entity by entity, matched by id and sorted by id: "
        "\"+\" an entity only B holds, \"-\" one only A holds, \"~\" one whose type, owner or attributes "
        "differ, each changed attribute below it as PATH: OLD -> NEW. Prints nothing when they are equal. "
        "Exit status: 0 equal, 1 different, 2 trouble (a model that cannot be read, a usage error).");
    parser.addPositionalArgument("A.json", "The first saved model (the old one).");
    parser.addPositionalArgument("B.json", "The second saved model (the new one).");
    const QCommandLineOption jsonOption("json", "Print the difference as a JSON document.");
    parser.addOption(jsonOption);
    if (const std::optional<int> status = parser.read(2, 2, {}, QStringLiteral("diff needs A.json and B.json")))
        return *status;
    const QString first = parser.pathArgument(0);
    const QString second = parser.pathArgument(1);
    if (!readable(first) || !readable(second))
        return Trouble;
    const std::unique_ptr<Model> before = openModel(first, true, nullptr);
    const std::unique_ptr<Model> after = before ? openModel(second, true, nullptr) : nullptr;
    if (!after)
        return Trouble;

    const ModelDiff diff(*before, *after);
    if (parser.isSet(jsonOption))
        out() << diff.toJson().toJson(QJsonDocument::Indented);
    else
        out() << diff.toText();
    out().flush();
    return diff.isEmpty() ? 0 : 1;
}
