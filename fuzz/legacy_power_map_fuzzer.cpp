// Feeds arbitrary bytes to the legacy power-map reader through a temporary file. Malformed
// files must end in std::runtime_error, never in a crash or a hang.
#include "maps/TarvexLegacyPowerMapReader.h"

#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QTemporaryFile file;
    if (!file.open())
        return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.flush();
    std::vector<Tarvex::TarvexPowerMapArea> areas;
    try {
        Tarvex::TarvexLegacyPowerMapReader().read(file.fileName(), areas);
    } catch (const std::runtime_error&) {
        return 0;
    }
    double power = 0;
    for (const auto& area : areas) {
        if (area.data)
            power += area.data->power;
    }
    return power != power ? 0 : 0; // touch every result
}
