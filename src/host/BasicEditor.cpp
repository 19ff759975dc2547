#include <tarvex/host/BasicEditor.h>

#include <tarvex/host/Entity.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/UnitConverter.h>

#include <cmath>

using namespace EntityModel;

namespace ServerConstructor {

BasicEditor::BasicEditor(Tools::ToolProgress* progress, QObject* parent) : QObject(parent), m_progress(progress) {}

BasicEditor::~BasicEditor() = default;

double BasicEditor::lengthToSI(double value, const TypeRef& unit)
{
    return UnitConverter::instance().convertToSI(Length_t, value, unit);
}

double BasicEditor::lengthFromSI(double value, const TypeRef& unit)
{
    return UnitConverter::instance().convertFromSI(Length_t, value, unit);
}

Geometry::Bound2D BasicEditor::lengthToSI(const Geometry::Bound2D& bound, const TypeRef& unit)
{
    if (bound.isEmpty())
        return bound;
    const Geometry::Vec2 low = bound.getLow();
    const Geometry::Vec2 high = bound.getHigh();
    return Geometry::Bound2D(Geometry::Vec2(lengthToSI(low.x, unit), lengthToSI(low.y, unit)),
                             Geometry::Vec2(lengthToSI(high.x, unit), lengthToSI(high.y, unit)));
}

Geometry::Bound2D BasicEditor::lengthFromSI(const Geometry::Bound2D& bound, const TypeRef& unit)
{
    if (bound.isEmpty())
        return bound;
    const Geometry::Vec2 low = bound.getLow();
    const Geometry::Vec2 high = bound.getHigh();
    return Geometry::Bound2D(Geometry::Vec2(lengthFromSI(low.x, unit), lengthFromSI(low.y, unit)),
                             Geometry::Vec2(lengthFromSI(high.x, unit), lengthFromSI(high.y, unit)));
}

Geometry::Bound1D BasicEditor::lengthToSI(const Geometry::Bound1D& interval, const TypeRef& unit)
{
    if (interval.isEmpty())
        return interval;
    return Geometry::Bound1D(lengthToSI(interval.getLow(), unit), lengthToSI(interval.getHigh(), unit));
}

std::optional<Geometry::Bound2D> BasicEditor::getEntityBound2D(const Entity* entity)
{
    const double width = getStandardDoubleValue(entity, Width_t, 0.0);
    const double depth = getStandardDoubleValue(entity, Depth_t, 0.0);
    if (!(width > 0.0) || !(depth > 0.0))
        return std::nullopt;
    return Geometry::Bound2D(Geometry::Vec2(), Geometry::Vec2(width, depth));
}

std::optional<Geometry::Bound1D> BasicEditor::getEntityBoundYDir(const Entity* entity)
{
    const double height = getStandardDoubleValue(entity, Height_t, 0.0);
    if (!(height > 0.0))
        return std::nullopt;
    return Geometry::Bound1D(0.0, height);
}

bool BasicEditor::resizeEntity(Entity* entity, const Geometry::Bound2D& bound)
{
    if (!entity || bound.isEmpty() || bound.getLow().x < 0.0 || bound.getLow().y < 0.0 ||
        !std::isfinite(bound.getHigh().x) || !std::isfinite(bound.getHigh().y))
        return false;
    const Geometry::Vec2 high = bound.getHigh();
    return EntityEditor::setSIValueNoThrow(entity, Width_t, high.x) &&
           EntityEditor::setSIValueNoThrow(entity, Depth_t, high.y);
}

bool BasicEditor::resizeEntityYDir(Entity* entity, const Geometry::Bound1D& interval)
{
    if (!entity || interval.isEmpty() || interval.getLow() < 0.0 || !std::isfinite(interval.getHigh()))
        return false;
    return EntityEditor::setSIValueNoThrow(entity, Height_t, interval.getHigh());
}

bool BasicEditor::setSIValueInUnit(Entity* entity, const AttributePath& path, double value, const TypeRef& quantity,
                                   const TypeRef& unit)
{
    if (!entity || !entity->isAlive() || !std::isfinite(value) || path.isEmpty())
        return false;
    const TypeRef shown = UnitConverter::instance().isKnown(quantity, unit) ? unit : TypeRef();
    return entity->getModel()->setAttribute(entity, path,
                                            std::make_unique<ValueAttribute>(TypeRef(path.last()), value, shown),
                                            QStringLiteral("Set %1").arg(path.last()));
}

} // namespace ServerConstructor
