// Feeds arbitrary bytes to the CSV density-grid reader through a temporary file. Any input
// must end in a record or in a reported failure, never in a crash or a hang.
#include "host/CSVParser.h"
#include "maps/UniformGridMaterialMapImporter.h"

#include <QTemporaryFile>

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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    Counter counter;
    FileSystem::CSVParser().parse(bytes, counter);

    QTemporaryFile file(QStringLiteral("XXXXXX.csv"));
    if (!file.open())
        return 0;
    file.write(bytes);
    file.flush();
    Tarvex::UniformGridMaterialMapImporter importer(nullptr);
    const std::vector<Tarvex::MaterialMapData> records = importer.readMaterialMapData(file.fileName());
    double sum = 0;
    for (const Tarvex::MaterialMapData& record : records) {
        if (record.metalDensity.size() != size_t(record.rows) * size_t(record.columns))
            __builtin_trap();
        for (double value : record.metalDensity)
            sum += value;
    }
    return sum != sum ? 0 : 0; // touch every result
}
