#pragma once

#include <tarvex/builders/TarvexReuseMap.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/objects/TarvexCompositeGeometryObject.h>
#include <tarvex/objects/TarvexLayeredPart.h>
#include <tarvex/objects/TarvexLayeredPartLayerCell.h>
#include <tarvex/objects/TarvexObject.h>
#include <tarvex/objects/TarvexSolderBall.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

/// Lets test failures show Qt strings as text.
inline void PrintTo(const QString& text, std::ostream* stream) { *stream << '"' << text.toStdString() << '"'; }

// Parts, trees and model helpers for the entity builder tests; lengths in metres, parts in
// the files' axes (z up).
namespace BuilderTest {

using Geometry::Vec3;
using namespace EntityModel;

/// A block of `size` whose low corner is `low`.
inline std::unique_ptr<Tarvex::TarvexBasicPart> block(const QString& name, const QString& objectName,
                                                      const QString& type, const Vec3& low, const Vec3& size)
{
    std::vector<Vec3> nodes{low, low + Vec3(size.x, 0, 0), low + Vec3(size.x, size.y, 0), low + Vec3(0, size.y, 0)};
    return std::make_unique<Tarvex::TarvexBasicPart>(name, objectName, type, 0.0, std::move(nodes), size.z);
}

/// A solder ball of 0.4 mm and 0.3 mm high standing on `position`.
inline std::unique_ptr<Tarvex::TarvexSolderBall> ball(const QString& name, const Vec3& position)
{
    return std::make_unique<Tarvex::TarvexSolderBall>(name, 0.0003, 0.0003, 0.0004, 0.0003, position, nullptr);
}

/// Adds a node holding `part` below `parent`; returns it.
inline Tarvex::TarvexObject* addNode(Tarvex::TarvexObject& parent, std::unique_ptr<Tarvex::TarvexPart> part)
{
    return parent.addChild(std::make_unique<Tarvex::TarvexObject>(std::move(part)));
}

/// Five nodes: board "BRD" (two 1 mm layers over 100 x 80 mm from the origin) with, on top,
/// package "U1" (a 10 x 15 x 1 mm body at (20, 30) mm) carrying balls "B1" at (25, 35) mm
/// and "B2" 0.1 mm higher at (27, 35) mm, and resistor "R1" (2 x 1 x 0.5 mm at (50, 10) mm).
inline std::unique_ptr<Tarvex::TarvexObject> boardTree()
{
    auto board = std::make_unique<Tarvex::TarvexLayeredPart>();
    for (const auto& layer : {std::make_pair("BRD_BOTTOM", 0.0), std::make_pair("BRD_TOP", 0.001)}) {
        auto cell = block(layer.first, "BRD", "PCB", Vec3(0, 0, layer.second), Vec3(0.1, 0.08, 0.001));
        board->addCell(std::make_unique<Tarvex::TarvexLayeredPartLayerCell>(std::move(*cell)), false);
    }
    auto top = std::make_unique<Tarvex::TarvexObject>(std::move(board));
    auto body = block("U1_BODY", "U1", "Package", Vec3(0.02, 0.03, 0.002), Vec3(0.01, 0.015, 0.001));
    Tarvex::TarvexObject* u1 = addNode(*top, std::make_unique<Tarvex::TarvexCompositeGeometryObject>(std::move(body)));
    addNode(*top, block("R1", "R1", "Resistor", Vec3(0.05, 0.01, 0.002), Vec3(0.002, 0.001, 0.0005)));
    addNode(*u1, ball("B1", Vec3(0.025, 0.035, 0.003)));
    addNode(*u1, ball("B2", Vec3(0.027, 0.035, 0.0031)));
    return top;
}

/// The entities of `list` of `owner`, in list order.
inline std::vector<Entity*> listed(const Entity* owner, const AttributePath& list)
{
    const auto* entities = dynamic_cast<const EntityListAttribute*>(owner ? owner->findAttribute(list) : nullptr);
    std::vector<Entity*> result;
    for (int i = 0; entities && i < entities->count(); ++i)
        result.push_back(entities->at(i));
    return result;
}

/// `actual` is within `tolerance` of `expected` in every coordinate.
inline ::testing::AssertionResult near(const Vec3& actual, const Vec3& expected, double tolerance = 1e-12)
{
    return (actual.isApprox(expected, tolerance) ? ::testing::AssertionSuccess() : ::testing::AssertionFailure())
           << "(" << actual.x << ", " << actual.y << ", " << actual.z << ")";
}

} // namespace BuilderTest
