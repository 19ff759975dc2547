#pragma once

#include <tarvex/host/PowerMapImporterBase.h>
#include <tarvex/maps/TarvexPowerBlockSlicer.h>

#include <optional>
#include <vector>

namespace Tarvex {

struct NorvaneTXMFormatParserNode;

/// Reads the text-format power map files of the Tarvex tools: a uniform grid of cell
/// powers ("power_map") or a list of power blocks ("area_power_map"), each optionally
/// followed by a leakage map of the same form at a leakage temperature, over a die area
/// ("die_area"), in the units of the "power" and "length" lines.
///
/// Overlapping blocks are cut into blocks that do not overlap, with power shared by area.
/// Every map after the first also carries the first map's power, and a leakage map is
/// linked with the map before it. Every malformed input ends in a fatal error and no
/// records.
class TarvexPowerMapImporter : public ServerConstructor::PowerMapImporterBase<3>
{
    Q_OBJECT

public:
    /// An importer reporting to `progress` (may be null).
    explicit TarvexPowerMapImporter(Tools::ToolProgress* progress, QObject* parent = nullptr);
    /// As above; with `reportApplied` set, applying posts an informational message per map.
    TarvexPowerMapImporter(bool reportApplied, Tools::ToolProgress* progress, QObject* parent = nullptr);
    ~TarvexPowerMapImporter() override;

private:
    using Block = TarvexPowerBlockSlicer::Block;
    using Node = NorvaneTXMFormatParserNode;
    struct GridTexts;

    std::vector<ServerConstructor::PowerMapData> readPowerMapDataImpl(const QString& path) override;
    std::vector<ServerConstructor::PowerMapData> readPowerMapDataGuarded(const QString& path);

    bool checkGridSize(const Node& keyword) const;
    bool getPowerMapAreaData(const Node& node, Geometry::Bound2D& bound) const;
    bool getPowerNodeData(const Node& node, int& columns, int& rows, std::vector<double>& values) const;
    bool getLeakagePowerNodeData(const Node& node, int& columns, int& rows, double& temperature,
                                 std::vector<double>& values) const;
    bool getAreaPowerMapData(const Node& node, const std::optional<Geometry::Bound2D>& dieArea,
                             std::vector<Geometry::Bound2D>& blocks, std::vector<double>& powers) const;
    bool getLeakageAreaPowerMapData(const Node& node, double& temperature,
                                    const std::optional<Geometry::Bound2D>& dieArea,
                                    std::vector<Geometry::Bound2D>& blocks, std::vector<double>& powers) const;
    bool slicePowerMapData(std::vector<Block>& blocks, std::vector<double>& powers) const;

    bool readGrid(const Node& node, const GridTexts& texts, double* temperature, int& columns, int& rows,
                  std::vector<double>& values) const;
    bool readBlocks(const Node& node, double* temperature, const std::optional<Geometry::Bound2D>& dieArea,
                    std::vector<Geometry::Bound2D>& blocks, std::vector<double>& powers) const;
    bool checkBlockTotal(size_t total) const;
    bool combine(std::vector<ServerConstructor::PowerMapData>& records) const;
    bool addGrids(ServerConstructor::PowerMapData& record, const ServerConstructor::PowerMapData& first, int rows,
                  int columns) const;
    bool addBlocks(ServerConstructor::PowerMapData& record, const ServerConstructor::PowerMapData& first) const;
};

} // namespace Tarvex
