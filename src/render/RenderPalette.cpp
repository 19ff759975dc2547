#include "RenderPalette.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>

namespace Render {

QColor RenderPalette::materialColour(int index)
{
    // Okabe–Ito, with grey in place of its black so that outlines and labels stay readable and
    // wine in place of its yellow, which is too near the hot end of the density scale.
    static const std::array<QRgb, 8> set = {0xE69F00, 0x56B4E9, 0x009E73, 0x882255,
                                            0x0072B2, 0xD55E00, 0xCC79A7, 0x999999};
    const int round = std::max(index, 0) / int(set.size());
    const QColor colour(set[size_t(std::max(index, 0)) % set.size()]);
    return round == 0 ? colour : colour.lighter(100 + 25 * round);
}

QHash<QString, QColor> RenderPalette::materialColours(QStringList names)
{
    // A name starts from the colour its own hash (FNV-1a, the same in every run) picks; names
    // are taken in sorted order and one that finds its colour taken moves on to the next.
    names.sort();
    names.removeDuplicates();
    QHash<QString, QColor> colours;
    std::set<int> taken;
    for (const QString& name : names) {
        quint32 hash = 2166136261u;
        for (const QChar character : name)
            hash = (hash ^ character.unicode()) * 16777619u;
        int step = 0;
        int index = int(hash % 8u);
        while (taken.count(index)) {
            ++step;
            index = int((hash + quint32(step)) % 8u) + 8 * (step / 8);
        }
        taken.insert(index);
        colours.insert(name, materialColour(index));
    }
    return colours;
}

QColor RenderPalette::densityColour(double position)
{
    // Viridis at nine even stops.
    static const std::array<QRgb, 9> stops = {0x440154, 0x472D7B, 0x3B528B, 0x2C728E, 0x21918C,
                                              0x28AE80, 0x5EC962, 0xADDC30, 0xFDE725};
    const double scaled = std::clamp(std::isfinite(position) ? position : 0.0, 0.0, 1.0) * (stops.size() - 1);
    const size_t low = std::min(size_t(scaled), stops.size() - 2);
    const double t = scaled - double(low);
    const QColor a(stops[low]);
    const QColor b(stops[low + 1]);
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

QColor RenderPalette::ink()
{
    return QColor(0x20, 0x20, 0x20);
}

} // namespace Render
