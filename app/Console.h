#pragma once

#include <QString>
#include <QTextStream>

/// How much a command says besides its result.
enum class Verbosity {
    Quiet,   ///< errors only
    Normal,  ///< warnings, errors and a summary at the end
    Verbose, ///< also every entity built and every step of the operation
};

/// The verbosity of this run (Normal unless -q or -v said otherwise).
Verbosity verbosity();
/// Sets the verbosity of this run.
void setVerbosity(Verbosity level);

/// The tool's standard output, for what a command was asked to print (a model shown, a file
/// written to "-"): printed however quiet the run.
QTextStream& out();
/// Standard output for reports (what was built, saved, written): silent with -q.
QTextStream& report();
/// The tool's standard error.
QTextStream& err();
/// Reports `problem` (when not empty) as an error on stderr; returns the failure exit
/// status (1).
int failure(const QString& problem);
/// Whether `path` can be read as an input file; when not, says why on stderr ("no such
/// file", "it is a directory", "it is not a regular file", "permission denied").
bool readable(const QString& path);

/// Where reports (see report()) go.
enum class ReportTarget { StandardOutput, StandardError, Nowhere };
/// Sends reports to `target`: standard error while standard output carries a result (a file
/// written to "-"), nowhere while it carries JSON.
void setReportTarget(ReportTarget target);

/// True for the file name "-", which stands for standard input or output.
bool isStandardStream(const QString& path);
/// A file holding what standard input gives, copied there on the first call: at most
/// `limit` bytes and one more, so that a reader refuses by its own limit what is too large
/// and no input fills the disk. It is made in the current folder when it can be, so that
/// the files it names are found from there. Empty after reporting why it could not be made.
QString standardInputFile(qint64 limit);
/// A file a command writes in place of standard output; sendStandardOutput copies it there.
QString standardOutputFile();
/// Copies the file of standardOutputFile to standard output; false after reporting a failure.
bool sendStandardOutput();
/// `text` with the file that holds standard input named "<stdin>", as the user knows it.
QString userText(QString text);
