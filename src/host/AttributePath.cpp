#include <tarvex/host/AttributePath.h>

namespace EntityModel {

AttributePath::AttributePath(const TypeRef& step)
{
    if (!step.isNull())
        m_steps << step.getLabel();
}

AttributePath::AttributePath(const QString& text)
    : m_steps(text.split(QLatin1Char('/'), Qt::SkipEmptyParts))
{
}

AttributePath AttributePath::parent() const
{
    AttributePath result(*this);
    if (!result.m_steps.isEmpty())
        result.m_steps.removeLast();
    return result;
}

QString AttributePath::last() const
{
    return m_steps.isEmpty() ? QString() : m_steps.last();
}

AttributePath AttributePath::operator/(const AttributePath& tail) const
{
    AttributePath result(*this);
    result.m_steps << tail.m_steps;
    return result;
}

} // namespace EntityModel
