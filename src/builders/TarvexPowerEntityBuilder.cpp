#include <tarvex/builders/TarvexPowerEntityBuilder.h>

#include <tarvex/builders/TarvexEntityBuildState.h>
#include <tarvex/builders/TarvexEntityBuilderBase.h>
#include <tarvex/builders/TarvexPartPlacement.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/HeatSourceAttributes.h>
#include <tarvex/host/SolverTypes.h>
#include <tarvex/host/Transform2D.h>
#include <tarvex/maps/TarvexLegacyPowerMapReader.h>
#include <tarvex/maps/TarvexPowerMapImporter.h>
#include <tarvex/objects/TarvexPowerSourceLegacyPowerMap.h>
#include <tarvex/objects/TarvexPowerSourcePowerMap.h>

#include <QPointF>
#include <QVector>

#include <cmath>
#include <stdexcept>

namespace Tarvex {

using namespace EntityModel;
using Geometry::Bound;
using Geometry::Bound2D;
using Geometry::Transform;
using Geometry::Transform2D;
using Geometry::Vec2;
using Geometry::Vec3;

namespace {

constexpr double pi = 3.14159265358979323846;

// Where the rectangles of an older map land in the file's plane. The reader gives them in
// the map's own frame; the map is scaled, mirrored (a flip about x mirrors y, about y
// mirrors x) and rotated counter-clockwise, and the low corner of the map area so placed
// goes to (xll, yll). Done here because the reader knows nothing of where a map is placed.
class LegacyMapPlacement
{
public:
    LegacyMapPlacement(const TarvexPowerSourceLegacyPowerMap& source, const Bound2D& area)
    {
        const Vec2 size = area.getSize() * source.getGeomScale();
        const Vec2 axis = source.getFlipAxis();
        const Transform2D flip(Vec2(axis.y != 0.0 ? -1.0 : 1.0, 0.0), Vec2(0.0, axis.x != 0.0 ? -1.0 : 1.0),
                               Vec2(axis.y != 0.0 ? size.x : 0.0, axis.x != 0.0 ? size.y : 0.0));
        const Transform2D intoMap = flip * Transform2D::createScale(Vec2(source.getGeomScale(), source.getGeomScale())) *
                                    Transform2D::createTranslation(Vec2() - area.getLow());
        const Transform2D turned = Transform2D::createRotation(source.getRotation() * pi / 180.0) * intoMap;
        const Vec2 low = area.transformed(turned).getLow();
        toFile = Transform2D::createTranslation(Vec2(source.getXll(), source.getYll()) - low) * turned;
    }

