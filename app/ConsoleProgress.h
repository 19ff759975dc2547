#pragma once

#include <tarvex/host/ToolProgress.h>

#include <QStringList>

#include <cstdio>

namespace Tools {

/// A sink that writes to a console stream (stderr by default): progress messages as they
/// come, warnings and fatal errors marked as such, and a progress line that rewrites itself
/// when the stream is a terminal.
class ConsoleProgress : public ToolProgress
{
public:
    /// Writes to `stream`; the progress line is drawn only when it is a terminal.
    explicit ConsoleProgress(std::FILE* stream = stderr);
    ~ConsoleProgress() override;

    void reset() override;
    void setTotalSteps(quint64 total) override;
    void setStep(quint64 count) override;
    void post(Kind kind, const QString& text) override;

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

private:
    void clearLine();
    void drawLine();

    std::FILE* m_stream;
    bool m_terminal;
    bool m_lineShown = false;
    quint64 m_total = 0;
    quint64 m_step = 0;
    QString m_current;
    QStringList m_closingTexts;
    QString m_heldClosing;
    int m_fatalErrors = 0;
    int m_warnings = 0;
};

} // namespace Tools
