#include <tarvex/maps/TarvexPowerMapImporter.h>

#include <tarvex/host/CellGrid.h>
#include <tarvex/host/MemoryGuard.h>
#include <tarvex/host/UnitConverter.h>
#include <tarvex/maps/NorvaneTXMFormatParser.h>

#include <QByteArray>
#include <QFileInfo>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>

using ServerConstructor::PowerMapData;

namespace Tarvex {

namespace {

constexpr double ContainTolerance = 1e-9;
// Grids of different sizes are combined on their least common multiple; beyond this many
// cells that grid says more about the file than about the die.
constexpr long long MaxCombinedCells = 1LL << 24;

const char* const DataName = "__data";

bool toNumber(const std::string& text, double& value)
{
    bool ok = false;
    value = QByteArray::fromStdString(text).toDouble(&ok);
    return ok && std::isfinite(value);
}

enum class Count { Valid, NotANumber, Invalid };

// A count of rows, columns or blocks: a whole number from `least` up to INT_MAX.
Count toCount(const std::string& text, int least, int& value)
{
    bool ok = false;
    const qlonglong whole = QByteArray::fromStdString(text).toLongLong(&ok);
    if (!ok) {
        double number = 0;
        return toNumber(text, number) ? Count::Invalid : Count::NotANumber;
    }
    if (whole < least || whole > INT_MAX)
        return Count::Invalid;
    value = int(whole);
    return Count::Valid;
}

bool allData(const NorvaneTXMFormatParserNode& node)
{
    return std::all_of(node.children.begin(), node.children.end(),
                       [](const std::unique_ptr<NorvaneTXMFormatParserNode>& child) { return child->name == DataName; });
}

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

long long leastCommonMultiple(long long a, long long b) { return a == 0 || b == 0 ? 0 : a / std::gcd(a, b) * b; }

// Each cell of a grid record as a block of its die area, in stored order.
void gridBlocks(const PowerMapData& record, std::vector<TarvexPowerBlockSlicer::Block>& blocks)
{
    const Geometry::Bound2D& area = *record.area;
    const double width = area.getSize().x;
    const double height = area.getSize().y;
    for (int row = 0; row < record.rows; ++row) {
        for (int column = 0; column < record.columns; ++column) {
            blocks.push_back({area.getLow().x + width * column / record.columns,
                              area.getLow().y + height * row / record.rows,
                              area.getLow().x + width * (column + 1) / record.columns,
                              area.getLow().y + height * (row + 1) / record.rows});
        }
    }
}

} // namespace

// The messages of one kind of grid map.
struct TarvexPowerMapImporter::GridTexts
{
    QString format;
    QString size;
    QString rows;
    QString columns;
    QString parse;
};

TarvexPowerMapImporter::TarvexPowerMapImporter(Tools::ToolProgress* progress, QObject* parent)
    : PowerMapImporterBase<3>(progress, parent)
{
}

TarvexPowerMapImporter::TarvexPowerMapImporter(bool reportApplied, Tools::ToolProgress* progress, QObject* parent)
    : PowerMapImporterBase<3>(reportApplied, progress, parent)
{
}

TarvexPowerMapImporter::~TarvexPowerMapImporter() = default;

std::vector<PowerMapData> TarvexPowerMapImporter::readPowerMapDataImpl(const QString& path)
{
    return EntityModel::MemoryGuard::run(nullptr, *this, tr("Import Power Map"), std::vector<PowerMapData>(),
                                         [&] { return readPowerMapDataGuarded(path); });
}

std::vector<PowerMapData> TarvexPowerMapImporter::readPowerMapDataGuarded(const QString& path)
{
    NorvaneTXMFormatParser parser(path.toStdString(), getProgress());
    parser.setDataCheck([this](const Node& keyword) { return keyword.children.size() != 1 || checkGridSize(keyword); });
    if (!parser.parseFile()) {
        fatalError(parser.unreadFileMessage(path));
        return {};
    }

    std::vector<PowerMapData> records;
    EntityModel::TypeRef powerUnit = getDefaultPowerUnit();
    EntityModel::TypeRef lengthUnit = getDefaultLengthUnit();
    std::optional<Geometry::Bound2D> dieArea;
    bool haveGrid = false;
    // The blocks of all maps together: each is saved, so the file's maps share one limit.
    size_t blockTotal = 0;
    const auto newRecord = [&]() {
        PowerMapData record = createPowerMapData(path);
        record.powerUnit = powerUnit;
        record.lengthUnit = lengthUnit;
        record.area = dieArea;
        return record;
    };
    // A leakage map and the map before it point at each other.
    const auto linkLeakage = [&records](double temperature) {
        const int n = int(records.size()) - 1;
        if (n < 1)
            return;
        records[size_t(n)].links.push_back({n, n - 1, temperature});
        records[size_t(n) - 1].links.push_back({n - 1, n, temperature});
    };

    for (const auto& child : parser.getRootNode()->children) {
        const std::string name = lowered(child->name);
        if (name == "power") {
            if (!child->values.empty())
                powerUnit = EntityModel::TypeRef(QString::fromStdString(child->values.back()));
        } else if (name == "length") {
            if (!child->values.empty())
                lengthUnit = EntityModel::TypeRef(QString::fromStdString(child->values.back()));
        } else if (name == "die_area" || name == "power_map_area") {
            Geometry::Bound2D area;
            if (!getPowerMapAreaData(*child, area))
                return {};
            dieArea = area;
        } else if (name == "power_map") {
            if (haveGrid) {
                warning(tr("Multiple power maps in file, only the first will be applied."));
                continue;
            }
            PowerMapData record = newRecord();
            if (!getPowerNodeData(*child, record.columns, record.rows, record.powers))
                return {};
            haveGrid = true;
            records.push_back(std::move(record));
        } else if (name == "area_power_map") {
            PowerMapData record = newRecord();
            if (!getAreaPowerMapData(*child, dieArea, record.blocks, record.powers) ||
                !checkBlockTotal(blockTotal += record.blocks.size()))
                return {};
            record.rows = int(record.blocks.size()) + 1;
            record.columns = 5;
            records.push_back(std::move(record));
        } else if (name == "leakage_power_map") {
            PowerMapData record = newRecord();
            double temperature = 0;
            if (!getLeakagePowerNodeData(*child, record.columns, record.rows, temperature, record.powers))
                return {};
            records.push_back(std::move(record));
            linkLeakage(temperature);
        } else if (name == "area_leakage_power_map") {
            PowerMapData record = newRecord();
            double temperature = 0;
            if (!getLeakageAreaPowerMapData(*child, temperature, dieArea, record.blocks, record.powers) ||
                !checkBlockTotal(blockTotal += record.blocks.size()))
                return {};
            record.rows = int(record.blocks.size()) + 1;
            record.columns = 5;
            records.push_back(std::move(record));
            linkLeakage(temperature);
        } else if (name == "start_power_map_definition" || name == "start_power_map_total_power") {
            fatalError(tr("Power maps are not supported in this version of Tarvex. Please use the area power map "
                          "format instead."));
            return {};
        }
    }

    if (!combine(records))
        return {};
    const QString baseName = QFileInfo(path).completeBaseName();
    for (size_t i = 0; i < records.size(); ++i) {
        const QString name = records.size() < 2 ? baseName : QStringLiteral("%1 (%2)").arg(baseName).arg(i + 1);
        records[i].name = name.toStdString();
    }
    return records;
}

bool TarvexPowerMapImporter::checkGridSize(const Node& keyword) const
{
    const std::string name = lowered(keyword.name);
    if (name != "power_map" && name != "leakage_power_map")
        return true;
    // A leakage grid's size line starts with its temperature.
    const size_t first = name == "power_map" ? 0 : 1;
    const NorvaneTXMFormatParserValues& head = keyword.children.front()->values;
    int columns = 0;
    int rows = 0;
    // A size that is no count is left to the reader of the map, which says what is wrong.
    if (head.size() < first + 2 || toCount(head[first], 1, columns) != Count::Valid ||
        toCount(head[first + 1], 1, rows) != Count::Valid)
        return true;
    if (EntityModel::CellGrid::fitsModel(rows, columns))
        return true;
    fatalError(EntityModel::CellGrid::tooManyCellsMessage(tr("power map"), rows, columns));
    return false;
}

bool TarvexPowerMapImporter::getPowerMapAreaData(const Node& node, Geometry::Bound2D& bound) const
{
    if (node.values.size() < 4) {
        fatalError(tr("Invalid power map area data in power map file."));
        return false;
    }
    double corners[4];
    for (size_t i = 0; i < 4; ++i) {
        if (!toNumber(node.values[i], corners[i])) {
            fatalError(tr("Error parsing area data"));
            return false;
        }
    }
    bound = Geometry::Bound2D(Geometry::Vec2(corners[0], corners[1]), Geometry::Vec2(corners[2], corners[3]));
    // A die without an area can hold neither blocks nor grid cells.
    if (!(bound.getSize().x * bound.getSize().y >= TarvexPowerBlockSlicer::AreaTolerance)) {
        fatalError(tr("Invalid power map area data in power map file."));
        return false;
    }
    return true;
}

bool TarvexPowerMapImporter::getPowerNodeData(const Node& node, int& columns, int& rows, std::vector<double>& values) const
{
    const GridTexts texts{tr("Invalid data format in power map file."), tr("Invalid size data in power map file."),
                          tr("Missing rows in power map file."),        tr("Missing columns in power map file."),
                          tr("Error parsing power map data")};
    return readGrid(node, texts, nullptr, columns, rows, values);
}

bool TarvexPowerMapImporter::getLeakagePowerNodeData(const Node& node, int& columns, int& rows, double& temperature,
                                                     std::vector<double>& values) const
{
    const GridTexts texts{tr("Invalid data format in leakage power map file."),
                          tr("Invalid size data in leakage power map file."),
                          tr("Missing rows in leakage power map file."),
                          tr("Missing columns in power map file."),
                          tr("Error parsing leakage power map data")};
    return readGrid(node, texts, &temperature, columns, rows, values);
}

bool TarvexPowerMapImporter::readGrid(const Node& node, const GridTexts& texts, double* temperature, int& columns,
                                      int& rows, std::vector<double>& values) const
{
    if (!allData(node)) {
        fatalError(texts.format);
        return false;
    }
    const size_t first = temperature ? 1 : 0;
    if (node.children.empty() || node.children.front()->values.size() < first + 2) {
        fatalError(texts.size);
        return false;
    }
    const NorvaneTXMFormatParserValues& head = node.children.front()->values;
    if (temperature && !toNumber(head[0], *temperature)) {
        fatalError(texts.parse);
        return false;
    }
    int sizes[2] = {0, 0};
    for (size_t i = 0; i < 2; ++i) {
        const Count count = toCount(head[first + i], 1, sizes[i]);
        if (count != Count::Valid) {
            fatalError(count == Count::NotANumber ? texts.parse : texts.size);
            return false;
        }
    }
    const size_t lines = node.children.size() - 1;
    if (lines != size_t(sizes[1])) {
        // One text for a row count that does not match, whichever way; the counts follow it.
        fatalError(tr("%1 Rows declared: %2, given: %3.").arg(texts.rows).arg(sizes[1]).arg(qulonglong(lines)));
        return false;
    }
    // Every line is checked before the grid is made, so a declared size never allocates
    // more than the file holds.
    for (size_t line = 1; line <= lines; ++line) {
        if (node.children[line]->values.size() != size_t(sizes[0])) {
            fatalError(texts.columns);
            return false;
        }
    }
    columns = sizes[0];
    rows = sizes[1];
    values.assign(size_t(columns) * size_t(rows), 0.0);
    // The file lists the top row first; the grid is stored bottom-up.
    for (size_t line = 1; line <= lines; ++line) {
        const NorvaneTXMFormatParserValues& cells = node.children[line]->values;
        const size_t row = size_t(rows) - line;
        for (size_t column = 0; column < cells.size(); ++column) {
            if (!toNumber(cells[column], values[size_t(columns) * row + column])) {
                fatalError(texts.parse);
                return false;
            }
        }
    }
    return true;
}

bool TarvexPowerMapImporter::getAreaPowerMapData(const Node& node, const std::optional<Geometry::Bound2D>& dieArea,
                                                 std::vector<Geometry::Bound2D>& blocks, std::vector<double>& powers) const
{
    return readBlocks(node, nullptr, dieArea, blocks, powers);
}

bool TarvexPowerMapImporter::getLeakageAreaPowerMapData(const Node& node, double& temperature,
                                                        const std::optional<Geometry::Bound2D>& dieArea,
                                                        std::vector<Geometry::Bound2D>& blocks,
                                                        std::vector<double>& powers) const
{
    return readBlocks(node, &temperature, dieArea, blocks, powers);
}

bool TarvexPowerMapImporter::readBlocks(const Node& node, double* temperature,
                                        const std::optional<Geometry::Bound2D>& dieArea,
                                        std::vector<Geometry::Bound2D>& blocks, std::vector<double>& powers) const
{
    if (!allData(node)) {
        fatalError(tr("Invalid data format in power map file."));
        return false;
    }
    const size_t first = temperature ? 1 : 0;
    if (node.children.empty() || node.children.front()->values.size() < first + 1) {
        fatalError(tr("Invalid size data in power map file."));
        return false;
    }
    const NorvaneTXMFormatParserValues& head = node.children.front()->values;
    if (temperature && !toNumber(head[0], *temperature)) {
        fatalError(tr("Error parsing area power map data"));
        return false;
    }
    int count = 0;
    if (const Count result = toCount(head[first], 0, count); result != Count::Valid) {
        fatalError(result == Count::NotANumber ? tr("Error parsing area power map data")
                                               : tr("Invalid size data in power map file."));
        return false;
    }
    const size_t lines = node.children.size() - 1;
    if (lines != size_t(count)) {
        // One text for a block count that does not match, whichever way; the counts follow it.
        fatalError(tr("%1 Blocks declared: %2, given: %3.")
                       .arg(tr("Missing area power blocks in power map file."))
                       .arg(count)
                       .arg(qulonglong(lines)));
        return false;
    }
    if (count == 0) {
        fatalError(tr("No area power blocks found in power map file."));
        return false;
    }
    if (!dieArea) {
        fatalError(tr("No die area before the area power blocks in power map file."));
        return false;
    }

    std::vector<Block> read;
    read.reserve(lines);
    powers.clear();
    powers.reserve(lines);
    for (size_t line = 1; line <= lines; ++line) {
        const NorvaneTXMFormatParserValues& cells = node.children[line]->values;
        if (cells.size() != 5) {
            fatalError(tr("Missing are power data in power map file."));
            return false;
        }
        double numbers[5];
        for (size_t i = 0; i < 5; ++i) {
            if (!toNumber(cells[i], numbers[i])) {
                fatalError(tr("Error parsing area power map data"));
                return false;
            }
        }
        const Geometry::Bound2D block(Geometry::Vec2(numbers[0], numbers[1]), Geometry::Vec2(numbers[2], numbers[3]));
        if (!dieArea->contains(block, ContainTolerance)) {
            fatalError(tr("Area power block out of bounds in power map file."));
            return false;
        }
        if (!(block.getSize().x * block.getSize().y >= TarvexPowerBlockSlicer::AreaTolerance)) {
            fatalError(tr("Area power block has no area in power map file."));
            return false;
        }
        read.push_back({block.getLow().x, block.getLow().y, block.getHigh().x, block.getHigh().y});
        powers.push_back(numbers[4]);
    }

    const bool sliced = slicePowerMapData(read, powers);
    blocks.clear();
    blocks.reserve(read.size());
    for (const Block& block : read)
        blocks.emplace_back(Geometry::Vec2(block.xLow, block.yLow), Geometry::Vec2(block.xHigh, block.yHigh));
    const bool finite = std::all_of(powers.begin(), powers.end(), [](double power) { return std::isfinite(power); });
    if (!sliced || blocks.size() != powers.size() || !finite) {
        fatalError(tr("Failed to load power blocks from power map file."));
        return false;
    }
    return true;
}

bool TarvexPowerMapImporter::slicePowerMapData(std::vector<Block>& blocks, std::vector<double>& powers) const
{
    switch (TarvexPowerBlockSlicer::slice(blocks, powers)) {
    case TarvexPowerBlockSlicer::Result::Sliced:
        return true;
    case TarvexPowerBlockSlicer::Result::TooManyBlocks:
        fatalError(tr("Slicing the overlapping power blocks makes more than %1 blocks.")
                       .arg(TarvexPowerBlockSlicer::DefaultBlockLimit));
        return false;
    case TarvexPowerBlockSlicer::Result::BadInput:
        break;
    }
    return false;
}

bool TarvexPowerMapImporter::combine(std::vector<PowerMapData>& records) const
{
    if (records.size() < 2)
        return true;
    long long rows = 1;
    long long columns = 1;
    long long largest = MaxCombinedCells;
    for (const PowerMapData& record : records) {
        if (!record.isAreaMap())
            largest = std::max(largest, (long long)record.rows * record.columns);
    }
    for (const PowerMapData& record : records) {
        if (record.isAreaMap())
            continue;
        rows = leastCommonMultiple(rows, record.rows);
        columns = leastCommonMultiple(columns, record.columns);
        if (rows > largest || columns > largest || rows * columns > largest) {
            fatalError(tr("The grids of the power maps are too large to be combined (more than %1 cells in common).")
                           .arg(largest));
            return false;
        }
    }
    const PowerMapData& first = records.front();
    // Each map after the first takes the first's blocks too.
    size_t blockTotal = first.blocks.size();
    for (size_t i = 1; i < records.size(); ++i) {
        const bool combined = records[i].isAreaMap() || first.isAreaMap()
                                  ? addBlocks(records[i], first)
                                  : addGrids(records[i], first, int(rows), int(columns));
        if (!combined || !checkBlockTotal(blockTotal += records[i].blocks.size()))
            return false;
    }
    return true;
}

bool TarvexPowerMapImporter::checkBlockTotal(size_t total) const
{
    if (total <= TarvexPowerBlockSlicer::DefaultBlockLimit)
        return true;
    fatalError(tr("The power maps of the file hold more than %1 blocks together.")
                   .arg(TarvexPowerBlockSlicer::DefaultBlockLimit));
    return false;
}

namespace {

// The factor that turns a value of `quantity` in `from` into `to`; exactly 1 for one unit.
bool unitFactor(const EntityModel::TypeRef& quantity, const EntityModel::TypeRef& from, const EntityModel::TypeRef& to,
                double& factor, QString& problem)
{
    factor = 1.0;
    if (from == to)
        return true;
    const EntityModel::UnitConverter& units = EntityModel::UnitConverter::instance();
    for (const EntityModel::TypeRef& unit : {from, to}) {
        if (!units.isKnown(quantity, unit)) {
            problem = EntityModel::UnitConverter::describeUnknown(quantity, unit);
            return false;
        }
    }
    factor = units.convertToSI(quantity, 1.0, from) / units.convertToSI(quantity, 1.0, to);
    return true;
}

} // namespace

bool TarvexPowerMapImporter::addGrids(PowerMapData& record, const PowerMapData& first, int rows, int columns) const
{
    double powerFactor = 1.0;
    QString problem;
    if (!unitFactor(EntityModel::Power_t, first.powerUnit, record.powerUnit, powerFactor, problem)) {
        fatalError(problem);
        return false;
    }
    // Both grids are sampled onto the common grid, each cell taking the value of the cell
    // it falls in.
    const auto sample = [rows, columns](const PowerMapData& grid, int row, int column) {
        const long long sourceRow = (long long)row * grid.rows / rows;
        const long long sourceColumn = (long long)column * grid.columns / columns;
        return grid.powers[size_t(sourceRow * grid.columns + sourceColumn)];
    };
    std::vector<double> values(size_t(rows) * size_t(columns));
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const double added = powerFactor == 1.0 ? sample(first, row, column) : sample(first, row, column) * powerFactor;
            values[size_t(row) * size_t(columns) + size_t(column)] = sample(record, row, column) + added;
        }
    }
    record.powers = std::move(values);
    record.rows = rows;
    record.columns = columns;
    return true;
}

