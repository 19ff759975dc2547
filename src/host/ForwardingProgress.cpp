#include <tarvex/host/ForwardingProgress.h>

namespace Tools {

ForwardingProgress::ForwardingProgress(ToolProgress* target, const QString& prefix, Keeping keeping)
    : m_target(target), m_prefix(prefix), m_keeping(keeping)
{
}

QStringList ForwardingProgress::warnings() const
{
    QStringList texts;
    for (const Message& message : m_messages) {
        if (message.kind == Kind::Warning)
            texts << message.text;
    }
    return texts;
}

void ForwardingProgress::reset()
{
    if (m_target)
        m_target->reset();
}

void ForwardingProgress::setTotalSteps(quint64 total)
{
    if (m_target)
        m_target->setTotalSteps(total);
}

void ForwardingProgress::setStep(quint64 count)
{
    if (m_target)
        m_target->setStep(count);
}

void ForwardingProgress::post(Kind kind, const QString& text)
{
    if (kind == Kind::FatalError)
        ++m_fatalErrors;
    if (m_keeping == Keeping::Problems && (kind == Kind::Warning || kind == Kind::FatalError))
        m_messages.push_back({kind, text});
    if (m_target)
        m_target->post(kind, m_prefix + text);
}

} // namespace Tools
