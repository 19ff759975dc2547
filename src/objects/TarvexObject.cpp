#include <tarvex/objects/TarvexObject.h>

namespace Tarvex {

TarvexObject::TarvexObject() = default;

TarvexObject::TarvexObject(std::unique_ptr<TarvexPart> nodePart, TarvexObject* parentNode)
    : part(std::move(nodePart)), parent(parentNode)
{
}

TarvexObject::~TarvexObject() = default;

TarvexObject* TarvexObject::addChild(std::unique_ptr<TarvexObject> child)
{
    if (!child)
        return nullptr;
    child->parent = this;
    children.push_back(std::move(child));
    return children.back().get();
}

} // namespace Tarvex
