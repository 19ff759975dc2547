#include <tarvex/builders/TarvexComponentEntityBuilder.h>

#include <tarvex/builders/TarvexEntityBuildState.h>
#include <tarvex/builders/TarvexLayeredEntityBuilder.h>
#include <tarvex/builders/TarvexPartPlacement.h>
#include <tarvex/builders/TarvexMaterialEntityBuilder.h>
#include <tarvex/builders/TarvexPowerEntityBuilder.h>
#include <tarvex/builders/TarvexTerminalEntityBuilder.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/RotationAngles.h>
#include <tarvex/host/SolverTypes.h>
#include <tarvex/objects/TarvexBasic2RPart.h>
#include <tarvex/objects/TarvexBasicPart.h>
#include <tarvex/objects/TarvexCompositeGeometryObject.h>
#include <tarvex/objects/TarvexLayeredPart.h>
#include <tarvex/objects/TarvexPartClass.h>
#include <tarvex/objects/TarvexSolderBall.h>
#include <tarvex/objects/TarvexSolderBump.h>

namespace Tarvex {

using namespace EntityModel;
using Geometry::Transform;
using Geometry::Vec3;

namespace {


// Where a group goes below `parent`: inside components, groups are subcomponent groups.
struct GroupKind
{
    TypeRef type;
    AttributePath list;
};

GroupKind groupTypeFor(const Entity* parent)
{
    const TypeRef parentType = parent ? parent->getType() : TypeRef();
    if (parentType == Component_t || parentType == Subcomponent_Group_t)
        return {Subcomponent_Group_t, SubcomponentGroups_t};
    return {Group_Obstruction_t, Obstructions_t};
}

// Every block of an object holds the object's sources; only the first block builds them, so
// that a heat sink of many fins gets each source once.
bool carriesSourcesOfItsObject(const TarvexPart& part)
{
    if (part.getPartType() != BasicPart && part.getPartType() != Basic2RPart)
        return false;
    const auto* composite = dynamic_cast<const TarvexCompositeGeometryObject*>(part.getParent());
    return !composite || (!composite->getChildren().empty() && composite->getChildren().front().get() == &part);
}

// The entities of the list `list` of `owner`, in order.
std::vector<Entity*> listed(const Entity* owner, const AttributePath& list)
{
    std::vector<Entity*> entities;
    const Attribute* held = owner ? owner->findAttribute(list) : nullptr;
    if (!held || held->getKind() != Attribute::Kind::EntityList)
        return entities;
    const auto* items = static_cast<const EntityListAttribute*>(held);
    for (int i = 0; i < items->count(); ++i)
        entities.push_back(items->at(i));
    return entities;
}

} // namespace

TarvexBuiltComponent TarvexComponentEntityBuilder::buildComponent(const TarvexPart& part, Entity* parentEntity,
                                                                  const Transform& placement,
                                                                  TarvexEntityBuildState* sharedState,
                                                                  Tools::ToolProgress* progress)
{
    TarvexComponentEntityBuilder builder(parentEntity, placement, sharedState, progress);
    part.accept(builder);
    TarvexBuiltComponent built;
    built.entity = builder.getComponent(part);
    if (built.entity)
        built.transform = builder.hostFrame(part).transform;
    return built;
}

TarvexComponentEntityBuilder::TarvexComponentEntityBuilder(Entity* parentEntity, const Transform& placement,
                                                           TarvexEntityBuildState* sharedState,
                                                           Tools::ToolProgress* progress)
    : TarvexEntityBuilderBase(parentEntity, placement, sharedState, progress)
{
}

TarvexComponentEntityBuilder::~TarvexComponentEntityBuilder() = default;

Entity* TarvexComponentEntityBuilder::getEntity(const TarvexPart& part) const
{
    const auto found = partEntities.find(&part);
    return found == partEntities.end() ? nullptr : found->second.last;
}

Entity* TarvexComponentEntityBuilder::getComponent(const TarvexPart& part) const
{
    const auto found = partEntities.find(&part);
    return found == partEntities.end() ? nullptr : found->second.first;
}

void TarvexComponentEntityBuilder::addEntity(const TarvexPart& part, Entity* entity)
{
    PartEntities& made = partEntities[&part];
    if (!made.first)
        made.first = entity;
    made.last = entity;
}

bool TarvexComponentEntityBuilder::visitChildren(const TarvexPart& part)
{
    if (compactWrappers.count(&part))
        return true;
    const Entity* entity = getEntity(part);
    return entity && entity->getType() != Substrate_t;
}

bool TarvexComponentEntityBuilder::visitSolderBump(const TarvexSolderBump& bump)
{
    return createSolderJoint(bump, QStringLiteral("Solder Bumps"));
}

bool TarvexComponentEntityBuilder::visitSolderBall(const TarvexSolderBall& ball)
{
    return createSolderJoint(ball, QStringLiteral("Solder Balls"));
}

bool TarvexComponentEntityBuilder::visitComposite(const TarvexCompositeGeometryObject& composite)
{
    if (!composite.getParent() && !isHeatSink(composite)) {
        // A package that is nothing but a compact model is that model: its component is
        // the one the two-resistor part makes.
        if (composite.getChildren().size() == 1 && composite.getChildren().front() &&
            composite.getChildren().front()->getPartType() == Basic2RPart) {
            compactWrappers.insert(&composite);
            return true;
        }
        return createComponent(composite) != nullptr;
    }
    return createGroup(composite);
}

bool TarvexComponentEntityBuilder::visitLayer(const TarvexLayeredPartLayer&) { return true; }

bool TarvexComponentEntityBuilder::visitLayeredPart(const TarvexLayeredPart& part)
{
    // A layered part of its own is a component holding its layered entity.
    Entity* owner = ownerOf(part);
    Transform placement = parentPlacementOf(part);
    if (!part.getParent()) {
        owner = createComponent(part);
        if (!owner)
            return false;
        placement = hostFrame(part).transform;
    }
    Entity* entity =
        TarvexLayeredEntityBuilder::buildLayered(part, owner, placement, getSharedState(), getProgress());
    if (!entity)
        return false;
    addEntity(part, entity);
    if (part.getType() == QLatin1String("PCBAdhesive"))
        placeAmongSiblings(entity, part.getType());
    return true;
}

bool TarvexComponentEntityBuilder::visitBasicPart(const TarvexBasicPart& part)
{
    // A block of its own is a component holding that one block, or a heat-sink group
    // holding it.
    Entity* owner = ownerOf(part);
    if (!part.getParent())
        owner = isHeatSink(part) ? (createGroup(part) ? getEntity(part) : nullptr) : createComponent(part);
    return owner && createBlock(part, owner);
}

Entity* TarvexComponentEntityBuilder::obtainEntity(const TarvexPart& part, const AttributePath& keyAttribute,
                                                   const QString& keyValue, const AttributePath& list,
                                                   const TypeRef& type, Entity* parent)
{
    TarvexEntityBuildState* state = getSharedState();
    if (!state)
        return nullptr;
    Entity* entity = state->getOrCreate(keyAttribute, keyValue, type, parent, list).entity;
    if (entity)
        addEntity(part, entity);
    return entity;
}

Entity* TarvexComponentEntityBuilder::createComponent(const TarvexPart& part)
{
    const TarvexPlacedGeometry& host = hostFrame(part);
    Entity* component =
        obtainEntity(part, Reference_Designator_t, part.getObjectName(), Components_t, Component_t, getParentEntity());
    if (!component)
        return nullptr;
    EntityEditor::setValueNoThrow(component, Modelling_Level_t, Detailed_t);
    writeComponentPlacement(component, host);
    EntityEditor::setValueNoThrow(component, Shape_t, Rectangle_t);
    writeExtents(component, host);

    // The blocks go into a group standing at the component's origin, unturned: their
    // locations are already relative to the component, which carries the turn.
    const GroupKind kind = groupTypeFor(component);
    Entity* group = obtainEntity(part, Name_t, displayName(part, false) + QStringLiteral("-subcomponents"), kind.list,
                                 kind.type, component);
    if (!group)
        return nullptr;
    EntityEditor::setValueNoThrow(group, Origin_Point_t, Low_Corner_t);
    for (const TypeRef& axis : {X_Location_t, Y_Location_t, Z_Location_t})
        EntityEditor::setSIValueNoThrow(group, axis, 0.0);
    writeOrderedRotation(group, Transform());
    return group;
}

void TarvexComponentEntityBuilder::writeComponentPlacement(Entity* component, const TarvexPlacedGeometry& host)
{
    const Entity* parent = getParentEntity();
    const Vec3 corner = lowCorner(host, getPlacement());
    EntityEditor::setValueNoThrow(component, Origin_Point_t, Low_Corner_t);
    EntityEditor::setSIValueNoThrow(component, X_Location_t, corner.x);
    EntityEditor::setSIValueNoThrow(component, Z_Location_t, corner.z);

    // On a board or substrate a component hangs below when it starts at or under the
    // board's underside; its height is then given by its top face. Elsewhere it stands on
    // its parent's top face, whatever that is.
    const TypeRef parentType = parent ? parent->getType() : TypeRef();
    const bool onBoard = parentType == PCB_t || parentType == Substrate_t;
    if (onBoard && corner.y <= 0.0) {
        EntityEditor::setValueNoThrow(component, Board_Side_t, Bottom_t);
        EntityEditor::setSIValueNoThrow(component, Y_Location_t, snappedLength(host.bound.getSize().y + corner.y));
    } else {
        EntityEditor::setValueNoThrow(component, Board_Side_t, Top_t);
        EntityEditor::setSIValueNoThrow(component, Y_Location_t,
                                        snappedLength(corner.y - getStandardDoubleValue(parent, Thickness_t, 0.0)));
    }

    // A board turns what stands on it about its normal only.
    const Transform relative = getPlacement().inverse() * host.transform;
    if (parentType == PCB_t) {
        const double angle = Geometry::getRotationAnglesFromTransform(relative).y;
        EntityEditor::setSIValueNoThrow(component, Angle_t, angle < 0.0 ? angle + 360.0 : angle);
    } else {
        writeOrderedRotation(component, relative);
    }
}

bool TarvexComponentEntityBuilder::createBlock(const TarvexBasicPart& part, Entity* owner)
{
    const TarvexPlacedGeometry& host = hostFrame(part);
    Entity* block = obtainEntity(part, Name_t, displayName(part, false), Obstructions_t, Solid_Obstruction_t, owner);
    if (!block)
        return false;
    const Transform placement = blockPlacementOf(part);
    writeLocation(block, host, placement);
    writeOrderedRotation(block, placement.inverse() * host.transform);
    EntityEditor::setValueNoThrow(block, Shape_t, Cuboid_t);
    writeExtents(block, host);
    placeByType(block, part.getType());
    EntityEditor::setSIValueNoThrow(block, Heat_Dissipated_t, part.getPower());
    linkMaterial(block, part.getMaterial().get());
    TarvexTerminalEntityBuilder::buildTerminals(getSharedState(), getProgress(), part.getTerminals(), part, block,
                                                host.transform);
    buildSources(part, block, host.transform);
    return true;
}

bool TarvexComponentEntityBuilder::visitBasic2RPart(const TarvexBasic2RPart& part)
{
    // A compact model is a component of its own, however the file nests it.
    const TarvexPlacedGeometry& host = hostFrame(part);
    Entity* component =
        obtainEntity(part, Reference_Designator_t, part.getObjectName(), Components_t, Component_t, getParentEntity());
    if (!component)
        return false;
    if (part.getParent() && compactWrappers.count(part.getParent()))
        addEntity(*part.getParent(), component);
    EntityEditor::setValueNoThrow(component, Modelling_Level_t, _2R_t);
    EntityEditor::setSIValueNoThrow(component, Junction_to_Case_Thermal_Resistance_t, part.getThetaJC());
    EntityEditor::setSIValueNoThrow(component, Junction_to_Board_Thermal_Resistance_t, part.getThetaJB());
    EntityEditor::setSIValueNoThrow(component, Thermal_Design_Power_t, part.getPower());
    EntityEditor::setValueNoThrow(component, Model_t, part.getObjectName());
    writeComponentPlacement(component, host);
    EntityEditor::setValueNoThrow(component, Shape_t, Rectangle_t);
    writeExtents(component, host);
    linkMaterial(component, part.getMaterial().get());
    buildSources(part, component, host.transform);
    return true;
}

void TarvexComponentEntityBuilder::placeByType(Entity* block, const QString& interchangeType)
{
    // The kind of block of a package; the mold goes first among its siblings, a board
    // adhesive before the first sibling of a known kind.
    static const std::map<QString, TypeRef> kinds{{QStringLiteral("DieAdhesive"), Die_Attach_t},
                                                  {QStringLiteral("PCBAdhesive"), Die_Attach_t},
                                                  {QStringLiteral("Die"), Die_t},
                                                  {QStringLiteral("Mold"), Encapsulant_t},
                                                  {QStringLiteral("Package"), Substrate_t}};
    const auto kind = kinds.find(interchangeType);
    if (kind == kinds.end())
        return;
    EntityEditor::setValueNoThrow(block, Type_t, kind->second);
    placeAmongSiblings(block, interchangeType);
}

void TarvexComponentEntityBuilder::placeAmongSiblings(Entity* entity, const QString& interchangeType)
{
    if (interchangeType == QLatin1String("Mold")) {
        EntityEditor::shiftEntity(entity, 0);
    } else if (interchangeType == QLatin1String("PCBAdhesive")) {
        const std::vector<Entity*> siblings = listed(entity->getOwnerEntity(), Obstructions_t);
        for (size_t i = 0; i < siblings.size(); ++i) {
            if (siblings[i] != entity && siblings[i]->findAttribute(Type_t)) {
                EntityEditor::shiftEntity(entity, int(i));
                break;
            }
        }
    }
}

bool TarvexComponentEntityBuilder::createGroup(const TarvexPart& part)
{
    const TarvexPlacedGeometry& host = hostFrame(part);
    Entity* owner = ownerOf(part);
    const GroupKind kind = groupTypeFor(owner);
    Entity* group = obtainEntity(part, Name_t, displayName(part, false), kind.list, kind.type, owner);
    if (!group)
        return false;
    const Transform placement = parentPlacementOf(part);
    writeLocation(group, host, placement);
    writeOrderedRotation(group, placement.inverse() * host.transform);
    return true;
}

bool TarvexComponentEntityBuilder::createSolderJoint(const TarvexSolderJoint& joint, const QString& groupName)
{
    Entity* target = ownerOf(joint);
    TarvexEntityBuildState* state = getSharedState();
    if (!target || !state)
        return false;
    // A joint is never a parent: only one of its own (a top-level ball) keeps its frame, which
    // the caller asks for once the joint is built.
    TarvexPlacedGeometry host = hostFrameOf(joint);
    const Vec3 corner = lowCorner(host, parentPlacementOf(joint));
    if (!joint.getParent())
        hostFrames.emplace(&joint, std::move(host));

    // The balls of one owner share one group, which carries the height of the first.
    Entity* group = state->getSolderGroup(target, groupName);
    if (!group) {
        const GroupKind kind = groupTypeFor(target);
        const TarvexObtainedEntity obtained = state->getOrCreate(Name_t, groupName, kind.type, target, kind.list);
        group = obtained.entity;
        if (!group)
            return false;
        // The group stands at its owner's origin, at the height of its first ball; placed
        // anew, a reused group goes back there too.
        if (!obtained.existing || state->isPlacingReused()) {
            EntityEditor::setSIValueNoThrow(group, X_Location_t, 0.0);
            EntityEditor::setSIValueNoThrow(group, Z_Location_t, 0.0);
        }
        EntityEditor::setSIValueNoThrow(group, Y_Location_t, corner.y);
        state->setSolderGroup(target, groupName, group);
    }

    static const AttributePath name(Name_t);
    static const AttributePath bumps(Bumps_t);
    Entity* bump = obtainEntity(joint, name, displayName(joint, false), bumps, Bump_t, group);
    if (!bump)
        return false;
    // Room for the name and the eight attributes below at once, not grown step by step: a
    // board has hundreds of thousands of joints.
    bump->reserve(9);
    // A ball stands on its centre: its footprint is its widest diameter around it.
    EntityEditor::setValueNoThrow(bump, Definition_t, Detailed_t);
    EntityEditor::setSIValueNoThrow(bump, Height_t, joint.getHeight());
    EntityEditor::setSIValueNoThrow(bump, Max_Diameter_t, joint.getDmax());
    EntityEditor::setSIValueNoThrow(bump, Top_Diameter_t, joint.getD1());
    EntityEditor::setSIValueNoThrow(bump, Bottom_Diameter_t, joint.getD2());
    EntityEditor::setSIValueNoThrow(bump, X_Location_t, corner.x + joint.getDmax() / 2.0);
    EntityEditor::setSIValueNoThrow(bump, Z_Location_t, corner.z + joint.getDmax() / 2.0);
    linkMaterial(bump, joint.getMaterial().get());
    return true;
}

void TarvexComponentEntityBuilder::linkMaterial(Entity* entity, const TarvexMaterial* material)
{
    Entity* materialEntity =
        material ? TarvexMaterialEntityBuilder::materialEntityFor(*material, entity, getSharedState(), getProgress())
                 : nullptr;
    if (!materialEntity) {
        // Components are known by their reference designator, blocks and balls by name.
        warning(tr("No Material attached to %1").arg(getDisplayName(entity)));
        return;
    }
    EntityEditor::setLinksNoThrow(entity, MaterialLink_t, {materialEntity});
}

void TarvexComponentEntityBuilder::buildSources(const TarvexPart& part, Entity* entity, const Transform& frame)
{
    if (!entity || !carriesSourcesOfItsObject(part))
        return;
    TarvexPowerEntityBuilder::buildPowerSources(static_cast<const TarvexBasicPart&>(part).getPowerSources(),
                                                placedGeometryOf(part).getPlacedBound(), entity, frame,
                                                getSharedState(), getProgress());
}

Entity* TarvexComponentEntityBuilder::ownerOf(const TarvexPart& part) const
{
    if (const TarvexPart* parent = part.getParent()) {
        if (Entity* entity = getEntity(*parent))
            return entity;
    }
    return getParentEntity();
}

const TarvexPlacedGeometry& TarvexComponentEntityBuilder::hostFrame(const TarvexPart& part)
{
    auto found = hostFrames.find(&part);
    if (found == hostFrames.end())
        found = hostFrames.emplace(&part, hostFrameOf(part)).first;
    return found->second;
}

Transform TarvexComponentEntityBuilder::blockPlacementOf(const TarvexPart& part)
{
    // A block of its own stands in its component, which stands where the block does.
    return part.getParent() ? parentPlacementOf(part) : hostFrame(part).transform;
}

Transform TarvexComponentEntityBuilder::parentPlacementOf(const TarvexPart& part)
{
    if (const TarvexPart* parent = part.getParent())
        return hostFrame(*parent).transform;
    return getPlacement();
}

} // namespace Tarvex
