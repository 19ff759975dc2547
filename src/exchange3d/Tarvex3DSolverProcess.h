#pragma once

#include <QString>
#include <QStringList>

#include <chrono>

namespace Tarvex3D {

/// One bounded run of the 3D solver's executable: nothing reaches its standard input, its
/// output is read as it comes (keeping only the end of it) so that it never blocks on a
/// full pipe, and a run that outlasts its time is killed and reaped.
class Tarvex3DSolverProcess
{
public:
    /// How a run ended.
    enum class Outcome { Finished, NotStarted, TimedOut, Crashed };

    /// What a run gave.
    struct Result
    {
        Outcome outcome = Outcome::NotStarted;
        /// The exit code (meaningful when the run finished).
        int exitCode = -1;
        /// The last lines the solver wrote to its standard output and error.
        QString output;
        /// Why it could not be started.
        QString error;
    };

    /// The most of the solver's output kept, in bytes.
    static constexpr int keptOutputBytes = 4096;

    /// Runs `program` with `arguments` in `workingFolder` and waits for it, at most `timeout`.
    static Result run(const QString& program, const QStringList& arguments, const QString& workingFolder,
                      std::chrono::milliseconds timeout);
};

} // namespace Tarvex3D
