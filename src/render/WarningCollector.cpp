#include "WarningCollector.h"

namespace Render {

WarningCollector::WarningCollector(Tools::ToolProgress* target) : m_target(target) {}

void WarningCollector::reset()
{
    if (m_target)
        m_target->reset();
}

void WarningCollector::setTotalSteps(quint64 total)
{
    if (m_target)
        m_target->setTotalSteps(total);
}

void WarningCollector::setStep(quint64 count)
{
    if (m_target)
        m_target->setStep(count);
}

void WarningCollector::post(Kind kind, const QString& text)
{
    if (kind == Kind::Warning)
        m_warnings.append(text);
    if (m_target)
        m_target->post(kind, text);
}

} // namespace Render
