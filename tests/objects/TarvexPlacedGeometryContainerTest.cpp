#include <tarvex/objects/Tarvex2DGeometryCircle.h>
#include <tarvex/objects/Tarvex2DGeometryOutline.h>
#include <tarvex/objects/Tarvex2DGeometryPolygon.h>
#include <tarvex/objects/Tarvex2DGeometryRectangle.h>
#include <tarvex/objects/Tarvex3DGeometry2DExtrusion.h>
#include <tarvex/objects/TarvexPlacedGeometry.h>
#include <tarvex/objects/TarvexPlacedGeometryContainer.h>

#include "objects/GeometryTestSupport.h"

#include <algorithm>
#include <memory>
#include <tuple>

using namespace Tarvex;
using Geometry::Bound;
using Geometry::Transform;
using Geometry::Transform2D;
using Geometry::Vec2;
using Geometry::Vec3;
using GeometryTest::square;

namespace {

using Extrusion = Tarvex3DGeometry2DExtrusion;

std::unique_ptr<Extrusion> rectangleSolid(Vec2 low, Vec2 size, double z, double h)
{
    return std::make_unique<Extrusion>(std::make_unique<Tarvex2DGeometryRectangle>(low, size), z, h);
}

std::unique_ptr<Extrusion> ballSolid(Vec2 low, double diameter, double z, double h)
{
    return std::make_unique<Extrusion>(std::make_unique<Tarvex2DGeometryCircle>(low, diameter), z, h);
}

Transform turnAndShift(double angle, Vec3 offset)
{
    return Transform::multiply(Transform::createTranslation(offset), Transform::createRotation(Vec3(0, 0, 1), angle));
}

// What a containment test must answer, spelled out from the solids themselves: the inner solid
// carried into the outer frame as a copy, every one of its vertices in the outer solid.
bool containsByCopy(const TarvexPlacedGeometry& outer, const TarvexPlacedGeometry& inner)
{
    const Transform intoOuter = Transform::multiply(outer.transform.inverse(), inner.transform);
    return outer.geometry->isContaining(*inner.geometry->createTransformedGeometry(intoOuter));
}

} // namespace

TEST(Tarvex2DGeometryOutlineTest, PointsNearTheSidesAreOnTheOutlineExactlyWhenTheSideTestSaysSo)
{
    // Sides far from a point are skipped before the side test; a point the side test accepts
    // must still count as on the outline, however long, slanted or far out the side is.
    const std::vector<Vec2> slanted = Tarvex2DGeometryRectangle(Vec2(1000, 1000), Vec2(3, 0.5),
                                                                Transform2D::createRotation(0.3))
                                          .getPoints();
    const std::pair<const char*, std::vector<Vec2>> outlines[] = {
        {"square", square(0, 0, 4)},
        {"turned rectangle far out", slanted},
        {"thin triangle", {{0, 0}, {0, 0.002}, {10, 0.001}}},
        {"long diagonal", {{0, 0}, {0, 1}, {50, 30}, {49, 29}}},
    };
    const double fractions[] = {-1e-3, -2e-7, 0.0, 0.37, 1.0, 1.0 + 3e-7, 1.001};
    const double offsets[] = {0.0, 4e-7, -4e-7, 9e-7, -9e-7, 1.5e-6, -1.5e-6, 1e-5, -1e-5, 1e-3};
    for (const auto& [name, points] : outlines) {
        const Tarvex2DGeometryOutline outline(points);
        int onSides = 0;
        int offSides = 0;
        for (size_t i = 0; i < points.size(); ++i) {
            const Vec2 a = points[i];
            const Vec2 b = points[(i + 1) % points.size()];
            const Vec2 along = b - a;
            const Vec2 normal = Vec2(-along.y, along.x).normalized();
            for (const double f : fractions) {
                for (const double d : offsets) {
                    const Vec2 p = a + along * f + normal * d;
                    const bool onSide = Tarvex2DGeometryOutline::isOnOutline(points, p);
                    (onSide ? onSides : offSides)++;
                    if (onSide) {
                        EXPECT_TRUE(outline.contains(p, true) && !outline.contains(p, false))
                            << name << " side " << i << " at " << f << ", " << d;
                    } else {
                        EXPECT_EQ(outline.contains(p, true), outline.contains(p, false))
                            << name << " side " << i << " at " << f << ", " << d;
                    }
                }
            }
        }
        EXPECT_GT(onSides, 0) << name;
        EXPECT_GT(offSides, 0) << name;
    }

    const Tarvex2DGeometryOutline box(square(0, 0, 4));
    const std::tuple<Vec2, bool, bool> probes[] = {
        {{2, 2}, true, true},           {{2, 4 + 5e-7}, true, false}, {{2, 4 + 1e-5}, false, false},
        {{4 - 5e-7, 0}, true, false},   {{-1, 2}, false, false},      {{3.9999, 0.0001}, true, true},
    };
    for (const auto& [p, inclusive, exclusive] : probes) {
        EXPECT_EQ(box.contains(p, true), inclusive) << p.x << ", " << p.y;
        EXPECT_EQ(box.contains(p, false), exclusive) << p.x << ", " << p.y;
    }
}

