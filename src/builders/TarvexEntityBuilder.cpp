#include <tarvex/builders/TarvexEntityBuilder.h>

#include <tarvex/builders/TarvexComponentEntityBuilder.h>
#include <tarvex/builders/TarvexCounter.h>
#include <tarvex/builders/TarvexEntityBuildState.h>
#include <tarvex/builders/TarvexLayeredEntityBuilder.h>
#include <tarvex/builders/TarvexPartPlacement.h>
#include <tarvex/objects/TarvexPartClass.h>

#include <algorithm>
#include <exception>
#include <functional>
#include <new>
#include <unordered_set>

namespace Tarvex {

using namespace EntityModel;
using Geometry::Transform;

namespace {

// The entity directly below `root` that holds `entity` (itself when it is one); `entity`
// when it is not below `root` at all.
Entity* entityBelow(Entity* root, Entity* entity)
{
    for (Entity* current = entity; current; current = current->getOwnerEntity()) {
        if (current->getOwnerEntity() == root)
            return current;
    }
    return entity;
}

} // namespace

TarvexBuiltEntities buildEntities(const std::vector<std::unique_ptr<TarvexObject>>& objects, Entity* rootEntity,
                                  TarvexReuseMap& existing, Tools::ToolProgress* progress, bool placeReused)
{
    TarvexBuiltEntities built;
    if (!rootEntity || objects.empty())
        return built;

    const std::uint64_t nodes = countNodes(objects);
    if (progress)
        progress->setTotalSteps(nodes);

    // Taken before the walk: reused entities leave `existing` as they are attached again.
    // Sorted to be searched: cheaper than a hash of every entity an update detached.
    std::vector<Entity*> earlier = existing.waiting();
    std::sort(earlier.begin(), earlier.end(), std::less<Entity*>());

    TarvexEntityBuildState state(existing);
    state.setPlacingReused(placeReused);
    TarvexEntityBuilder builder(rootEntity, &state, progress);
    builder.reserve(std::size_t(nodes));
    walkAll(objects, builder);

    // A top-level ball sits in a group that the walk made below the root: the group is
    // what the import added there, and what an update must find again. Balls sharing it
    // give it once.
    std::unordered_set<Entity*> listed;
    for (const std::unique_ptr<TarvexObject>& object : objects) {
        Entity* entity = builder.getCreatedEntity(object.get());
        if (!entity)
            continue;
        entity = entityBelow(rootEntity, entity);
        if (listed.insert(entity).second) {
            const bool reused = std::binary_search(earlier.begin(), earlier.end(), entity, std::less<Entity*>());
            (reused ? built.updatedEntities : built.newEntities).push_back(entity);
        }
    }
    return built;
}

TarvexEntityBuilder::TarvexEntityBuilder(Entity* rootEntity, TarvexEntityBuildState* sharedState,
                                         Tools::ToolProgress* progress)
    : rootEntity(rootEntity), sharedState(sharedState), progress(progress)
{
}

TarvexEntityBuilder::~TarvexEntityBuilder() = default;

Tools::ToolProgress* TarvexEntityBuilder::getProgress() const { return progress; }

Entity* TarvexEntityBuilder::getCreatedEntity(const TarvexObject* node) const
{
    const Created* found = node ? created.find(node) : nullptr;
    return found ? found->entity : nullptr;
}

void TarvexEntityBuilder::reserve(std::size_t nodes)
{
    created.reserve(nodes);
    frames.reserve(nodes);
    firstRecordOf.reserve(nodes);
}

void TarvexEntityBuilder::visit(const TarvexObject& node)
{
    // A part whose geometry cannot be made (or a board without a place to go) is reported
    // and skipped; its children then find no parent.
    try {
        Transform frame;
        Entity* target = nullptr;
        if (!node.parent) {
            target = rootEntity;
        } else {
            const TarvexPart* parentPart = node.parent->part.get();
            const Created* parentRecord = created.find(node.parent);
            if (!parentRecord) {
                fatalError(tr("Parent Not Found for %1").arg(parentPart ? displayName(*parentPart, false) : QString()));
            } else {
                // A parent with a record has a usable geometry: its frame can be taken.
                target = parentRecord->entity;
                frame = hostPlacementOf(*node.parent);
            }
        }
        if (target) {
            if (const TarvexObject* const* first = firstRecordOf.find(target))
                frame = frame * childFrameOf(**first);
        }
        if (target)
            build(node, target, frame);
    } catch (const std::bad_alloc&) {
        // Out of memory ends the whole operation, which its guard takes back.
        throw;
    } catch (const std::exception& error) {
        fatalError(QString::fromStdString(error.what()));
    }

    if (progress) {
        ++count;
        progress->setStep(quint64(count));
    }
}

void TarvexEntityBuilder::build(const TarvexObject& node, Entity* target, const Transform& frame)
{
    if (!node.part)
        return;
    const TarvexPart& part = *node.part;
    if (classifyPart(part) == BoardPart) {
        Transform entityFrame;
        if (Entity* entity =
                TarvexLayeredEntityBuilder::buildLayered(part, target, frame, sharedState, progress, &entityFrame))
            recordPlaced(node, entity, entityFrame);
        return;
    }
    const TarvexBuiltComponent built =
        TarvexComponentEntityBuilder::buildComponent(part, target, frame, sharedState, progress);
    if (built.entity)
        recordPlaced(node, built.entity, built.transform);
}

void TarvexEntityBuilder::record(const TarvexObject& node, Entity* entity, const Transform& frame)
{
    store(node, entity, frame, true);
}

void TarvexEntityBuilder::recordPlaced(const TarvexObject& node, Entity* entity, const Transform& entityFrame)
{
    store(node, entity, entityFrame, false);
}

void TarvexEntityBuilder::store(const TarvexObject& node, Entity* entity, const Transform& frame, bool composed)
{
    // A node recorded again keeps its place among the frames.
    const auto made = created.insert(&node);
    if (made.second) {
        made.first->frame = std::uint32_t(frames.size());
        frames.push_back(frame);
    } else {
        frames[made.first->frame] = frame;
    }
    made.first->entity = entity;
    made.first->composed = composed;

    if (!entity)
        return;
    const auto first = firstRecordOf.insert(entity);
    if (first.second || std::less<const TarvexObject*>()(&node, *first.first))
        *first.first = &node;
}

const Transform& TarvexEntityBuilder::childFrameOf(const TarvexObject& node)
{
    Created& made = *created.find(&node);
    Transform& frame = frames[made.frame];
    if (!made.composed) {
        frame = hostPlacementOf(node).inverse() * frame;
        made.composed = true;
    }
    return frame;
}

const Transform& TarvexEntityBuilder::hostPlacementOf(const TarvexObject& node)
{
    auto found = hostPlacements.find(&node);
    if (found == hostPlacements.end()) {
        const Transform placement = node.part ? toHostFrame(placedGeometryOf(*node.part)).transform : Transform();
        found = hostPlacements.emplace(&node, placement).first;
    }
    return found->second;
}

} // namespace Tarvex
