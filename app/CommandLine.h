#pragma once

#include <tarvex/host/Model.h>

#include <QCommandLineParser>
#include <QStringList>

#include <chrono>
#include <climits>
#include <functional>
#include <memory>
#include <optional>

namespace EntityModel {
class LibraryManager;
}
class CommandParser;
class QDeadlineTimer;
class QLockFile;

/// One command of the `tarvex` tool, as the table of commands in CommandLine.cpp lists it.
struct Command
{
    /// The name typed after `tarvex`.
    const char* name;
    /// Its synopsis and its summary, in the lines that the overview of `tarvex --help`
    /// shows side by side.
    const char* synopsis;
    const char* summary;
    /// Runs the command on the arguments that `parser` holds; returns the exit status.
    int (*run)(CommandParser& parser);
};

/// Runs the command in `arguments` (the first being the program name); returns the exit
/// status: 0 on success, 1 when the operation failed, 2 for a usage error.
int runCommandLine(const QStringList& arguments);

/// The parser of one command's arguments. The command adds its description, options and
/// positional arguments, then calls read(), which adds --help and answers it and every
/// usage error the same way for all commands.
class CommandParser : public QCommandLineParser
{
public:
    /// For `command`, with `arguments` (the program name, then the command's arguments).
    CommandParser(const Command& command, const QStringList& arguments);

    const Command& command() const { return m_command; }

    /// Parses the arguments and answers --help (status 0) and a parse error (status 2);
    /// sets the verbosity that -q/--quiet or -v/--verbose ask for (not both), and refuses a
    /// model named "-" (it is saved in place, or read beside its lock).
    /// Then reports as a usage error (status 2) the first positional argument past `maximum`,
    /// or `problem` when there are fewer than `minimum` or an option of `required` is missing. Returns the exit
    /// status when the command ends here, nothing when it goes on.
    std::optional<int> read(int minimum = 0, int maximum = INT_MAX, const QList<QCommandLineOption>& required = {},
                            const QString& problem = QString());

    /// The positional argument at `index` as a file name (see `userPath`); empty when absent.
    QString pathArgument(int index = 0) const;
    /// The positional argument at `index` as a file to read: "-" gives the file that holds
    /// standard input (see standardInputFile, bounded by `limit`), empty after reporting
    /// why it could not be made.
    QString inputArgument(int index, qint64 limit) const;
    /// The value of `option` as a file to write: "-" gives the file that stands in for
    /// standard output (see standardOutputFile), and sends reports to standard error.
    QString outputValue(const QCommandLineOption& option) const;
    /// True when the run asked for JSON on standard output (--json, where a command offers it).
    bool wantsJson() const;
    /// Adds --json, which prints `what` as JSON (see the README for its shape).
    void addJsonOption(const QString& what);
    /// The value of `option` as a file name (see `userPath`); empty when not given.
    QString pathValue(const QCommandLineOption& option) const;

    /// Reports `problem` with the command's help on stderr; returns the usage status (2).
    int usageError(const QString& problem) const;

private:
    QString help() const;

    const Command& m_command;
    const QStringList m_arguments;
    const QCommandLineOption m_help;
    const QCommandLineOption m_quiet;
    const QCommandLineOption m_verbose;
    const QCommandLineOption m_json;
    bool m_offersJson = false;
};

/// How long a command that will save a model waits for another run holding that model to
/// end before it refuses.
constexpr std::chrono::milliseconds ModelLockWait{5000};
/// How many symbolic links in a row a model path may pass through (as the system allows).
constexpr int MaxSymbolicLinkHops = 40;

/// The exclusive hold of one command on a model file it will save: the lock file
/// "MODEL.json.lock" beside the model (beside the file a symbolic link names), held from
/// before the model is read until the command ends, so that a second writer never works on
/// a model the first is about to replace. The material library kept beside the model is
/// saved under the same hold. A lock left by a process that no longer runs on this machine
/// is taken over; a live holder is never displaced, however long it runs. A model with
/// several hard links is also locked itself, so that its other names wait as well.
class ModelLock
{
public:
    ModelLock();
    ~ModelLock();
    ModelLock(const ModelLock&) = delete;
    ModelLock& operator=(const ModelLock&) = delete;

    /// Takes the lock of the model saved at `modelPath`, waiting `ModelLockWait` at most
    /// for another holder to release it. Returns false after reporting why it cannot be
    /// taken: the holder (process id, program, host) and the lock file to remove should
    /// that process no longer run.
    bool acquire(const QString& modelPath);
    /// The lock file used for the model saved at `modelPath`.
    static QString lockPathFor(const QString& modelPath);

private:
    bool lockEveryName(const QString& modelPath, const QDeadlineTimer& deadline);
    void release();

    std::unique_ptr<QLockFile> m_file;
    int m_linkedFile = -1; // the model itself, held locked when it has several hard links
};

/// True when `a` and `b` name one file: the same path, a symbolic link to it, or another hard
/// link of it. An output that is the model itself would overwrite the model.
bool sameFile(const QString& a, const QString& b);

/// The model saved at `path`; a new one when `path` is empty or, unless `mustExist`, names
/// no file; null after reporting why it cannot be read. A command that will save the model
/// passes its `lock`, which is taken (see ModelLock) before the file is looked at; a
/// command that only reads passes none.
std::unique_ptr<EntityModel::Model> openModel(const QString& path, bool mustExist, ModelLock* lock);

/// For the commands that apply `file` to the model saved at `modelPath` and save it again:
/// checks that the file (and, when `modelMustExist`, the model) can be read, takes `lock`
/// on the model and loads it (a new model when it may be missing and is); null after
/// reporting why not. `whileLoading`, when given, is called once both can be read, before
/// the model is loaded: work on the file that can run beside the loading starts there.
std::unique_ptr<EntityModel::Model> openFileAndModel(const QString& file, const QString& modelPath, ModelLock& lock,
                                                     bool modelMustExist = true,
                                                     const std::function<void()>& whileLoading = {});

/// Ends an operation on the model saved at `modelPath` (none when empty), and on the
/// material `library` kept beside it when one is given. After a failure (`failed`) says
/// that the files were left unchanged and returns 1; otherwise saves them, says so and
/// returns 0, or 1 when they cannot be saved.
int finish(bool failed, const EntityModel::Model& model, const QString& modelPath,
           const EntityModel::LibraryManager* library = nullptr);

// The commands of the table, each in a file of its own.
int runImportCommand(CommandParser& parser);
int runUpdateCommand(CommandParser& parser);
int runExtendCommand(CommandParser& parser);
int runShowCommand(CommandParser& parser);
int runDiffCommand(CommandParser& parser);
int runObjectsCommand(CommandParser& parser);
int runCheckCommand(CommandParser& parser);
int runMaterialsCommand(CommandParser& parser);
int runImport3DCommand(CommandParser& parser);
int runMaterialMapCommand(CommandParser& parser);
int runPowerMapCommand(CommandParser& parser);
int runGenerateCommand(CommandParser& parser);
int runExport3DCommand(CommandParser& parser);
int runCfdExportCommand(CommandParser& parser);
int runSetCommand(CommandParser& parser);
int runAddCommand(CommandParser& parser);
int runRenderCommand(CommandParser& parser);
int runReportCommand(CommandParser& parser);
