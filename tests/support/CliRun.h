#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace TestSupport {

/// What one run of the built `tarvex` tool did.
struct CliRun
{
    int exitCode = -1; // -1 when it crashed or did not end in time
    QString out;
    QString err;
};

/// Runs the built tool with `arguments` and waits for it (two minutes at most).
inline CliRun tarvex(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(TARVEX_CLI), arguments);
    process.waitForFinished(120000);
    return CliRun{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                  QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace TestSupport
