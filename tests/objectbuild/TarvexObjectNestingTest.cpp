#include "objectbuild/ObjectBuilderTestSupport.h"

#include "objects/TarvexBasicPart.h"
#include "objectbuild/TarvexObjectNesting.h"
#include "objects/TarvexSolderBall.h"
#include "objects/TarvexSolderBump.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace Tarvex;

namespace {

using ObjectList = TarvexObjectNesting::ObjectList;
using PackageList = TarvexObjectNesting::PackageList;
using PartList = TarvexObjectNesting::PartList;

struct Layout
{
    ObjectList objects;
    PackageList packages;
    PartList parts;
};

// Parts build their geometry on first use, hence not const.
bool contains(TarvexPart& outer, TarvexPart& inner)
{
    return TarvexPlacedGeometry::contains(outer.getGeometry(), inner.getGeometry());
}

// The nesting as its rules read: every package against every later package and every part,
// pass after pass, then every package and part against every top-level object, with the
// lists shrinking as items move.
void plainNest(Layout& layout, bool skipBallsAndBumps)
{
    for (size_t i = 0; i < layout.packages.size(); ++i) {
        TarvexCompositeGeometryObject& package = *layout.packages[i];
        for (bool moved = true; moved;) {
            moved = false;
            const TarvexPlacedGeometry geometry = package.getGeometry();
            for (size_t j = i + 1; j < layout.packages.size();) {
                if (TarvexPlacedGeometry::contains(geometry, layout.packages[j]->getGeometry())) {
                    package.addChild(std::move(layout.packages[j]));
                    layout.packages.erase(layout.packages.begin() + long(j));
                    moved = true;
                } else {
                    ++j;
                }
            }
            for (size_t j = 0; j < layout.parts.size();) {
                if ((!skipBallsAndBumps || !isSolderJoint(*layout.parts[j])) &&
                    TarvexPlacedGeometry::contains(geometry, layout.parts[j]->getGeometry())) {
                    package.addChild(std::move(layout.parts[j]));
                    layout.parts.erase(layout.parts.begin() + long(j));
                    moved = true;
                } else {
                    ++j;
                }
            }
        }
    }
    const auto placeBelowObject = [&layout](auto& items) {
        for (size_t j = 0; j < items.size();) {
            bool placed = false;
            for (const auto& object : layout.objects) {
                if (object->part && contains(*object->part, *items[j])) {
                    object->addChild(std::make_unique<TarvexObject>(std::move(items[j])));
                    items.erase(items.begin() + long(j));
                    placed = true;
                    break;
                }
            }
            if (!placed)
                ++j;
        }
    };
    placeBelowObject(layout.packages);
    placeBelowObject(layout.parts);
}

double bottomOf(TarvexPart& part)
{
    const double z = part.getGeometry().getPlacedBound().getLow().z;
    return std::isnan(z) ? std::numeric_limits<double>::infinity() : z;
}

void plainTree(Layout& layout)
{
    for (auto& package : layout.packages)
        layout.objects.push_back(std::make_unique<TarvexObject>(std::move(package)));
    layout.packages.clear();
    while (!layout.parts.empty()) {
        size_t base = 0;
        for (size_t j = 1; j < layout.parts.size(); ++j) {
            const bool joint = isSolderJoint(*layout.parts[j]);
            const bool baseJoint = isSolderJoint(*layout.parts[base]);
            if ((!joint && baseJoint) ||
                (joint == baseJoint && bottomOf(*layout.parts[j]) < bottomOf(*layout.parts[base])))
                base = j;
        }
        std::unique_ptr<TarvexPart> part = std::move(layout.parts[base]);
        layout.parts.erase(layout.parts.begin() + long(base));
        if (isSolderJoint(*part)) {
            layout.objects.push_back(std::make_unique<TarvexObject>(std::move(part)));
            continue;
        }
        layout.packages.push_back(std::make_unique<TarvexCompositeGeometryObject>(std::move(part)));
        plainNest(layout, true);
        for (auto& package : layout.packages)
            layout.objects.push_back(std::make_unique<TarvexObject>(std::move(package)));
        layout.packages.clear();
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
    const int boards = pick(3);
    for (int i = 0; i < boards; ++i)
        layout.objects.push_back(std::make_unique<TarvexObject>(box(QStringLiteral("PCB%1").arg(i), "PCB")));
    const int packages = pick(6);
    for (int i = 0; i < packages; ++i)
        layout.packages.push_back(
            std::make_unique<TarvexCompositeGeometryObject>(box(QStringLiteral("U%1").arg(i), "Package")));
    const int parts = 1 + pick(30);
    for (int i = 0; i < parts; ++i) {
        const QString name = QStringLiteral("P%1").arg(i);
        switch (pick(6)) {
        case 0:
        case 1: {
            const Geometry::Vec3 at(0.5 * pick(12), 0.5 * pick(12), 0.5 * pick(6));
            if (pick(2))
                layout.parts.push_back(std::make_unique<TarvexSolderBall>(name, 0.3, 0.3, 0.4, 0.5, at, nullptr));
            else
                layout.parts.push_back(std::make_unique<TarvexSolderBump>(name, 0.1, 0.1, 0.2, 0.25, at, nullptr));
            break;
        }
        case 2:
            layout.parts.push_back(box(name + (pick(4) == 0 ? "_empty" : ""), "Block"));
            break;
        default:
            layout.parts.push_back(box(name, "Block"));
            break;
        }
    }
    return layout;
}

QStringList describe(const Layout& layout)
{
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
            Layout plain = randomLayout(seed);
            plainNest(plain, false);
            if (tree)
                plainTree(plain);

            Layout indexed = randomLayout(seed);
            TarvexObjectNesting nesting(indexed.objects, std::move(indexed.packages), std::move(indexed.parts));
            indexed.packages.clear();
            indexed.parts.clear();
            nesting.nest(false);
            if (tree)
                nesting.buildTree();
            nesting.finish(indexed.packages, indexed.parts);

            const QStringList expected = describe(plain);
            ASSERT_EQ(describe(indexed), expected) << "seed " << seed << (tree ? " with tree" : "");
            nestedSomewhere += expected.join('\n').contains('[') || expected.join('\n').contains("\n1 ");
        }
    }
    // The layouts must exercise the nesting, not only leave parts side by side.
    EXPECT_GT(nestedSomewhere, 300);
}

