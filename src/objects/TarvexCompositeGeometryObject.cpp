#include <tarvex/objects/TarvexCompositeGeometryObject.h>

#include <tarvex/objects/TarvexPartVisitorConst.h>

namespace Tarvex {

TarvexCompositeGeometryObject::TarvexCompositeGeometryObject(std::unique_ptr<TarvexPart> first)
{
    if (first) {
        name = first->getName(true);
        objectName = first->getObjectName();
        addChild(std::move(first));
    }
}

TarvexCompositeGeometryObject::~TarvexCompositeGeometryObject() = default;

int TarvexCompositeGeometryObject::getPartType() const
{
    return CompositeGeometryObject;
}

QString TarvexCompositeGeometryObject::getName(bool) const
{
    return name;
}

QString TarvexCompositeGeometryObject::getObjectName() const
{
    return objectName;
}

QString TarvexCompositeGeometryObject::getType() const
{
    return children.empty() || !children.front() ? QString() : children.front()->getType();
}

bool TarvexCompositeGeometryObject::accept(TarvexPartVisitorConst& visitor) const
{
    visitor.visitComposite(*this);
    if (!visitor.visitChildren(*this))
        return false;
    bool result = true;
    for (const auto& child : children) {
        if (child)
            result = child->accept(visitor);
    }
    return result;
}

TarvexPlacedGeometry TarvexCompositeGeometryObject::createGeometry() const
{
    std::vector<TarvexPart*> parts;
    parts.reserve(children.size());
    for (const auto& child : children)
        parts.push_back(child.get());
    return uniteGeometries(parts, false);
}

TarvexPart* TarvexCompositeGeometryObject::addChild(std::unique_ptr<TarvexPart> child)
{
    if (!child)
        return nullptr;
    child->setParent(this);
    children.push_back(std::move(child));
    setGeometryDirty();
    return children.back().get();
}

bool TarvexCompositeGeometryObject::addChildGrowing(std::unique_ptr<TarvexPart> child)
{
    if (!child)
        return false;
    TarvexPlacedGeometry* geometry = upToDateGeometry();
    if (!geometry) {
        addChild(std::move(child));
        return true;
    }
    // Made before anything changes, as it may throw.
    const TarvexPlacedGeometry& added = child->getGeometry();
    bool changed = true;
    if (children.empty())
        *geometry = added;
    else
        changed = geometry->unite(added);
    child->setParent(this);
    children.push_back(std::move(child));
    return changed;
}

std::unique_ptr<TarvexPart> TarvexCompositeGeometryObject::takeChild(size_t index)
{
    if (index >= children.size())
        return nullptr;
    std::unique_ptr<TarvexPart> child = std::move(children[index]);
    children.erase(children.begin() + std::ptrdiff_t(index));
    if (child)
        child->setParent(nullptr);
    setGeometryDirty();
    return child;
}

} // namespace Tarvex
