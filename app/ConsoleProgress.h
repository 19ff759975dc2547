#pragma once

#include "host/ToolProgress.h"

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
    int m_fatalErrors = 0;
    int m_warnings = 0;
};

} // namespace Tools
