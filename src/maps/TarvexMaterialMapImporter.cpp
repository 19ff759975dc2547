#include <tarvex/maps/TarvexMaterialMapImporter.h>

#include <tarvex/host/CellGrid.h>
#include <tarvex/host/UnitConverter.h>
#include <tarvex/host/XMLDOMReader.h>
#include <tarvex/maps/MaterialMapNumber.h>
#include <tarvex/maps/NorvaneTXMFormatParser.h>

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cctype>
#include <cmath>

using namespace EntityModel;
using Geometry::Bound2D;
using Geometry::Vec2;

namespace Tarvex {

namespace {

using Node = NorvaneTXMFormatParserNode;

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

bool isDataLine(const Node& node)
{
    return node.name == "__data";
}

QString shown(const std::string& text)
{
    return QString::fromUtf8(text.data(), int(std::min<size_t>(text.size(), 40)));
}

// The first child element whose tag is `tag` in any case.
QDomElement childElement(const QDomElement& parent, const QString& tag)
{
    for (QDomElement child = parent.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        if (child.tagName().compare(tag, Qt::CaseInsensitive) == 0)
            return child;
    }
    return QDomElement();
}

QDomElement nextSiblingElement(const QDomElement& element, const QString& tag)
{
    for (QDomElement next = element.nextSiblingElement(); !next.isNull(); next = next.nextSiblingElement()) {
        if (next.tagName().compare(tag, Qt::CaseInsensitive) == 0)
            return next;
    }
    return QDomElement();
}

bool isXMLPath(const QString& path)
{
    return path.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive);
}

} // namespace

TarvexMaterialMapImporter::~TarvexMaterialMapImporter() = default;

std::vector<MaterialMapData> TarvexMaterialMapImporter::readMaterialMapDataImpl(const QString& path)
{
    m_layoutVersion = BasicVersion();
    m_lengthUnit = getDefaultLengthUnit();
    m_area.reset();
    m_layoutCells = 0;
    return isXMLPath(path) ? readXMLMaterialMapDataImpl(path) : readTXMMaterialMapDataImpl(path);
}

MaterialMapData TarvexMaterialMapImporter::newRecord(const QString& path,
                                                     const std::vector<MaterialMapData>& records) const
{
    MaterialMapData data = createMaterialMapData(path);
    if (m_forcedMetal)
        data.metal = *m_forcedMetal;
    if (m_forcedDielectric)
        data.dielectric = *m_forcedDielectric;
    data.area = m_area;
    data.lengthUnit = m_lengthUnit;
    // A layer without a position of its own lies on the one before it.
    if (!records.empty())
        data.upPos = records.back().upPos + records.back().thickness;
    return data;
}

bool TarvexMaterialMapImporter::setMaterials(MaterialMapData& data, const std::string& dielectric,
                                             const std::string& metal)
{
    data.metal = metal;
    if (m_forcedMetal && *m_forcedMetal != metal) {
        warning(tr("Material Map file defines Metal as %1, but forcing %2")
                    .arg(QString::fromStdString(metal), QString::fromStdString(*m_forcedMetal)));
        data.metal = *m_forcedMetal;
    }
    data.dielectric = dielectric;
    if (m_forcedDielectric && *m_forcedDielectric != dielectric) {
        warning(tr("Material Map file defines Dielectric as %1, but forcing %2")
                    .arg(QString::fromStdString(dielectric), QString::fromStdString(*m_forcedDielectric)));
        data.dielectric = *m_forcedDielectric;
    }
    if (data.metal == data.dielectric)
        showInformational(tr("Using same material for dielectric and metal"));
    return true;
}

bool TarvexMaterialMapImporter::setPosition(MaterialMapData& data, double thickness, double z)
{
    if (thickness == 0.0) {
        fatalError(tr("Invalid layer data - the layer %1 has no thickness").arg(QString::fromStdString(data.name)));
        return false;
    }
    // A negative thickness reaches down from z, so that the record's position stays its bottom.
    data.thickness = std::abs(thickness);
    data.upPos = thickness < 0.0 ? z - data.thickness : z;
    return true;
}

