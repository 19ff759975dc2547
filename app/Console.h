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
