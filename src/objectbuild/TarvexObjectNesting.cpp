#include <tarvex/objectbuild/TarvexObjectNesting.h>

#include <tarvex/objects/TarvexPartType.h>
#include <tarvex/objects/TarvexPlacedGeometryContainer.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Tarvex {

namespace {

constexpr std::size_t none = std::numeric_limits<std::size_t>::max();

// Parts build their geometry on first use, hence not const.
bool contains(TarvexPart& outer, TarvexPart& inner)
{
    return TarvexPlacedGeometry::contains(outer.getGeometry(), inner.getGeometry());
}

// The height a part starts at; parts without a usable bound start after all others.
double bottomOf(TarvexPart& part)
{
    const double z = part.getGeometry().getPlacedBound().getLow().z;
    return std::isnan(z) ? std::numeric_limits<double>::infinity() : z;
}

} // namespace

bool isSolderJoint(const TarvexPart& part)
{
    const int type = part.getPartType();
    return type == TarvexPartType::SolderBall || type == TarvexPartType::SolderBump;
}

TarvexObjectNesting::TarvexObjectNesting(ObjectList& objects, PackageList packages, PartList parts)
    : m_objects(objects),
      m_packages(std::move(packages)),
      m_parts(std::move(parts)),
      m_claimed(m_parts.size(), false),
      m_isJoint(m_parts.size(), false)
{
    for (std::size_t slot = 0; slot < m_parts.size(); ++slot) {
        if (!m_parts[slot])
            continue;
        m_isJoint[slot] = isSolderJoint(*m_parts[slot]);
        m_partIndex.insert(slot, m_parts[slot]->getGeometry());
    }
    for (std::size_t k = 0; k < m_objects.size(); ++k) {
        if (m_objects[k]->part)
            m_objectIndex.insert(k, m_objects[k]->part->getGeometry());
    }
}

TarvexObjectNesting::~TarvexObjectNesting() = default;

void TarvexObjectNesting::nest(bool skipBallsAndBumps)
{
    TarvexBoundIndex packageIndex;
    for (std::size_t slot = m_firstLivePackage; slot < m_packages.size(); ++slot) {
        if (m_packages[slot])
            packageIndex.insert(slot, m_packages[slot]->getGeometry());
    }
    for (std::size_t slot = m_firstLivePackage; slot < m_packages.size(); ++slot) {
        if (m_packages[slot])
            absorb(*m_packages[slot], slot, packageIndex, skipBallsAndBumps);
    }

    for (std::size_t slot = m_firstLivePackage; slot < m_packages.size(); ++slot) {
        if (!m_packages[slot])
            continue;
        const std::size_t k = firstContainingObject(m_packages[slot]->getGeometry());
        if (k != none)
            m_objects[k]->addChild(std::make_unique<TarvexObject>(std::move(m_packages[slot])));
    }
    placeBelowObjects(m_objectsTested);
}

void TarvexObjectNesting::absorb(TarvexCompositeGeometryObject& package, std::size_t slot,
                                 const TarvexBoundIndex& packageIndex, bool skipBallsAndBumps)
{
    // A pass tests against the package as it stood when the pass began; what it took in
    // enlarges the package for the next pass. When nothing it took joined its solid, the
    // next pass would ask the same shape the same questions, so none is made.
    for (bool grown = true; grown;) {
        grown = false;
        const TarvexPlacedGeometry geometry = package.getGeometry();
        const TarvexPlacedGeometryContainer container(geometry);
        for (const std::size_t later : packageIndex.meeting(geometry)) {
            if (later <= slot || !m_packages[later])
                continue;
            if (container.contains(m_packages[later]->getGeometry()))
                grown = package.addChildGrowing(std::move(m_packages[later])) || grown;
        }
        for (const std::size_t index : m_partIndex.meeting(geometry)) {
            const std::unique_ptr<TarvexPart>& part = m_parts[index];
            if ((skipBallsAndBumps && m_isJoint[index]) || !part)
                continue;
            if (container.contains(part->getGeometry()))
                grown = package.addChildGrowing(std::move(m_parts[index])) || grown;
        }
    }
}

std::size_t TarvexObjectNesting::firstContainingObject(const TarvexPlacedGeometry& geometry) const
{
    for (const std::size_t k : m_objectIndex.meeting(geometry)) {
        if (TarvexPlacedGeometry::contains(m_objects[k]->part->getGeometry(), geometry))
            return k;
    }
    return none;
}