TEST(Tarvex3DGeometryTest, TransformedPointsAreThoseOfATransformedCopyAndHavingPointsIsKnownWithoutThem)
{
    // The points must be bit for bit those of the copy, since containment decisions hang on them.
    std::vector<std::pair<const char*, std::unique_ptr<Tarvex3DGeometry>>> solids;
    solids.emplace_back("rectangle", rectangleSolid(Vec2(0.1, 0.2), Vec2(0.3, 0.7), 0.001, 0.0005));
    solids.emplace_back("circle", ballSolid(Vec2(0.0123, 0.0456), 0.0001, 0.00127, 0.00006));
    solids.emplace_back("downward", rectangleSolid(Vec2(1, 1), Vec2(2, 3), 5, -2));
    solids.emplace_back("polygon", std::make_unique<Extrusion>(
                                       std::make_unique<Tarvex2DGeometryPolygon>(std::vector<Vec2>{
                                           {0, 0}, {0, 1}, {2, 3}, {3, 0}}),
                                       0.1, 0.2));
    auto turned = rectangleSolid(Vec2(0, 0), Vec2(1, 2), 0, 1);
    turned->transformGeometry(turnAndShift(0.7, Vec3(3, -2, 1)));
    solids.emplace_back("turned placement", std::move(turned));
    solids.emplace_back("no footprint", std::make_unique<Extrusion>(nullptr, 0, 1));
    solids.emplace_back("pointless footprint",
                        std::make_unique<Extrusion>(std::make_unique<Tarvex2DGeometryPolygon>(), 0, 1));

    const std::pair<const char*, Transform> transforms[] = {
        {"identity", Transform()},
        {"shift", Transform::createTranslation(Vec3(-0.0091, 0.0173, 0.0003))},
        {"turn", turnAndShift(1.1, Vec3(0.5, 0.25, 0))},
        {"tilt", Transform::createRotation(Vec3(1, 1, 0), 0.4)},
    };
    for (const auto& [solidName, solid] : solids) {
        EXPECT_EQ(solid->hasPoints(), !solid->getPoints().empty()) << solidName;
        // The bound is that of the vertices, or of the origin without any.
        const std::vector<Vec3> points = solid->getPoints();
        Bound ofPoints(points.empty() ? Vec3() : points.front());
        for (const Vec3& point : points)
            ofPoints.unite(point);
        EXPECT_TRUE(solid->getBound() == ofPoints) << solidName;
        for (const auto& [transformName, transform] : transforms) {
            const std::vector<Vec3> copied = solid->createTransformedGeometry(transform)->getPoints();
            const std::vector<Vec3> carried = solid->getTransformedPoints(transform);
            ASSERT_EQ(carried.size(), copied.size()) << solidName << " " << transformName;
            for (size_t i = 0; i < copied.size(); ++i) {
                EXPECT_TRUE(carried[i].x == copied[i].x && carried[i].y == copied[i].y && carried[i].z == copied[i].z)
                    << solidName << " " << transformName << " point " << i;
            }
            // Asked one by one, the same points in the same order, and none after one fails.
            for (size_t failing = 0; failing <= copied.size(); ++failing) {
                std::vector<Vec3> asked;
                const bool all = solid->allTransformedPoints(transform, [&](const Vec3& point) {
                    asked.push_back(point);
                    return asked.size() != failing + 1;
                });
                EXPECT_EQ(all, failing == copied.size()) << solidName << " " << transformName << " failing " << failing;
                ASSERT_EQ(asked.size(), std::min(failing + 1, copied.size())) << solidName << " " << transformName;
                for (size_t i = 0; i < asked.size(); ++i) {
                    EXPECT_TRUE(asked[i].x == copied[i].x && asked[i].y == copied[i].y && asked[i].z == copied[i].z)
                        << solidName << " " << transformName << " asked point " << i;
                }
            }
        }
    }
}

