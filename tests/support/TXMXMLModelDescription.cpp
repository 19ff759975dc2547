#include "support/TXMXMLModelDescription.h"

namespace Tarvex {

namespace {

// Collects "name=value" fields of one line.
class Line
{
public:
    explicit Line(const char* element) : m_text(QString::fromLatin1(element)) {}

    Line& add(const char* name, const QString& value)
    {
        m_text += QLatin1Char(' ') + QLatin1String(name) + QLatin1Char('=') + value;
        return *this;
    }
    Line& add(const char* name, double value) { return add(name, QString::number(value, 'g', 17)); }
    Line& add(const char* name, qint32 value) { return add(name, QString::number(value)); }
    Line& add(const char* name, bool value) { return add(name, value ? QStringLiteral("yes") : QStringLiteral("no")); }
    Line& add(const char* name, const std::optional<QString>& value)
    {
        return add(name, value ? QLatin1Char('"') + *value + QLatin1Char('"') : QStringLiteral("(none)"));
    }
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

template <typename Ball>
QString describeBall(const char* element, const Ball& ball)
{
    return Line(element)
        .add("Name", ball.getName())
        .add("MatName", ball.getMatName())
        .add("d1", ball.getD1())
        .add("d2", ball.getD2())
        .add("dmax", ball.getDMax())
        .add("ht", ball.getHeight())
        .add("position", ball.getPosition())
        .text();
}

} // namespace

QStringList describeTXMXMLModel(const TXMXMLModel& model)
{
    QStringList lines;
    lines << Line("Model").add("SchemaVersion", model.getSchemaVersion().toQString()).text();

    const TXMXMLUnitSet units = model.getUnitSet();
    lines << Line("UNITSet")
                 .add("Length", units.getLength().getUnit())
                 .add("Power", units.getPower().getUnit())
                 .add("Conductivity", units.getConductivity().getUnit())
                 .add("Density", units.getDensity().getUnit())
                 .add("SpecificHeat", units.getSpecificHeat().getUnit())
                 .text();

    const TXMXMLMaterialSet materials = model.getMaterialSet();
    for (const TXMXMLMaterial& material : materials.getMaterials()) {
        lines << Line("Material")
                     .add("Name", material.getName())
                     .add("hasK", material.hasK())
                     .add("k", material.getK())
                     .add("hasKxyz", material.hasKxyz())
                     .add("kx", material.getKx())
                     .add("ky", material.getKy())
                     .add("kz", material.getKz())
                     .add("density", material.getDensity())
                     .add("specificheat", material.getSpecificHeat())
                     .add("emissivity", material.getEmissivity())
                     .text();
    }
    for (const TXMXMLMaterialInclude& include : materials.getIncludes())
        lines << Line("MaterialInclude").add("File", include.getFile()).text();

    for (const LegacyXMLSimplificationModel& grid : model.getSimplificationOptions().getModels()) {
        lines << Line("SimplificationModel")
                     .add("ObjectName", grid.getObjectName())
                     .add("NX", grid.getNX())
                     .add("NY", grid.getNY())
                     .text();
    }

    for (const TXMXMLGeom& geom : model.getGeomSet().getGeoms()) {
        lines << Line("Geom")
                     .add("ObjectName", geom.getObjectName())
                     .add("Name", geom.getName())
                     .add("Type", geom.getType())
                     .add("MatName", geom.getMatName())
                     .add("dz", geom.getDz())
                     .add("Power", geom.getPower())
                     .add("ThetaJB", geom.getThetaJB())
                     .add("ThetaJC", geom.getThetaJC())
                     .text();
        for (const TXMXMLGeomNode& node : geom.getNodes())
            lines << Line(" node").add("x", node.getX()).add("y", node.getY()).add("z", node.getZ()).text();
    }

    for (const TXMXMLLayoutInclude& include : model.getLayoutSet().getIncludes()) {
        lines << Line("LayoutInclude")
                     .add("File", include.getFile())
                     .add("MetalMat", include.getMetalMat())
                     .add("DielectricMat", include.getDielectricMat())
                     .add("ObjectName", include.getObjectName())
                     .text();
    }

    for (const TXMXMLPower2DSource& source : model.getPower2DSourceSet().getPower2DSources()) {
        lines << Line("Power2DSource")
                     .add("PowerMapFile", source.getPowerMapFile())
                     .add("xll", source.getXll())
                     .add("yll", source.getYll())
                     .add("dx", source.getDx())
                     .add("dy", source.getDy())
                     .add("Rotation", source.getRotation())
                     .add("PowerScale", source.getPowerScale())
                     .add("GeomScale", source.getGeomScale())
                     .add("Flip", source.getFlip())
                     .add("Normal", source.getNormal())
                     .add("Name", source.getName())
                     .add("ObjectName", source.getObjectName())
                     .add("Power", source.getPower())
                     .text();
    }

    for (const TXMXMLTerminalGroup& group : model.getTerminalSet().getTerminalGroups()) {
        lines << Line("TerminalGroup")
                     .add("ConnectionType", group.getConnectionType())
                     .add("TerminalType", qint32(group.getTerminalType()))
                     .add("Name", group.getName())
                     .text();
        for (const TXMXMLTerminal& terminal : group.getTerminals()) {
            lines << Line(" Terminal")
                         .add("Normal", terminal.getNormal())
                         .add("NX", terminal.getNX())
                         .add("NY", terminal.getNY())
                         .add("Name", terminal.getName())
                         .add("ObjectName", terminal.getObjectName())
                         .text();
        }
    }

    for (const TXMXMLSolderBall& ball : model.getSolderBallSet().getSolderBalls())
        lines << describeBall("SolderBall", ball);
    for (const TXMXMLSolderBump& bump : model.getSolderBumpSet().getSolderBumps())
        lines << describeBall("SolderBump", bump);
    return lines;
}

} // namespace Tarvex
