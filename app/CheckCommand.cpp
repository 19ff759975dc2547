#include "CommandLine.h"
#include "Console.h"

#include <tarvex/host/XMLDOMReader.h>
#include <tarvex/import/TarvexFileChecker.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using Tarvex::TarvexFileProblem;

namespace {

// The document of --json: {"file": FILE, "problems": [{"file", "kind", "message", "subject"}]}.
QByteArray jsonReport(const QString& file, const std::vector<TarvexFileProblem>& problems)
{
    QJsonArray list;
    for (const TarvexFileProblem& problem : problems)
        list.append(QJsonObject{{QStringLiteral("kind"), TarvexFileProblem::kindName(problem.kind)},
                                {QStringLiteral("file"), problem.file},
                                {QStringLiteral("subject"), problem.subject},
                                {QStringLiteral("message"), problem.message}});
    return QJsonDocument(QJsonObject{{QStringLiteral("file"), file}, {QStringLiteral("problems"), list}})
        .toJson(QJsonDocument::Indented);
}

} // namespace

int runCheckCommand(CommandParser& parser)
{
    parser.setApplicationDescription(
        "Reads an interchange model (XML) or an import list (JSON) as an import would, without touching any "
        "model, and lists every problem the import would meet, one line each (FILE: KIND: SUBJECT: MESSAGE): "
        "missing or unreadable files (the file, list entries, material libraries, power maps, material "
        "layouts), unknown units, missing materials, heat sources without their part, values the import cannot "
        "use, parts outside every board and package, overlapping solder balls or bumps, and names several "
        "Geoms, balls or bumps hold. Exits with status 0 when there is no problem, 1 when there is one.");
    parser.addPositionalArgument("FILE", "Interchange model (XML) or import list (JSON).");
    const QCommandLineOption jsonOption(
        "json", "Print a JSON document instead: {\"file\": FILE, \"problems\": [{\"kind\", \"file\", \"subject\", "
                "\"message\"}, ...]}, the problems in the order of the lines.");
    parser.addOption(jsonOption);
    if (const std::optional<int> status = parser.read(1, 1, {}, QStringLiteral("check needs exactly one FILE")))
        return *status;

    const QString input = parser.inputArgument(0, InterProcess::XMLDOMReader::contentCeiling);
    if (input.isEmpty())
        return 1;
    std::vector<TarvexFileProblem> problems = Tarvex::TarvexFileChecker().check(input);
    // What standard input held is named as the user knows it, not by the file it was copied to.
    const QString file = userText(input);
    for (TarvexFileProblem& problem : problems) {
        problem.file = userText(problem.file);
        problem.message = userText(problem.message);
    }
    if (parser.isSet(jsonOption)) {
        out() << QString::fromUtf8(jsonReport(file, problems));
    } else {
        for (const TarvexFileProblem& problem : problems) {
            out() << problem.file << ": " << TarvexFileProblem::kindName(problem.kind) << ": ";
            // Many messages already start with what they are about.
            if (!problem.subject.isEmpty() && !problem.message.startsWith(problem.subject + QStringLiteral(": ")))
                out() << problem.subject << ": ";
            out() << problem.message << '\n';
        }
        if (problems.empty())
            out() << file << ": no problems found\n";
        else
            out() << file << ": " << problems.size() << (problems.size() == 1 ? " problem\n" : " problems\n");
    }
    out().flush();
    return problems.empty() ? 0 : 1;
}
