#include "ConsoleProgress.h"

#include "Console.h"

#include <QElapsedTimer>

#include <sys/ioctl.h>
#include <unistd.h>

namespace Tools {

namespace {

// The sink whose progress line is on the screen, if any.
ConsoleProgress* activeSink = nullptr;

qint64 monotonicMilliseconds()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer.elapsed();
}

} // namespace

ConsoleProgress::ConsoleProgress(std::FILE* stream)
    : ConsoleProgress(stream, stream && ::isatty(::fileno(stream)) == 1, &monotonicMilliseconds)
{
}

ConsoleProgress::ConsoleProgress(std::FILE* stream, bool terminal, Clock clock)
    : m_stream(stream), m_terminal(terminal && verbosity() != Verbosity::Quiet), m_clock(std::move(clock))
{
}

ConsoleProgress::~ConsoleProgress()
{
    clearLine();
    if (activeSink == this)
        activeSink = nullptr;
}

void ConsoleProgress::clearActiveLine()
{
    if (activeSink)
        activeSink->clearLine();
}

void ConsoleProgress::reset()
{
    m_total = 0;
    m_step = 0;
}

void ConsoleProgress::setTotalSteps(quint64 total)
{
    // A new count is a new phase with a bar of its own.
    if (total > 0 && !m_countedPhases.isEmpty()) {
        m_phase = m_countedPhases.at(m_nextCounted);
        m_nextCounted = (m_nextCounted + 1) % m_countedPhases.size();
    }
    m_total = total;
    m_step = 0;
    drawLine(false);
}

void ConsoleProgress::setStep(quint64 count)
{
    m_step = count;
    drawLine(false);
}

void ConsoleProgress::post(Kind kind, const QString& text)
{
    if (!m_stream)
        return;
    const char* mark = "";
    bool shown = true;
    switch (kind) {
    case Kind::Message:
        if (m_closingTexts.contains(text)) {
            m_heldClosing = text;
            return;
        }
        shown = verbosity() == Verbosity::Verbose;
        break;
    case Kind::Informational:
        mark = "note: ";
        shown = verbosity() != Verbosity::Quiet;
        break;
    case Kind::Warning:
        mark = "warning: ";
        ++m_warnings;
        shown = verbosity() != Verbosity::Quiet;
        break;
    case Kind::FatalError:
        mark = "error: ";
        ++m_fatalErrors;
        break;
    }
    if (!shown)
        return;
    clearLine();
    std::fprintf(m_stream, "%s%s\n", mark, userText(text).toLocal8Bit().constData());
    std::fflush(m_stream);
    drawLine(false);
}

void ConsoleProgress::setCountedPhases(const QStringList& names)
{
    m_countedPhases = names;
    m_nextCounted = 0;
}

void ConsoleProgress::beginPhase(const QString& name)
{
    m_phase = name;
    m_total = 0;
    m_step = 0;
    drawLine(true);
}

void ConsoleProgress::holdClosingMessages(const QStringList& closingTexts) { m_closingTexts = closingTexts; }

void ConsoleProgress::endRun(bool succeeded)
{
    const QString held = m_heldClosing;
    m_heldClosing.clear();
    m_closingTexts.clear();
    m_phase.clear();
    clearLine();
    if (succeeded && !held.isEmpty() && verbosity() != Verbosity::Quiet) {
        std::fprintf(m_stream, "%s\n", userText(held).toLocal8Bit().constData());
        std::fflush(m_stream);
    }
}

void ConsoleProgress::clearLine()
{
    if (m_lineShown) {
        std::fputs("\r\033[K", m_stream);
        m_lineShown = false;
    }
}

void ConsoleProgress::drawLine(bool now)
{
    if (!m_terminal || m_phase.isEmpty())
        return;
    // Steps come by the million; a terminal needs a few redraws a second.
    const qint64 time = m_clock();
    if (!now && m_redraws > 0 && time - m_lastDraw < RedrawInterval)
        return;
    m_lastDraw = time;
    ++m_redraws;
    QString line = userText(m_phase);
    if (m_total > 0) {
        const quint64 done = m_step > m_total ? m_total : m_step;
        const int percent = int(100 * done / m_total);
        line += QStringLiteral(" [%1%2] %3% (%4/%5)")
                    .arg(QString(percent / 5, QLatin1Char('#')), QString(20 - percent / 5, QLatin1Char(' ')))
                    .arg(percent, 3)
                    .arg(done)
                    .arg(m_total);
    } else {
        line += QStringLiteral(" ...");
    }
    // A line longer than the terminal wraps, and "\r" then rewrites only its last part.
    winsize size{};
    if (::ioctl(::fileno(m_stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 1 && line.size() >= size.ws_col)
        line = line.left(size.ws_col - 1);
    std::fprintf(m_stream, "\r\033[K%s", line.toLocal8Bit().constData());
    std::fflush(m_stream);
    m_lineShown = true;
    activeSink = this;
}

} // namespace Tools
