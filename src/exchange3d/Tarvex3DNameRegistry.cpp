#include <tarvex/exchange3d/Tarvex3DNameRegistry.h>

namespace Tarvex3D {

QString Tarvex3DNameRegistry::safeName(const QString& name)
{
    static const QString mapped = QStringLiteral(" ./\\{}:");
    QString safe = name;
    for (QChar& c : safe) {
        if (mapped.contains(c) || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    }
    return safe;
}

QString Tarvex3DNameRegistry::uniqueName(const QString& name)
{
    const QString safe = safeName(name);
    auto it = m_uses.find(safe);
    if (it == m_uses.end()) {
        m_uses.insert(safe, 1);
        return safe;
    }
    // The count goes on from where the last request for this name stopped, so a run of equal
    // names costs one probe each.
    while (true) {
        const QString candidate = safe + QLatin1Char('_') + QString::number(it.value());
        ++it.value();
        if (!m_uses.contains(candidate)) {
            m_uses.insert(candidate, 1);
            return candidate;
        }
    }
}

} // namespace Tarvex3D