bool TarvexMaterialMapImporter::setGrid(Grid& grid, int rows, int columns)
{
    if (rows < 1 || columns < 1) {
        fatalError(tr("Invalid grid data"));
        return false;
    }
    if (grid.given && (grid.rows != rows || grid.columns != columns)) {
        fatalError(tr("Conflicting grid sizes"));
        return false;
    }
    if (!checkCellCount(rows, columns))
        return false;
    grid = Grid{true, rows, columns};
    return true;
}

bool TarvexMaterialMapImporter::countLayer(const std::vector<MaterialMapData>& records)
{
    if (records.size() < size_t(MaxLayoutLayers))
        return true;
    fatalError(tr("The layout has more than %1 layers").arg(MaxLayoutLayers));
    return false;
}

bool TarvexMaterialMapImporter::checkLayoutCells(const Grid& grid)
{
    if (!grid.given)
        return true;
    const qint64 total = m_layoutCells + qint64(grid.rows) * qint64(grid.columns);
    if (total <= CellGrid::MaximumModelCells)
        return true;
    fatalError(tr("The layers of the material map hold %1 cells together, more than the %2 cells a model can hold")
                   .arg(total)
                   .arg(CellGrid::MaximumModelCells));
    return false;
}

bool TarvexMaterialMapImporter::finishGrid(MaterialMapData& data, const Grid& grid)
{
    data.rows = grid.given ? grid.rows : 0;
    data.columns = grid.given ? grid.columns : 0;
    if (data.rows < 1 || data.columns < 1) {
        data.metalDensity.clear();
        return true;
    }
    if (!checkLayoutCells(grid))
        return false;
    const size_t cells = size_t(data.rows) * size_t(data.columns);
    m_layoutCells += qint64(cells);
    const bool negative =
        std::any_of(data.metalDensity.begin(), data.metalDensity.end(), [](double value) { return value < 0.0; });
    if (negative || data.metalDensity.size() < cells) {
        fatalError(tr("Metal Density parsing failed"));
        return false;
    }
    // Densities of later layers, read as siblings, belong to those layers.
    data.metalDensity.resize(cells);
    return true;
}

bool TarvexMaterialMapImporter::setLengthUnit(const QString& unit)
{
    if (!UnitConverter::instance().isKnown(Length_t, TypeRef(unit))) {
        fatalError(UnitConverter::describeUnknown(Length_t, TypeRef(unit)));
        return false;
    }
    m_lengthUnit = TypeRef(unit);
    return true;
}

// ---- Text form ----

// The grid nodes after the first layer that takes every grid after it (a LAYER line of a
// layout map, or a single-layer AREA), read once: reading them again for each such layer
// made layouts quadratic. Once the first has read them all without fault, the grids after
// any later one are the same grid with the densities from there on.
struct TarvexMaterialMapImporter::FollowingGrids
{
    bool read = false;
    Grid grid;
    // The index of the first node read.
    size_t first = 0;
    // The densities of all grid nodes from the first node on, in file order.
    std::vector<double> densities;
    // For each node from the first on: where its densities start, and whether a grid is
    // declared at or after it.
    std::vector<size_t> densityStart;
    std::vector<bool> gridFollows;
};

bool TarvexMaterialMapImporter::readFollowingGrids(const std::vector<std::unique_ptr<Node>>& content, size_t first,
                                                   MaterialMapData& data, Grid& grid, FollowingGrids& following)
{
    following.first = first;
    following.densityStart.reserve(content.size() - first);
    for (size_t j = first; j < content.size(); ++j) {
        following.densityStart.push_back(data.metalDensity.size());
        if (!parseTXMLayoutLayerChildrenOrSiblings(*content[j], data, grid))
            return false;
    }
    following.gridFollows.assign(content.size() - first, false);
    bool declared = false;
    for (size_t j = content.size(); j-- > first;) {
        const Node& node = *content[j];
        const std::string name = lowered(node.name);
        declared = declared || name == "grid" || (name == "metal_density" && node.children.size() > 1);
        following.gridFollows[j - first] = declared;
    }
    following.read = true;
    following.grid = grid;
    following.densities = data.metalDensity;
    return true;
}

