#pragma once

#include <tarvex/maps/MaterialMapEditor.h>

#include <string>
#include <vector>

namespace Tarvex {

/// The kinds of material map file.
enum class MaterialMapType
{
    UniformGrid = 1, ///< a CSV table of densities
    TarvexLayout = 2 ///< the tool's layout file, text or XML
};

/// The driver shared by the material map readers: reads a file into map layers with the
/// reader of the subclass, brings them into one form (named, positive thicknesses, the
/// lowest layer at zero, sorted bottom-up, flipped and rotated as set) and applies them to a
/// host entity or layer. Running out of memory fails an operation like any other fault, with
/// the model as it was.
class MaterialMapImporter : public MaterialMapEditor
{
    Q_OBJECT

public:
    /// An importer of files whose plane is z-up (their y runs against the host's Z).
    explicit MaterialMapImporter(Tools::ToolProgress* progress = nullptr, QObject* parent = nullptr);
    /// An importer of files that are z-up or not.
    MaterialMapImporter(bool fileIsZUp, Tools::ToolProgress* progress, QObject* parent = nullptr);
    ~MaterialMapImporter() override;

    /// The kind of file this importer reads.
    virtual MaterialMapType getType() const = 0;

    /// Reads the file at `path` and applies it to the layers of `entity`.
    bool importFile(const QString& path, EntityModel::Entity* entity);
    /// Reads the file at `path` and applies its first layer to the host `layer`.
    bool importFileInLayer(const QString& path, EntityModel::CompositeAttribute* layer);
    /// The file's layers in the importer's form; empty after any failure.
    std::vector<MaterialMapData> readMaterialMapData(const QString& path);
    /// Flips and rotates `data` as set; true when both succeed.
    bool transformMaterialMapData(std::vector<MaterialMapData>& data) const;
    /// The records of the file at `path` as the format gives them; empty after a failure.
    virtual std::vector<MaterialMapData> readMaterialMapDataImpl(const QString& path) = 0;
    /// A record holding the importer's defaults.
    virtual MaterialMapData createMaterialMapData(const QString& path) const;

    /// Factor applied to lengths of new records.
    void setDefaultLengthScaling(double scaling) { m_defaultLengthScaling = scaling; }
    double getDefaultLengthScaling() const { return m_defaultLengthScaling; }
    /// Unit of new records.
    void setDefaultLengthUnit(const EntityModel::TypeRef& unit) { m_defaultLengthUnit = unit; }
    const EntityModel::TypeRef& getDefaultLengthUnit() const { return m_defaultLengthUnit; }
    /// Metal of new records.
    void setDefaultMetal(const std::string& metal) { m_defaultMetal = metal; }
    const std::string& getDefaultMetal() const { return m_defaultMetal; }
    /// Dielectric of new records.
    void setDefaultDielectric(const std::string& dielectric) { m_defaultDielectric = dielectric; }
    const std::string& getDefaultDielectric() const { return m_defaultDielectric; }
    /// Thickness of new records.
    void setDefaultLayerThickness(double thickness) { m_defaultLayerThickness = thickness; }
    double getDefaultLayerThickness() const { return m_defaultLayerThickness; }
    /// Position of the first new record.
    void setDefaultUpPos(double upPos) { m_defaultUpPos = upPos; }
    double getDefaultUpPos() const { return m_defaultUpPos; }
    /// Mirror the map's x.
    void setFlipXInPlane(bool flip) { m_flipXInPlane = flip; }
    bool getFlipXInPlane() const { return m_flipXInPlane; }
    /// Mirror the map's y.
    void setFlipYInPlane(bool flip) { m_flipYInPlane = flip; }
    bool getFlipYInPlane() const { return m_flipYInPlane; }
    /// Rotation of the map in degrees, counter-clockwise; multiples of 90 only.
    void setRotationInPlane(double degrees) { m_rotationInPlane = degrees; }
    double getRotationInPlane() const { return m_rotationInPlane; }
    /// The file's y runs against the host's Z, so that y is mirrored last.
    void setFileIsZUp(bool zUp) { m_fileIsZUp = zUp; }
    bool getFileIsZUp() const { return m_fileIsZUp; }

protected:
    /// False, after a fatal error, when a grid of `rows` by `columns` cells is more than a
    /// model can hold: readers ask before they spend memory on the cells.
    bool checkCellCount(qint64 rows, qint64 columns);

private:
    bool importFileGuarded(const QString& path, EntityModel::Entity* entity);
    bool importFileInLayerGuarded(const QString& path, EntityModel::CompositeAttribute* layer);
    std::vector<MaterialMapData> readMaterialMapDataGuarded(const QString& path);
    bool checkFile(const QString& path) const;

    double m_defaultLengthScaling = 1.0;
    EntityModel::TypeRef m_defaultLengthUnit = EntityModel::TypeRef("mm");
    std::string m_defaultMetal = "Copper";
    std::string m_defaultDielectric = "Sillicon";
    double m_defaultLayerThickness = 0.1;
    double m_defaultUpPos = 0.0;
    bool m_flipXInPlane = false;
    bool m_flipYInPlane = false;
    double m_rotationInPlane = 0.0;
    bool m_fileIsZUp = true;
};

} // namespace Tarvex
