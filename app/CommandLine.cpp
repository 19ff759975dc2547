#include "CommandLine.h"

#include "Console.h"
#include "ConsoleProgress.h"

#include <tarvex/host/AtomicFile.h>
#include <tarvex/host/LibraryManager.h>
#include <tarvex/host/ModelFile.h>
#include <tarvex/import/TarvexVersion.h>

#include <QFile>
#include <QFileInfo>
#include <QDeadlineTimer>
#include <QLockFile>
#include <QThread>
#include <QRegularExpression>

#include <algorithm>
#include <new>
#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

using namespace EntityModel;

namespace {

// The commands of the tool, in the order the overview lists them.
const Command Commands[] = {
    {"import", "import [FILE] [--model MODEL.json] [--centre]",
     "import an interchange model (XML or\nJSON list); without FILE the built-in\nsample board", runImportCommand},
    {"update", "update FILE --model MODEL.json [--dry-run]", "re-import FILE over an earlier import", runUpdateCommand},
    {"extend", "extend FILE --model MODEL.json --board NAME", "extend the board NAME in place", runExtendCommand},
    {"show", "show MODEL.json [--entity NAME|#ID]\n         [--depth N] [--unit mm] [--json]",
     "print the entity tree of a saved model", runShowCommand},
    {"diff", "diff A.json B.json [--json]", "print what differs between two saved\nmodels, entity by entity", runDiffCommand},
    {"objects", "objects FILE", "print the object tree an interchange file\nmakes, before any entity is built",
     runObjectsCommand},
    {"check", "check FILE [--json]", "list the problems an import of FILE would\nmeet, without touching a model",
     runCheckCommand},
    {"materials", "materials LIBRARY_FILE [--model MODEL.json]",
     "import a 3D solver material library into\nthe model's material library", runMaterialsCommand},
    {"import3d", "import3d ARCHIVE --model MODEL.json", "import a 3D solver project archive", runImport3DCommand},
    {"material-map", "material-map FILE --model MODEL.json\n         --entity NAME [--resize]",
     "apply a material map (layout file or CSV\ndensity grid) to the layers of NAME", runMaterialMapCommand},
    {"power-map", "power-map FILE --model MODEL.json --entity NAME",
     "apply a text-format power map to the\nentity NAME", runPowerMapCommand},
    {"generate", "generate --components M --balls K -o FILE\n         [--layers N] [--legacy] [--seed S]",
     "write a synthetic interchange model\n(--legacy: the older layout)", runGenerateCommand},
    {"export3d", "export3d MODEL.json -o OUT.zip [--fea-only]\n         [--via-solver [--solver-folder DIR]\n          [--solver-timeout S]]",
     "export a model as a 3D solver project\n(--via-solver: the solids through the\nsolver's executable)", runExport3DCommand},
    {"cfd-export", "cfd-export MODEL.json --board NAME -o OUT.xml",
     "write the CFD results of the terminals of\na board as a terminal-definition file", runCfdExportCommand},
    {"set", "set MODEL.json ENTITY PATH=VALUE...", "set attributes of an entity of a model", runSetCommand},
    {"add", "add MODEL.json TYPE NAME --parent ENTITY\n         [PATH=VALUE...]",
     "add an entity to a model, with its\nattributes", runAddCommand},
    {"render", "render MODEL.json|FILE.xml -o OUT.svg|OUT.png\n         [--view top|bottom|side]\n         [--entity NAME] [--size WxH]", "draw a model or an interchange file as a\npicture", runRenderCommand},
    {"report", "report MODEL.json -o REPORT.html", "write a self-contained HTML page of a model", runReportCommand},
};

// What `tarvex --help` prints: the synopses of the table beside their summaries.
QString overview()
{
    QString text = QStringLiteral(
        "Usage: tarvex <command> [options]\n\n"
        "Exchanges thermal models with the Tarvex tools through a host model saved as JSON.\n\n"
        "Commands:\n");
    for (const Command& command : Commands) {
        const QStringList synopsis = QString::fromUtf8(command.synopsis).split(QLatin1Char('\n'));
        const QStringList summary = QString::fromUtf8(command.summary).split(QLatin1Char('\n'));
        for (int line = 0; line < std::max(synopsis.size(), summary.size()); ++line)
            text += QStringLiteral("  ") + synopsis.value(line).leftJustified(47) + QLatin1Char(' ') +
                    summary.value(line) + QLatin1Char('\n');
    }
    return text + QStringLiteral("\nEvery command takes -q (errors only) and -v (every step and every entity built); a "
                                 "file named\n\"-\" is standard input or output. Run 'tarvex <command> --help' (or "
                                 "'tarvex help <command>')\nfor the options of a command; 'tarvex --version' prints the "
                                 "version.\n");
}

// A leading ":" names a built-in resource to Qt; a user's file name never does.
QString userPath(const QString& path)
{
    return path.startsWith(QLatin1Char(':')) ? QStringLiteral("./") + path : path;
}

int reportUsage(const QString& problem, const QString& help)
{
    err() << "tarvex: " << problem << "\n\n" << help;
    err().flush();
    return 2;
}

} // namespace