void TarvexObjectNesting::placeBelowObjects(std::size_t firstNewObject)
{
    // Remaining parts were already found outside the objects before `firstNewObject`, which
    // never change, so only the newer ones are asked; the first that contains a part wins.
    std::vector<std::pair<std::size_t, std::size_t>> placements; // part slot, object
    for (std::size_t k = firstNewObject; k < m_objects.size(); ++k) {
        TarvexPart* outer = m_objects[k]->part.get();
        if (!outer)
            continue;
        const TarvexPlacedGeometry& geometry = outer->getGeometry();
        const TarvexPlacedGeometryContainer container(geometry);
        for (const std::size_t index : m_partIndex.meeting(geometry)) {
            if (m_parts[index] && !m_claimed[index] && container.contains(m_parts[index]->getGeometry())) {
                m_claimed[index] = true;
                placements.emplace_back(index, k);
            }
        }
    }
    std::sort(placements.begin(), placements.end());
    for (const auto& [index, k] : placements) {
        m_objects[k]->addChild(std::make_unique<TarvexObject>(std::move(m_parts[index])));
        m_claimed[index] = false;
    }
    m_objectsTested = m_objects.size();
}

void TarvexObjectNesting::addTopLevel(std::unique_ptr<TarvexPart> part)
{
    const std::size_t k = m_objects.size();
    m_objects.push_back(std::make_unique<TarvexObject>(std::move(part)));
    m_objectIndex.insert(k, m_objects.back()->part->getGeometry());
}

void TarvexObjectNesting::promotePackages()
{
    for (std::size_t slot = m_firstLivePackage; slot < m_packages.size(); ++slot) {
        if (m_packages[slot])
            addTopLevel(std::move(m_packages[slot]));
    }
    m_firstLivePackage = m_packages.size();
}

void TarvexObjectNesting::buildTree()
{
    promotePackages();

    // The order in which parts become the base of a new package: by their bottom, solder
    // balls and bumps last, earlier parts first on ties. Parts do not move while the tree
    // grows, so the order is found once.
    std::vector<std::pair<std::pair<bool, double>, std::size_t>> order;
    for (std::size_t slot = 0; slot < m_parts.size(); ++slot) {
        if (m_parts[slot])
            order.push_back({{isSolderJoint(*m_parts[slot]), bottomOf(*m_parts[slot])}, slot});
    }
    std::sort(order.begin(), order.end());

    for (const auto& entry : order) {
        std::unique_ptr<TarvexPart> base = std::move(m_parts[entry.second]);
        if (!base)
            continue;
        if (isSolderJoint(*base)) {
            addTopLevel(std::move(base));
            continue;
        }
        m_packages.push_back(std::make_unique<TarvexCompositeGeometryObject>(std::move(base)));
        nest(true);
        promotePackages();
    }

    placeRemainingParts();
    promotePackages();
    for (std::unique_ptr<TarvexPart>& part : m_parts) {
        if (part)
            addTopLevel(std::move(part));
    }
}

void TarvexObjectNesting::placeRemainingParts()
{
    // Below the first top-level object that contains the part, else below the first part
    // placed here before it that does.
    TarvexBoundIndex placedIndex;
    std::vector<TarvexObject*> placed;
    for (std::unique_ptr<TarvexPart>& part : m_parts) {
        if (!part)
            continue;
        TarvexObject* parent = nullptr;
        const std::size_t k = firstContainingObject(part->getGeometry());
        if (k != none) {
            parent = m_objects[k].get();
        } else {
            for (const std::size_t index : placedIndex.meeting(part->getGeometry())) {
                if (contains(*placed[index]->part, *part)) {
                    parent = placed[index];
                    break;
                }
            }
        }
        if (!parent)
            continue;
        TarvexObject* node = parent->addChild(std::make_unique<TarvexObject>(std::move(part)));
        placedIndex.insert(placed.size(), node->part->getGeometry());
        placed.push_back(node);
    }
}

void TarvexObjectNesting::finish(PackageList& packages, PartList& parts)
{
    for (std::size_t slot = m_firstLivePackage; slot < m_packages.size(); ++slot) {
        if (m_packages[slot])
            packages.push_back(std::move(m_packages[slot]));
    }
    for (std::unique_ptr<TarvexPart>& part : m_parts) {
        if (part)
            parts.push_back(std::move(part));
    }
    m_packages.clear();
    m_parts.clear();
    m_firstLivePackage = 0;
}

} // namespace Tarvex
