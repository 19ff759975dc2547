#include <tarvex/model3d/Tarvex3DDataDescription.h>

namespace Tarvex3D {

int Tarvex3DDataDescription::getColumnIndex(const QString& name) const
{
    // A layout may name a column twice; the later one is the one that counts.
    for (int i = m_columns.size() - 1; i >= 0; --i) {
        if (m_columns.at(i).first == name)
            return i;
    }
    return -1;
}

} // namespace Tarvex3D
