#include <tarvex/builders/TarvexCounter.h>
#include <tarvex/builders/TarvexPartPlacement.h>
#include <tarvex/objects/TarvexPartClass.h>
#include <tarvex/objects/TarvexCoordinateFrames.h>

#include "builders/BuilderTestSupport.h"

#include <tarvex/host/TransformMemo.h>

#include <cmath>
#include <cstring>
#include <tuple>

using namespace Tarvex;
using namespace BuilderTest;
using Geometry::Bound;
using Geometry::Transform;

// A chain deeper than the call stack could take, beside a second child of the top.
TEST(TarvexCounter, CountsEveryNodeOfADeepTree)
{
    TarvexObject top;
    top.addChild(std::make_unique<TarvexObject>());
    TarvexObject* at = &top;
    for (int i = 0; i < 200000; ++i)
        at = at->addChild(std::make_unique<TarvexObject>());
    std::uint64_t count = 0;
    TarvexCounter counter(&count);
    walk(top, counter);
    EXPECT_EQ(count, 200002u);
    for (; at != &top; at = at->parent) // freed from the bottom: destructors recurse too
        at->children.clear();
}

TEST(ClassifyPart, BoardsPackagesAndOthersByTypeAndObjectName)
{
    const std::tuple<const char*, const char*, int> cases[] = { // type, object name, class
        {"PCB", "MAIN", BoardPart},           {"STL", "MainPCB", BoardPart},
        {"PCB", "Substrate", BoardPart},      {"STL", "Mainpcb", OtherPart}, // names keep their case
        {"Package", "U1", PackagePart},       {"Die", "U1_Substrate", PackagePart},
        {"package", "U1", OtherPart},
    };
    for (const auto& [type, objectName, expected] : cases)
        EXPECT_EQ(classifyPart(*block("N", objectName, type, Vec3(), Vec3(1, 1, 1))), expected)
            << type << " / " << objectName;
}

// Host axes are (x, z, -y): the host part starts at the origin and its transform carries
// the position, turned into host axes.
TEST(ToHostFrame, PartStartsAtTheOriginAndItsTransformCarriesTheHostPosition)
{
    // 4 x 5 x 0.6 mm at (1, 2, 3) mm moved by (10, 20, 30) mm spans x 11..15, y 22..27,
    // z 33..33.6 mm; host axes are (x, z, -y): x 11..15, y 33..33.6, z -27..-22.
    TarvexPlacedGeometry placed =
        block("BOX", "BOX", "Die", Vec3(0.001, 0.002, 0.003), Vec3(0.004, 0.005, 0.0006))->getGeometry();
    placed.transform = Transform::createTranslation(Vec3(0.01, 0.02, 0.03));
    const TarvexPlacedGeometry host = toHostFrame(placed);
    ASSERT_TRUE(host.hasGeometry());
    EXPECT_TRUE(host.bound.isApprox(Bound(Vec3(), Vec3(0.004, 0.0006, 0.005)), 1e-12));
    EXPECT_TRUE(host.geometry->getBound().isApprox(host.bound, 1e-12));
    EXPECT_TRUE(host.transform.isApprox(Transform::createTranslation(Vec3(0.011, 0.033, -0.027)), 1e-12));

    // A quarter turn about the file's z is one about the host's y: file x turns to file y, host -z.
    placed.transform =
        Transform::createTranslation(Vec3(0.01, 0, 0)) * Transform::createRotation(Vec3(0, 0, 1), M_PI / 2);
    const TarvexPlacedGeometry turned = toHostFrame(placed);
    EXPECT_TRUE(near(turned.bound.getLow(), Vec3()));
    const Bound inHostAxes = placed.getPlacedBound().transformed(interchangeToHostRotation());
    EXPECT_TRUE(turned.getPlacedBound().isApprox(inHostAxes, 1e-12));
    EXPECT_TRUE(near(turned.transform.transformVector(Vec3(1, 0, 0)), Vec3(0, 0, -1)));
}

// Frames remembered from the last transform asked with give the results of frames made
// anew: a run of one frame, a change, a return, and transforms whose only difference is
// the sign of a zero, which arithmetic can tell apart.
TEST(ToHostFrame, RememberedFramesMatchFramesMadeAnew)
{
    const Transform shifted = Transform::createTranslation(Vec3(0.01, 0.02, 0.03));
    const Transform turned =
        Transform::createTranslation(Vec3(0.01, 0, 0)) * Transform::createRotation(Vec3(1, 1, 0), 0.3);
    const Transform atZero = Transform::createTranslation(Vec3(0.0, 0.0, 0.0));
    const Transform atMinusZero = Transform::createTranslation(Vec3(-0.0, 0.0, -0.0));
    const Transform frames[] = {shifted, shifted, turned, shifted, atZero, atMinusZero, atZero, turned};
    const auto identical = [](const Transform& a, const Transform& b) { return a.isIdentical(b); };

    Geometry::TransformMemo<HostFrameMaps> maps;
    Geometry::TransformMemo<Transform> inverses;
    int step = 0;
    for (const Transform& frame : frames) {
        // A part whose low corner sits at -0 in x, so the sign of zero reaches the results.
        const TarvexPlacedGeometry placed(nullptr, frame, Bound(Vec3(-0.0, 0.001, 0.002), Vec3(0.003, 0.004, 0.005)));
        const TarvexPlacedGeometry fresh = toHostFrame(placed);
        const TarvexPlacedGeometry kept = toHostFrame(placed, maps.get(frame, hostFrameMapsOf));
        EXPECT_TRUE(identical(kept.transform, fresh.transform)) << "step " << step;
        EXPECT_TRUE(kept.bound == fresh.bound) << "step " << step;
        const Transform& inverse = inverses.get(frame, [](const Transform& t) { return t.inverse(); });
        EXPECT_TRUE(identical(inverse, frame.inverse())) << "step " << step;
        const Vec3 corner = hostLowCornerThrough(fresh, inverse);
        const Vec3 expected = hostLowCorner(fresh, frame);
        EXPECT_EQ(std::memcmp(&corner, &expected, sizeof corner), 0) << "step " << step;
        ++step;
    }
    EXPECT_FALSE(atZero.isIdentical(atMinusZero));
    EXPECT_TRUE(atZero == atMinusZero);
}
