#include <tarvex/host/DeferredProgress.h>

namespace Tools {

void DeferredProgress::replayInto(ToolProgress& target)
{
    for (const Record& record : m_records) {
        switch (record.call) {
        case Call::Reset:
            target.reset();
            break;
        case Call::SetTotalSteps:
            target.setTotalSteps(record.number);
            break;
        case Call::SetStep:
            target.setStep(record.number);
            break;
        case Call::Post:
            target.post(record.kind, record.text);
            break;
        }
    }
    m_records.clear();
}

void DeferredProgress::reset() { m_records.push_back({Call::Reset, 0, Kind::Message, QString()}); }

void DeferredProgress::setTotalSteps(quint64 total)
{
    m_records.push_back({Call::SetTotalSteps, total, Kind::Message, QString()});
}

void DeferredProgress::setStep(quint64 count)
{
    // A long reading reports every step it makes; only the latest of a run matters.
    if (!m_records.empty() && m_records.back().call == Call::SetStep)
        m_records.back().number = count;
    else
        m_records.push_back({Call::SetStep, count, Kind::Message, QString()});
}

void DeferredProgress::post(Kind kind, const QString& text) { m_records.push_back({Call::Post, 0, kind, text}); }

} // namespace Tools
