// Feeds arbitrary bytes, as an interchange file, to the whole object building: reading,
// tables, parts and the nesting tree. It must neither crash nor hang; an outline that is
// not flat may throw its documented error; the tree it hands on must hold every part once,
// with parents that point back.
#include "FuzzInput.h"
#include "FuzzTarget.h"

#include <tarvex/objectbuild/TarvexObjectBuilder.h>

#include "support/RecordingProgress.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

namespace {

size_t checkNode(const Tarvex::TarvexObject& node)
{
    size_t count = 1;
    for (const auto& child : node.children) {
        if (!child || child->parent != &node || !child->part)
            std::abort();
        count += checkNode(*child);
    }
    return count;
}

} // namespace

int fuzzOne(const uint8_t* data, size_t size)
{
    const Fuzz::FuzzInput input(data, size);
    if (!input.isUsable())
        return 0;
    const QString path = input.writeFile(QStringLiteral("model.xml"));

    Tools::RecordingProgress progress;
    Tarvex::TarvexObjectBuilder builder(&progress);
    try {
        if (!builder.readFile(path))
            return 0;
    } catch (const std::runtime_error& error) {
        if (std::string(error.what()) != "Z variation")
            std::abort();
        return 0;
    }
    builder.buildTree();
    const std::vector<std::unique_ptr<Tarvex::TarvexObject>> objects = builder.takeObjects();
    for (const auto& object : objects) {
        if (!object || object->parent || !object->part)
            std::abort();
        checkNode(*object);
        (void)object->part->getGeometry().getPlacedBound();
    }
    return 0;
}
