#pragma once

#include <tarvex/host/Bound.h>
#include <tarvex/host/TypeRef.h>

#include <optional>
#include <string>
#include <vector>

namespace Tarvex {

/// One layer of a material map: a rectangle of the plane filled with a dielectric and a
/// metal, and a grid of metal densities (the fraction of metal in each grid cell). Lengths
/// are in `lengthUnit`; the importer's defaults fill what a file leaves out.
struct MaterialMapData
{
    /// The layer's rectangle in the plane, when the file gives one.
    std::optional<Geometry::Bound2D> area;
    /// The layer's name.
    std::string name;
    /// Name of the metal material.
    std::string metal;
    /// Name of the dielectric material.
    std::string dielectric;
    /// Number of density grid rows (along the plane's y).
    int rows = 1;
    /// Number of density grid columns (along the plane's x).
    int columns = 1;
    /// Densities row by row: the value of row r, column c is at r * columns + c.
    std::vector<double> metalDensity;
    /// Position of the layer's bottom along the stacking axis.
    double upPos = 0.0;
    /// Thickness of the layer.
    double thickness = 0.1;
    /// Factor the editor applies to every length.
    double lengthScaling = 1.0;
    /// Unit of `area`, `upPos` and `thickness`.
    EntityModel::TypeRef lengthUnit = EntityModel::TypeRef("mm");
};

} // namespace Tarvex