bool TarvexMaterialMapImporter::takeDensities(const Grid& declared, const std::vector<double>& densities,
                                              size_t start, MaterialMapData& data, Grid& grid)
{
    grid = declared;
    if (!checkLayoutCells(grid))
        return false;
    const size_t cells = size_t(grid.rows) * size_t(grid.columns);
    const size_t count = std::min(cells, densities.size() - start);
    data.metalDensity.assign(densities.begin() + long(start), densities.begin() + long(start + count));
    return true;
}

bool TarvexMaterialMapImporter::takeFollowingGrids(const FollowingGrids& following, size_t first,
                                                   MaterialMapData& data, Grid& grid)
{
    const size_t at = first - following.first;
    if (at >= following.gridFollows.size() || !following.gridFollows[at])
        return true;
    return takeDensities(following.grid, following.densities, following.densityStart[at], data, grid);
}

std::vector<MaterialMapData> TarvexMaterialMapImporter::readTXMMaterialMapDataImpl(const QString& path)
{
    NorvaneTXMFormatParser parser(path.toStdString(), getProgress());
    // A LAYER line makes a layer, and so does an AREA line outside a layout map.
    int layers = 0;
    int areas = 0;
    parser.setKeywordCheck([this, &layers, &areas](const Node& node) {
        const std::string name = lowered(node.name);
        const int count = name == "layer"                       ? ++layers
                          : name == "area" || name == "die_area" ? ++areas
                                                                  : 0;
        if (count <= MaxLayoutLayers)
            return true;
        fatalError(tr("The layout has more than %1 layers").arg(MaxLayoutLayers));
        return false;
    });
    if (!parser.parseFile()) {
        fatalError(parser.unreadFileMessage(path));
        return {};
    }
    const std::vector<std::unique_ptr<Node>>& top = parser.getRootNode()->children;
    const auto lastLayer = std::find_if(top.rbegin(), top.rend(),
                                        [](const std::unique_ptr<Node>& n) { return lowered(n->name) == "layer"; });
    const size_t lastLayerIndex = lastLayer == top.rend() ? 0 : size_t(top.rend() - lastLayer) - 1;
    FollowingGrids following;
    std::vector<MaterialMapData> records;
    for (size_t i = 0; i < top.size(); ++i) {
        const Node& node = *top[i];
        const std::string name = lowered(node.name);
        if (name == "layout") {
            if (!node.values.empty())
                m_layoutVersion = BasicVersion::fromString(node.values.back(), '.');
        } else if (name == "length") {
            if (!node.values.empty() && !setLengthUnit(QString::fromStdString(node.values.back())))
                return {};
        } else if (name == "layout_map") {
            if (!readTextLayoutMap(path, node, records))
                return {};
        } else if (name == "area" || name == "die_area") {
            // One layer: the area, the last LAYER line after it, and every grid after it.
            if (!readTextArea(node, m_area))
                return {};
            MaterialMapData data = newRecord(path, records);
            if (lastLayer != top.rend() && lastLayerIndex > i && !getTXMLayoutLayerNodeAttributes(**lastLayer, data))
                return {};
            Grid grid;
            if (!following.read) {
                if (!readFollowingGrids(top, i + 1, data, grid, following))
                    return {};
            } else if (!takeFollowingGrids(following, i + 1, data, grid)) {
                return {};
            }
            if (!finishGrid(data, grid))
                return {};
            records.push_back(std::move(data));
        }
    }
    return records;
}

bool TarvexMaterialMapImporter::readTextArea(const Node& node, std::optional<Bound2D>& area)
{
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (node.values.size() != 4 || !MaterialMapNumber::toDouble(node.values[0], x1) ||
        !MaterialMapNumber::toDouble(node.values[1], y1) || !MaterialMapNumber::toDouble(node.values[2], x2) ||
        !MaterialMapNumber::toDouble(node.values[3], y2)) {
        fatalError(tr("Invalid area data"));
        return false;
    }
    const Bound2D bound(Vec2(x1, y1), Vec2(x2, y2));
    if (!bound.isValid()) {
        fatalError(tr("Invalid area data - the area has no size"));
        return false;
    }
    area = bound;
    return true;
}

