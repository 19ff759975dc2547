// Feeds arbitrary bytes to the interchange JSON reader and walks what it returns: nothing
// may crash or hang, and a file it hands on is at the current version or newer.
// Qt 5.15's own JSON parser leaks the earlier value of a repeated key when that value is an
// object or array (no code of ours is on the stack): run with ASAN_OPTIONS=detect_leaks=0.
#include "support/RecordingProgress.h"
#include "interchange/TarvexTXMJsonParser.h"

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
    Tarvex::TarvexTXMJsonParser parser(&progress);
    const Tarvex::TXMJSONFile file = parser.read(&buffer);

    const int fatalErrors = progress.texts(Tools::ToolProgress::Kind::FatalError).size();
    if (file.isNull() != (fatalErrors == 1) || fatalErrors > 1)
        std::abort();
    if (!file)
        return 0;
    if (file.getVersion() < Tarvex::TXMFileVersion::current())
        std::abort();
    (void)file.getUnit().getLength();
    for (const Tarvex::TXMJSONImport& entry : file.getModel().getImport()) {
        (void)entry.getPriority();
        (void)entry.getCenterX();
        (void)entry.getMinimumZ();
        (void)entry.getFile();
    }
    return 0;
}
