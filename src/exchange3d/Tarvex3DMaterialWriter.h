#pragma once

#include <tarvex/exchange3d/Tarvex3DExportState.h>
#include <tarvex/host/CurveAttribute.h>
#include <tarvex/host/Entity.h>
#include <tarvex/model3d/Tarvex3DDataDescription.h>

#include <QList>
#include <QString>

#include <list>

namespace Tarvex3D {

/// Writes host material entities into the material library of a 3D solver project, as the
/// text tables that the project's data descriptions lay out, so that the library reader
/// gives the same properties back.
class Tarvex3DMaterialWriter
{
public:
    /// One column of a table: its name and where its values come from, a temperature curve
    /// (x in kelvin) or, without one, a constant.
    struct Property
    {
        QString column;
        const EntityModel::CurveAttribute* curve = nullptr;
        double constant = 0.0;
    };

    /// A writer into the project and notes of `state`.
    explicit Tarvex3DMaterialWriter(Tarvex3DExportState& state) : m_state(state) {}

    /// Appends a "Material" element for `material` to the project's library and records the
    /// name it is exported under ("EC_" and the material's name, made unique), which it
    /// returns. Each property is its curve when set to be temperature dependent, else its
    /// constant; an orthotropic conductivity is exported as the mean of K1 to K3, with a note.
    QString exportMaterial(const EntityModel::Entity* material);

    /// The table text of `properties` laid out by `description`: one row per temperature
    /// of the properties' curves in rising order (one row at 25 °C when no property has a
    /// curve), each field followed by a blank: the temperature in °C in the "Temperature"
    /// column, a property's value at that temperature (its constant for every row when it
    /// has no curve) in its column, 0 in any other column. Values are written shortest-exact.
    static QString temperatureDependentValuesToString(const Tarvex3DDataDescription& description,
                                                      const QList<Property>& properties);
    /// The distinct values of `temperatures`, rising.
    static std::list<double> getOrderedTemperatures(const QList<double>& temperatures);

private:
    Property propertyOf(const EntityModel::Entity* material, const EntityModel::AttributePath& path,
                        const QString& column) const;
    Property conductivityOf(const EntityModel::Entity* material, const QString& name);

    Tarvex3DExportState& m_state;
};

} // namespace Tarvex3D