bool TarvexMaterialMapImporter::readTextLayoutMap(const QString& path, const Node& block,
                                                  std::vector<MaterialMapData>& records)
{
    const std::vector<std::unique_ptr<Node>>& content = block.children;
    FollowingGrids following;
    for (size_t i = 0; i < content.size(); ++i) {
        const Node& node = *content[i];
        const std::string name = lowered(node.name);
        if (name == "area" || name == "die_area") {
            if (!readTextArea(node, m_area))
                return false;
        } else if (name == "layer") {
            MaterialMapData data = newRecord(path, records);
            if (!getTXMLayoutLayerNodeAttributes(node, data))
                return false;
            Grid grid;
            // A LAYER block holds its grid; a LAYER line is followed by it.
            if (!node.children.empty()) {
                for (const std::unique_ptr<Node>& child : node.children) {
                    if (!parseTXMLayoutLayerChildrenOrSiblings(*child, data, grid))
                        return false;
                }
            } else if (!following.read) {
                if (!readFollowingGrids(content, i, data, grid, following))
                    return false;
            } else if (!takeFollowingGrids(following, i, data, grid)) {
                return false;
            }
            if (!finishGrid(data, grid))
                return false;
            records.push_back(std::move(data));
        }
    }
    return true;
}

bool TarvexMaterialMapImporter::getTXMLayoutLayerNodeAttributes(const Node& node, MaterialMapData& data)
{
    if (node.values.size() != 5) {
        fatalError(tr("Invalid layer data - unexpected layer data"));
        return false;
    }
    data.name = node.values[0];
    double numbers[2] = {0.0, 0.0};
    for (int i = 0; i < 2; ++i) {
        if (!MaterialMapNumber::toDouble(node.values[size_t(3 + i)], numbers[i])) {
            fatalError(tr("Invalid layer data - \"%1\" is not a number").arg(shown(node.values[size_t(3 + i)])));
            return false;
        }
    }
    return setMaterials(data, node.values[1], node.values[2]) && setPosition(data, numbers[0], numbers[1]);
}

bool TarvexMaterialMapImporter::parseTXMLayoutLayerChildrenOrSiblings(const Node& node, MaterialMapData& data,
                                                                      Grid& grid)
{
    const std::string name = lowered(node.name);
    if (name == "grid") {
        int rows = 0;
        int columns = 0;
        if (node.values.size() != 2 || !MaterialMapNumber::toInt(node.values[0], rows) ||
            !MaterialMapNumber::toInt(node.values[1], columns)) {
            fatalError(tr("Invalid grid data"));
            return false;
        }
        return setGrid(grid, rows, columns);
    }
    if (name != "metal_density")
        return true;
    const std::vector<std::unique_ptr<Node>>& lines = node.children;
    if (lines.empty()) {
        fatalError(tr("Invalid grid data"));
        return false;
    }
    if (lines.size() == 1)
        return true;
    const Node& header = *lines.front();
    int rows = 0;
    int columns = 0;
    if (!isDataLine(header) || header.values.size() != 2 || !MaterialMapNumber::toInt(header.values[0], rows) ||
        !MaterialMapNumber::toInt(header.values[1], columns)) {
        fatalError(tr("Invalid grid data - unexpected data layout"));
        return false;
    }
    if (grid.given && (grid.rows != rows || grid.columns != columns)) {
        fatalError(tr("Conflicting grid sizes"));
        return false;
    }
    if (qint64(lines.size()) != qint64(rows) + 1) {
        fatalError(tr("Invalid metal density data - unexpected number of rows"));
        return false;
    }
    if (!setGrid(grid, rows, columns))
        return false;
    data.metalDensity.reserve(data.metalDensity.size() + size_t(rows) * size_t(columns));
    for (size_t i = 1; i < lines.size(); ++i) {
        const Node& line = *lines[i];
        if (!isDataLine(line) || line.values.size() != size_t(columns)) {
            fatalError(tr("Invalid metal density data"));
            return false;
        }
        for (size_t column = 0; column < line.values.size(); ++column) {
            const std::string_view text = line.values.view(column);
            double value = 0.0;
            if (!MaterialMapNumber::toDouble(text.data(), text.size(), value)) {
                fatalError(tr("Invalid metal density data - \"%1\" is not a number").arg(shown(std::string(text))));
                return false;
            }
            data.metalDensity.push_back(value);
        }
    }
    return true;
}

