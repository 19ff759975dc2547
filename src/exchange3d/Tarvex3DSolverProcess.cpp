#include "exchange3d/Tarvex3DSolverProcess.h"

#include <QDeadlineTimer>
#include <QProcess>

#include <algorithm>

namespace Tarvex3D {

namespace {

// How long one wait lasts before the output read so far is trimmed.
constexpr qint64 drainIntervalMs = 100;

} // namespace

Tarvex3DSolverProcess::Result Tarvex3DSolverProcess::run(const QString& program, const QStringList& arguments,
                                                         const QString& workingFolder, std::chrono::milliseconds timeout)
{
    Result result;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(workingFolder);
    // A solver that asks for input gets end of file at once instead of waiting for ever.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::MergedChannels);

    const QDeadlineTimer deadline(timeout.count());
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(std::max<qint64>(deadline.remainingTime(), 1))) {
        result.error = process.errorString();
        process.kill();
        process.waitForFinished(-1);
        return result;
    }

    QByteArray output;
    const auto drain = [&] {
        output += process.readAll();
        if (output.size() > keptOutputBytes)
            output = output.right(keptOutputBytes);
    };
    while (process.state() != QProcess::NotRunning) {
        if (deadline.hasExpired()) {
            process.kill();
            process.waitForFinished(-1);
            drain();
            result.outcome = Outcome::TimedOut;
            result.output = QString::fromUtf8(output);
            return result;
        }
        process.waitForFinished(std::min(deadline.remainingTime(), drainIntervalMs));
        drain();
    }
    drain();
    result.output = QString::fromUtf8(output);
    result.exitCode = process.exitCode();
    result.outcome = process.exitStatus() == QProcess::CrashExit ? Outcome::Crashed : Outcome::Finished;
    return result;
}

} // namespace Tarvex3D
