#pragma once

#include <tarvex/host/AttributePath.h>
#include <tarvex/host/BasicEditor.h>
#include <tarvex/host/UndoStackOpener.h>
#include <tarvex/maps/MaterialMapData.h>

#include <QString>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace EntityModel {
class CompositeAttribute;
class Entity;
class LibraryManager;
class Model;
}

namespace Tarvex {

class Tarvex2DGeometry;

/// Writes material maps into the layered model of host entities: each layer of the map
/// becomes a grid of cells of a host layer, each cell with its rectangle (or its piece of
/// the layer's outline), an active flag and the percentages of metal and dielectric, and
/// the layer's materials become the metal and the dielectric. The host layer, or the whole
/// component, can be resized to the map instead.
///
/// Every application is one undo step. When the step is the outermost one and the
/// application fails, the step is taken back, so that a failed application leaves the
/// entity and its layers as they were.
class MaterialMapEditor : public ServerConstructor::BasicEditor
{
    Q_OBJECT

public:
    /// An editor reporting to `progress` (may be null).
    explicit MaterialMapEditor(Tools::ToolProgress* progress = nullptr, QObject* parent = nullptr);
    ~MaterialMapEditor() override;

    /// Resize the host layer or component to the map instead of fitting the map into it.
    void setResizeOwner(bool resize) { m_resizeOwner = resize; }
    /// True when the host layer or component is resized to the map.
    bool getResizeOwner() const { return m_resizeOwner; }
    /// After writing lengths, show them in the map's length unit.
    void setUpdateUnits(bool update) { m_updateUnits = update; }
    /// True when written lengths are shown in the map's length unit.
    bool getUpdateUnits() const { return m_updateUnits; }
    /// The material libraries searched for a material the model lacks (may be null).
    void setLibraryManager(const EntityModel::LibraryManager* manager) { m_libraryManager = manager; }

    /// The path of an entity's layer list.
    static const EntityModel::AttributePath& layersPath();

    /// Applies one map layer per record to the layers of `entity`, whose layer list is
    /// first made as long as the list of records. False when the list is empty, the map does
    /// not fit the entity, or a layer could not be applied; the entity is then as it was,
    /// also when memory ran out.
    bool applyDataToEntity(std::vector<MaterialMapData>& data, EntityModel::Entity* entity);
    /// Applies one map layer to the host `layer` (an item of an entity's layer list).
    bool applyDataToLayer(const MaterialMapData& data, EntityModel::CompositeAttribute* layer);

    /// Resizes `entity` to the records' area and up extent; true when every resize that
    /// ran succeeded.
    bool resizeEntity(const std::vector<MaterialMapData>& data, EntityModel::Entity* entity);
    /// Resizes `entity` to the records' area; true without a change when no record has one.
    bool resizeEntity2D(const std::vector<MaterialMapData>& data, EntityModel::Entity* entity);
    /// Gives `layer` the record's name, thickness and position and one item covering the
    /// record's area.
    bool resizeLayer(const MaterialMapData& data, EntityModel::CompositeAttribute* layer, bool updateUnits) const;

    /// True when the entity's X-Z box holds the area of every record.
    static bool isContainedInEntity2D(const EntityModel::Entity* entity, const std::vector<MaterialMapData>& data);
    /// As `isContainedInEntity2D`, and the entity's Y extent holds the records' up extent.
    static bool isContainedInEntity3D(const EntityModel::Entity* entity, const std::vector<MaterialMapData>& data);
    /// True when the items of `layer` cover a rectangle that holds the record's area.
    static bool isContainedInLayer2D(const EntityModel::CompositeAttribute* layer, const MaterialMapData& data);
    /// As `isContainedInLayer2D`, and the layer's Y extent holds the record's up extent.
    static bool isContainedInLayer3D(const EntityModel::CompositeAttribute* layer, const MaterialMapData& data);