bool TarvexPowerMapImporter::addBlocks(PowerMapData& record, const PowerMapData& first) const
{
    const QString failure = tr("Failed to overlap area and grid based power maps.");
    // A grid joins the slicing as one block per cell of its die area.
    if ((!record.isAreaMap() && !record.area) || (!first.isAreaMap() && !first.area)) {
        fatalError(failure);
        return false;
    }
    double powerFactor = 1.0;
    double lengthFactor = 1.0;
    QString problem;
    if (!unitFactor(EntityModel::Power_t, first.powerUnit, record.powerUnit, powerFactor, problem) ||
        !unitFactor(EntityModel::Length_t, first.lengthUnit, record.lengthUnit, lengthFactor, problem)) {
        fatalError(problem);
        fatalError(failure);
        return false;
    }
    std::vector<Block> blocks;
    std::vector<double> powers;
    const auto append = [&blocks, &powers](const PowerMapData& source, double powerScale, double lengthScale) {
        if (source.isAreaMap()) {
            for (const Geometry::Bound2D& block : source.blocks)
                blocks.push_back({block.getLow().x, block.getLow().y, block.getHigh().x, block.getHigh().y});
        } else {
            gridBlocks(source, blocks);
        }
        powers.insert(powers.end(), source.powers.begin(), source.powers.end());
        if (lengthScale != 1.0) {
            for (size_t i = blocks.size() - (source.isAreaMap() ? source.blocks.size() : source.powers.size());
                 i < blocks.size(); ++i)
                blocks[i] = {blocks[i].xLow * lengthScale, blocks[i].yLow * lengthScale, blocks[i].xHigh * lengthScale,
                             blocks[i].yHigh * lengthScale};
        }
        if (powerScale != 1.0) {
            for (size_t i = powers.size() - source.powers.size(); i < powers.size(); ++i)
                powers[i] *= powerScale;
        }
    };
    append(record, 1.0, 1.0);
    append(first, powerFactor, lengthFactor);
    if (!slicePowerMapData(blocks, powers) ||
        !std::all_of(powers.begin(), powers.end(), [](double power) { return std::isfinite(power); })) {
        fatalError(failure);
        return false;
    }
    record.blocks.clear();
    for (const Block& block : blocks)
        record.blocks.emplace_back(Geometry::Vec2(block.xLow, block.yLow), Geometry::Vec2(block.xHigh, block.yHigh));
    record.powers = std::move(powers);
    record.rows = int(record.blocks.size()) + 1;
    record.columns = 5;
    return true;
}

} // namespace Tarvex
