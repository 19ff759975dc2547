#pragma once

#include <tarvex/host/ToolProgress.h>

#include <QStringList>

#include <cstdio>
#include <functional>

namespace Tools {

/// A sink that writes to a console stream (stderr by default) as much as the run's
/// verbosity asks: fatal errors always; warnings, notes and the closing message of an
/// operation unless quiet; every progress message when verbose. On a terminal a progress
/// line names the running phase ("Reading FILE", "Building objects", ...) with its own
/// percentage, redrawn at most ten times a second.
class ConsoleProgress : public ToolProgress
{
public:
    /// Milliseconds from any fixed start.
    using Clock = std::function<qint64()>;
    /// The least time between two redraws of the progress line within one phase.
    static constexpr qint64 RedrawInterval = 100;

    /// Writes to `stream`; the progress line is drawn only when it is a terminal.
    explicit ConsoleProgress(std::FILE* stream = stderr);
    /// Writes to `stream`, drawing the progress line when `terminal`, with time from `clock`.
    ConsoleProgress(std::FILE* stream, bool terminal, Clock clock);
    ~ConsoleProgress() override;

    void reset() override;
    void setTotalSteps(quint64 total) override;
    void setStep(quint64 count) override;
    void post(Kind kind, const QString& text) override;

    /// Names the phases that count their steps, in the order the operation runs them: each
    /// new total of steps starts the next name, going round again after the last (an import
    /// list runs them once per file).
    void setCountedPhases(const QStringList& names);
    /// Starts a phase the caller runs itself, or one that counts nothing ("Reading FILE",
    /// "Saving"), and shows it at once.
    void beginPhase(const QString& name);

    /// Holds back a progress message that is one of `closingTexts` (the closing messages of
    /// an operation, which say that it finished) instead of writing it, until `endRun` tells
    /// whether the run as a whole succeeded: the operation may close with "Finished" after
    /// an error, or the command may fail after it (a refused result, a failed save).
    void holdClosingMessages(const QStringList& closingTexts);
    /// Writes the closing message held back when the run `succeeded`; drops it otherwise.
    /// A message still held when the sink is destroyed is dropped.
    void endRun(bool succeeded);

    /// Number of fatal errors posted since construction.
    int fatalErrors() const { return m_fatalErrors; }
    /// Number of warnings posted since construction.
    int warnings() const { return m_warnings; }
    /// Clears the progress line of the sink that draws one, before other output is written.
    static void clearActiveLine();

    /// Number of times the progress line was drawn.
    int redraws() const { return m_redraws; }

private:
    void clearLine();
    void drawLine(bool now);

    std::FILE* m_stream;
    bool m_terminal;
    Clock m_clock;
    bool m_lineShown = false;
    qint64 m_lastDraw = 0;
    int m_redraws = 0;
    quint64 m_total = 0;
    quint64 m_step = 0;
    QString m_phase;
    QStringList m_countedPhases;
    int m_nextCounted = 0;
    QStringList m_closingTexts;
    QString m_heldClosing;
    int m_fatalErrors = 0;
    int m_warnings = 0;
};

} // namespace Tools
