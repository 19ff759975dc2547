// Feeds arbitrary bytes to the legacy power-map reader through a temporary file. Malformed
// files must end in std::runtime_error, never in a crash or a hang.
#include "FuzzInput.h"
#include "FuzzTarget.h"

#include <tarvex/maps/TarvexLegacyPowerMapReader.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>

int fuzzOne(const uint8_t* data, size_t size)
{
    const Fuzz::FuzzInput input(data, size);
    if (!input.isUsable())
        return 0;
    const QString path = input.writeFile(QStringLiteral("power-map.txt"));
    std::vector<Tarvex::TarvexPowerMapArea> areas;
    try {
        Tarvex::TarvexLegacyPowerMapReader().read(path, areas);
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
