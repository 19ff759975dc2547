#include "builders/TarvexLayeredEntityBuilder.h"

#include "builders/TarvexEntityBuildState.h"
#include "builders/TarvexPartPlacement.h"
#include "host/EntityEditor.h"
#include "host/TypeCatalogue.h"
#include "objects/TarvexBasicPart.h"
#include "objects/TarvexCompositeGeometryObject.h"
#include "objects/TarvexLayeredPart.h"
#include "objects/TarvexPartClass.h"

#include <stdexcept>

namespace Tarvex {

using namespace EntityModel;
using Geometry::Transform;

Entity* TarvexLayeredEntityBuilder::buildLayered(const TarvexPart& part, Entity* parentEntity,
                                                 const Transform& placement, TarvexEntityBuildState* sharedState)
{
    TarvexLayeredEntityBuilder builder(parentEntity, placement, sharedState, nullptr);
    part.accept(builder);
    return builder.getEntity();
}

TarvexLayeredEntityBuilder::TarvexLayeredEntityBuilder(Entity* parentEntity, const Transform& placement,
                                                       TarvexEntityBuildState* sharedState,
                                                       Tools::ToolProgress* progress, Entity* entity)
    : TarvexEntityBuilderBase(parentEntity, placement, sharedState, progress), entity(entity)
{
}

TarvexLayeredEntityBuilder::~TarvexLayeredEntityBuilder() = default;

bool TarvexLayeredEntityBuilder::visitChildren(const TarvexPart&) { return false; }

bool TarvexLayeredEntityBuilder::visitComposite(const TarvexCompositeGeometryObject& composite)
{
    return placeEntity(composite);
}

bool TarvexLayeredEntityBuilder::visitLayeredPart(const TarvexLayeredPart& part) { return placeEntity(part); }

bool TarvexLayeredEntityBuilder::visitBasicPart(const TarvexBasicPart& part) { return placeEntity(part); }

bool TarvexLayeredEntityBuilder::visitLayer(const TarvexLayeredPartLayer&) { return true; }

bool TarvexLayeredEntityBuilder::placeEntity(const TarvexPart& part)
{
    if (entity)
        return true;
    Entity* parent = getParentEntity();
    TarvexEntityBuildState* state = getSharedState();
    if (!parent || !state)
        return false;

    const int kind = classifyPart(part);
    const bool keyedByDesignator = kind == BoardPart || kind == PackagePart;
    const TypeRef type = kind == BoardPart ? PCB_t : Component_t;
    const AttributePath list = kind == BoardPart ? TypeCatalogue::listFor(parent->getType(), PCB_t)
                                                 : AttributePath(Components_t);
    // The geometry may be unusable: find out before anything is created.
    const TarvexPlacedGeometry host = hostFrameOf(part);

    const TarvexObtainedEntity obtained = state->getOrCreate(
        keyedByDesignator ? Reference_Designator_t : Name_t, part.getObjectName(), type, parent, list);
    if (!obtained.entity)
        return false;
    if (!obtained.entity->getOwnerEntity())
        throw std::runtime_error(("Unable to find a suitable parent for " + type.getLabel()).toStdString());
    entity = obtained.entity;

    if (keyedByDesignator)
        EntityEditor::setValueNoThrow(entity, Model_t, part.getObjectName());
    EntityEditor::setValueNoThrow(entity, Construction_t / Modelling_Level_t, Tarvex_Interchange_Model_t);
    // An entity of an earlier import stays where the user may have moved it.
    if (!obtained.existing)
        writeLocation(entity, host, getPlacement());
    writeExtents(entity, host);
    return true;
}

} // namespace Tarvex
