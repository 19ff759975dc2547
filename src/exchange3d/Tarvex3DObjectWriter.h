#pragma once

#include <tarvex/exchange3d/Tarvex3DExportState.h>
#include <tarvex/host/CADModel.h>
#include <tarvex/host/Entity.h>

#include <QDomElement>
#include <QString>
#include <QStringList>

namespace Tarvex3D {

/// Turns host entities into objects of a 3D solver project: every object is appended to the
/// project's "Objects" and linked into its "Structure" tree by "Object" elements carrying its
/// id. Solids become "GeomObject"s with a geometry file beside the project, groups
/// "DataGroup"s, and heat sources, sensors, terminals, stress constraints, electrical and
/// heat-transfer boundaries the objects of their analysis groups.
class Tarvex3DObjectWriter
{
public:
    /// A writer into the project, ids, names, files and notes of `state`.
    explicit Tarvex3DObjectWriter(Tarvex3DExportState& state) : m_state(state) {}

    /// Exports `entity` and what it holds under the structure element `parent`; returns the
    /// structure element its children went into (null when it was left out or has none).
    /// Groups become data groups of their children; a solid with children is followed by a
    /// data group "<name>_Group" holding them; boundaries, sensors and terminals are linked
    /// into the group of their analysis instead of `parent`.
    QDomElement exportEntity(const EntityModel::Entity* entity, QDomElement& parent);
    /// Writes, for the solver, the geometry file "NAME.sab" of `entity` when it is a solid
    /// with a body, and of every solid below it; each solid gets its name and ids set aside
    /// (the solver's ids replace them) and is listed in the state's `solverSolids`.
    void exportGeometry(const EntityModel::Entity* entity);
    /// Takes as the state's solver solids the objects the solver made of their files: in
    /// "Objects", the data group of the solid's name and the geometry objects and operation
    /// that follow it. Each geometry object gets the solid's own name, material and colour;
    /// the solid takes the ids of the first of them and of the operation. Returns the names
    /// of the solids not found.
    QStringList adoptSolverSolids();

    /// True for the host types an export takes.
    static bool canExport(const EntityModel::TypeRef& type);
    /// True when `entity` is solved in FEA: it has no `Solve_Using_t`, or that is `FEA_t`.
    static bool solvesInFea(const EntityModel::Entity* entity);
    /// The colour of `entity` as the project writes it: red × 2^24 + green × 2^16 + blue × 2^8,
    /// 0xB4B4B400 (grey) for an entity without a colour.
    static quint32 colourValue(const EntityModel::Entity* entity);
    /// The reference-face text of `entity` ("S owner F 1 1 face 1 operation  I 0"), or "-1"
    /// when it is neither a face nor held by a face or a component.
    QString getReferenceFace(const EntityModel::Entity* entity) const;
    /// The face number of a face entity: from the side of the cuboid it was set on, else from
    /// the outward normal of its CAD face (1 -z, 2 -y, 3 -x, 4 +x, 5 +y, 6 +z), else 1.
    static int faceNumber(const EntityModel::Entity* face);

private:
    QDomElement exportSolid(const EntityModel::Entity* entity, QDomElement& parent);
    QDomElement exportDataGroup(const EntityModel::Entity* entity, QDomElement& parent, const QString& name);
    QDomElement createSolidGeom(const EntityModel::Entity* entity, QDomElement& parent, const QString& name);
    QDomElement exportHTC(const EntityModel::Entity* entity);
    QDomElement exportHeatsource(const EntityModel::Entity* entity);
    QDomElement exportSensor(const EntityModel::Entity* entity);
    QDomElement exportProbe3D(const EntityModel::Entity* entity);
    QDomElement exportTerminal(const EntityModel::Entity* entity);
    QDomElement exportTerminalGroup(const EntityModel::Entity* entity, QDomElement& parent, const QString& name);
    QDomElement exportStressObject(const EntityModel::Entity* entity);
    QDomElement exportElectricalBoundary(const EntityModel::Entity* entity);

    QString solidName(const EntityModel::Entity* entity);
    QString dumpGeomFile(const EntityModel::Entity* entity, const CADinterface::CADModel& geometry,
                         const QString& fileName);
    QDomElement getAttachementStructureNode(const EntityModel::Entity* entity, const QString& group) const;
    QDomElement newObject(const QString& tag, const QString& metaid, const QString& name,
                          const EntityModel::Entity* recordFor);
    void setCommon(QDomElement& object, const EntityModel::Entity* entity) const;
    static QDomElement createObjectElem(const QString& id, QDomElement parent);
    QString materialName(const EntityModel::Entity* entity) const;
    QString ownerId(const EntityModel::Entity* entity) const;

    Tarvex3DExportState& m_state;
};

} // namespace Tarvex3D
