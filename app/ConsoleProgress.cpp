#include "ConsoleProgress.h"

#include <unistd.h>

namespace Tools {

ConsoleProgress::ConsoleProgress(std::FILE* stream)
    : m_stream(stream), m_terminal(stream && ::isatty(::fileno(stream)) == 1)
{
}

ConsoleProgress::~ConsoleProgress() { clearLine(); }

void ConsoleProgress::reset()
{
    m_total = 0;
    m_step = 0;
}

void ConsoleProgress::setTotalSteps(quint64 total)
{
    m_total = total;
    drawLine();
}

void ConsoleProgress::setStep(quint64 count)
{
    m_step = count;
    drawLine();
}

void ConsoleProgress::post(Kind kind, const QString& text)
{
    if (!m_stream)
        return;
    clearLine();
    const char* mark = "";
    switch (kind) {
    case Kind::Message:
        if (m_closingTexts.contains(text)) {
            m_heldClosing = text;
            drawLine();
            return;
        }
        m_current = text;
        break;
    case Kind::Informational:
        mark = "note: ";
        break;
    case Kind::Warning:
        mark = "warning: ";
        ++m_warnings;
        break;
    case Kind::FatalError:
        mark = "error: ";
        ++m_fatalErrors;
        break;
    }
    std::fprintf(m_stream, "%s%s\n", mark, text.toLocal8Bit().constData());
    std::fflush(m_stream);
    drawLine();
}

void ConsoleProgress::holdClosingMessages(const QStringList& closingTexts) { m_closingTexts = closingTexts; }

void ConsoleProgress::endRun(bool succeeded)
{
    const QString held = m_heldClosing;
    m_heldClosing.clear();
    m_closingTexts.clear();
    if (succeeded && !held.isEmpty())
        post(Kind::Message, held);
}

void ConsoleProgress::clearLine()
{
    if (m_lineShown) {
        std::fputs("\r\033[K", m_stream);
        m_lineShown = false;
    }
}

void ConsoleProgress::drawLine()
{
    if (!m_terminal || m_total == 0)
        return;
    const quint64 done = m_step > m_total ? m_total : m_step;
    const int percent = int(100 * done / m_total);
    std::fprintf(m_stream, "\r\033[K[%3d%%] %llu/%llu %s", percent, static_cast<unsigned long long>(done),
                 static_cast<unsigned long long>(m_total), m_current.toLocal8Bit().constData());
    std::fflush(m_stream);
    m_lineShown = true;
}

} // namespace Tools
