#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QTextStream>

/// The tool's standard output.
QTextStream& out();
/// The tool's standard error.
QTextStream& err();
/// The parser's help with the usage line naming the command as people type it
/// ("tarvex import"), not the program's path.
QString commandHelp(const QCommandLineParser& parser, const QString& command);
/// Reports a usage problem of `command` with its help on stderr; returns the usage exit
/// status (2).
int usageError(const QCommandLineParser& parser, const QString& command, const QString& problem);
/// Reports `problem` (when not empty) as an error on stderr; returns the failure exit
/// status (1).
int failure(const QString& problem);
/// Why `path` cannot be read as an input file ("no such file", "it is a directory", "it is
/// not a regular file", "permission denied"), or an empty text when it can.
QString unreadable(const QString& path);
