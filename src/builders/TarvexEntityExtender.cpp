#include <tarvex/builders/TarvexEntityExtender.h>

#include <tarvex/builders/TarvexCounter.h>
#include <tarvex/builders/TarvexLayeredEntityExtender.h>
#include <tarvex/builders/TarvexPartPlacement.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/objects/TarvexPartClass.h>

#include <QHash>

#include <algorithm>

namespace Tarvex {

using namespace EntityModel;
using Geometry::Transform;

namespace {

// The board's own components by reference designator. Only its direct children: a
// component inside another one is that one's business, and goes or stays with it.
QMultiHash<QString, Entity*> componentsOf(const Entity* board)
{
    QMultiHash<QString, Entity*> index;
    std::vector<Entity*> owned;
    CompositeAttribute::getOwnedChildEntities(board, owned, false, true);
    for (Entity* entity : owned) {
        if (entity->getType() == Component_t && entity->getOwnerEntity() == board)
            index.insert(getStringValue(entity, Reference_Designator_t), entity);
    }
    return index;
}

// The host frame of the file's first board; without one the file's origin stands for the
// board's low corner.
Transform fileBoardFrame(const std::vector<std::unique_ptr<TarvexObject>>& objects)
{
    for (const std::unique_ptr<TarvexObject>& object : objects) {
        if (object && object->part && classifyPart(*object->part) == BoardPart)
            return toHostFrame(placedGeometryOf(*object->part)).transform;
    }
    return Transform();
}

} // namespace

TarvexBoardExtension extendBoard(const std::vector<std::unique_ptr<TarvexObject>>& objects, Entity* board,
                                 TarvexEntityBuildState* sharedState, Tools::ToolProgress* progress)
{
    TarvexBoardExtension extension;
    if (!board)
        return extension;
    if (progress)
        progress->setTotalSteps(countNodes(objects));

    // Taken before the walk, so that nothing the walk builds can be taken for one to replace.
    QMultiHash<QString, Entity*> earlier = componentsOf(board);
    TarvexEntityExtender extender(board, fileBoardFrame(objects), sharedState, progress);
    // Every top-level object: a file gives its board and each of its components as one.
    walkAll(objects, extender);

    // Every entity the walk put directly on the board, whether the file gave it as an object
    // of its own or nested it in its board, is what it built there; components among them
    // replace those of the same designator.
    std::vector<const TarvexObject*> nodes;
    for (const std::unique_ptr<TarvexObject>& object : objects)
        nodes.push_back(object.get());
    std::vector<Entity*> replaced;
    for (size_t i = 0; i < nodes.size(); ++i) {
        for (const std::unique_ptr<TarvexObject>& child : nodes[i]->children)
            nodes.push_back(child.get());
        // A ball's entity stands in its group: the group is what went onto the board.
        Entity* entity = extender.getCreatedEntity(nodes[i]);
        while (entity && entity->getOwnerEntity() && entity->getOwnerEntity() != board)
            entity = entity->getOwnerEntity();
        const bool onBoard = entity && entity->getOwnerEntity() == board;
        if (!onBoard || std::find(extension.built.begin(), extension.built.end(), entity) != extension.built.end())
            continue;
        extension.built.push_back(entity);
        if (entity->getType() != Component_t)
            continue;
        // What the walk built is never among those it replaces, even when it was reused.
        for (Entity* old : earlier.values(getStringValue(entity, Reference_Designator_t))) {
            if (old != entity)
                replaced.push_back(old);
        }
        earlier.remove(getStringValue(entity, Reference_Designator_t));
    }
    const std::vector<Entity*>& heatSources = extender.getHeatSources();
    extension.built.insert(extension.built.end(), heatSources.begin(), heatSources.end());
    extension.replaced = int(replaced.size());
    if (!replaced.empty())
        EntityEditor::deleteEntities(replaced, true);
    return extension;
}

TarvexEntityExtender::TarvexEntityExtender(Entity* board, const Transform& boardFrame,
                                           TarvexEntityBuildState* sharedState, Tools::ToolProgress* progress)
    : TarvexEntityBuilder(board, sharedState, progress), boardFrame(boardFrame)
{
}

TarvexEntityExtender::~TarvexEntityExtender() = default;

void TarvexEntityExtender::build(const TarvexObject& node, Entity* target, const Transform& frame)
{
    if (!node.part)
        return;
    if (classifyPart(*node.part) == BoardPart) {
        const std::vector<Entity*> added = TarvexLayeredEntityExtender::extendLayered(
            *node.part, target, boardFrame, getSharedState(), getProgress());
        heatSources.insert(heatSources.end(), added.begin(), added.end());
        // What the file nests in its board goes onto the board, placed by the board's frame.
        record(node, target, hostPlacementOf(node).inverse() * boardFrame);
        return;
    }
    TarvexEntityBuilder::build(node, target, node.parent ? frame : boardFrame);
}

} // namespace Tarvex
