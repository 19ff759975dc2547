#include <tarvex/builders/TarvexEntityBuilderBase.h>

#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/RotationAngles.h>

namespace Tarvex {

using namespace EntityModel;
using Geometry::Transform;
using Geometry::Vec3;

TarvexEntityBuilderBase::TarvexEntityBuilderBase(Entity* parentEntity, const Transform& placement,
                                                 TarvexEntityBuildState* sharedState, Tools::ToolProgress* progress)
    : parentEntity(parentEntity), placement(placement), sharedState(sharedState), progress(progress)
{
}

TarvexEntityBuilderBase::~TarvexEntityBuilderBase() = default;

Tools::ToolProgress* TarvexEntityBuilderBase::getProgress() const { return progress; }

TarvexPlacedGeometry TarvexEntityBuilderBase::hostFrameOf(const TarvexPart& part)
{
    const TarvexPlacedGeometry flat = flatBoundOf(placedGeometryOf(part));
    return toHostFrame(flat, hostMaps.get(flat.transform, hostFrameMapsOf));
}

Vec3 TarvexEntityBuilderBase::lowCorner(const TarvexPlacedGeometry& host, const Transform& relativeTo)
{
    return hostLowCornerThrough(host, inverses.get(relativeTo, [](const Transform& frame) { return frame.inverse(); }));
}

void TarvexEntityBuilderBase::writeLocation(Entity* entity, const TarvexPlacedGeometry& host,
                                            const Transform& relativeTo)
{
    if (!entity)
        return;
    const Vec3 corner = hostLowCorner(host, relativeTo);
    EntityEditor::setValueNoThrow(entity, Origin_Point_t, Low_Corner_t);
    EntityEditor::setSIValueNoThrow(entity, X_Location_t, corner.x);
    EntityEditor::setSIValueNoThrow(entity, Y_Location_t, corner.y);
    EntityEditor::setSIValueNoThrow(entity, Z_Location_t, corner.z);
}

void TarvexEntityBuilderBase::writeOrderedRotation(Entity* entity, const Transform& relative)
{
    if (!entity)
        return;
    const Vec3 angles = Geometry::getRotationAnglesFromTransform(relative);
    EntityEditor::setValueNoThrow(entity, Rotation_Mechanism_t, Ordered_t);
    EntityEditor::setValueNoThrow(entity, Rotation_Order_t, ZYX_t);
    EntityEditor::setSIValueNoThrow(entity, Angle_1_t, angles.x);
    EntityEditor::setSIValueNoThrow(entity, Angle_2_t, angles.y);
    EntityEditor::setSIValueNoThrow(entity, Angle_3_t, angles.z);
}

void TarvexEntityBuilderBase::writeExtents(Entity* entity, const TarvexPlacedGeometry& host)
{
    if (!entity)
        return;
    const Vec3 size = host.bound.getSize();
    EntityEditor::setSIValueNoThrow(entity, Width_t, size.x);
    EntityEditor::setSIValueNoThrow(entity, Height_t, size.y);
    EntityEditor::setSIValueNoThrow(entity, Depth_t, size.z);
}

} // namespace Tarvex
