// Feeds arbitrary bytes to the text-format map parser through a temporary file.
#include "FuzzInput.h"
#include "FuzzTarget.h"

#include <tarvex/maps/NorvaneTXMFormatParser.h>

#include <cstddef>
#include <cstdlib>
#include <cstdint>

int fuzzOne(const uint8_t* data, size_t size)
{
    const Fuzz::FuzzInput input(data, size);
    if (!input.isUsable())
        return 0;
    Tarvex::NorvaneTXMFormatParser parser(input.writeFile(QStringLiteral("map.txt")).toStdString(), nullptr);
    parser.parseFile();
    // Walk the tree so that every node is touched; every value takes at least one byte of
    // the file, so more values than bytes means values were made up.
    std::vector<const Tarvex::NorvaneTXMFormatParserNode*> pending{parser.getRootNode().get()};
    size_t values = 0;
    while (!pending.empty()) {
        const auto* node = pending.back();
        pending.pop_back();
        values += node->values.size();
        for (const auto& child : node->children)
            pending.push_back(child.get());
    }
    if (values > size)
        std::abort();
    return 0;
}
