#pragma once

#include "host/Model.h"

#include <QCommandLineParser>
#include <QStringList>

#include <climits>
#include <memory>
#include <optional>

namespace EntityModel {
class LibraryManager;
}
class CommandParser;

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

    /// Parses the arguments and answers --help (status 0) and a parse error (status 2).
    /// Then reports as a usage error (status 2) the first positional argument past `maximum`,
    /// or `problem` when there are fewer than `minimum` or an option of `required` is missing. Returns the exit
    /// status when the command ends here, nothing when it goes on.
    std::optional<int> read(int minimum = 0, int maximum = INT_MAX, const QList<QCommandLineOption>& required = {},
                            const QString& problem = QString());

    /// The positional argument at `index` as a file name (see `userPath`); empty when absent.
    QString pathArgument(int index = 0) const;
    /// The value of `option` as a file name (see `userPath`); empty when not given.
    QString pathValue(const QCommandLineOption& option) const;

    /// Reports `problem` with the command's help on stderr; returns the usage status (2).
    int usageError(const QString& problem) const;

private:
    QString help() const;

    const Command& m_command;
    const QStringList m_arguments;
    const QCommandLineOption m_help;
};

/// The model saved at `path`; a new one when `path` is empty or, unless `mustExist`, names
/// no file; null after reporting why it cannot be read.
std::unique_ptr<EntityModel::Model> openModel(const QString& path, bool mustExist);

/// For the commands that apply `file` to the model saved at `modelPath`: checks that both
/// can be read and loads the model; null after reporting why not.
std::unique_ptr<EntityModel::Model> openFileAndModel(const QString& file, const QString& modelPath);

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
int runObjectsCommand(CommandParser& parser);
int runMaterialsCommand(CommandParser& parser);
int runMaterialMapCommand(CommandParser& parser);
int runPowerMapCommand(CommandParser& parser);
int runGenerateCommand(CommandParser& parser);