TEST(TarvexPlacedGeometryContainerTest, OnePreparedOuterAnswersEveryInnerAsTheSolidsDo)
{
    // A package (a 10 x 10 plate, 1 high, at x = 20) in a turned frame, asked in turn about
    // balls and boxes placed in other frames; asking the same container again and again must
    // not carry anything from one question to the next.
    const Transform packageFrame = turnAndShift(0.5, Vec3(20, 0, 0));
    const TarvexPlacedGeometry package(rectangleSolid(Vec2(0, 0), Vec2(10, 10), 0, 1), packageFrame);
    const auto inPackage = [&](Vec3 local) { return Transform::multiply(packageFrame, Transform::createTranslation(local)); };

    const std::tuple<const char*, TarvexPlacedGeometry, bool> inners[] = {
        {"ball inside", TarvexPlacedGeometry(ballSolid(Vec2(0, 0), 1, 0.2, 0.5), inPackage(Vec3(4, 4, 0))), true},
        {"ball on the corner", TarvexPlacedGeometry(ballSolid(Vec2(0, 0), 1, 0, 1), inPackage(Vec3(9, 9, 0))), true},
        {"ball 5e-7 over the side", TarvexPlacedGeometry(ballSolid(Vec2(9 + 5e-7, 2), 1, 0, 1), inPackage(Vec3())),
         true},
        {"ball 1e-5 over the side", TarvexPlacedGeometry(ballSolid(Vec2(9 + 1e-5, 2), 1, 0, 1), inPackage(Vec3())),
         false},
        {"ball below", TarvexPlacedGeometry(ballSolid(Vec2(4, 4), 1, -0.5, 0.4), inPackage(Vec3())), false},
        {"ball in the file frame", TarvexPlacedGeometry(ballSolid(Vec2(4, 4), 1, 0.2, 0.5)), false},
        {"box turned inside", TarvexPlacedGeometry(rectangleSolid(Vec2(-1, -1), Vec2(2, 2), 0, 1),
                                                   Transform::multiply(inPackage(Vec3(5, 5, 0)),
                                                                       turnAndShift(0.6, Vec3()))),
         true},
        {"box turned across the side", TarvexPlacedGeometry(rectangleSolid(Vec2(-1, -1), Vec2(2, 2), 0, 1),
                                                            Transform::multiply(inPackage(Vec3(8.8, 5, 0)),
                                                                                turnAndShift(0.6, Vec3()))),
         false},
        {"no footprint", TarvexPlacedGeometry(std::make_unique<Extrusion>(nullptr, 0, 1), inPackage(Vec3(50, 0, 0))),
         true},
    };
    const TarvexPlacedGeometryContainer container(package);
    for (int round = 0; round < 2; ++round) {
        for (const auto& [name, inner, expected] : inners) {
            EXPECT_EQ(container.contains(inner), expected) << name;
            EXPECT_EQ(containsByCopy(package, inner), expected) << name;
            EXPECT_EQ(TarvexPlacedGeometry::contains(package, inner), expected) << name;
        }
    }

    // An outer without a footprint holds nothing; without a solid on one side the bounds decide.
    const TarvexPlacedGeometry empty(std::make_unique<Extrusion>(nullptr, 0, 1));
    const TarvexPlacedGeometry boundOnly(nullptr, Transform::createTranslation(Vec3(20, 0, 0)),
                                         Bound(Vec3(0, 0, 0), Vec3(10, 10, 1)));
    const TarvexPlacedGeometryContainer emptyContainer(empty);
    const TarvexPlacedGeometryContainer boundContainer(boundOnly);
    EXPECT_FALSE(emptyContainer.contains(std::get<1>(inners[0])));
    EXPECT_TRUE(boundContainer.contains(TarvexPlacedGeometry(ballSolid(Vec2(24, 4), 1, 0, 1))));
    EXPECT_FALSE(boundContainer.contains(TarvexPlacedGeometry(ballSolid(Vec2(34, 4), 1, 0, 1))));
}
