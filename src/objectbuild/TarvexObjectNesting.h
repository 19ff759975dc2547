#pragma once

#include <tarvex/objectbuild/TarvexBoundIndex.h>
#include <tarvex/objects/TarvexCompositeGeometryObject.h>
#include <tarvex/objects/TarvexObject.h>

#include <cstddef>
#include <memory>
#include <vector>

namespace Tarvex {

/// Arranges the parts of one file into the nesting tree by geometric containment. It takes
/// the builder's packages and loose parts, appends top-level nodes to the builder's object
/// list and hands back, with `finish`, whatever it did not place.
///
/// Candidates for containment are found through spatial indexes over the placed bounds;
/// the result (parents and child order) is that of testing every pair in list order.
class TarvexObjectNesting
{
public:
    using ObjectList = std::vector<std::unique_ptr<TarvexObject>>;
    using PackageList = std::vector<std::unique_ptr<TarvexCompositeGeometryObject>>;
    using PartList = std::vector<std::unique_ptr<TarvexPart>>;

    /// Takes `packages` and `parts` (left empty); top-level nodes go to `objects`.
    TarvexObjectNesting(ObjectList& objects, PackageList packages, PartList parts);
    ~TarvexObjectNesting();
    TarvexObjectNesting(const TarvexObjectNesting&) = delete;
    TarvexObjectNesting& operator=(const TarvexObjectNesting&) = delete;

    /// Moves into each package (in order, until a pass moves nothing) the later packages and
    /// the parts it contains (solder balls and bumps left out when asked); then puts each
    /// package, and each remaining part, below the first top-level object that contains it.
    void nest(bool skipBallsAndBumps);
    /// Builds the whole tree: packages become top-level objects, then the lowest remaining
    /// part, again and again, becomes a package of its own into which the others nest;
    /// leaves nothing behind.
    void buildTree();
    /// Hands back the packages and parts not placed, in their order.
    void finish(PackageList& packages, PartList& parts);

private:
    void absorb(TarvexCompositeGeometryObject& package, std::size_t slot, const TarvexBoundIndex& packageIndex,
                bool skipBallsAndBumps);
    void placeBelowObjects(std::size_t firstNewObject);
    std::size_t firstContainingObject(const TarvexPlacedGeometry& geometry) const;
    void addTopLevel(std::unique_ptr<TarvexPart> part);
    void promotePackages();
    void placeRemainingParts();

    ObjectList& m_objects;
    // Slots keep their place when emptied, so a slot number is a position in list order.
    PackageList m_packages;
    std::size_t m_firstLivePackage = 0;
    PartList m_parts;
    // Parts an object of the current placement round has taken; cleared as they move.
    std::vector<bool> m_claimed;
    // Which part slots hold solder balls and bumps, known without visiting the parts.
    std::vector<bool> m_isJoint;
    TarvexBoundIndex m_partIndex;
    TarvexBoundIndex m_objectIndex;
    // Every remaining part is known not to lie in the objects before this one.
    std::size_t m_objectsTested = 0;
};

/// True for solder balls and bumps, which nest last.
bool isSolderJoint(const TarvexPart& part);

} // namespace Tarvex
