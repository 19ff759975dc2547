#include <tarvex/exchange3d/Tarvex3DSolverProcess.h>

#include <QDeadlineTimer>
#include <QProcess>

#include <algorithm>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace Tarvex3D {

namespace {

// How long one wait lasts before the output read so far is trimmed.
constexpr qint64 drainIntervalMs = 100;

// The solver runs as the leader of a process group of its own, so that stopping it stops
// the workers it started too; and it is killed when the tool that started it ends, however
// that happens (an interrupt, a kill), instead of running on unowned.
class SolverProcess : public QProcess
{
public:
    // Every process of the solver's group, the solver first.
    void killGroup()
    {
        const qint64 leader = processId();
        if (leader > 0)
            ::kill(-pid_t(leader), SIGKILL);
        kill();
    }

protected:
    void setupChildProcess() override
    {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    }
};

} // namespace

Tarvex3DSolverProcess::Result Tarvex3DSolverProcess::run(const QString& program, const QStringList& arguments,
                                                         const QString& workingFolder, std::chrono::milliseconds timeout)
{
    Result result;
    SolverProcess process;
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
            process.killGroup();
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
