#pragma once

#include <tarvex/host/TypeRef.h>
#include <tarvex/maps/TarvexPowerMapArea.h>

#include <QByteArrayList>
#include <QFile>
#include <QObject>

#include <vector>

namespace Tarvex {

class TarvexPowerMapAreaList;

/// Reads the line format of older power maps: unit lines, map-area lines, and sections of
/// power blocks and leakage blocks, which cut the map area into rectangles. Everything is
/// converted to SI while reading. Errors are thrown as std::runtime_error.
class TarvexLegacyPowerMapReader : public QObject
{
    Q_OBJECT

public:
    explicit TarvexLegacyPowerMapReader(QObject* parent = nullptr);
    ~TarvexLegacyPowerMapReader() override;

    /// Reads the file at `path` into `areas` (replacing their content): the map area cut
    /// by every block, in list order. Throws std::runtime_error when the file cannot be
    /// opened or a line is malformed; the message names the file and the line.
    void read(const QString& path, std::vector<TarvexPowerMapArea>& areas);

private:
    bool readLine(QByteArray& line);
    QByteArrayList readCells(int expected);
    Geometry::Bound2D parseArea(const QByteArrayList& cells);
    void parsePowerBlocks(TarvexPowerMapAreaList& list);
    void parseLeakageBlocks(TarvexPowerMapAreaList& list);
    void place(TarvexPowerMapAreaList& list, const Geometry::Bound2D& block, const TarvexPowerData& data);
    int parseCount(const QByteArray& cell);
    double parseNumber(const QByteArray& cell);
    double toSI(const EntityModel::TypeRef& quantity, double value, const EntityModel::TypeRef& unit);
    [[noreturn]] void lineError(const QString& message) const;

    QFile m_file;
    int m_lineNumber = 0;
    EntityModel::TypeRef m_lengthUnit;
    EntityModel::TypeRef m_powerUnit;
    EntityModel::TypeRef m_temperatureUnit;
};

} // namespace Tarvex
