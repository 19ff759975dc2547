#include "maps/TarvexPowerMapAreaList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using Geometry::Bound2D;
using Geometry::Vec2;
using Tarvex::TarvexPowerData;
using Tarvex::TarvexPowerMapArea;
using Tarvex::TarvexPowerMapAreaList;

namespace {

// A plain transcription of the placing rules over a list scanned from the front: the
// reference the indexed list must match exactly.
class ReferenceList
{
public:
    void addMapArea(const Bound2D& bound)
    {
        if (m_list.empty())
            m_list.push_back({bound, std::nullopt});
        else
            m_list.front().bound.unite(bound);
    }

    void place(const Bound2D& block, const TarvexPowerData& data)
    {
        if (m_list.empty() || !m_list.front().bound.isValid(1e-9))
            return;
        Bound2D all;
        for (const auto& area : m_list)
            all.unite(area.bound);
        if (!block.isValid(1e-9) || !(all.contains(block, 1e-9) || all.overlaps(block, 1e-9)))
            return;
        std::vector<Bound2D> p{block};
        std::vector<TarvexPowerMapArea> r;
        for (size_t i = 0; i < m_list.size();) {
            const TarvexPowerMapArea e = m_list[i];
            const std::vector<Bound2D> pieces = cut(e.bound, block);
            if (pieces.size() < 2) {
                ++i;
                continue;
            }
            for (const Bound2D& piece : pieces)
                r.push_back({piece, scaled(e.data, area(piece) / area(e.bound))});
            std::vector<Bound2D> next;
            for (const Bound2D& piece : p) {
                const auto parts = cut(piece, e.bound);
                next.insert(next.end(), parts.begin(), parts.end());
            }
            p = next;
            m_list.erase(m_list.begin() + long(i));
        }
        for (const auto& piece : r)
            insert(piece);
        for (const Bound2D& piece : p)
            insert({piece, scaled(data, area(piece) / area(block))});
    }

    const std::vector<TarvexPowerMapArea>& areas() const { return m_list; }

private:
    static double area(const Bound2D& b) { return b.getSize().x * b.getSize().y; }
    static std::optional<TarvexPowerData> scaled(std::optional<TarvexPowerData> data, double f)
    {
        if (data)
            data->scale(f);
        return data;
    }
    static bool near(double a, double b) { return a == b || std::abs(a - b) < 1e-6; }
    static std::vector<Bound2D> cut(const Bound2D& a, const Bound2D& b)
    {
        std::vector<Bound2D> pieces{a};
        for (const Vec2& q : b.getCorners()) {
            std::vector<Bound2D> next;
            for (const Bound2D& piece : pieces) {
                bool corner = false;
                for (const Vec2& c : piece.getCorners())
                    corner = corner || (near(q.x, c.x) && near(q.y, c.y));
                std::vector<Bound2D> spanned;
                if (piece.contains(q, 1e-9) && !corner) {
                    for (const Vec2& c : piece.getCorners()) {
                        const Bound2D s(q, c);
                        if (s.getSize().x > 1e-6 && s.getSize().y > 1e-6)
                            spanned.push_back(s);
                    }
                }
                if (spanned.size() >= 2)
                    next.insert(next.end(), spanned.begin(), spanned.end());
                else
                    next.push_back(piece);
            }
            pieces = next;
        }
        return pieces;
    }
    void insert(const TarvexPowerMapArea& item)
    {
        const Vec2 c = item.bound.getCentre();
        for (auto& area : m_list) {
            if (area.bound.getCentre() == c) {
                if (item.data && !area.data)
                    area.data = item.data;
                else if (item.data)
                    area.data->merge(*item.data);
                return;
            }
        }
        auto at = m_list.begin();
        while (at != m_list.end()) {
            const Vec2 o = at->bound.getCentre();
            if (c.x < o.x || (c.x == o.x && c.y < o.y))
                break;
            ++at;
        }
        m_list.insert(at, item);
    }

    std::vector<TarvexPowerMapArea> m_list;
};

bool same(const std::vector<TarvexPowerMapArea>& a, const std::vector<TarvexPowerMapArea>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].bound != b[i].bound || bool(a[i].data) != bool(b[i].data))
            return false;
        if (a[i].data && (a[i].data->power != b[i].data->power || a[i].data->leakage != b[i].data->leakage))
            return false;
    }
    return true;
}

} // namespace

TEST(TarvexPowerMapAreaList, IndexedPlacingGivesExactlyTheResultOfAFullScan)
{
    std::mt19937 random(20261206);
    for (int layout = 0; layout < 300; ++layout) {
        TarvexPowerMapAreaList indexed;
        ReferenceList reference;
        const Bound2D area(Vec2(0, 0), Vec2(0.01, 0.01));
        indexed.addMapArea(area);
        reference.addMapArea(area);
        // Corners on a coarse grid make shared corners, equal centres and crossings common;
        // a few blocks reach outside the area.
        std::uniform_int_distribution<int> cell(-1, 11);
        std::uniform_int_distribution<int> blocks(1, 25);
        const int count = blocks(random);
        for (int i = 0; i < count; ++i) {
            const Bound2D block(Vec2(cell(random) * 1e-3, cell(random) * 1e-3), Vec2(cell(random) * 1e-3, cell(random) * 1e-3));
            TarvexPowerData data;
            if (i % 3 == 2)
                data.leakage.emplace_back(298.15 + 10 * (i % 4), 0.25 * i);
            else
                data.power = 1.0 + i;
            indexed.place(block, data);
            reference.place(block, data);
        }
        ASSERT_TRUE(same(indexed.areas(), reference.areas())) << "layout " << layout;
    }
}

TEST(TarvexPowerMapAreaList, PowerIsConservedAndLeakageStaysSorted)
{
    TarvexPowerMapAreaList list;
    list.addMapArea(Bound2D(Vec2(0, 0), Vec2(1, 1)));
    TarvexPowerData hot;
    hot.power = 10;
    list.place(Bound2D(Vec2(0.1, 0.1), Vec2(0.6, 0.7)), hot);
    list.place(Bound2D(Vec2(0.3, 0.2), Vec2(0.9, 0.9)), hot);
    TarvexPowerData leak;
    leak.leakage = {{350, 1.0}};
    list.place(Bound2D(Vec2(0.2, 0.2), Vec2(0.5, 0.5)), leak);
    leak.leakage = {{300, 2.0}};
    list.place(Bound2D(Vec2(0.2, 0.2), Vec2(0.5, 0.5)), leak);

    double power = 0;
    std::map<double, double> leakage;
    double covered = 0;
    for (const TarvexPowerMapArea& area : list.areas()) {
        covered += area.bound.getSize().x * area.bound.getSize().y;
        if (!area.data)
            continue;
        power += area.data->power;
        for (size_t i = 0; i < area.data->leakage.size(); ++i) {
            leakage[area.data->leakage[i].first] += area.data->leakage[i].second;
            if (i > 0) {
                EXPECT_LT(area.data->leakage[i - 1].first, area.data->leakage[i].first);
            }
        }
    }
    EXPECT_NEAR(power, 20, 1e-12);
    EXPECT_NEAR(leakage[350], 1.0, 1e-12);
    EXPECT_NEAR(leakage[300], 2.0, 1e-12);
    EXPECT_GE(covered, 1.0 - 1e-12); // overlapping blocks may lie on top of pieces
}