int runCommandLine(const QStringList& arguments)
{
    const QString name = arguments.value(1);
    for (const Command& command : Commands) {
        if (name == QLatin1String(command.name)) {
            CommandParser parser(command, QStringList{arguments.value(0)} + arguments.mid(2));
            try {
                return command.run(parser);
            } catch (const std::bad_alloc&) {
                // Files are written only when a command ends well, so nothing was saved yet.
                return failure(QStringLiteral("there was not enough memory for the %1 command; the model was "
                                              "left as it was")
                                   .arg(name));
            }
        }
    }
    if (name == QLatin1String("--version") && arguments.size() == 2) {
        out() << "tarvex " << Tarvex::version() << '\n';
        out().flush();
        return 0;
    }
    const bool help = name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help");
    // "tarvex help import" is "tarvex import --help"; a word after it names a command or is wrong.
    const QString topic = arguments.value(2);
    if (help && arguments.size() > (name == QLatin1String("help") ? 3 : 2))
        return reportUsage(QStringLiteral("unexpected argument '%1'").arg(arguments.last()), overview());
    if (name == QLatin1String("help") && !topic.isEmpty()) {
        for (const Command& command : Commands) {
            if (topic == QLatin1String(command.name))
                return runCommandLine({arguments.value(0), topic, QStringLiteral("--help")});
        }
        return reportUsage(QStringLiteral("unknown command '%1'").arg(topic), overview());
    }
    if (help) {
        out() << overview();
        out().flush();
        return 0;
    }
    return reportUsage(name.isEmpty() ? QStringLiteral("no command given")
                                      : QStringLiteral("unknown command '%1'").arg(name),
                       overview());
}

CommandParser::CommandParser(const Command& command, const QStringList& arguments)
    : m_command(command),
      m_arguments(arguments),
      m_help(QStringList{"h", "help"}, QStringLiteral("Show this help.")),
      m_quiet(QStringList{"q", "quiet"}, QStringLiteral("Print errors only.")),
      m_verbose(QStringList{"v", "verbose"},
                QStringLiteral("Print every entity built and every step, besides warnings, errors and the summary.")),
      m_json(QStringLiteral("json"))
{
    addOptions({m_help, m_quiet, m_verbose});
}

void CommandParser::addJsonOption(const QString& what)
{
    QCommandLineOption json(m_json);
    json.setDescription(QStringLiteral("Print %1 as JSON on stdout (keys sorted, ids as numbers).").arg(what));
    addOption(json);
    m_offersJson = true;
}

bool CommandParser::wantsJson() const { return m_offersJson && isSet(m_json); }

std::optional<int> CommandParser::read(int minimum, int maximum, const QList<QCommandLineOption>& required,
                                       const QString& problem)
{
    if (!parse(m_arguments))
        return usageError(errorText());
    if (isSet(m_help)) {
        out() << help();
        out().flush();
        return 0;
    }
    if (isSet(m_quiet) && isSet(m_verbose))
        return usageError(QStringLiteral("-q and -v do not go together"));
    setVerbosity(isSet(m_quiet) ? Verbosity::Quiet : isSet(m_verbose) ? Verbosity::Verbose : Verbosity::Normal);
    if (wantsJson())
        setReportTarget(ReportTarget::Nowhere);
    if (optionNames().contains(QStringLiteral("model")) && isStandardStream(value(QStringLiteral("model"))))
        return usageError(QStringLiteral("--model cannot be \"-\": a model is read and saved as a file"));
    const int count = positionalArguments().size();
    const bool missing = std::any_of(required.begin(), required.end(),
                                     [this](const QCommandLineOption& option) { return !isSet(option); });
    if (count > maximum)
        return usageError(QStringLiteral("unexpected argument '%1'").arg(positionalArguments().value(maximum)));
    if (count < minimum || missing)
        return usageError(problem);
    return std::nullopt;
}