    /// The record's extent along the stacking axis, [upPos, upPos + thickness], in metres.
    static std::optional<Geometry::Bound1D> getMaterialMapUpBound(const MaterialMapData& data);
    /// The union of the records' up extents; empty for no record.
    static std::optional<Geometry::Bound1D> getMaterialMapUpBound(const std::vector<MaterialMapData>& data);
    /// The union of the records' areas in metres; empty when no record has an area.
    static std::optional<Geometry::Bound2D> getMaterialMapGlobalBound2D(const std::vector<MaterialMapData>& data);
    /// The records' box in host axes (map x along X, stacking along Y, map y along Z).
    static std::optional<Geometry::Bound> getMaterialMapGlobalBound(const std::vector<MaterialMapData>& data);
    /// The rectangle covered by the layer's items, in metres; empty without items.
    static std::optional<Geometry::Bound2D> getLayerBound2D(const EntityModel::CompositeAttribute* layer);
    /// The layer's extent along Y; empty for no layer.
    static std::optional<Geometry::Bound1D> getLayerBoundYUp(const EntityModel::CompositeAttribute* layer);
    /// A layer has no box of its own: always empty.
    static std::optional<Geometry::Bound> getLayerBound(const EntityModel::CompositeAttribute* layer);

    /// Mirrors the records' areas within their common bound and their density grids:
    /// `flipX` reverses the columns, `flipY` the rows. Throws std::runtime_error when the
    /// mirrored areas cannot be aligned with the original bound.
    static bool flipMaterialMapData(std::vector<MaterialMapData>& data, bool flipX, bool flipY);
    /// Rotates the records counter-clockwise by `angle` degrees (truncated to whole
    /// degrees) within their common bound; false, changing nothing, for an angle that is
    /// not a multiple of 90. Throws std::runtime_error as `flipMaterialMapData`.
    static bool rotateMaterialMapData(std::vector<MaterialMapData>& data, double angle);

protected:
    /// One undo step around an edit. `finish(false)` on the outermost step takes back what
    /// the step recorded; an inner step leaves that to the outer one.
    class EditStep
    {
    public:
        EditStep(EntityModel::Model* model, const QString& name);
        ~EditStep();
        EditStep(const EditStep&) = delete;
        EditStep& operator=(const EditStep&) = delete;
        /// Closes the step, taking it back when `succeeded` is false; returns `succeeded`.
        bool finish(bool succeeded);

    private:
        EntityModel::Model* m_model;
        bool m_outermost = false;
        int m_doneBefore = 0; // the steps done before this one opened
        std::optional<EntityModel::UndoStackOpener> m_opener;
    };

    /// The name of the undo step of a material map application.
    static QString stepName();

private:
    bool applyDataToEntityGuarded(std::vector<MaterialMapData>& data, EntityModel::Entity* entity);
    bool applyDataToLayerGuarded(const MaterialMapData& data, EntityModel::CompositeAttribute* layer);

    struct MaterialInfo
    {
        size_t metalIndex = 0;
        bool hasMetal = false;
        size_t dielectricIndex = 0;
        bool hasDielectric = false;
        size_t count = 0;
    };

    bool applyToLayer(const MaterialMapData& data, EntityModel::CompositeAttribute* layer);
    std::unique_ptr<Tarvex2DGeometry> getLayerGeometry2D(const EntityModel::CompositeAttribute* layer) const;
    std::optional<MaterialInfo> updateMaterials(EntityModel::CompositeAttribute* layer, const MaterialMapData& data);
    std::pair<EntityModel::Entity*, bool> findOrCreateMaterial(EntityModel::Entity* root, const QString& name);
    std::pair<EntityModel::Entity*, bool> createMaterial(EntityModel::Entity* root, const QString& name);

    bool m_resizeOwner = false;
    bool m_updateUnits = true;
    const EntityModel::LibraryManager* m_libraryManager = nullptr;
};

} // namespace Tarvex