// ---- XML form ----

// The elements after the first layer that takes every element after it (an empty LAYER of a
// layout map, or a single-layer AREA), read once: reading them again for each such layer
// made layouts quadratic. Once the first has read them all without fault, a later one finds
// the same grid if one is declared after it, and the densities of the first METAL_DENSITY
// after it; a METAL_DENSITY before any GRID after it has no grid to be read with.
struct TarvexMaterialMapImporter::XMLFollowingGrids
{
    bool read = false;
    Grid grid;
    // The elements read, in file order, and how far later layers have got among them.
    std::vector<QDomElement> elements;
    size_t cursor = 0;
    // The densities of every METAL_DENSITY read, in file order.
    std::vector<double> densities;
    // For each element read: where the densities of the first METAL_DENSITY at or after it
    // start, whether a GRID is declared at or after it, and whether a METAL_DENSITY comes
    // at or after it before any GRID.
    std::vector<size_t> densityStart;
    std::vector<bool> gridFollows;
    std::vector<bool> densityBeforeGrid;
};

std::vector<MaterialMapData> TarvexMaterialMapImporter::readXMLMaterialMapDataImpl(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        fatalError(tr("Failed to open file - %1").arg(path));
        return {};
    }
    InterProcess::XMLDOMReader::Failure failure;
    const QDomDocument document = InterProcess::XMLDOMReader::read(&file, &failure);
    if (document.isNull()) {
        fatalError(tr("Failed to parse file - %1 : %2 (line %3, column %4)")
                       .arg(path, failure.message)
                       .arg(failure.line)
                       .arg(failure.column));
        return {};
    }
    const QDomElement root = document.documentElement();
    if (root.tagName().compare(QLatin1String("Layout"), Qt::CaseInsensitive) != 0) {
        fatalError(tr("Invalid file format"));
        return {};
    }
    const QString version = root.hasAttribute(QStringLiteral("version")) ? root.attribute(QStringLiteral("version"))
                                                                         : root.attribute(QStringLiteral("verion"));
    if (!root.hasAttribute(QStringLiteral("version")) && !root.hasAttribute(QStringLiteral("verion"))) {
        fatalError(tr("Version attribute missing"));
        return {};
    }
    m_layoutVersion = BasicVersion::fromQString(version);

    std::vector<MaterialMapData> records;
    bool layoutMap = false;
    bool singleLayer = false;
    XMLFollowingGrids following;
    for (QDomElement element = root.firstChildElement(); !element.isNull(); element = element.nextSiblingElement()) {
        const QString tag = element.tagName().toLower();
        if (tag == QLatin1String("lengthunit")) {
            if (element.hasAttribute(QStringLiteral("value")) && !setLengthUnit(element.attribute(QStringLiteral("value"))))
                return {};
        } else if (tag == QLatin1String("process_encryption")) {
            if (!element.hasAttribute(QStringLiteral("value"))) {
                fatalError(tr("Encryption missing process attribute"));
                return {};
            }
        } else if (tag == QLatin1String("area") || tag == QLatin1String("die_area") ||
                   tag == QLatin1String("density_grid")) {
            QDomElement layer = childElement(element, QStringLiteral("layer"));
            if (layer.isNull())
                layer = childElement(root, QStringLiteral("layer"));
            if (layer.isNull()) {
                fatalError(tr("Layer parsing failed - file missing layer information."));
                return {};
            }
            if (layoutMap) {
                fatalError(tr("Invalid file format"));
                return {};
            }
            singleLayer = true;
            if (!countLayer(records))
                return {};
            MaterialMapData data = newRecord(path, records);
            if (!getXMLLayerNodeAttributes(layer, data) || !readXMLArea(element, data))
                return {};
            Grid grid;
            if (!readXMLFollowingGrids(element.nextSiblingElement(), data, grid, following) || !finishGrid(data, grid))
                return {};
            records.push_back(std::move(data));
        } else if (tag == QLatin1String("layout_map")) {
            if (singleLayer) {
                fatalError(tr("Invalid file format"));
                return {};
            }
            layoutMap = true;
            if (!readXMLLayoutMap(path, element, records))
                return {};
        }
    }
    return records;
}