QString CommandParser::pathArgument(int index) const
{
    return userPath(positionalArguments().value(index));
}

QString CommandParser::inputArgument(int index, qint64 limit) const
{
    return isStandardStream(positionalArguments().value(index)) ? standardInputFile(limit)
                                                                 : userPath(positionalArguments().value(index));
}

QString CommandParser::outputValue(const QCommandLineOption& option) const
{
    if (!isStandardStream(value(option)))
        return pathValue(option);
    if (!wantsJson())
        setReportTarget(ReportTarget::StandardError);
    return standardOutputFile();
}

QString CommandParser::pathValue(const QCommandLineOption& option) const
{
    return userPath(value(option));
}

int CommandParser::usageError(const QString& problem) const
{
    return reportUsage(problem, help());
}

// The parser's help with the usage line naming the command as people type it
// ("tarvex import"), not the program's path.
QString CommandParser::help() const
{
    return helpText().replace(QRegularExpression(QStringLiteral("^Usage: \\S+")),
                              QStringLiteral("Usage: tarvex ") + QLatin1String(m_command.name));
}

ModelLock::ModelLock() = default;

ModelLock::~ModelLock()
{
    release();
}

QString ModelLock::lockPathFor(const QString& modelPath)
{
    // All names of one model share its lock: a symbolic link locks the file it names, even
    // before that file exists, and a folder reached through a link is named as it is.
    QString resolved = modelPath;
    for (int hops = 0; hops < MaxSymbolicLinkHops && QFileInfo(resolved).isSymLink(); ++hops)
        resolved = QFileInfo(resolved).symLinkTarget();
    const QFileInfo file(resolved);
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? file.absoluteFilePath() : folder + QLatin1Char('/') + file.fileName()) +
           QStringLiteral(".lock");
}

bool ModelLock::acquire(const QString& modelPath)
{
    const QString lockPath = lockPathFor(modelPath);
    const QDeadlineTimer deadline(ModelLockWait);
    m_file = std::make_unique<QLockFile>(lockPath);
    // A holder is never taken for stale by the age of its lock (a large model may take
    // minutes); only a lock whose process no longer runs on this machine is taken over.
    m_file->setStaleLockTime(0);
    if (m_file->tryLock(int(ModelLockWait.count())))
        return lockEveryName(modelPath, deadline);

    QString problem;
    switch (m_file->error()) {
    case QLockFile::LockFailedError: {
        qint64 pid = 0;
        QString host;
        QString program;
        const QString holder =
            m_file->getLockInfo(&pid, &host, &program)
                ? QStringLiteral("process %1 (%2) on %3")
                      .arg(QString::number(pid), program.isEmpty() ? QStringLiteral("unknown program") : program,
                           host.isEmpty() ? QStringLiteral("an unknown host") : host)
                : QStringLiteral("another process");
        problem = QStringLiteral("Cannot lock the model file %1: it is in use by %2, which did not end within %3 "
                                 "seconds; the model was left as it was. Should that process no longer run, "
                                 "remove %4")
                      .arg(modelPath, holder, QString::number(double(ModelLockWait.count()) / 1000.0), lockPath);
        break;
    }
    case QLockFile::PermissionError: {
        // Qt says "permission" for a read-only file system too; the system tells them apart.
        const QByteArray folder = QFile::encodeName(QFileInfo(lockPath).absolutePath());
        const bool readOnly = ::access(folder.constData(), W_OK) != 0 && errno == EROFS;
        problem = QStringLiteral("Cannot lock the model file %1: cannot create %2 (%3); the model was left as it was")
                      .arg(modelPath, lockPath,
                           readOnly ? QStringLiteral("the file system is read-only")
                                    : QStringLiteral("permission denied in its folder"));
        break;
    }
    default: {
        // Qt gives no cause here; a full disk is the one that users meet.
        struct statvfs space = {};
        const QByteArray folder = QFile::encodeName(QFileInfo(lockPath).absolutePath());
        const bool full = ::statvfs(folder.constData(), &space) == 0 && space.f_bavail == 0;
        problem = QStringLiteral("Cannot lock the model file %1: cannot create %2 (%3); the model was left as it was")
                      .arg(modelPath, lockPath,
                           full ? QStringLiteral("no space left on device") : QStringLiteral("the system gave no cause"));
        break;
    }
    }
    m_file.reset();
    failure(problem);
    return false;
}

