#include <tarvex/maps/MaterialMapEditor.h>

#include <tarvex/host/CellGrid.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/EntityReading.h>
#include <tarvex/host/LibraryManager.h>
#include <tarvex/host/ListAttributeEditor.h>
#include <tarvex/host/MemoryGuard.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/Transform2D.h>
#include <tarvex/maps/MaterialMapCellWriter.h>
#include <tarvex/objects/Tarvex2DGeometryPolygon.h>
#include <tarvex/objects/Tarvex2DGeometryRectangle.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>
#include <stdexcept>

using namespace EntityModel;
using Geometry::Bound;
using Geometry::Bound1D;
using Geometry::Bound2D;
using Geometry::Transform2D;
using Geometry::Vec2;
using Geometry::Vec3;

namespace Tarvex {

namespace {

constexpr double containmentTolerance = 1e-9;
constexpr double alignmentTolerance = 1e-6;

// Where a layer is written: the entity holding it and its path there. A layer given as an
// entity is edited directly.
struct LayerPlace
{
    Entity* entity = nullptr;
    AttributePath path;
};

LayerPlace placeOf(const CompositeAttribute* layer)
{
    if (!layer)
        return {};
    if (layer->getKind() == Attribute::Kind::Entity)
        return {static_cast<Entity*>(const_cast<CompositeAttribute*>(layer)), AttributePath()};
    return {layer->getOwnerEntity(), ListAttributeEditor::getPathInOwner(layer)};
}

const Attribute* childOf(const CompositeAttribute* holder, const TypeRef& label)
{
    return holder ? holder->child(label.getLabel()) : nullptr;
}

// A stored number (SI for doubles), or `fallback`.
double numberOf(const CompositeAttribute* holder, const TypeRef& label, double fallback)
{
    const Attribute* at = childOf(holder, label);
    if (!at || at->getKind() != Attribute::Kind::Value)
        return fallback;
    const QVariant& value = static_cast<const ValueAttribute*>(at)->getValue();
    if (value.type() != QVariant::Double && value.type() != QVariant::LongLong)
        return fallback;
    return value.toDouble();
}

QVector<double> listOf(const CompositeAttribute* holder, const TypeRef& label)
{
    const Attribute* at = childOf(holder, label);
    if (!at || at->getKind() != Attribute::Kind::DoubleList)
        return {};
    return static_cast<const DoubleListAttribute*>(at)->getValues();
}

std::vector<const CompositeAttribute*> layerItems(const CompositeAttribute* layer)
{
    std::vector<const CompositeAttribute*> items;
    const Attribute* list = childOf(layer, Tarvex_Layer_Items_t);
    if (!list || list->getKind() != Attribute::Kind::Composite)
        return items;
    for (const Attribute* item : static_cast<const CompositeAttribute*>(list)->children()) {
        if (item->getKind() == Attribute::Kind::Composite)
            items.push_back(static_cast<const CompositeAttribute*>(item));
    }
    return items;
}

Bound2D itemRectangle(const CompositeAttribute* item)
{
    const Vec2 low(numberOf(item, X_Location_t, 0.0), numberOf(item, Z_Location_t, 0.0));
    return Bound2D(low, low + Vec2(numberOf(item, Width_t, 0.0), numberOf(item, Depth_t, 0.0)));
}

Bound2D areaInSI(const MaterialMapData& data)
{
    Bound2D area = ServerConstructor::BasicEditor::lengthToSI(*data.area, data.lengthUnit);
    return area.scale(data.lengthScaling);
}

bool hasValidGrid(const MaterialMapData& data)
{
    return data.rows > 0 && data.columns > 0 && qint64(data.rows) * data.columns <= INT_MAX &&
           data.metalDensity.size() == size_t(qint64(data.rows) * data.columns);
}

// When the items of a rectangle-shaped layer tile one rectangle exactly (the grid a map
// writes), their union is that rectangle; finding so is linear where uniting the items one
// by one grows with the outline.
std::optional<Bound2D> exactTiling(const std::vector<Bound2D>& rectangles)
{
    Bound2D bound;
    for (const Bound2D& rectangle : rectangles)
        bound.unite(rectangle);
    const double tolerance = 1e-9 * std::max(bound.getSize().x, bound.getSize().y);
    if (!bound.isValid(tolerance))
        return std::nullopt;
    const auto edges = [&](int axis) {
        std::vector<double> values;
        for (const Bound2D& rectangle : rectangles) {
            values.push_back(rectangle.getLow()[axis]);
            values.push_back(rectangle.getHigh()[axis]);
        }
        std::sort(values.begin(), values.end());
        std::vector<double> merged;
        for (double value : values) {
            if (merged.empty() || value - merged.back() > tolerance)
                merged.push_back(value);
        }
        return merged;
    };
    const std::vector<double> xs = edges(0);
    const std::vector<double> ys = edges(1);
    if ((xs.size() - 1) * (ys.size() - 1) != rectangles.size())
        return std::nullopt;
    const auto indexOf = [&](const std::vector<double>& values, double value) {
        const auto at = std::lower_bound(values.begin(), values.end(), value - tolerance);
        return at != values.end() && std::abs(*at - value) <= tolerance ? long(at - values.begin()) : -1L;
    };
    std::vector<bool> used(rectangles.size(), false);
    for (const Bound2D& rectangle : rectangles) {
        const long x0 = indexOf(xs, rectangle.getLow().x);
        const long y0 = indexOf(ys, rectangle.getLow().y);
        if (x0 < 0 || y0 < 0 || indexOf(xs, rectangle.getHigh().x) != x0 + 1 ||
            indexOf(ys, rectangle.getHigh().y) != y0 + 1)
            return std::nullopt;
        const size_t cell = size_t(y0) * (xs.size() - 1) + size_t(x0);
        if (used[cell])
            return std::nullopt;
        used[cell] = true;
    }
    return bound;
}

std::unique_ptr<Tarvex2DGeometry> polygonOf(const Bound2D& bound)
{
    return Tarvex2DGeometryRectangle(bound.getLow(), bound.getSize()).toPolygon();
}

// An axis-aligned rectangle without holes: clipping by it is intersecting bounds.
bool isAxisAlignedRectangle(const Tarvex2DGeometry& geometry)
{
    if (!geometry.isRectangle() || geometry.hasHoles())
        return false;
    const Bound2D bound = geometry.getBound();
    for (const Vec2& point : geometry.getPoints()) {
        const bool onX = Tarvex2DGeometry::isEqual(point.x, bound.getLow().x) ||
                         Tarvex2DGeometry::isEqual(point.x, bound.getHigh().x);
        const bool onY = Tarvex2DGeometry::isEqual(point.y, bound.getLow().y) ||
                         Tarvex2DGeometry::isEqual(point.y, bound.getHigh().y);
        if (!onX || !onY)
            return false;
    }
    return true;
}

QVector<double> rectangleOutline(const Vec2& size)
{
    return {0.0, 0.0, size.x, 0.0, size.x, size.y, 0.0, size.y};
}

// Bit for bit the same rectangle.
bool sameBits(const Bound2D& a, const Bound2D& b)
{
    const double first[] = {a.getLow().x, a.getLow().y, a.getHigh().x, a.getHigh().y};
    const double second[] = {b.getLow().x, b.getLow().y, b.getHigh().x, b.getHigh().y};
    return std::memcmp(first, second, sizeof first) == 0;
}

// Copies the plain attributes of a library item into a new material (what the host's
// library loader does for an entity made from a selected library item).
void copyPlainAttributes(Entity* target, const CompositeAttribute& source, const AttributePath& at)
{
    for (const Attribute* child : source.children()) {
        const AttributePath path = at / AttributePath(child->getType());
        if (child->getKind() == Attribute::Kind::Composite) {
            copyPlainAttributes(target, *static_cast<const CompositeAttribute*>(child), path);
        } else if (child->getKind() != Attribute::Kind::Link && child->getKind() != Attribute::Kind::EntityList &&
                   child->getType() != Name_t) {
            if (std::unique_ptr<Attribute> copy = child->clone())
                target->getModel()->setAttribute(target, path, std::move(copy), QStringLiteral("Set Material"));
        }
    }
}

// `transform` followed by the translation that brings the low corner of `global`'s image
// back onto `global`'s low corner.
Transform2D alignedToLowCorner(const Transform2D& transform, const Bound2D& global)
{
    const auto misaligned = [&](const Transform2D& t) {
        const Vec2 offset = global.transformed(t).getLow() - global.getLow();
        return std::abs(offset.x) >= alignmentTolerance || std::abs(offset.y) >= alignmentTolerance;
    };
    Transform2D result = transform;
    if (misaligned(result)) {
        result = Transform2D::multiply(
            Transform2D::createTranslation(global.getLow() - global.transformed(result).getLow()), result);
        if (misaligned(result))
            throw std::runtime_error("Material Map rotation failed to align with original bounds.");
    }
    return result;
}

std::optional<Bound2D> globalAreaInSI(const std::vector<MaterialMapData>& data)
{
    std::optional<Bound2D> global;
    for (const MaterialMapData& record : data) {
        if (!record.area)
            continue;
        const Bound2D area = ServerConstructor::BasicEditor::lengthToSI(*record.area, record.lengthUnit);
        global = global ? global->unite(area) : area;
    }
    return global;
}

void transformAreas(std::vector<MaterialMapData>& data, const Transform2D& transform)
{
    for (MaterialMapData& record : data) {
        if (!record.area)
            continue;
        const Bound2D moved = ServerConstructor::BasicEditor::lengthToSI(*record.area, record.lengthUnit).transform(transform);
        record.area = ServerConstructor::BasicEditor::lengthFromSI(moved, record.lengthUnit);
    }
}

bool hasGrid(const MaterialMapData& record)
{
    return record.rows > 0 && record.columns > 0 &&
           record.metalDensity.size() >= size_t(qint64(record.rows) * record.columns);
}

} // namespace

MaterialMapEditor::EditStep::EditStep(Model* model, const QString& name) : m_model(model)
{
    if (!m_model)
        return;
    UndoStack& stack = m_model->getUndoStack();
    m_outermost = !stack.isStepOpen();
    m_doneBefore = stack.doneCount();
    m_opener.emplace(m_model, name);
}

MaterialMapEditor::EditStep::~EditStep() = default;

bool MaterialMapEditor::EditStep::finish(bool succeeded)
{
    if (!m_opener)
        return succeeded;
    m_opener.reset();
    if (succeeded || !m_outermost)
        return succeeded;
    // An empty step is not filed at all, so only a filed one is taken back.
    m_model->getUndoStack().undoTo(m_doneBefore);
    return succeeded;
}

MaterialMapEditor::MaterialMapEditor(Tools::ToolProgress* progress, QObject* parent) : BasicEditor(progress, parent) {}

MaterialMapEditor::~MaterialMapEditor() = default;

QString MaterialMapEditor::stepName()
{
    return QStringLiteral("Import Material Map");
}

const AttributePath& MaterialMapEditor::layersPath()
{
    static const AttributePath path = Tarvex_Interchange_Model_t / Tarvex_Layers_Definition_t / Tarvex_Layers_t;
    return path;
}

bool MaterialMapEditor::applyDataToEntity(std::vector<MaterialMapData>& data, Entity* entity)
{
    Model* model = entity && entity->isAlive() ? entity->getModel() : nullptr;
    return MemoryGuard::run(model, *this, stepName(), false, [&] { return applyDataToEntityGuarded(data, entity); });
}

bool MaterialMapEditor::applyDataToLayerGuarded(const MaterialMapData& data, CompositeAttribute* layer)
{
    const LayerPlace place = placeOf(layer);
    Model* model = place.entity && place.entity->isAlive() ? place.entity->getModel() : nullptr;
    return MemoryGuard::run(model, *this, stepName(), false, [&] { return applyDataToLayerGuarded(data, layer); });
}

bool MaterialMapEditor::applyDataToEntityGuarded(std::vector<MaterialMapData>& data, Entity* entity)
{
    if (!entity || !entity->isAlive())
        return false;
    if (data.empty()) {
        fatalError(tr("Material Map Has No Layers"));
        return false;
    }
    EditStep step(entity->getModel(), stepName());
    try {
        if (m_resizeOwner && !resizeEntity(data, entity))
            return step.finish(false);
        if (!isContainedInEntity3D(entity, data)) {
            warning(tr("Import file contains blocks that are not contained by parent component."));
            return step.finish(false);
        }
        if (!ListAttributeEditor::setItemCount(entity, layersPath(), int(data.size())))
            return step.finish(false);
        const std::vector<CompositeAttribute*> layers = ListAttributeEditor::getItems(entity, layersPath());
        // Every layer is tried, so that all problems are reported at once.
        bool all = layers.size() == data.size();
        for (size_t i = 0; i < data.size() && i < layers.size(); ++i)
            all = applyDataToLayer(data[i], layers[i]) && all;
        return step.finish(all);
    } catch (const std::bad_alloc&) {
        // The guard of the operation takes the step back and tells it.
        throw;
    } catch (const std::exception& e) {
        fatalError(tr("Failed to apply Material Map to %1 on %2 : %3")
                       .arg(entity->getType().getLabel(), entity->getName(), QString::fromUtf8(e.what())));
        return step.finish(false);
    }
}

bool MaterialMapEditor::applyDataToLayer(const MaterialMapData& data, CompositeAttribute* layer)
{
    const LayerPlace place = placeOf(layer);
    if (!place.entity || !place.entity->isAlive())
        return false;
    EditStep step(place.entity->getModel(), stepName());
    return step.finish(applyToLayer(data, layer));
}

bool MaterialMapEditor::applyToLayer(const MaterialMapData& data, CompositeAttribute* layer)
{
    const QString layerName = QString::fromStdString(data.name);
    if (!hasValidGrid(data)) {
        warning(tr("Material Map layer %1 does not have a valid density grid.").arg(layerName));
        return false;
    }
    std::unique_ptr<Tarvex2DGeometry> geometry;
    if (m_resizeOwner) {
        if (!resizeLayer(data, layer, m_updateUnits))
            return false;
    } else {
        geometry = getLayerGeometry2D(layer);
    }
    if (!isContainedInLayer3D(layer, data)) {
        warning(tr("Import file contains blocks that are not contained by the layer."));
        return false;
    }
    const std::optional<MaterialInfo> info = updateMaterials(layer, data);
    if (!info)
        return false;

    const LayerPlace place = placeOf(layer);
    const Entity* component = layer->getOwnerEntity();
    std::optional<Bound2D> bound;
    if (data.area)
        bound = areaInSI(data);
    else if (const std::optional<Bound2D> covered = getLayerBound2D(layer); covered && covered->isValid())
        bound = covered;
    else
        bound = getEntityBound2D(component);
    if (!bound || !bound->isValid()) {
        warning(tr("Material Map layer %1 does not have a valid bound.").arg(layerName));
        return false;
    }

    const AttributePath items = place.path / Tarvex_Layer_Items_t;
    const bool rectangleComponent =
        hasAttributeSetTo(component, Shape_t, Rectangle_t) || hasAttributeSetTo(component, Shape_t, Cuboid_t);
    const Vec2 origin = geometry ? geometry->getBound().getLow() : Vec2();
    const Bound2D geometryBound = geometry ? geometry->getBound() : Bound2D();
    const bool plainRectangle = geometry && isAxisAlignedRectangle(*geometry);
    auto grid = std::make_unique<CellGrid>(
        data.columns, data.rows, origin, Vec2(bound->getSize().x / data.columns, bound->getSize().y / data.rows),
        m_updateUnits ? std::optional<TypeRef>(data.lengthUnit) : std::nullopt, Material_Fraction_t, int(info->count));

    // The cells are worked out first and reported on once they are written, so that a
    // layer that cannot take them tells nothing else.
    const int cells = grid->getCount();
    int firstMetalWarning = -1;
    int firstDielectricWarning = -1;
    bool approximated = false;
    for (int k = 0; k < cells; ++k) {
        const double density = data.metalDensity[size_t(k)];
        double* fractions = grid->listValues(k);
        if (info->hasMetal)
            fractions[info->metalIndex] = density * 100.0;
        else if (density > 0.0 && firstMetalWarning < 0)
            firstMetalWarning = k;
        if (info->hasDielectric)
            fractions[info->dielectricIndex] = (1.0 - density) * 100.0;
        else if (1.0 - density > 0.0 && firstDielectricWarning < 0)
            firstDielectricWarning = k;
        if (!geometry)
            continue;
        const Bound2D cell = grid->getGridBound(k);
        std::unique_ptr<Tarvex2DGeometry> piece;
        Bound2D pieceBound;
        if (geometryBound.overlaps(cell)) {
            if (plainRectangle) {
                pieceBound = Bound2D(cell).intersect(geometryBound);
            } else if ((piece = Tarvex2DGeometryRectangle(cell.getLow(), cell.getSize()).clip(*geometry))) {
                pieceBound = piece->getBound();
            }
        }
        if (!pieceBound.isValid()) {
            grid->setCell(k, {false, Rectangle_t, cell, rectangleOutline(cell.getSize())});
        } else if (!piece || piece->isRectangle() || rectangleComponent) {
            approximated = approximated || (piece && !piece->isRectangle());
            // A cell inside the outline is the grid's own rectangle.
            if (!sameBits(pieceBound, cell))
                grid->setCell(k, {true, Rectangle_t, pieceBound, rectangleOutline(pieceBound.getSize())});
        } else {
            QVector<double> outline;
            for (const Vec2& point : piece->getPoints())
                outline << point.x - pieceBound.getLow().x << point.y - pieceBound.getLow().y;
            grid->setCell(k, {true, Polygon_t, pieceBound, outline});
        }
    }
    if (!MaterialMapCellWriter(place.entity, items, data.lengthUnit, m_updateUnits).writeGrid(std::move(grid)))
        return false;
    const QString noMetal = tr("Material layer has a non zero metal density, without a a metal specified");
    const bool metalFirst =
        firstMetalWarning >= 0 && (firstDielectricWarning < 0 || firstMetalWarning <= firstDielectricWarning);
    if (metalFirst)
        warning(noMetal);
    if (firstDielectricWarning >= 0)
        warning(tr("Material layer has a non zero dielectric density, without a dielectric specified"));
    if (firstMetalWarning >= 0 && !metalFirst)
        warning(noMetal);
    if (approximated)
        fatalError(tr("Approximating cell geometry to rectangle"));
    return true;
}

bool MaterialMapEditor::resizeEntity(const std::vector<MaterialMapData>& data, Entity* entity)
{
    bool ok = resizeEntity2D(data, entity);
    if (const std::optional<Bound1D> up = getMaterialMapUpBound(data))
        ok = BasicEditor::resizeEntityYDir(entity, *up) && ok;
    return ok;
}

bool MaterialMapEditor::resizeEntity2D(const std::vector<MaterialMapData>& data, Entity* entity)
{
    const std::optional<Bound2D> bound = getMaterialMapGlobalBound2D(data);
    return !bound || BasicEditor::resizeEntity(entity, *bound);
}

bool MaterialMapEditor::resizeLayer(const MaterialMapData& data, CompositeAttribute* layer, bool updateUnits) const
{
    const LayerPlace place = placeOf(layer);
    if (!place.entity || !place.entity->isAlive())
        return false;
    const MaterialMapCellWriter writer(place.entity, place.path / Tarvex_Layer_Items_t, data.lengthUnit, updateUnits);
    const Bound1D up = *getMaterialMapUpBound(data);
    if (!std::isfinite(up.getLow()) || !std::isfinite(up.getSize()))
        return false;
    bool ok = EntityEditor::setValueNoThrow(place.entity, place.path / Name_t, QString::fromStdString(data.name));
    writer.writeLength(place.path / Thickness_t, up.getSize());
    writer.writeLength(place.path / Y_Location_t, up.getLow());
    ok = ListAttributeEditor::setItemCount(place.entity, place.path / Tarvex_Layer_Items_t, 1) && ok;
    if (ok && data.area) {
        const Bound2D area = areaInSI(data);
        const AttributePath item =
            place.path / Tarvex_Layer_Items_t / AttributePath(TypeRef(ListAttributeEditor::itemLabel(0)));
        EntityEditor::setValueNoThrow(place.entity, item / Active_t, Yes_t);
        EntityEditor::setValueNoThrow(place.entity, item / Shape_t, Rectangle_t);
        writer.writeLength(item / X_Location_t, area.getLow().x);
        writer.writeLength(item / Z_Location_t, area.getLow().y);
        writer.writeLength(item / Width_t, area.getSize().x);
        writer.writeLength(item / Depth_t, area.getSize().y);
        EntityEditor::setSIDoubleListValueNoThrow(place.entity, item / Outline_t, rectangleOutline(area.getSize()));
    }
    return ok;
}

bool MaterialMapEditor::isContainedInEntity2D(const Entity* entity, const std::vector<MaterialMapData>& data)
{
    const std::optional<Bound2D> bound = getEntityBound2D(entity);
    if (!bound)
        return false;
    const std::optional<Bound2D> map = getMaterialMapGlobalBound2D(data);
    return !map || bound->contains(*map, containmentTolerance);
}

bool MaterialMapEditor::isContainedInEntity3D(const Entity* entity, const std::vector<MaterialMapData>& data)
{
    if (!isContainedInEntity2D(entity, data))
        return false;
    const std::optional<Bound1D> bound = getEntityBoundYDir(entity);
    const std::optional<Bound1D> map = getMaterialMapUpBound(data);
    return !bound || !map || bound->contains(*map, containmentTolerance);
}

bool MaterialMapEditor::isContainedInLayer2D(const CompositeAttribute* layer, const MaterialMapData& data)
{
    const std::optional<Bound2D> bound = getLayerBound2D(layer);
    if (!bound)
        return false;
    return !data.area || bound->contains(areaInSI(data), containmentTolerance);
}

bool MaterialMapEditor::isContainedInLayer3D(const CompositeAttribute* layer, const MaterialMapData& data)
{
    if (!isContainedInLayer2D(layer, data))
        return false;
    const std::optional<Bound1D> bound = getLayerBoundYUp(layer);
    const std::optional<Bound1D> map = getMaterialMapUpBound(data);
    return !bound || !map || bound->contains(*map, containmentTolerance);
}

std::optional<Bound1D> MaterialMapEditor::getMaterialMapUpBound(const MaterialMapData& data)
{
    Bound1D up = lengthToSI(Bound1D(data.upPos, data.upPos + data.thickness), data.lengthUnit);
    return up.scale(data.lengthScaling);
}

std::optional<Bound1D> MaterialMapEditor::getMaterialMapUpBound(const std::vector<MaterialMapData>& data)
{
    std::optional<Bound1D> result;
    for (const MaterialMapData& record : data) {
        const Bound1D up = *getMaterialMapUpBound(record);
        result = result ? result->unite(up) : up;
    }
    return result;
}

std::optional<Bound2D> MaterialMapEditor::getMaterialMapGlobalBound2D(const std::vector<MaterialMapData>& data)
{
    std::optional<Bound2D> result;
    for (const MaterialMapData& record : data) {
        if (!record.area)
            continue;
        const Bound2D area = areaInSI(record);
        result = result ? result->unite(area) : area;
    }
    return result;
}

std::optional<Bound> MaterialMapEditor::getMaterialMapGlobalBound(const std::vector<MaterialMapData>& data)
{
    const std::optional<Bound2D> plane = getMaterialMapGlobalBound2D(data);
    const std::optional<Bound1D> up = getMaterialMapUpBound(data);
    if (!plane || !up)
        return std::nullopt;
    return Bound(Vec3(plane->getLow().x, up->getLow(), plane->getLow().y),
                 Vec3(plane->getHigh().x, up->getHigh(), plane->getHigh().y));
}

std::optional<Bound2D> MaterialMapEditor::getLayerBound2D(const CompositeAttribute* layer)
{
    std::optional<Bound2D> result;
    for (const CompositeAttribute* item : layerItems(layer)) {
        const Bound2D rectangle = itemRectangle(item);
        result = result ? result->unite(rectangle) : rectangle;
    }
    return result;
}

std::optional<Bound1D> MaterialMapEditor::getLayerBoundYUp(const CompositeAttribute* layer)
{
    if (!layer)
        return std::nullopt;
    const double y = numberOf(layer, Y_Location_t, 0.0);
    return Bound1D(y, y + numberOf(layer, Thickness_t, 0.0));
}

std::optional<Bound> MaterialMapEditor::getLayerBound(const CompositeAttribute*)
{
    return std::nullopt;
}

bool MaterialMapEditor::flipMaterialMapData(std::vector<MaterialMapData>& data, bool flipX, bool flipY)
{
    if (!flipX && !flipY)
        return true;
    if (const std::optional<Bound2D> global = globalAreaInSI(data); global && global->isValid()) {
        const Transform2D mx = flipX ? Transform2D::createMirror(Vec2(1, 0)) : Transform2D();
        const Transform2D my = flipY ? Transform2D::createMirror(Vec2(0, 1)) : Transform2D();
        transformAreas(data, alignedToLowCorner(Transform2D::multiply(mx, my), *global));
    }
    // In place: a grid can be most of the memory an import uses.
    for (MaterialMapData& record : data) {
        if (!hasGrid(record))
            continue;
        const size_t rows = size_t(record.rows);
        const size_t columns = size_t(record.columns);
        record.metalDensity.resize(rows * columns);
        double* const grid = record.metalDensity.data();
        if (flipY) {
            for (size_t r = 0; r < rows / 2; ++r)
                std::swap_ranges(grid + r * columns, grid + (r + 1) * columns, grid + (rows - 1 - r) * columns);
        }
        if (flipX) {
            for (size_t r = 0; r < rows; ++r)
                std::reverse(grid + r * columns, grid + (r + 1) * columns);
        }
    }
    return true;
}

bool MaterialMapEditor::rotateMaterialMapData(std::vector<MaterialMapData>& data, double angle)
{
    if (!std::isfinite(angle))
        return false;
    const int reduced = int(std::fmod(std::trunc(angle), 360.0));
    if (reduced == 0)
        return true;
    const int a = reduced + 360;
    if (a % 90 != 0)
        return false;
    const int quarter = (a / 90) % 4;
    if (quarter == 0)
        return true;
    if (const std::optional<Bound2D> global = globalAreaInSI(data); global && global->isValid()) {
        const Transform2D rotation = Transform2D::createRotation(a * Transform2D::pi / 180.0);
        transformAreas(data, alignedToLowCorner(rotation, *global));
    }
    for (MaterialMapData& record : data) {
        if (!hasGrid(record))
            continue;
        const size_t rows = size_t(record.rows);
        const size_t columns = size_t(record.columns);
        const std::vector<double>& old = record.metalDensity;
        std::vector<double> rotated(rows * columns);
        for (size_t k = 0; k < rotated.size(); ++k) {
            if (quarter == 1)
                rotated[k] = old[(rows - 1 - k % rows) * columns + k / rows];
            else if (quarter == 2)
                rotated[k] = old[(rows - 1 - k / columns) * columns + (columns - 1 - k % columns)];
            else
                rotated[k] = old[(k % rows) * columns + (columns - 1 - k / rows)];
        }
        record.metalDensity = std::move(rotated);
        if (quarter != 2)
            std::swap(record.rows, record.columns);
    }
    return true;
}

std::unique_ptr<Tarvex2DGeometry> MaterialMapEditor::getLayerGeometry2D(const CompositeAttribute* layer) const
{
    const Entity* component = layer ? layer->getOwnerEntity() : nullptr;
    if (!component)
        return nullptr;
    const bool rectangles =
        hasAttributeSetTo(component, Shape_t, Rectangle_t) || hasAttributeSetTo(component, Shape_t, Cuboid_t);
    if (!rectangles && !hasAttributeSetTo(component, Shape_t, Polygon_t))
        return nullptr;
    // Items that are axis-aligned rectangles are kept as bounds, so that a grid that tiles
    // one rectangle is recognised before any polygon is made.
    std::vector<std::unique_ptr<Tarvex2DGeometry>> shapes;
    std::vector<Bound2D> bounds;
    bool allRectangles = true;
    for (const CompositeAttribute* item : layerItems(layer)) {
        const Vec2 location(numberOf(item, X_Location_t, 0.0), numberOf(item, Z_Location_t, 0.0));
        if (rectangles) {
            const Vec2 size(numberOf(item, Width_t, 0.0), numberOf(item, Depth_t, 0.0));
            // An item without area covers nothing and would spoil every union after it.
            if (size.x > 0.0 && size.y > 0.0)
                bounds.push_back(Bound2D(location, location + size));
            continue;
        }
        const QVector<double> outline = listOf(item, Outline_t);
        std::vector<Vec2> points;
        for (int i = 0; i + 1 < outline.size(); i += 2)
            points.emplace_back(outline[i], outline[i + 1]);
        auto polygon = std::make_unique<Tarvex2DGeometryPolygon>(location, std::move(points));
        if (!polygon->isValid() || !polygon->getBound().isValid())
            continue;
        allRectangles = allRectangles && isAxisAlignedRectangle(*polygon);
        bounds.push_back(polygon->getBound());
        shapes.push_back(std::move(polygon));
    }
    if (bounds.empty())
        return nullptr;
    if (allRectangles) {
        if (const std::optional<Bound2D> tiled = exactTiling(bounds))
            return polygonOf(*tiled);
    }
    if (rectangles) {
        for (const Bound2D& bound : bounds)
            shapes.push_back(polygonOf(bound));
    }
    std::unique_ptr<Tarvex2DGeometry> result = std::move(shapes.front());
    for (size_t i = 1; i < shapes.size(); ++i)
        result->unite(*shapes[i]);
    return result;
}

std::optional<MaterialMapEditor::MaterialInfo> MaterialMapEditor::updateMaterials(CompositeAttribute* layer,
                                                                                   const MaterialMapData& data)
{
    const LayerPlace place = placeOf(layer);
    if (!place.entity)
        return std::nullopt;
    Entity* root = EntityEditor::getRootEntity(place.entity);
    const AttributePath linksPath = place.path / Materials_t;
    const std::vector<Entity*> current = getLinkedEntities(place.entity, linksPath);
    std::vector<Entity*> materials = current;
    MaterialInfo info;
    const auto placeAt = [&](size_t index, const std::string& name) {
        Entity* material = findOrCreateMaterial(root, QString::fromStdString(name)).first;
        if (!material)
            return false;
        if (materials.size() <= index)
            materials.push_back(material);
        else if (materials[index] != material)
            materials[index] = material;
        return true;
    };
    if (!data.metal.empty()) {
        if (!placeAt(0, data.metal))
            return std::nullopt;
        info.hasMetal = true;
        info.metalIndex = 0;
    }
    if (!data.dielectric.empty()) {
        info.dielectricIndex = info.hasMetal ? 1 : 0;
        if (!placeAt(info.dielectricIndex, data.dielectric))
            return std::nullopt;
        info.hasDielectric = true;
    }
    info.count = size_t(info.hasMetal) + size_t(info.hasDielectric);
    materials.resize(info.count);
    if (materials != current && !EntityEditor::setLinksNoThrow(place.entity, linksPath, materials))
        return std::nullopt;
    return info;
}

std::pair<Entity*, bool> MaterialMapEditor::findOrCreateMaterial(Entity* root, const QString& name)
{
    if (Entity* found = EntityFetcher::findMaterial(root, name))
        return {found, false};
    return createMaterial(root, name);
}

std::pair<Entity*, bool> MaterialMapEditor::createMaterial(Entity* root, const QString& name)
{
    const Entity* libraryItem = nullptr;
    if (m_libraryManager) {
        for (const char* path : {"Vendor Libraries/Materials", "Norvane Material Library"}) {
            const Entity* library = m_libraryManager->findLibraryByLibraryPath(QString::fromUtf8(path));
            const Entity* item = library ? m_libraryManager->findLibraryItem(library, name) : nullptr;
            if (item && item->getType() == Material_t) {
                libraryItem = item;
                break;
            }
        }
    }
    Entity* material = EntityEditor::createEntity(Material_t, root, Materials_t, nullptr, 0, name);
    if (material && libraryItem)
        copyPlainAttributes(material, *libraryItem, AttributePath());
    return {material, libraryItem == nullptr};
}

} // namespace Tarvex