bool TarvexMaterialMapImporter::readXMLFollowingGrids(const QDomElement& first, MaterialMapData& data, Grid& grid,
                                                      XMLFollowingGrids& following)
{
    if (following.read)
        return takeXMLFollowingGrids(following, first, data, grid);
    std::vector<size_t> ownStart;
    for (QDomElement next = first; !next.isNull(); next = next.nextSiblingElement()) {
        following.elements.push_back(next);
        ownStart.push_back(data.metalDensity.size());
        if (!parseXMLLayerChildrenOrSiblings(next, data, grid))
            return false;
    }
    const size_t count = following.elements.size();
    following.densityStart.assign(count, data.metalDensity.size());
    following.gridFollows.assign(count, false);
    following.densityBeforeGrid.assign(count, false);
    size_t start = data.metalDensity.size();
    bool gridFollows = false;
    bool densityBeforeGrid = false;
    for (size_t i = count; i-- > 0;) {
        const QString tag = following.elements[i].tagName().toLower();
        if (tag == QLatin1String("grid")) {
            gridFollows = true;
            densityBeforeGrid = false;
        } else if (tag == QLatin1String("metal_density")) {
            start = ownStart[i];
            densityBeforeGrid = true;
        }
        following.densityStart[i] = start;
        following.gridFollows[i] = gridFollows;
        following.densityBeforeGrid[i] = densityBeforeGrid;
    }
    following.read = true;
    following.grid = grid;
    following.densities = data.metalDensity;
    return true;
}

bool TarvexMaterialMapImporter::takeXMLFollowingGrids(XMLFollowingGrids& following, const QDomElement& first,
                                                      MaterialMapData& data, Grid& grid)
{
    // Later layers come in file order, so the search goes on from where the last one stopped.
    while (following.cursor < following.elements.size() && following.elements[following.cursor] != first)
        ++following.cursor;
    const size_t at = following.cursor;
    if (at >= following.elements.size())
        return true;
    if (following.densityBeforeGrid[at]) {
        fatalError(tr("Metal Density parsing failed"));
        return false;
    }
    if (!following.gridFollows[at])
        return true;
    return takeDensities(following.grid, following.densities, following.densityStart[at], data, grid);
}

bool TarvexMaterialMapImporter::readXMLArea(const QDomElement& element, MaterialMapData& data)
{
    double corner[4] = {0, 0, 0, 0};
    const char* names[4] = {"x0", "x1", "y0", "y1"};
    for (int i = 0; i < 4; ++i) {
        bool ok = element.hasAttribute(QString::fromLatin1(names[i]));
        if (ok)
            corner[i] = element.attribute(QString::fromLatin1(names[i])).toDouble(&ok);
        if (!ok || !std::isfinite(corner[i])) {
            fatalError(tr("Layer Area parsing failed"));
            return false;
        }
    }
    const Bound2D area(Vec2(corner[0], corner[2]), Vec2(corner[1], corner[3]));
    if (!area.isValid()) {
        fatalError(tr("Layer Area parsing failed - the area has no size"));
        return false;
    }
    data.area = area;
    return true;
}

bool TarvexMaterialMapImporter::readXMLLayoutMap(const QString& path, const QDomElement& map,
                                                 std::vector<MaterialMapData>& records)
{
    QDomElement areaElement = childElement(map, QStringLiteral("area"));
    if (areaElement.isNull())
        areaElement = childElement(map, QStringLiteral("die_area"));
    MaterialMapData areaHolder;
    if (areaElement.isNull()) {
        fatalError(tr("Layer Area parsing failed"));
        return false;
    }
    if (!readXMLArea(areaElement, areaHolder))
        return false;
    m_area = areaHolder.area;
    QDomElement layer = childElement(map, QStringLiteral("layer"));
    if (layer.isNull()) {
        fatalError(tr("Layer parsing failed"));
        return false;
    }
    XMLFollowingGrids following;
    for (; !layer.isNull(); layer = nextSiblingElement(layer, QStringLiteral("layer"))) {
        if (!countLayer(records))
            return false;
        MaterialMapData data = newRecord(path, records);
        if (!getXMLLayerNodeAttributes(layer, data))
            return false;
        Grid grid;
        // A LAYER element holds its grid; an empty one is followed by it.
        if (!layer.firstChildElement().isNull()) {
            for (QDomElement child = layer.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
                if (!parseXMLLayerChildrenOrSiblings(child, data, grid))
                    return false;
            }
        } else if (!readXMLFollowingGrids(layer.nextSiblingElement(), data, grid, following)) {
            return false;
        }
        if (!finishGrid(data, grid))
            return false;
        records.push_back(std::move(data));
    }
    return true;
}

