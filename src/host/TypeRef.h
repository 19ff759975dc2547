#pragma once

#include <QHash>
#include <QString>

#include <algorithm>
#include <cstring>

namespace EntityModel {

/// True when two labels hold the same text. QString's own equality, inline: labels are
/// short and compared millions of times in an import, where the library's call costs more
/// than the comparing.
inline bool sameLabel(const QString& left, const QString& right)
{
    return left.size() == right.size() &&
           (left.constData() == right.constData() ||
            std::memcmp(left.constData(), right.constData(), sizeof(QChar) * size_t(left.size())) == 0);
}

/// True when `left` sorts before `right`: QString's own order (by UTF-16 code unit), inline
/// for the same reason.
inline bool labelBefore(const QString& left, const QString& right)
{
    const QChar* a = left.constData();
    const QChar* b = right.constData();
    const int common = std::min(left.size(), right.size());
    for (int i = 0; i < common; ++i) {
        if (a[i] != b[i])
            return a[i].unicode() < b[i].unicode();
    }
    return left.size() < right.size();
}

/// An entity type, attribute name or choice value of the host model, known by its label.
/// Two references are equal when their labels are equal.
class TypeRef
{
public:
    /// The null reference (empty label).
    TypeRef() = default;
    /// A reference built from its label, for example "PCB" or "W/(m K)".
    explicit TypeRef(const QString& label) : m_label(label) {}
    /// Same as the QString form, for literals.
    explicit TypeRef(const char* label) : m_label(QString::fromUtf8(label)) {}

    /// The label this reference was made from.
    const QString& getLabel() const { return m_label; }
    /// True for the null reference.
    bool isNull() const { return m_label.isEmpty(); }

