#include "objectbuild/ObjectBuilderTestSupport.h"

#include <tarvex/objects/TarvexBasicPart.h>
#include <tarvex/objectbuild/TarvexObjectNesting.h>
#include <tarvex/objects/TarvexSolderBall.h>
#include <tarvex/objects/TarvexSolderBump.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

using namespace Tarvex;

namespace {

struct Layout
{
    TarvexObjectNesting::ObjectList objects;
    TarvexObjectNesting::PackageList packages;
    TarvexObjectNesting::PartList parts;
};

// Hands each of `items` from `from` on, in order, to `take`, which moves out those it
// accepts; those leave the list. True when any did.
template <typename List, typename Take>
bool takeEach(List& items, size_t from, const Take& take)
{
    const size_t before = items.size();
    std::for_each(items.begin() + long(from), items.end(), take);
    items.erase(std::remove(items.begin(), items.end(), nullptr), items.end());
    return items.size() < before;
}

// The nesting as its rules read: every package against every later package and every part,
// pass after pass, then every package and part against every top-level object, with the
// lists shrinking as items move.
void plainNest(Layout& layout, bool skipBallsAndBumps)
{
    for (size_t i = 0; i < layout.packages.size(); ++i) {
        TarvexCompositeGeometryObject& package = *layout.packages[i];
        for (bool moved = true; moved;) {
            const TarvexPlacedGeometry geometry = package.getGeometry();
            const auto into = [&](auto& item) {
                if ((!skipBallsAndBumps || !isSolderJoint(*item)) &&
                    TarvexPlacedGeometry::contains(geometry, item->getGeometry()))
                    package.addChild(std::move(item));
            };
            moved = takeEach(layout.packages, i + 1, into);
            moved = takeEach(layout.parts, 0, into) || moved;
        }
    }
    const auto belowObject = [&layout](auto& item) {
        for (const auto& object : layout.objects) {
            if (item && TarvexPlacedGeometry::contains(object->part->getGeometry(), item->getGeometry()))
                object->addChild(std::make_unique<TarvexObject>(std::move(item)));
        }
    };
    takeEach(layout.packages, 0, belowObject);
    takeEach(layout.parts, 0, belowObject);
}

// The whole tree: packages on top, then the lowest part (balls and bumps last), again and
// again, as the base of a package into which the others nest.
void plainTree(Layout& layout)
{
    const auto promotePackages = [&layout] {
        for (auto& package : layout.packages)
            layout.objects.push_back(std::make_unique<TarvexObject>(std::move(package)));
        layout.packages.clear();
    };
    const auto order = [](TarvexPart& part) {
        const double z = part.getGeometry().getPlacedBound().getLow().z;
        return std::make_pair(isSolderJoint(part), std::isnan(z) ? std::numeric_limits<double>::infinity() : z);
    };
    promotePackages();
    while (!layout.parts.empty()) {
        const auto lowest = std::min_element(layout.parts.begin(), layout.parts.end(),
                                             [&](auto& a, auto& b) { return order(*a) < order(*b); });
        std::unique_ptr<TarvexPart> part = std::move(*lowest);
        layout.parts.erase(lowest);
        if (isSolderJoint(*part)) {
            layout.objects.push_back(std::make_unique<TarvexObject>(std::move(part)));
            continue;
        }
        layout.packages.push_back(std::make_unique<TarvexCompositeGeometryObject>(std::move(part)));
        plainNest(layout, true);
        promotePackages();
    }
}

std::unique_ptr<TarvexBasicPart> block(const QString& name, const QString& type, double x0, double y0, double x1,
                                       double y1, double z, double height)
{
    std::vector<Geometry::Vec3> nodes = {{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}};
    if (name.endsWith(QLatin1String("_empty")))
        nodes.clear();
    return std::make_unique<TarvexBasicPart>(name, name, type, 0.0, std::move(nodes), height);
}

// A random layout on a coarse grid, so that parts often contain, touch or equal each
// other: boards, packages, blocks (some without outline), balls and bumps.
Layout randomLayout(unsigned seed)
{
    std::mt19937 random(seed);
    const auto pick = [&random](int n) { return int(random() % unsigned(n)); };
    const auto box = [&](const QString& name, const QString& type) {
        const double x0 = 0.5 * pick(10);
        const double y0 = 0.5 * pick(10);
        const double x1 = x0 + 0.5 * (1 + pick(8));
        const double y1 = y0 + 0.5 * (1 + pick(8));
        return block(name, type, x0, y0, x1, y1, 0.5 * pick(6), 0.5 * (1 + pick(4)));
    };
    Layout layout;
    for (int i = pick(3); i > 0; --i)
        layout.objects.push_back(std::make_unique<TarvexObject>(box(QStringLiteral("PCB%1").arg(i), "PCB")));
    for (int i = pick(6); i > 0; --i)
        layout.packages.push_back(
            std::make_unique<TarvexCompositeGeometryObject>(box(QStringLiteral("U%1").arg(i), "Package")));
    for (int i = 1 + pick(30); i > 0; --i) {
        const QString name = QStringLiteral("P%1").arg(i);
        const int kind = pick(6);
        if (kind >= 2) {
            layout.parts.push_back(box(name + (kind == 2 && pick(4) == 0 ? "_empty" : ""), "Block"));
            continue;
        }
        const Geometry::Vec3 at(0.5 * pick(12), 0.5 * pick(12), 0.5 * pick(6));
        if (pick(2))
            layout.parts.push_back(std::make_unique<TarvexSolderBall>(name, 0.3, 0.3, 0.4, 0.5, at, nullptr));
        else
            layout.parts.push_back(std::make_unique<TarvexSolderBump>(name, 0.1, 0.1, 0.2, 0.25, at, nullptr));
    }
    return layout;
}

// The tree and the leftovers after nesting `layout` by the plain loops or by the indexes,
// with or without building the whole tree.
QStringList nest(Layout layout, bool plain, bool tree)
{
    if (plain) {
        plainNest(layout, false);
        if (tree)
            plainTree(layout);
    } else {
        // Moving into the by-value parameters leaves the lists empty for `finish`.
        TarvexObjectNesting nesting(layout.objects, std::move(layout.packages), std::move(layout.parts));
        nesting.nest(false);
        if (tree)
            nesting.buildTree();
        nesting.finish(layout.packages, layout.parts);
    }
    QStringList lines = TestSupport::describeTree(layout.objects);
    for (const auto& package : layout.packages)
        lines << "left package " + package->getName(true);
    for (const auto& part : layout.parts)
        lines << "left part " + part->getName(true);
    return lines;
}

} // namespace

