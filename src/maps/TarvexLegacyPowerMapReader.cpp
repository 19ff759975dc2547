#include <tarvex/maps/TarvexLegacyPowerMapReader.h>

#include <tarvex/host/UnitConverter.h>
#include <tarvex/maps/TarvexPowerMapAreaList.h>

#include <QFileInfo>

#include <cmath>
#include <stdexcept>

namespace Tarvex {

using EntityModel::TypeRef;

namespace {

// More blocks than this in one section is not a power map but a damaged count.
constexpr int MaxBlocksPerSection = 100000000;

// Ceiling on the rectangles the blocks cut the map area into. Maps drawn from a floorplan
// make some thousands; a few thousand blocks overlapping at random make millions, each
// costing time and memory, so the read stops here instead.
constexpr std::size_t MaxAreas = 300000;

QString unitAfterColon(const QByteArray& line, int keyLength)
{
    const int colon = line.indexOf(':', keyLength);
    return colon < 0 ? QString() : QString::fromUtf8(line.mid(colon + 1).trimmed());
}

} // namespace

TarvexLegacyPowerMapReader::TarvexLegacyPowerMapReader(QObject* parent) : QObject(parent) {}

TarvexLegacyPowerMapReader::~TarvexLegacyPowerMapReader() = default;

void TarvexLegacyPowerMapReader::read(const QString& path, std::vector<TarvexPowerMapArea>& areas)
{
    m_lineNumber = 0;
    m_lengthUnit = EntityModel::um_t;
    m_powerUnit = EntityModel::W_t;
    m_temperatureUnit = EntityModel::C_t;
    m_file.close();
    m_file.setFileName(path);
    // Folders and devices are not power maps; some devices never end.
    if (!QFileInfo(path).isFile() || !m_file.open(QIODevice::ReadOnly))
        throw std::runtime_error(tr("Failed to open %1 for reading").arg(path).toStdString());

    TarvexPowerMapAreaList list;
    QByteArray line;
    while (readLine(line)) {
        if (line.startsWith("POWER Unit")) {
            m_powerUnit = TypeRef(unitAfterColon(line, 10));
        } else if (line.startsWith("Length Unit")) {
            m_lengthUnit = TypeRef(unitAfterColon(line, 11));
        } else if (line.startsWith("AREA_LEAKAGE_POWER_MAP")) {
            if (!list.hasValidMapArea())
                throw std::runtime_error(tr("Invalid Power Map in AREA_LEAKAGE_POWER_MAP").toStdString());
            parseLeakageBlocks(list);
        } else if (line.startsWith("AREA_POWER_MAP")) {
            if (!list.hasValidMapArea())
                throw std::runtime_error(tr("Invalid Power Map in AREA_POWER_MAP").toStdString());
            parsePowerBlocks(list);
        } else if (line.startsWith("POWER_MAP_AREA")) {
            const QByteArrayList cells = line.split(' ');
            QByteArrayList kept;
            for (const QByteArray& cell : cells) {
                if (!cell.isEmpty())
                    kept << cell;
            }
            if (kept.size() != 5)
                lineError(tr("Invalid number of cells. Expected 5 Cell."));
            list.addMapArea(parseArea(kept));
        }
    }
    m_file.close();
    areas = list.areas();
}

bool TarvexLegacyPowerMapReader::readLine(QByteArray& line)
{
    while (!m_file.atEnd()) {
        line = m_file.readLine();
        ++m_lineNumber;
        if (line.endsWith('\n'))
            line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
        line.replace('\t', ' ');
        if (!line.trimmed().isEmpty())
            return true;
    }
    return false;
}

QByteArrayList TarvexLegacyPowerMapReader::readCells(int expected)
{
    QByteArray line;
    QByteArrayList cells;
    if (readLine(line)) {
        for (const QByteArray& cell : line.split(' ')) {
            if (!cell.isEmpty())
                cells << cell;
        }
    }
    if (cells.size() != expected) {
        lineError(expected == 5   ? tr("Invalid number of cells. Expected 5 Cell.")
                  : expected == 1 ? tr("Invalid number of cells. Expected 1 Cell.")
                                  : tr("Invalid number of cells. Expected 2 Cell."));
    }
    return cells;
}

Geometry::Bound2D TarvexLegacyPowerMapReader::parseArea(const QByteArrayList& cells)
{
    auto length = [this](const QByteArray& cell) { return toSI(EntityModel::Length_t, parseNumber(cell), m_lengthUnit); };
    return Geometry::Bound2D(Geometry::Vec2(length(cells[1]), length(cells[2])),
                             Geometry::Vec2(length(cells[3]), length(cells[4])));
}

void TarvexLegacyPowerMapReader::parsePowerBlocks(TarvexPowerMapAreaList& list)
{
    const int count = parseCount(readCells(1).front());
    for (int i = 0; i < count; ++i) {
        const QByteArrayList cells = readCells(5);
        const Geometry::Bound2D block(
            Geometry::Vec2(toSI(EntityModel::Length_t, parseNumber(cells[0]), m_lengthUnit),
                           toSI(EntityModel::Length_t, parseNumber(cells[1]), m_lengthUnit)),
            Geometry::Vec2(toSI(EntityModel::Length_t, parseNumber(cells[2]), m_lengthUnit),
                           toSI(EntityModel::Length_t, parseNumber(cells[3]), m_lengthUnit)));
        TarvexPowerData data;
        data.power = toSI(EntityModel::Power_t, parseNumber(cells[4]), m_powerUnit);
        place(list, block, data);
    }
}

void TarvexLegacyPowerMapReader::parseLeakageBlocks(TarvexPowerMapAreaList& list)
{
    const QByteArrayList header = readCells(2);
    const double temperature = toSI(EntityModel::Temperature_t, parseNumber(header[0]), m_temperatureUnit);
    const int count = parseCount(header[1]);
    for (int i = 0; i < count; ++i) {
        const QByteArrayList cells = readCells(5);
        const Geometry::Bound2D block(
            Geometry::Vec2(toSI(EntityModel::Length_t, parseNumber(cells[0]), m_lengthUnit),
                           toSI(EntityModel::Length_t, parseNumber(cells[1]), m_lengthUnit)),
            Geometry::Vec2(toSI(EntityModel::Length_t, parseNumber(cells[2]), m_lengthUnit),
                           toSI(EntityModel::Length_t, parseNumber(cells[3]), m_lengthUnit)));
        TarvexPowerData data;
        data.leakage.emplace_back(temperature, toSI(EntityModel::Power_t, parseNumber(cells[4]), m_powerUnit));
        place(list, block, data);
    }
}

void TarvexLegacyPowerMapReader::place(TarvexPowerMapAreaList& list, const Geometry::Bound2D& block,
                                       const TarvexPowerData& data)
{
    list.place(block, data);
    if (list.size() > MaxAreas)
        lineError(tr("The power blocks cut the map area into more than %1 rectangles.").arg(MaxAreas));
}

int TarvexLegacyPowerMapReader::parseCount(const QByteArray& cell)
{
    bool ok = false;
    const int count = cell.toInt(&ok, 10);
    if (!ok || count < 0 || count > MaxBlocksPerSection)
        lineError(tr("Invalid number of blocks \"%1\".").arg(QString::fromUtf8(cell)));
    return count;
}

double TarvexLegacyPowerMapReader::parseNumber(const QByteArray& cell)
{
    bool ok = false;
    const double value = cell.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        lineError(tr("Invalid number \"%1\".").arg(QString::fromUtf8(cell)));
    return value;
}

double TarvexLegacyPowerMapReader::toSI(const TypeRef& quantity, double value, const TypeRef& unit)
{
    bool ok = false;
    const double si = EntityModel::UnitConverter::instance().convertToSI(quantity, value, unit, &ok);
    if (!ok)
        lineError(EntityModel::UnitConverter::describeUnknown(quantity, unit) + QLatin1Char('.'));
    return si;
}

void TarvexLegacyPowerMapReader::lineError(const QString& message) const
{
    throw std::runtime_error(
        tr("%1\n%2 line %3").arg(message, QFileInfo(m_file.fileName()).fileName()).arg(m_lineNumber).toStdString());
}

} // namespace Tarvex