// Parts far apart in a large layout: the index must not lose the ones at its edges.
TEST(TarvexObjectNesting, SpreadOutPartsFindTheirPackages)
{
    Layout layout;
    layout.objects.push_back(std::make_unique<TarvexObject>(block("PCB", "PCB", -1000, -1000, 1000, 1000, 0, 1)));
    for (int i = 0; i < 50; ++i) {
        const double x = -900 + 36 * i;
        layout.packages.push_back(
            std::make_unique<TarvexCompositeGeometryObject>(block(QStringLiteral("U%1").arg(i), "Package", x, x, x + 10, x + 10, 1, 2)));
        layout.parts.push_back(block(QStringLiteral("D%1").arg(i), "Die", x + 10 - 1e-7, x, x + 10, x + 1e-7, 1, 2));
    }
    TarvexObjectNesting nesting(layout.objects, std::move(layout.packages), std::move(layout.parts));
    nesting.nest(false);
    nesting.buildTree();
    PackageList leftPackages;
    PartList leftParts;
    nesting.finish(leftPackages, leftParts);
    ASSERT_EQ(layout.objects.size(), 51u);
    EXPECT_TRUE(leftPackages.empty() && leftParts.empty());
    for (int i = 0; i < 50; ++i) {
        const auto& package = dynamic_cast<const TarvexCompositeGeometryObject&>(*layout.objects[size_t(i) + 1]->part);
        ASSERT_EQ(package.getChildren().size(), 2u) << i;
        EXPECT_EQ(package.getChildren()[1]->getName(true), QStringLiteral("D%1").arg(i));
    }
}
