#include <tarvex/host/ProgressMessagePrefixer.h>

namespace CFDProgress {

ProgressMessagePrefixer::ProgressMessagePrefixer(Tools::ToolProgress* target, const QString& prefix)
    : m_target(target), m_prefix(prefix)
{
}

void ProgressMessagePrefixer::reset()
{
    if (m_target)
        m_target->reset();
}

void ProgressMessagePrefixer::setTotalSteps(quint64 total)
{
    if (m_target)
        m_target->setTotalSteps(total);
}

void ProgressMessagePrefixer::setStep(quint64 count)
{
    if (m_target)
        m_target->setStep(count);
}

void ProgressMessagePrefixer::post(Kind kind, const QString& text)
{
    if (kind == Kind::FatalError)
        ++m_fatalErrors;
    if (m_target)
        m_target->post(kind, m_prefix + text);
}

} // namespace CFDProgress
