#pragma once

#include "host/Model.h"

#include <QCommandLineParser>
#include <QStringList>
#include <QTextStream>

#include <memory>

/// The `tarvex` tool: parses one command, runs it on a saved model (or a new one) and
/// writes the model back only when the operation reported no fatal error.
class CommandLine
{
public:
    /// Runs the command in `arguments` (the first being the program name); returns the exit
    /// status: 0 on success, 1 when the operation failed, 2 for a usage error.
    int run(const QStringList& arguments);

private:
    int runImport(const QStringList& arguments);
    int runUpdate(const QStringList& arguments);
    int runExtend(const QStringList& arguments);
    int runShow(const QStringList& arguments);
    int usage(const QString& problem);

    bool parse(QCommandLineParser& parser, const QStringList& arguments, const QString& description);
    bool checkInput(const QString& path);
    std::unique_ptr<EntityModel::Model> openModel(const QString& path, bool mustExist);
    int finish(const EntityModel::Model& model, const QString& modelPath, bool failed);

    QString m_command;
};
