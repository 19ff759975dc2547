#pragma once

#include <tarvex/host/Entity.h>
#include <tarvex/host/PowerMapData.h>
#include <tarvex/host/ProgressBaseObject.h>

#include <QObject>

#include <memory>
#include <vector>

namespace ServerConstructor {

/// The host's power-map importer: a reader subclass turns a file into `PowerMapData`
/// records (`readPowerMapDataImpl`), and this class applies them to an entity.
///
/// Applying replaces the entity's power maps in one undo step ("Import Power Map"); after
/// any failure, running out of memory included, the entity is left exactly as it was. The maps are stored under the entity
/// as follows (doubles in SI units, as everywhere in the model):
///
///     Power_Maps                      entity list, one Power_Map entity per record, in file order
///       Power_Map
///         Name                        the record's name
///         Power_Map_File              the file it was read from
///         Power_Map_Kind              choice: Grid_Map or Area_Map
///         Grid_Rows, Grid_Columns     grid maps: the grid size
///         Die_Area/X_Low, Y_Low, X_High, Y_High    the die area (m), when the file gives one
///         Powers                      grid maps: cell powers (W), bottom row first, row by row;
///                                     area maps: one power per block (W)
///         Power_Blocks/X_Low, Y_Low, X_High, Y_High    area maps: the block rectangles (m),
///                                     four lists indexed like Powers
///         Total_Power                 sum of Powers (W)
///         Leakage_Links               the Power_Map entities this one is linked with
///         Leakage_Temperatures        the leakage temperature of each link (K)
///         Power_Scale, Geometry_Scale, Map_Rotation (degrees), Flip_X, Flip_Y
///                                     how the map is to be placed, as given to the importer;
///                                     the stored powers and lengths are not scaled by them
class PowerMapImporter : public QObject, public Log::ProgressBaseObject
{
    Q_OBJECT

public:
    /// An importer reporting to `progress` (may be null).
    explicit PowerMapImporter(Tools::ToolProgress* progress, QObject* parent = nullptr);
    /// As above; with `reportApplied` set, applying posts an informational message per map.
    PowerMapImporter(bool reportApplied, Tools::ToolProgress* progress, QObject* parent = nullptr);
    ~PowerMapImporter() override;

    /// The kind of map file the reader reads.
    virtual int getType() const = 0;

    /// The records of the map file at `path`; none after a fatal error (already reported).
    std::vector<PowerMapData> readPowerMapData(const QString& path);
    /// Reads the file at `path` and applies its maps to `entity`, replacing the maps an
    /// earlier import left there. False after a fatal error, with the entity unchanged.
    bool importPowerMap(EntityModel::Entity* entity, const QString& path);

    /// Mirrors the map about its x and/or y axis when it is placed.
    void setFlip(bool flipX, bool flipY);
    /// Multiplies every power when the map is placed.
    void setPowerScale(double scale);
    /// Multiplies every length when the map is placed.
    void setGeometryScale(double scale);
    /// Rotates the map by `degrees` when it is placed.
    void setRotation(double degrees);

    /// The power unit of a file that names none: W.
    EntityModel::TypeRef getDefaultPowerUnit() const;
    /// The length unit of a file that names none: um.
    EntityModel::TypeRef getDefaultLengthUnit() const;
    /// A new empty record for the file at `path`, in the default units.
    PowerMapData createPowerMapData(const QString& path) const;

    /// The sink given at construction (through a counter of fatal errors).
    Tools::ToolProgress* getProgress() const override;

private:
    /// Reads the records of the file at `path`, reporting through `getProgress`.
    virtual std::vector<PowerMapData> readPowerMapDataImpl(const QString& path) = 0;

    class CountingProgress;
    struct Converted;
    bool convert(const std::vector<PowerMapData>& records, std::vector<Converted>& converted) const;
    bool write(EntityModel::Entity* entity, const std::vector<Converted>& maps) const;
    static bool sameShape(const EntityModel::Entity* entity, const Converted& map);
    bool importPowerMapGuarded(EntityModel::Entity* entity, const QString& path);

    std::unique_ptr<CountingProgress> m_progress;
    bool m_reportApplied = false;
    bool m_flipX = false;
    bool m_flipY = false;
    double m_powerScale = 1.0;
    double m_geometryScale = 1.0;
    double m_rotation = 0.0;
};

} // namespace ServerConstructor
