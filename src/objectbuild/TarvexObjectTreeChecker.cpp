#include <tarvex/objectbuild/TarvexObjectTreeChecker.h>

#include <tarvex/objects/TarvexBasicPart.h>
#include <tarvex/objects/TarvexPartClass.h>
#include <tarvex/objects/TarvexPartVisitorConst.h>
#include <tarvex/objects/TarvexPlacedGeometry.h>
#include <tarvex/objects/TarvexSolderBall.h>
#include <tarvex/objects/TarvexSolderBump.h>

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <set>

namespace Tarvex {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("Tarvex::TarvexObjectTreeChecker", text); }

QString millimetres(double metres) { return QString::number(metres * 1000.0, 'g', 6); }

// The part's placed bound seen from above (file axes: z is up).
Geometry::Bound2D footprintOf(TarvexPart& part)
{
    const Geometry::Bound bound = part.getGeometry().getPlacedBound();
    if (bound.isEmpty())
        return Geometry::Bound2D();
    return Geometry::Bound2D(Geometry::Vec2(bound.getLow().x, bound.getLow().y),
                             Geometry::Vec2(bound.getHigh().x, bound.getHigh().y));
}

// Whether one of `footprints` holds `footprint`.
bool holds(const std::vector<Geometry::Bound2D>& footprints, const Geometry::Bound2D& footprint)
{
    return !footprint.isEmpty() &&
           std::any_of(footprints.begin(), footprints.end(), [&](const Geometry::Bound2D& holder) {
               return holder.contains(footprint, TarvexPlacedGeometry::boundTolerance);
           });
}

// A solder ball or bump as the overlap test sees it: an upright cylinder.
struct Joint
{
    const TarvexSolderJoint* part;
    QString kind;
    double radius;
    double bottom;
    double top;
};

// The names of one kind of element, each with the elements that hold it, in first-seen order.
class NameCount
{
public:
    explicit NameCount(QString kind) : m_kind(std::move(kind)) {}

    void add(const QString& name, const void* holder)
    {
        if (m_holders.find(name) == m_holders.end())
            m_order.push_back(name);
        m_holders[name].insert(holder);
    }

    void report(const QString& file, std::vector<TarvexFileProblem>& problems) const
    {
        for (const QString& name : m_order) {
            const size_t count = m_holders.at(name).size();
            if (count > 1)
                problems.push_back({TarvexFileProblem::Kind::DuplicateName, file, name,
                                    tr("%1 %2 are named \"%3\"").arg(count).arg(m_kind, name)});
        }
    }

private:
    QString m_kind;
    std::vector<QString> m_order;
    std::map<QString, std::set<const void*>> m_holders;
};

// Gathers the joints and the names of a tree.
class TreeContent : public TarvexPartVisitorConst
{
public:
    bool visitLayer(const TarvexLayeredPartLayer&) override { return true; }
    bool visitLayeredPart(const TarvexLayeredPart&) override { return true; }
    bool visitBasicPart(const TarvexBasicPart& part) override
    {
        // The pieces of one heat sink share its name by design: they count once.
        geoms.add(part.getName(true), isHeatSink(part) ? static_cast<const void*>(part.getParent()) : &part);
        return true;
    }
    bool visitSolderBall(const TarvexSolderBall& ball) override
    {
        balls.add(ball.getName(true), &ball);
        addJoint(ball, tr("solder ball"));
        return true;
    }
    bool visitSolderBump(const TarvexSolderBump& bump) override
    {
        bumps.add(bump.getName(true), &bump);
        addJoint(bump, tr("solder bump"));
        return true;
    }

    NameCount geoms{tr("Geoms")};
    NameCount balls{tr("solder balls")};
    NameCount bumps{tr("solder bumps")};
    std::vector<Joint> joints;

private:
    void addJoint(const TarvexSolderJoint& joint, const QString& kind)
    {
        const double z = joint.getPosition().z;
        joints.push_back({&joint, kind, joint.getDmax() / 2.0, std::min(z, z + joint.getHeight()),
                          std::max(z, z + joint.getHeight())});
    }
};

void visitTree(const TarvexObject& node, TreeContent& content)
{
    if (node.part)
        node.part->accept(content);
    for (const std::unique_ptr<TarvexObject>& child : node.children) {
        if (child)
            visitTree(*child, content);
    }
}

