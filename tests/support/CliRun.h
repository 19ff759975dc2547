#pragma once

#include <QProcess>
#include <QProcessEnvironment>
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

/// Runs the built tool with `arguments` and waits for it (two minutes at most), with the
/// variables of `environment` set besides this process's own.
inline CliRun tarvex(const QStringList& arguments, const QProcessEnvironment& environment = QProcessEnvironment())
{
    QProcess process;
    QProcessEnvironment merged = QProcessEnvironment::systemEnvironment();
    merged.insert(environment);
    process.setProcessEnvironment(merged);
    process.start(QStringLiteral(TARVEX_CLI), arguments);
    process.waitForFinished(120000);
    return CliRun{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                  QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace TestSupport
