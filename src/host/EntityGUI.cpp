#include <tarvex/host/EntityGUI.h>

#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/GeometryBuilder.h>

namespace EntityGUI {

bool transform_entity(EntityModel::Entity* entity, const Geometry::Transform& transform)
{
    using EntityModel::EntityEditor;
    const Geometry::Vec3 at = transform.getTranslation();
    return EntityEditor::setSIValueNoThrow(entity, EntityModel::X_Location_t, at.x) &&
           EntityEditor::setSIValueNoThrow(entity, EntityModel::Y_Location_t, at.y) &&
           EntityEditor::setSIValueNoThrow(entity, EntityModel::Z_Location_t, at.z);
}

CADinterface::CADModel get_geometry(const EntityModel::Entity* entity)
{
    using namespace EntityModel;
    CADinterface::CADModel model;
    if (!entity)
        return model;
    const Geometry::Vec3 origin = Geometry::GeometryBuilder().buildPart(entity)->getTransform().getTranslation();
    const Geometry::Bound box = Geometry::GeometryBuilder::ownBoxOf(entity);
    const double height = box.isEmpty() ? 0.0 : box.getSize().y;

    if (hasAttributeSetTo(entity, Shape_t, Polygon_t)) {
        const QVector<double> values = getStandardDoubleListValues(entity, Outline_t);
        std::vector<Geometry::Vec2> outline;
        for (int i = 0; i + 1 < values.size(); i += 2)
            outline.emplace_back(values[i], values[i + 1]);
        if (CADinterface::CADBody::prismProblem(outline, height).isEmpty())
            model.addBody(CADinterface::CADBody::prism(std::move(outline), 0.0, height, origin));
        return model;
    }
    if (!box.isEmpty())
        model.addBody(CADinterface::CADBody::box(box, origin));
    return model;
}

} // namespace EntityGUI