    Bound2D place(const Bound2D& rectangle) const { return rectangle.transformed(toFile); }

private:
    Transform2D toFile;
};

// The power of a source or of a map's rectangle, times `scale`: its power, or its power plus
// the leakage at each temperature as a curve.
void writeRectanglePower(Entity* source, const TarvexPowerData& data, double scale)
{
    if (data.leakage.empty()) {
        EntityEditor::setValueNoThrow(source, HeatSourceAttributes::temperatureDependent(), No_t);
        EntityEditor::setSIValueNoThrow(source, HeatSourceAttributes::dissipated(), data.power * scale);
        return;
    }
    QVector<QPointF> curve;
    curve.reserve(int(data.leakage.size()));
    for (const auto& [temperature, leakage] : data.leakage)
        curve.append(QPointF(temperature, (data.power + leakage) * scale));
    EntityEditor::setValueNoThrow(source, HeatSourceAttributes::temperatureDependent(), Yes_t);
    EntityEditor::setSIPointsCurveNoThrow(source, HeatSourceAttributes::dissipatedCurve(), curve);
}

// The source's own rectangle in the file's plane.
Bound2D rectangleOf(const TarvexPowerSource& source)
{
    return Bound2D(Vec2(source.getXll(), source.getYll()),
                   Vec2(source.getXll() + source.getDx(), source.getYll() + source.getDy()));
}

} // namespace

void TarvexPowerEntityBuilder::buildPowerSources(const std::vector<std::shared_ptr<TarvexPowerSource>>& sources,
                                                 const Bound& faces, Entity* receiver,
                                                 const Transform& receiverPlacement,
                                                 TarvexEntityBuildState* sharedState, Tools::ToolProgress* progress)
{
    if (!receiver || sources.empty())
        return;
    TarvexPowerEntityBuilder builder(faces, receiver, receiverPlacement, sharedState, progress);
    for (const auto& source : sources) {
        if (source)
            source->accept(builder);
    }
}

void TarvexPowerEntityBuilder::placeThinSource(Entity* heatSource, const TarvexPlacedGeometry& host,
                                               const Transform& relativeTo)
{
    const Vec3 corner = hostLowCorner(host, relativeTo);
    const Vec3 size = host.bound.getSize();
    EntityEditor::setValueNoThrow(heatSource, Modelling_Level_t, Thin_t);
    // A power of its own, on a place and size of its own.
    EntityEditor::setValueNoThrow(heatSource, HeatSourceAttributes::option(), Total_Heat_t);
    EntityEditor::setValueNoThrow(heatSource, HeatSourceAttributes::sizeFromParent(), No_t);
    EntityEditor::setValueNoThrow(heatSource, Origin_Point_t, Low_Corner_t);
    EntityEditor::setSIValueNoThrow(heatSource, X_Location_t, corner.x);
    EntityEditor::setSIValueNoThrow(heatSource, Y_Location_t, corner.y);
    EntityEditor::setSIValueNoThrow(heatSource, Z_Location_t, corner.z);
    TarvexEntityBuilderBase::writeOrderedRotation(heatSource, Transform());
    EntityEditor::setSIValueNoThrow(heatSource, Width_t, size.x);
    EntityEditor::setSIValueNoThrow(heatSource, Height_t, size.y);
    EntityEditor::setSIValueNoThrow(heatSource, Depth_t, size.z);
}

void TarvexPowerEntityBuilder::writeConstantPower(Entity* heatSource, double power)
{
    writeRectanglePower(heatSource, TarvexPowerData{power, {}}, 1.0);
}

TarvexPowerEntityBuilder::TarvexPowerEntityBuilder(const Bound& faces, Entity* receiver,
                                                   const Transform& receiverPlacement,
                                                   TarvexEntityBuildState* sharedState, Tools::ToolProgress* progress)
    : faces(faces), receiver(receiver), receiverPlacement(receiverPlacement), sharedState(sharedState), progress(progress)
{
}

TarvexPowerEntityBuilder::~TarvexPowerEntityBuilder() = default;

void TarvexPowerEntityBuilder::visitPowerMap(const TarvexPowerSourcePowerMap& source)
{
    const bool up = facesUp(source);
    Entity* heatSource = placeHeatSource(source.getName(), rectangleOf(source), up);
    if (!heatSource)
        return;
    if (source.getPowerMapFile().isEmpty()) {
        writeRectanglePower(heatSource, TarvexPowerData{source.getPower(), {}}, source.getPowerScale());
        return;
    }
    // The stored maps carry the power; the scales and the turn say how the map is laid on
    // the source. Seen from below, a map turns the other way.
    TarvexPowerMapImporter importer(progress);
    importer.setFlip(source.getFlipX(), source.getFlipY());
    importer.setPowerScale(source.getPowerScale());
    importer.setGeometryScale(source.getGeomScale());
    importer.setRotation(up ? source.getRotation() : -source.getRotation());
    importer.importPowerMap(heatSource, source.getPowerMapFile());
}

void TarvexPowerEntityBuilder::visitLegacyPowerMap(const TarvexPowerSourceLegacyPowerMap& source)
{
    const double scale = std::abs(source.getPowerScale() - 1.0) > 1e-6 ? source.getPowerScale() : 1.0;
    if (source.getPowerMapFile().isEmpty()) {
        // Without a map the source spreads its power over its rectangle, as a current one does.
        if (Entity* heatSource = placeHeatSource(source.getName(), rectangleOf(source), facesUp(source)))
            writeRectanglePower(heatSource, TarvexPowerData{source.getPower(), {}}, scale);
        return;
    }
    std::vector<TarvexPowerMapArea> areas;
    try {
        TarvexLegacyPowerMapReader reader;
        reader.read(source.getPowerMapFile(), areas);
    } catch (const std::runtime_error& error) {
        // The reader's message names the file and the line; the other sources still build.
        fatalError(QString::fromStdString(error.what()));
        return;
    }
    const bool up = facesUp(source);
    Bound2D area;
    for (const TarvexPowerMapArea& piece : areas)
        area.unite(piece.bound);
    if (area.isEmpty())
        return;
    const LegacyMapPlacement placement(source, area);
    int number = 0;
    for (const TarvexPowerMapArea& piece : areas) {
        if (!piece.data)
            continue;
        ++number;
        Entity* heatSource = placeHeatSource(QStringLiteral("%1 %2").arg(source.getName()).arg(number),
                                             placement.place(piece.bound), up);
        if (heatSource)
            writeRectanglePower(heatSource, *piece.data, scale);
    }
}

bool TarvexPowerEntityBuilder::facesUp(const TarvexPowerSource& source)
{
    const Vec3& normal = source.getNormal();
    const bool alongZ = std::abs(normal.x) < 1e-6 && std::abs(normal.y) < 1e-6 && std::abs(std::abs(normal.z) - 1.0) < 1e-6;
    if (!alongZ) {
        warning(tr("unsupported normal direction for heat source : %1").arg(source.getName()));
        return false;
    }
    return normal.z > 0.0;
}

Entity* TarvexPowerEntityBuilder::placeHeatSource(const QString& name, const Bound2D& rectangle, bool onTop)
{
    if (!sharedState)
        return nullptr;
    Entity* heatSource = sharedState->getOrCreate(Name_t, name, Heat_Source_t, receiver, Heat_Sources_t).entity;
    if (!heatSource)
        return nullptr;
    // The source lies on the face of the part, in the file's axes, then goes to the host's.
    const double z = onTop ? faces.getHigh().z : faces.getLow().z;
    const TarvexPlacedGeometry face(nullptr, Transform(),
                                    Bound(Vec3(rectangle.getLow().x, rectangle.getLow().y, z),
                                          Vec3(rectangle.getHigh().x, rectangle.getHigh().y, z)));
    placeThinSource(heatSource, toHostFrame(face), receiverPlacement);
    return heatSource;
}

} // namespace Tarvex
