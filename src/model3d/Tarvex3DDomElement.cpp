#include <tarvex/model3d/Tarvex3DDomElement.h>

namespace Tarvex3D {

bool Tarvex3DDomElement::hasAttributeValue(const QString& name) const
{
    return m_element.hasAttribute(name);
}

QString Tarvex3DDomElement::getAttributeStringValue(const QString& name, const QString& fallback) const
{
    return m_element.hasAttribute(name) ? m_element.attribute(name) : fallback;
}

int Tarvex3DDomElement::getAttributeIntValue(const QString& name, int fallback) const
{
    if (!m_element.hasAttribute(name))
        return fallback;
    bool ok = false;
    const int value = m_element.attribute(name).toInt(&ok, 10);
    return ok ? value : fallback;
}

quint32 Tarvex3DDomElement::getAttributeUint32Value(const QString& name, quint32 fallback) const
{
    if (!m_element.hasAttribute(name))
        return fallback;
    bool ok = false;
    const uint value = m_element.attribute(name).toUInt(&ok, 10);
    return ok ? quint32(value) : fallback;
}

double Tarvex3DDomElement::getAttributeDoubleValue(const QString& name, double fallback) const
{
    if (!m_element.hasAttribute(name))
        return fallback;
    bool ok = false;
    const double value = m_element.attribute(name).toDouble(&ok);
    return ok ? value : fallback;
}

} // namespace Tarvex3D