// The pairs (first, second) of joints that overlap, by their order in `joints`.
std::vector<std::pair<size_t, size_t>> overlappingPairs(const std::vector<Joint>& joints)
{
    // A sweep along x: only joints closer in x than the two largest radii can meet.
    std::vector<size_t> byX(joints.size());
    std::iota(byX.begin(), byX.end(), size_t(0));
    const auto x = [&](size_t i) { return joints[i].part->getPosition().x; };
    std::sort(byX.begin(), byX.end(), [&](size_t a, size_t b) { return x(a) < x(b); });
    double largest = 0.0;
    for (const Joint& joint : joints)
        largest = std::max(largest, joint.radius);

    std::vector<std::pair<size_t, size_t>> pairs;
    for (size_t a = 0; a < byX.size(); ++a) {
        const Joint& first = joints[byX[a]];
        for (size_t b = a + 1; b < byX.size() && x(byX[b]) - x(byX[a]) < first.radius + largest; ++b) {
            const Joint& second = joints[byX[b]];
            const double apart = std::hypot(x(byX[b]) - x(byX[a]),
                                            second.part->getPosition().y - first.part->getPosition().y);
            const double sharedHeight = std::min(first.top, second.top) - std::max(first.bottom, second.bottom);
            if (apart < first.radius + second.radius - TarvexObjectTreeChecker::overlapTolerance &&
                sharedHeight > TarvexObjectTreeChecker::overlapTolerance)
                pairs.emplace_back(std::min(byX[a], byX[b]), std::max(byX[a], byX[b]));
        }
    }
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

} // namespace

TarvexObjectTreeChecker::TarvexObjectTreeChecker(const QString& file) : m_file(file) {}

std::vector<TarvexFileProblem>
TarvexObjectTreeChecker::check(const std::vector<std::unique_ptr<TarvexObject>>& objects) const
{
    std::vector<TarvexFileProblem> problems;
    TreeContent content;
    std::vector<Geometry::Bound2D> boards;
    std::vector<Geometry::Bound2D> packages;
    for (const std::unique_ptr<TarvexObject>& object : objects) {
        if (!object)
            continue;
        visitTree(*object, content);
        if (object->part && classifyPart(*object->part) == BoardPart)
            boards.push_back(footprintOf(*object->part));
        else if (object->part && classifyPart(*object->part) == PackagePart)
            packages.push_back(footprintOf(*object->part));
    }
    // Parts sit on boards and packages rather than in them, so their footprints tell: a
    // nested part lies in its parent; a package needs a board only when the file has one.
    for (const std::unique_ptr<TarvexObject>& object : objects) {
        TarvexPart* part = object ? object->part.get() : nullptr;
        if (!part || classifyPart(*part) == BoardPart)
            continue;
        const bool package = classifyPart(*part) == PackagePart;
        const Geometry::Bound2D footprint = footprintOf(*part);
        if ((package && boards.empty()) || holds(boards, footprint) || (!package && holds(packages, footprint)))
            continue;
        problems.push_back({TarvexFileProblem::Kind::UncontainedPart, m_file, part->getName(true),
                            tr("%1 \"%2\" lies outside every board%3").arg(part->getType(), part->getName(true),
                                                                           package ? QString() : tr(" and package"))});
    }

    for (const auto& [a, b] : overlappingPairs(content.joints)) {
        const Joint& first = content.joints[a];
        const Joint& second = content.joints[b];
        const double apart = std::hypot(second.part->getPosition().x - first.part->getPosition().x,
                                        second.part->getPosition().y - first.part->getPosition().y);
        problems.push_back({TarvexFileProblem::Kind::OverlappingBalls, m_file, first.part->getName(true),
                            tr("%1 \"%2\" overlaps %3 \"%4\": centres %5 mm apart, diameters %6 and %7 mm")
                                .arg(first.kind, first.part->getName(true), second.kind, second.part->getName(true),
                                     millimetres(apart), millimetres(2.0 * first.radius),
                                     millimetres(2.0 * second.radius))});
    }

    content.geoms.report(m_file, problems);
    content.balls.report(m_file, problems);
    content.bumps.report(m_file, problems);
    return problems;
}

} // namespace Tarvex
