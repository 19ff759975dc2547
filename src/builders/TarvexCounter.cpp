#include <tarvex/builders/TarvexCounter.h>

#include <tarvex/objects/TarvexObject.h>

#include <vector>

namespace Tarvex {

TarvexCounter::TarvexCounter(std::uint64_t* counter) : counter(counter) {}

void TarvexCounter::visit(const TarvexObject&)
{
    if (counter)
        ++*counter;
}

void walk(const TarvexObject& object, TarvexObjectVisitorConst& visitor)
{
    // An explicit stack: nesting read from a file may be deeper than the call stack allows.
    std::vector<const TarvexObject*> pending{&object};
    while (!pending.empty()) {
        const TarvexObject* node = pending.back();
        pending.pop_back();
        visitor.visit(*node);
        if (!visitor.visitChildren(*node))
            continue;
        for (auto child = node->children.rbegin(); child != node->children.rend(); ++child) {
            if (*child)
                pending.push_back(child->get());
        }
    }
}

void walkAll(const std::vector<std::unique_ptr<TarvexObject>>& objects, TarvexObjectVisitorConst& visitor)
{
    for (const std::unique_ptr<TarvexObject>& object : objects) {
        if (object)
            walk(*object, visitor);
    }
}

std::uint64_t countNodes(const std::vector<std::unique_ptr<TarvexObject>>& objects)
{
    std::uint64_t total = 0;
    TarvexCounter counter(&total);
    walkAll(objects, counter);
    return total;
}

} // namespace Tarvex