bool TarvexMaterialMapImporter::getXMLLayerNodeAttributes(const QDomElement& layer, MaterialMapData& data)
{
    const auto attribute = [&](std::initializer_list<const char*> names, const QString& missing, QString& value) {
        for (const char* name : names) {
            if (layer.hasAttribute(QString::fromLatin1(name))) {
                value = layer.attribute(QString::fromLatin1(name));
                return true;
            }
        }
        fatalError(missing);
        return false;
    };
    QString name, dielectric, metal, z, thickness;
    if (!attribute({"name"}, tr("Layer name missing"), name) ||
        !attribute({"diel_material", "die_material"}, tr("Dielectric material missing"), dielectric) ||
        !attribute({"metal_material"}, tr("Metal material missing"), metal) ||
        !attribute({"z"}, tr("Z position missing"), z) || !attribute({"thickness"}, tr("Thickness missing"), thickness))
        return false;
    data.name = name.toStdString();
    // The layout files write single-precision values.
    double numbers[2] = {0.0, 0.0};
    const QString* texts[2] = {&thickness, &z};
    for (int i = 0; i < 2; ++i) {
        bool ok = false;
        numbers[i] = double(texts[i]->toFloat(&ok));
        if (!ok || !std::isfinite(numbers[i])) {
            fatalError(tr("Invalid layer data - \"%1\" is not a number").arg(texts[i]->left(40)));
            return false;
        }
    }
    return setMaterials(data, dielectric.toStdString(), metal.toStdString()) &&
           setPosition(data, numbers[0], numbers[1]);
}

bool TarvexMaterialMapImporter::parseXMLLayerChildrenOrSiblings(const QDomElement& element, MaterialMapData& data,
                                                                Grid& grid)
{
    const QString tag = element.tagName().toLower();
    if (tag == QLatin1String("grid")) {
        if (!element.hasAttribute(QStringLiteral("row")) || !element.hasAttribute(QStringLiteral("col"))) {
            fatalError(tr("Grid missing col or row attribute"));
            return false;
        }
        bool rowsOk = false;
        bool columnsOk = false;
        const int rows = element.attribute(QStringLiteral("row")).trimmed().toInt(&rowsOk);
        const int columns = element.attribute(QStringLiteral("col")).trimmed().toInt(&columnsOk);
        if (!rowsOk || !columnsOk) {
            fatalError(tr("Invalid grid data"));
            return false;
        }
        return setGrid(grid, rows, columns);
    }
    if (tag == QLatin1String("geometry")) {
        warning(tr("XML Layout Geometry section not implemented"));
        return true;
    }
    if (tag != QLatin1String("metal_density"))
        return true;
    const auto failed = [&]() {
        fatalError(tr("Metal Density parsing failed"));
        return false;
    };
    if (!grid.given)
        return failed();
    const QString text = element.text();
    qint64 lines = 0;
    const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (const QStringRef& line : text.splitRef(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed().toString();
        if (trimmed.isEmpty())
            continue;
        const QStringList numbers = trimmed.split(blanks, Qt::SkipEmptyParts);
        if (numbers.size() != grid.columns || ++lines > grid.rows)
            return failed();
        for (const QString& number : numbers) {
            const QByteArray bytes = number.toUtf8();
            double value = 0.0;
            if (!MaterialMapNumber::toDouble(bytes.constData(), size_t(bytes.size()), value))
                return failed();
            data.metalDensity.push_back(value);
        }
    }
    return lines == grid.rows || failed();
}

} // namespace Tarvex
