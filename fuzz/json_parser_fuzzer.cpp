// Feeds arbitrary bytes to the interchange JSON reader and walks what it returns: nothing
// may crash or hang, and a file it hands on is at the current version or newer.
// Qt 5.15's own JSON parser leaks the earlier value of a repeated key when that value is an
// object or array; the fuzzer entry suppresses those leaks (LibFuzzerEntry.cpp).
#include "FuzzInput.h"
#include "FuzzTarget.h"

#include "support/RecordingProgress.h"
#include <tarvex/interchange/TarvexTXMJsonParser.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

int fuzzOne(const uint8_t* data, size_t size)
{
    Fuzz::FuzzInput input(data, size);
    if (!input.isUsable())
        return 0;

    Tools::RecordingProgress progress;
    Tarvex::TarvexTXMJsonParser parser(&progress);
    const Tarvex::TXMJSONFile file = parser.read(input.device());

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
