// Feeds arbitrary bytes to the interchange XML reader: it must neither crash nor hang, and a
// document it hands on must be an interchange model.
#include "host/RecordingProgress.h"
#include "interchange/TarvexTXMXMLParser.h"

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > size_t(std::numeric_limits<int>::max()))
        return 0;
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return 0;

    Tools::RecordingProgress progress;
    Tarvex::TarvexTXMXMLParser parser(&progress);
    const Tarvex::TarvexTXMXMLDocument document = parser.read(&buffer);

    const int fatalErrors = progress.texts(Tools::ToolProgress::Kind::FatalError).size();
    if (fatalErrors > 1)
        std::abort();
    if (document) {
        if (fatalErrors != 0 || document.getModel().isNull())
            std::abort();
        (void)document.toByteArray();
    } else if (fatalErrors == 0 && !parser.getLastLoadedFileVersion().isEmpty()) {
        // Only a foreign root gives a null document without a message, and it has no version.
        std::abort();
    }
    return 0;
}