// The indexed nesting gives the tree of the plain loops: same parents, same child order,
// same leftovers, with and without building the whole tree.
TEST(TarvexObjectNesting, IndexedNestingMatchesThePlainLoops)
{
    int nestedSomewhere = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        for (const bool tree : {false, true}) {
            const QStringList expected = nest(randomLayout(seed), true, tree);
            ASSERT_EQ(nest(randomLayout(seed), false, tree), expected) << "seed " << seed << (tree ? " with tree" : "");
            const QString text = expected.join('\n');
            nestedSomewhere += text.contains('[') || text.contains("\n1 ");
        }
    }
    // The layouts must exercise the nesting, not only leave parts side by side.
    EXPECT_GT(nestedSomewhere, 300);
}

// Parts far apart in a large layout: the index must not lose the ones at its edges.
TEST(TarvexObjectNesting, SpreadOutPartsFindTheirPackages)
{
    const auto spreadOut = [] {
        Layout layout;
        layout.objects.push_back(std::make_unique<TarvexObject>(block("PCB", "PCB", -1000, -1000, 1000, 1000, 0, 1)));
        for (int i = 0; i < 50; ++i) {
            const double x = -900 + 36 * i;
            layout.packages.push_back(std::make_unique<TarvexCompositeGeometryObject>(
                block(QStringLiteral("U%1").arg(i), "Package", x, x, x + 10, x + 10, 1, 2)));
            layout.parts.push_back(block(QStringLiteral("D%1").arg(i), "Die", x + 10 - 1e-7, x, x + 10, x + 1e-7, 1, 2));
        }
        return layout;
    };
    const QStringList expected = nest(spreadOut(), true, true);
    EXPECT_EQ(nest(spreadOut(), false, true), expected);
    EXPECT_EQ(expected.mid(49), (QStringList{"0 3 U48 [1 U48, 1 D48]", "0 3 U49 [1 U49, 1 D49]"}));
}
