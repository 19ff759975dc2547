// Feeds arbitrary bytes to the text-format map parser through a temporary file.
#include "maps/NorvaneTXMFormatParser.h"

#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QTemporaryFile file;
    if (!file.open())
        return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.flush();
    Tarvex::NorvaneTXMFormatParser parser(file.fileName().toStdString(), nullptr);
    parser.parseFile();
    // Walk the tree so that every node is touched.
    std::vector<const Tarvex::NorvaneTXMFormatParserNode*> pending{parser.getRootNode().get()};
    size_t values = 0;
    while (!pending.empty()) {
        const auto* node = pending.back();
        pending.pop_back();
        values += node->values.size();
        for (const auto& child : node->children)
            pending.push_back(child.get());
    }
    return values > size ? 1 : 0;
}
