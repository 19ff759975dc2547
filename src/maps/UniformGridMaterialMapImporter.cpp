#include <tarvex/maps/UniformGridMaterialMapImporter.h>

#include <tarvex/host/CSVParser.h>
#include <tarvex/host/CellGrid.h>
#include <tarvex/maps/MaterialMapNumber.h>

#include <QFileInfo>

#include <algorithm>
#include <climits>
#include <new>

namespace Tarvex {

namespace {

// Collects the table row by row into the densities of one record.
class GridCollector : public FileSystem::CSVParser::Handler
{
public:
    GridCollector(const FileSystem::CSVParser& parser, std::vector<double>& values, qint64 fileSize)
        : m_parser(parser), m_values(values), m_fileSize(fileSize)
    {
    }

    bool field(const char* text, size_t size) override
    {
        if (m_rows == 0)
            m_firstRowBytes += qint64(size) + 1;
        double value = 0.0;
        if (!MaterialMapNumber::toDouble(text, size, value)) {
            value = 0.0;
            if (m_notNumbers++ == 0) {
                m_firstNotNumber = QString::fromUtf8(text, int(std::min<size_t>(size, 40)));
                m_firstNotNumberLine = m_parser.getLine();
                m_firstNotNumberColumn = m_inRow + 1;
            }
        }
        if (value < 0.0 && m_firstNegativeLine == 0)
            m_firstNegativeLine = m_parser.getLine();
        // Stopped as soon as the grid holds more cells than a model can: a large file is
        // refused before its cells take the memory.
        if (qint64(m_values.size()) >= EntityModel::CellGrid::MaximumModelCells) {
            m_tooLarge = true;
            // A first row that alone passes the limit is as wide as read so far.
            if (m_rows == 0)
                m_columns = m_inRow + 1;
            return false;
        }
        m_values.push_back(value);
        ++m_inRow;
        return true;
    }

    bool endRow() override
    {
        if (m_rows == 0) {
            m_columns = m_inRow;
            reserveForFile();
        } else if (m_inRow != m_columns) {
            m_badRowLine = m_parser.getLine();
            m_badRowLength = m_inRow;
            return false;
        }
        ++m_rows;
        m_inRow = 0;
        return true;
    }

    /// True when the read stopped at more cells than a model holds.
    bool tooLarge() const { return m_tooLarge; }
    int rows() const { return m_rows; }
    qint64 columns() const { return m_columns; }
    qint64 badRowLine() const { return m_badRowLine; }
    qint64 badRowLength() const { return m_badRowLength; }
    qint64 notNumbers() const { return m_notNumbers; }
    qint64 firstNegativeLine() const { return m_firstNegativeLine; }
    const QString& firstNotNumber() const { return m_firstNotNumber; }
    qint64 firstNotNumberLine() const { return m_firstNotNumberLine; }
    qint64 firstNotNumberColumn() const { return m_firstNotNumberColumn; }

private:
    // Room for as many rows as the file holds if they are as long as the first, so that a
    // large grid is not copied over and over while it grows. A quarter of the file's bytes
    // bounds what a short first row can ask for; beyond it the grid grows as it is read.
    void reserveForFile()
    {
        if (m_firstRowBytes <= 0 || m_columns <= 0)
            return;
        const qint64 rows = m_fileSize / m_firstRowBytes + 1;
        const qint64 wanted = std::min(rows * m_columns + rows * m_columns / 50, m_fileSize / 4 + 1);
        if (wanted <= qint64(m_values.size()))
            return;
        try {
            m_values.reserve(size_t(wanted));
        } catch (const std::bad_alloc&) {
            // Only room made ahead: without it the grid still grows as it is read.
        }
    }

    const FileSystem::CSVParser& m_parser;
    std::vector<double>& m_values;
    qint64 m_fileSize;
    qint64 m_firstRowBytes = 0;
    int m_rows = 0;
    qint64 m_columns = 0;
    qint64 m_inRow = 0;
    qint64 m_badRowLine = 0;
    qint64 m_badRowLength = 0;
    qint64 m_notNumbers = 0;
    qint64 m_firstNegativeLine = 0;
    QString m_firstNotNumber;
    qint64 m_firstNotNumberLine = 0;
    qint64 m_firstNotNumberColumn = 0;
    bool m_tooLarge = false;
};

} // namespace

UniformGridMaterialMapImporter::~UniformGridMaterialMapImporter() = default;

std::vector<MaterialMapData> UniformGridMaterialMapImporter::readMaterialMapDataImpl(const QString& path)
{
    if (path.isEmpty()) {
        fatalError(tr("Empty File Path Provided."));
        return {};
    }
    MaterialMapData record = createMaterialMapData(path);
    FileSystem::CSVParser parser;
    GridCollector collector(parser, record.metalDensity, QFileInfo(path).size());
    if (!parser.parseFile(path, collector)) {
        if (collector.tooLarge()) {
            // The row being read counts: its cells are past the limit.
            checkCellCount(qint64(collector.rows()) + 1, collector.columns());
        } else if (collector.badRowLine() > 0) {
            fatalError(tr("Row on line %1 has %2 columns where the first row has %3")
                           .arg(collector.badRowLine())
                           .arg(collector.badRowLength())
                           .arg(collector.columns()));
        } else if (!QFileInfo(path).isFile()) {
            fatalError(tr("Unable to open %1").arg(path));
        } else {
            fatalError(tr("Failed to read file - %1").arg(parser.getError()));
        }
        return {};
    }
    if (collector.rows() == 0 || collector.columns() == 0) {
        fatalError(tr("No columns or rows in file."));
        return {};
    }
    if (collector.columns() > INT_MAX) {
        fatalError(tr("Too many columns in file."));
        return {};
    }
    if (collector.firstNegativeLine() > 0) {
        fatalError(tr("Metal Density parsing failed - negative density on line %1").arg(collector.firstNegativeLine()));
        return {};
    }
    if (collector.notNumbers() > 0) {
        warning(tr("%1 cells are not numbers and count as 0, the first \"%2\" on line %3, column %4")
                    .arg(collector.notNumbers())
                    .arg(collector.firstNotNumber())
                    .arg(collector.firstNotNumberLine())
                    .arg(collector.firstNotNumberColumn()));
    }
    record.rows = collector.rows();
    record.columns = int(collector.columns());
    std::vector<MaterialMapData> records;
    records.push_back(std::move(record));
    return records;
}

} // namespace Tarvex