    bool operator==(const TypeRef& other) const { return sameLabel(m_label, other.m_label); }
    bool operator!=(const TypeRef& other) const { return !sameLabel(m_label, other.m_label); }
    bool operator<(const TypeRef& other) const { return labelBefore(m_label, other.m_label); }

private:
    QString m_label;
};

inline uint qHash(const TypeRef& ref, uint seed = 0) { return qHash(ref.getLabel(), seed); }

// Exported constants, one per label the system uses (label = name without "_t").
// Entity types.
extern const TypeRef Project_t;
extern const TypeRef Chassis_t;
extern const TypeRef Solution_Control_t;
extern const TypeRef Tarvex_Studio_Control_t;
extern const TypeRef PCB_t;
extern const TypeRef Component_t;
extern const TypeRef Subassembly_t;
extern const TypeRef Subcomponent_Group_t;
extern const TypeRef Solid_Obstruction_t;
extern const TypeRef Perforated_Obstruction_t;
extern const TypeRef Porous_Obstruction_t;
extern const TypeRef Group_Obstruction_t;
extern const TypeRef Obstruction_Hole_t;
extern const TypeRef Terminal_t;
extern const TypeRef Terminal_Group_t;
extern const TypeRef Heat_Source_t;
extern const TypeRef Substrate_t;
extern const TypeRef Material_t;
// Attributes.
extern const TypeRef Name_t;
extern const TypeRef Reference_Designator_t;
extern const TypeRef X_Location_t;
extern const TypeRef Y_Location_t;
extern const TypeRef Z_Location_t;
extern const TypeRef Width_t;
extern const TypeRef Height_t;
extern const TypeRef Depth_t;
extern const TypeRef Thickness_t;
extern const TypeRef Board_Side_t;
extern const TypeRef Solid_Objects_t;
extern const TypeRef Allow_Temperature_Dependent_Power_t;
extern const TypeRef Output_convective_HTC_t;
extern const TypeRef Is_Tarvex_Extended_t;
extern const TypeRef Objects_t;
extern const TypeRef Obstructions_t;
extern const TypeRef Components_t;
extern const TypeRef Materials_t;
// Choice values.
extern const TypeRef Yes_t;
extern const TypeRef No_t;
extern const TypeRef Top_t;
extern const TypeRef Bottom_t;
// Quantities.
extern const TypeRef Length_t;
extern const TypeRef Power_t;
extern const TypeRef Temperature_t;
extern const TypeRef Conductivity_t;
extern const TypeRef Density_t;
extern const TypeRef SpecificHeat_t;
extern const TypeRef Specific_Heat_t;
extern const TypeRef Area_t;
extern const TypeRef Mass_t;
extern const TypeRef Time_t;
extern const TypeRef Force_t;
extern const TypeRef Displacement_t;
extern const TypeRef Heat_Transfer_Coefficient_t;
extern const TypeRef Thermal_Resistance_t;
// Units.
extern const TypeRef um_t;
extern const TypeRef mm_t;
extern const TypeRef m_t;
extern const TypeRef W_t;
extern const TypeRef C_t;

// Material properties and the material library.
extern const TypeRef Electrical_Conductivity_t;
extern const TypeRef Structural_Analysis_Properties_t;
extern const TypeRef Elasticity_t;
extern const TypeRef Youngs_Modulus_t;
extern const TypeRef Poissons_Ratio_t;
extern const TypeRef Thermal_Expansion_Coefficient_t;
extern const TypeRef Reference_Temperature_t;
extern const TypeRef Heat_Radiation_Properties_t;
extern const TypeRef Surface_Emissivity_t;
extern const TypeRef Solar_Radiation_Properties_t;
extern const TypeRef Solar_Reflectance_t;
extern const TypeRef Option_t;
extern const TypeRef Value_t;
extern const TypeRef Conductivity_Temperature_Curve_t;
extern const TypeRef Electrical_Conductivity_Temperature_Curve_t;
extern const TypeRef Specific_Heat_Temperature_Curve_t;
extern const TypeRef Youngs_Modulus_Temperature_Curve_t;
extern const TypeRef Poissons_Ratio_Temperature_Curve_t;
extern const TypeRef Thermal_Expansion_Coefficient_Temperature_Curve_t;
extern const TypeRef Last_Modified_t;
extern const TypeRef Material_Library_t;
extern const TypeRef Libraries_t;
extern const TypeRef Library_Items_t;
extern const TypeRef Read_Only_t;

// Material conductivity and simple material properties.
extern const TypeRef Type_t;
extern const TypeRef Isotropic_t;
extern const TypeRef Orthotropic_t;
extern const TypeRef Constant_t;
extern const TypeRef K1_t;
extern const TypeRef K2_t;
extern const TypeRef K3_t;
extern const TypeRef Emissivity_t;

// Layered models and material maps.
extern const TypeRef Tarvex_Interchange_Model_t;
extern const TypeRef Tarvex_Layers_Definition_t;
extern const TypeRef Tarvex_Layers_t;
extern const TypeRef Tarvex_Layer_Items_t;
extern const TypeRef Construction_t;
extern const TypeRef Modelling_Level_t;
extern const TypeRef Active_t;
extern const TypeRef Shape_t;
extern const TypeRef Outline_t;
extern const TypeRef Material_Fraction_t;
extern const TypeRef Rectangle_t;
extern const TypeRef Polygon_t;
extern const TypeRef Cuboid_t;

// Power maps applied to an entity.
extern const TypeRef Power_Maps_t;
extern const TypeRef Power_Map_t;
extern const TypeRef Power_Map_File_t;
extern const TypeRef Power_Map_Kind_t;
extern const TypeRef Grid_Map_t;
extern const TypeRef Area_Map_t;
extern const TypeRef Grid_Rows_t;
extern const TypeRef Grid_Columns_t;
extern const TypeRef Die_Area_t;
extern const TypeRef Power_Blocks_t;
extern const TypeRef X_Low_t;
extern const TypeRef Y_Low_t;
extern const TypeRef X_High_t;
extern const TypeRef Y_High_t;
extern const TypeRef Powers_t;
extern const TypeRef Total_Power_t;
extern const TypeRef Leakage_Links_t;
extern const TypeRef Leakage_Temperatures_t;
extern const TypeRef Power_Scale_t;
extern const TypeRef Geometry_Scale_t;
extern const TypeRef Map_Rotation_t;
extern const TypeRef Flip_X_t;
extern const TypeRef Flip_Y_t;

// Entities the entity builders create: solder joints, subcomponent groups, and where an
// entity's origin sits.
extern const TypeRef Bump_t;
extern const TypeRef Bumps_t;
extern const TypeRef SubcomponentGroups_t;
extern const TypeRef Origin_Point_t;
extern const TypeRef Low_Corner_t;
extern const TypeRef Model_t;

// Layered entities, their holes, heat sources and placement.
extern const TypeRef Holes_t;
extern const TypeRef PCB_Hole_t;
extern const TypeRef Substrate_Hole_t;
extern const TypeRef Partial_Hole_t;
extern const TypeRef Partial_Hole_Depth_t;
extern const TypeRef From_Bottom_t;
extern const TypeRef From_Top_t;
extern const TypeRef Heat_Sources_t;
extern const TypeRef Temperature_Dependent_Heat_Dissipation_t;
extern const TypeRef Heat_Dissipated_t;
extern const TypeRef Heat_Dissipated_Temperature_Curve_t;
extern const TypeRef Thin_t;
extern const TypeRef Tarvex_Interchange_Placement_t;
extern const TypeRef Rotation_Mechanism_t;
extern const TypeRef Ordered_t;
extern const TypeRef Rotation_Order_t;
extern const TypeRef ZYX_t;
extern const TypeRef Angle_1_t;
extern const TypeRef Angle_2_t;
extern const TypeRef Angle_3_t;
extern const TypeRef Angle_t;
extern const TypeRef Importer_Version_t;

// Solder balls and bumps.
extern const TypeRef Definition_t;
extern const TypeRef Detailed_t;
extern const TypeRef Max_Diameter_t;
extern const TypeRef Top_Diameter_t;
extern const TypeRef Bottom_Diameter_t;

// Compact models and the kinds of block of a package.
extern const TypeRef _2R_t;
extern const TypeRef Junction_to_Case_Thermal_Resistance_t;
extern const TypeRef Junction_to_Board_Thermal_Resistance_t;
extern const TypeRef Thermal_Design_Power_t;
extern const TypeRef Die_Attach_t;
extern const TypeRef Die_t;
extern const TypeRef Encapsulant_t;

// Terminals of an imported part and their groups: how a group is exported, whether it
// conducts, the grid of pins on a terminal's face and where the face lies.
extern const TypeRef Include_Conduction_t;
extern const TypeRef Export_Options_t;
extern const TypeRef Export_Type_t;
extern const TypeRef Lump_t;
extern const TypeRef Separate_t;
extern const TypeRef Pin_Layout_t;
extern const TypeRef N_1_t;
extern const TypeRef N_2_t;
extern const TypeRef Offset_1_t;
extern const TypeRef Offset_2_t;
extern const TypeRef Terminal_Nodes_t;
extern const TypeRef Nodes_t;

} // namespace EntityModel
