#include "Console.h"

#include "ConsoleProgress.h"

#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

Verbosity level = Verbosity::Normal;
ReportTarget reportTarget = ReportTarget::StandardOutput;
QString standardInputCopy;
const QString StandardInputName = QStringLiteral("<stdin>");

// The folder of the files that stand in for standard input and output, removed at exit.
const QTemporaryDir& streamFolder()
{
    static const QTemporaryDir folder;
    return folder;
}

// Where reports go in a quiet run.
QTextStream& discarded()
{
    static QString sink;
    static QTextStream stream(&sink);
    sink.clear();
    return stream;
}

} // namespace

Verbosity verbosity() { return level; }

void setVerbosity(Verbosity newLevel) { level = newLevel; }

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& report()
{
    if (level == Verbosity::Quiet || reportTarget == ReportTarget::Nowhere)
        return discarded();
    return reportTarget == ReportTarget::StandardError ? err() : out();
}

void setReportTarget(ReportTarget target) { reportTarget = target; }

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

int failure(const QString& problem)
{
    Tools::ConsoleProgress::clearActiveLine();
    if (!problem.isEmpty())
        err() << "error: " << userText(problem) << '\n';
    err().flush();
    return 1;
}

bool readable(const QString& path)
{
    const QFileInfo info(path);
    QString problem;
    if (!info.exists())
        problem = QStringLiteral("no such file");
    else if (info.isDir())
        problem = QStringLiteral("it is a directory");
    else if (!info.isFile())
        problem = QStringLiteral("it is not a regular file"); // a pipe or device may never end
    else if (!info.isReadable())
        problem = QStringLiteral("permission denied");
    else
        return true;
    failure(QStringLiteral("Cannot open file %1: %2").arg(path, problem));
    return false;
}

bool isStandardStream(const QString& path) { return path == QLatin1String("-"); }

QString standardInputFile(qint64 limit)
{
    if (!standardInputCopy.isEmpty())
        return standardInputCopy;
    // Kept in the current folder where it can be, so that the files it names by relative
    // paths (layouts, maps, libraries) are found there, as they would be for a file there.
    static QTemporaryFile copy(QDir::current().filePath(QStringLiteral(".tarvex-stdin-XXXXXX")));
    if (!copy.open()) {
        copy.setFileTemplate(streamFolder().filePath(QStringLiteral("stdin-XXXXXX")));
        if (!copy.open()) {
            failure(QStringLiteral("Cannot keep standard input in a temporary file: %1").arg(copy.errorString()));
            return QString();
        }
    }
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly)) {
        failure(QStringLiteral("Cannot read standard input"));
        return QString();
    }
    qint64 copied = 0;
    QByteArray block;
    while (copied <= limit && !(block = input.read(std::min<qint64>(qint64(1) << 20, limit + 1 - copied))).isEmpty()) {
        if (copy.write(block) != block.size()) {
            failure(QStringLiteral("Cannot keep standard input in a temporary file: %1").arg(copy.errorString()));
            return QString();
        }
        copied += block.size();
    }
    if (!copy.flush()) {
        failure(QStringLiteral("Cannot keep standard input in a temporary file: %1").arg(copy.errorString()));
        return QString();
    }
    standardInputCopy = copy.fileName();
    return standardInputCopy;
}

QString standardOutputFile() { return streamFolder().filePath(QStringLiteral("stdout")); }

bool sendStandardOutput()
{
    QFile file(standardOutputFile());
    QFile output;
    if (!file.open(QIODevice::ReadOnly) || !output.open(stdout, QIODevice::WriteOnly))
        return failure(QStringLiteral("Cannot write to standard output")) == 0;
    out().flush();
    QByteArray block;
    while (!(block = file.read(qint64(1) << 20)).isEmpty()) {
        if (output.write(block) != block.size())
            return failure(QStringLiteral("Cannot write to standard output: %1").arg(output.errorString())) == 0;
    }
    output.flush();
    return true;
}

QString userText(QString text)
{
    if (standardInputCopy.isEmpty())
        return text;
    // The full path first: the bare name is part of it.
    return text.replace(QFileInfo(standardInputCopy).absoluteFilePath(), StandardInputName)
        .replace(standardInputCopy, StandardInputName)
        .replace(QFileInfo(standardInputCopy).fileName(), StandardInputName);
}
