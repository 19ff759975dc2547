// Feeds arbitrary bytes to the CSV density-grid reader through a temporary file. Any input
// must end in a record or in a reported failure, never in a crash or a hang.
#include "FuzzInput.h"
#include "FuzzTarget.h"

#include <tarvex/host/CSVParser.h>
#include <tarvex/maps/UniformGridMaterialMapImporter.h>

#include <cstddef>
#include <cstdint>

namespace {

// Counts what the parser hands over, so that every callback runs.
class Counter : public FileSystem::CSVParser::Handler
{
public:
    bool field(const char* text, size_t size) override
    {
        bytes += size + (text[size] == '\0' ? 0 : 1);
        return true;
    }
    bool endRow() override { return ++rows < 1000000; }
    size_t bytes = 0;
    size_t rows = 0;
};

} // namespace

int fuzzOne(const uint8_t* data, size_t size)
{
    const Fuzz::FuzzInput input(data, size);
    if (!input.isUsable())
        return 0;
    Counter counter;
    FileSystem::CSVParser().parse(input.bytes(), counter);

    Tarvex::UniformGridMaterialMapImporter importer(nullptr);
    const std::vector<Tarvex::MaterialMapData> records =
        importer.readMaterialMapData(input.writeFile(QStringLiteral("grid.csv")));
    double sum = 0;
    for (const Tarvex::MaterialMapData& record : records) {
        if (record.metalDensity.size() != size_t(record.rows) * size_t(record.columns))
            __builtin_trap();
        for (double value : record.metalDensity)
            sum += value;
    }
    return sum != sum ? 0 : 0; // touch every result
}
