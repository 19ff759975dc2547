#pragma once

#include <tarvex/host/AttributePath.h>
#include <tarvex/host/Bound.h>
#include <tarvex/host/ProgressBaseObject.h>
#include <tarvex/host/TypeRef.h>

#include <QObject>

#include <optional>

namespace EntityModel {
class Entity;
}

namespace ServerConstructor {

/// Base of the host's map editors: a reporting object with the length conversions and the
/// entity sizing that material and power maps need.
///
/// An entity's own box is the host's local box (0, 0, 0) to (`Width_t`, `Height_t`,
/// `Depth_t`); maps lie in its X-Z plane and stack along Y.
class BasicEditor : public QObject, public Log::ProgressBaseObject
{
    Q_OBJECT

public:
    /// An editor reporting to `progress` (may be null).
    explicit BasicEditor(Tools::ToolProgress* progress = nullptr, QObject* parent = nullptr);
    ~BasicEditor() override;

    /// The sink given at construction.
    Tools::ToolProgress* getProgress() const override { return m_progress; }

    /// A length written in `unit`, in metres; an unknown unit leaves the value as it is.
    static double lengthToSI(double value, const EntityModel::TypeRef& unit);
    /// A length in metres, written in `unit`; an unknown unit leaves the value as it is.
    static double lengthFromSI(double value, const EntityModel::TypeRef& unit);
    /// Both corners of `bound` converted to metres; empty stays empty.
    static Geometry::Bound2D lengthToSI(const Geometry::Bound2D& bound, const EntityModel::TypeRef& unit);
    /// Both corners of `bound` converted from metres; empty stays empty.
    static Geometry::Bound2D lengthFromSI(const Geometry::Bound2D& bound, const EntityModel::TypeRef& unit);
    /// Both ends of `interval` converted to metres; empty stays empty.
    static Geometry::Bound1D lengthToSI(const Geometry::Bound1D& interval, const EntityModel::TypeRef& unit);

    /// The entity's box in its X-Z plane, [0, width] x [0, depth]; empty when the entity
    /// is null or either size is not positive.
    static std::optional<Geometry::Bound2D> getEntityBound2D(const EntityModel::Entity* entity);
    /// The entity's extent along Y, [0, height]; empty when the height is not positive.
    static std::optional<Geometry::Bound1D> getEntityBoundYDir(const EntityModel::Entity* entity);
    /// Grows or shrinks the entity so that its X-Z box is [0, high x] x [0, high y] of
    /// `bound`. False for an empty bound or one reaching below zero (nothing changes), or
    /// when the host refuses a size.
    static bool resizeEntity(EntityModel::Entity* entity, const Geometry::Bound2D& bound);
    /// Sets the entity's height to the top of `interval`; false as for `resizeEntity`.
    static bool resizeEntityYDir(EntityModel::Entity* entity, const Geometry::Bound1D& interval);

    /// Writes a double in SI units shown in `unit` of `quantity`, as one edit. An unknown
    /// unit leaves the value shown in SI. False when the host refuses the value.
    static bool setSIValueInUnit(EntityModel::Entity* entity, const EntityModel::AttributePath& path,
                                 double value, const EntityModel::TypeRef& quantity,
                                 const EntityModel::TypeRef& unit);

private:
    Tools::ToolProgress* m_progress;
};

} // namespace ServerConstructor