bool ModelLock::lockEveryName(const QString& modelPath, const QDeadlineTimer& deadline)
{
    // The lock file serves one name. A file with several hard links is saved in place, so the
    // file itself is locked too: a writer through another of its names waits here.
    struct stat status = {};
    const QByteArray path = QFile::encodeName(modelPath);
    if (::stat(path.constData(), &status) != 0 || status.st_nlink < 2)
        return true;
    m_linkedFile = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (m_linkedFile < 0)
        return true; // reading it will say why
    while (::flock(m_linkedFile, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR)
            return true; // a file system without locks: the lock file still serves this name
        if (deadline.hasExpired()) {
            release();
            failure(QStringLiteral("Cannot lock the model file %1: another process is saving it through another of "
                                   "its %2 names (hard links), and did not end within %3 seconds; the model was left "
                                   "as it was")
                        .arg(modelPath, QString::number(status.st_nlink),
                             QString::number(double(ModelLockWait.count()) / 1000.0)));
            return false;
        }
        QThread::msleep(50);
    }
    return true;
}

void ModelLock::release()
{
    if (m_linkedFile >= 0)
        ::close(m_linkedFile); // closing lets the lock on the file go
    m_linkedFile = -1;
    m_file.reset();
}

bool sameFile(const QString& a, const QString& b)
{
    if (QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath())
        return true;
    struct stat first = {};
    struct stat second = {};
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

std::unique_ptr<Model> openModel(const QString& path, bool mustExist, ModelLock* lock)
{
    if (path.isEmpty())
        return Model::createDefault();
    // Locked before the file is looked at: a model that another run is about to create or
    // replace is read only once that run has saved it.
    if (lock && !lock->acquire(path))
        return nullptr;
    if (!mustExist && !QFileInfo::exists(path))
        return Model::createDefault();
    QString problem;
    std::unique_ptr<Model> model = ModelFile::load(path, &problem);
    if (!model)
        failure(problem);
    return model;
}

std::unique_ptr<Model> openFileAndModel(const QString& file, const QString& modelPath, ModelLock& lock,
                                        bool modelMustExist, const std::function<void()>& whileLoading)
{
    if (!readable(file) || (modelMustExist && !readable(modelPath)))
        return nullptr;
    if (whileLoading)
        whileLoading();
    return openModel(modelPath, modelMustExist, &lock);
}

int finish(bool failed, const Model& model, const QString& modelPath, const LibraryManager* library)
{
    Tools::ConsoleProgress::clearActiveLine();
    if (modelPath.isEmpty()) {
        err().flush();
        return failed ? 1 : 0;
    }
    const QString libraryPath = library ? LibraryManager::storePathFor(modelPath) : QString();
    if (failed) {
        // A model the run would have made is not made; one that exists is not touched.
        if (!QFileInfo::exists(modelPath))
            err() << "No model file was made at " << modelPath << ".\n";
        else
            err() << "The model file " << modelPath
                  << (library ? QStringLiteral(" and its material library %1 were").arg(libraryPath)
                              : QStringLiteral(" was"))
                  << " left unchanged.\n";
        err().flush();
        return 1;
    }
    QString problem;
    // The library first: it holds the change; the model is saved so that it exists beside it.
    // Should the model then fail, the library gets its old bytes back (or goes, when it is
    // new), so that a failed run changes neither file.
    QFile oldLibraryFile(libraryPath);
    const bool libraryExisted = library && oldLibraryFile.open(QIODevice::ReadOnly);
    const QByteArray oldLibrary = libraryExisted ? oldLibraryFile.readAll() : QByteArray();
    oldLibraryFile.close();
    if (library && !library->save(libraryPath, &problem))
        return failure(problem);
    if (!ModelFile::save(model, modelPath, &problem)) {
        if (library) {
            QString restoreProblem;
            const bool restored = libraryExisted
                                      ? AtomicFile::write(libraryPath, oldLibrary, QStringLiteral("the material library"),
                                                          &restoreProblem)
                                      : QFile::remove(libraryPath);
            problem += restored ? QStringLiteral("; the material library %1 was put back as it was").arg(libraryPath)
                                : QStringLiteral("; the material library %1 could not be put back: %2")
                                      .arg(libraryPath, restoreProblem.isEmpty() ? QStringLiteral("it could not be removed")
                                                                                 : restoreProblem);
        }
        return failure(problem);
    }
    Tools::ConsoleProgress::clearActiveLine();
    report() << (library ? QStringLiteral("Saved the material library to ") + libraryPath
                         : QStringLiteral("Saved the model to ") + modelPath)
             << '\n';
    report().flush();
    return 0;
}
