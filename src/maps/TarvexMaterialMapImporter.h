#pragma once

#include <tarvex/host/BasicVersion.h>
#include <tarvex/maps/MaterialMapImporterBase.h>

#include <QDomElement>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Tarvex {

struct NorvaneTXMFormatParserNode;

/// Reads the tool's layout files: the text form (keywords LAYOUT, LENGTH, LAYOUT_MAP with
/// AREA and LAYER blocks holding GRID and METAL_DENSITY, or a single AREA layer) and the XML
/// form (root element "Layout", chosen by a file name ending in ".xml"). Each layer of the
/// file becomes one record.
class TarvexMaterialMapImporter : public MaterialMapImporterBase<int(MaterialMapType::TarvexLayout)>
{
    Q_OBJECT

public:
    /// Layouts of more layers (LAYER lines or elements, and single-layer areas) are refused
    /// while they are read, as are layouts whose layers hold more cells together than a model
    /// can (`CellGrid::MaximumModelCells`). Real stack-ups have at most a few hundred layers;
    /// each layer becomes host layers and cells, so an unbounded count would let a small file
    /// build a huge model.
    static constexpr int MaxLayoutLayers = 10000;

    using MaterialMapImporterBase::MaterialMapImporterBase;
    ~TarvexMaterialMapImporter() override;

    /// A metal used instead of the one each layer names (a warning tells when they differ).
    void setForcedMetal(const std::optional<std::string>& metal) { m_forcedMetal = metal; }
    const std::optional<std::string>& getForcedMetal() const { return m_forcedMetal; }
    /// A dielectric used instead of the one each layer names.
    void setForcedDielectric(const std::optional<std::string>& dielectric) { m_forcedDielectric = dielectric; }
    const std::optional<std::string>& getForcedDielectric() const { return m_forcedDielectric; }
    /// The layout version named by the last file read (empty when it named none).
    const EntityModel::BasicVersion& getLayoutVersion() const { return m_layoutVersion; }

    /// The layers of the text or XML layout file at `path`; empty after any failure.
    std::vector<MaterialMapData> readMaterialMapDataImpl(const QString& path) override;

protected:
    /// The density grid declared for the record being read.
    struct Grid
    {
        bool given = false;
        int rows = 0;
        int columns = 0;
    };

    /// Reads the text form.
    std::vector<MaterialMapData> readTXMMaterialMapDataImpl(const QString& path);
    /// Reads the XML form.
    std::vector<MaterialMapData> readXMLMaterialMapDataImpl(const QString& path);
    /// Name, materials, thickness and position from a text LAYER line.
    bool getTXMLayoutLayerNodeAttributes(const NorvaneTXMFormatParserNode& node, MaterialMapData& data);
    /// Grid sizes and densities from a text GRID or METAL_DENSITY node; others are ignored.
    bool parseTXMLayoutLayerChildrenOrSiblings(const NorvaneTXMFormatParserNode& node, MaterialMapData& data,
                                               Grid& grid);
    /// Name, materials, thickness and position from an XML LAYER element.
    bool getXMLLayerNodeAttributes(const QDomElement& layer, MaterialMapData& data);
    /// Grid sizes and densities from an XML GRID or METAL_DENSITY element; others are ignored.
    bool parseXMLLayerChildrenOrSiblings(const QDomElement& element, MaterialMapData& data, Grid& grid);

private:
    MaterialMapData newRecord(const QString& path, const std::vector<MaterialMapData>& records) const;
    bool setMaterials(MaterialMapData& data, const std::string& dielectric, const std::string& metal);
    bool setPosition(MaterialMapData& data, double thickness, double z);
    bool setGrid(Grid& grid, int rows, int columns);
    bool finishGrid(MaterialMapData& data, const Grid& grid);
    struct FollowingGrids;
    bool readFollowingGrids(const std::vector<std::unique_ptr<NorvaneTXMFormatParserNode>>& content, size_t first,
                            MaterialMapData& data, Grid& grid, FollowingGrids& following);
    bool takeFollowingGrids(const FollowingGrids& following, size_t first, MaterialMapData& data, Grid& grid);
    struct XMLFollowingGrids;
    bool readXMLFollowingGrids(const QDomElement& first, MaterialMapData& data, Grid& grid,
                               XMLFollowingGrids& following);
    bool takeXMLFollowingGrids(XMLFollowingGrids& following, const QDomElement& first, MaterialMapData& data,
                               Grid& grid);
    bool countLayer(const std::vector<MaterialMapData>& records);
    bool checkLayoutCells(const Grid& grid);
    // A later layer's share of the grid read once: `declared` and the densities from `start`.
    bool takeDensities(const Grid& declared, const std::vector<double>& densities, size_t start, MaterialMapData& data,
                       Grid& grid);
    bool readTextArea(const NorvaneTXMFormatParserNode& node, std::optional<Geometry::Bound2D>& area);
    bool readTextLayoutMap(const QString& path, const NorvaneTXMFormatParserNode& block,
                           std::vector<MaterialMapData>& records);
    bool readXMLArea(const QDomElement& element, MaterialMapData& data);
    bool readXMLLayoutMap(const QString& path, const QDomElement& map, std::vector<MaterialMapData>& records);
    bool setLengthUnit(const QString& unit);

    std::optional<std::string> m_forcedMetal;
    std::optional<std::string> m_forcedDielectric;
    EntityModel::BasicVersion m_layoutVersion;
    EntityModel::TypeRef m_lengthUnit;
    std::optional<Geometry::Bound2D> m_area;
    // The cells of the layers read so far.
    qint64 m_layoutCells = 0;
};

} // namespace Tarvex
