#pragma once

#include <QString>
#include <QTextStream>

/// The tool's standard output.
QTextStream& out();
/// The tool's standard error.
QTextStream& err();
/// Reports `problem` (when not empty) as an error on stderr; returns the failure exit
/// status (1).
int failure(const QString& problem);
/// Whether `path` can be read as an input file; when not, says why on stderr ("no such
/// file", "it is a directory", "it is not a regular file", "permission denied").
bool readable(const QString& path);
