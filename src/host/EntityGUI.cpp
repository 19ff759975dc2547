#include "host/EntityGUI.h"

#include "host/EntityEditor.h"

namespace EntityGUI {

bool transform_entity(EntityModel::Entity* entity, const Geometry::Transform& transform)
{
    using EntityModel::EntityEditor;
    const Geometry::Vec3 at = transform.getTranslation();
    return EntityEditor::setSIValueNoThrow(entity, EntityModel::X_Location_t, at.x) &&
           EntityEditor::setSIValueNoThrow(entity, EntityModel::Y_Location_t, at.y) &&
           EntityEditor::setSIValueNoThrow(entity, EntityModel::Z_Location_t, at.z);
}

} // namespace EntityGUI
