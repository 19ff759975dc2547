#include "support/TXMXMLModelDescription.h"

namespace Tarvex {

namespace {

// One "name=value" field of a line.
struct Field
{
    Field(const char* name, const QString& value) : text(QLatin1String(name) + QLatin1Char('=') + value) {}
    Field(const char* name, double value) : Field(name, QString::number(value, 'g', 17)) {}
    Field(const char* name, qint32 value) : Field(name, QString::number(value)) {}
    Field(const char* name, bool value) : Field(name, value ? QStringLiteral("yes") : QStringLiteral("no")) {}
    Field(const char* name, const std::optional<QString>& value)
        : Field(name, value ? QLatin1Char('"') + *value + QLatin1Char('"') : QStringLiteral("(none)"))
    {
    }

    QString text;
};

QString line(const char* element, std::initializer_list<Field> fields)
{
    QString text = QString::fromLatin1(element);
    for (const Field& field : fields)
        text += QLatin1Char(' ') + field.text;
    return text;
}

template <typename Ball>
QString describeBall(const char* element, const Ball& ball)
{
    return line(element, {{"Name", ball.getName()}, {"MatName", ball.getMatName()}, {"d1", ball.getD1()},
                          {"d2", ball.getD2()}, {"dmax", ball.getDMax()}, {"ht", ball.getHeight()},
                          {"position", ball.getPosition()}});
}

} // namespace

QStringList describeTXMXMLModel(const TXMXMLModel& model)
{
    QStringList lines;
    lines << line("Model", {{"SchemaVersion", model.getSchemaVersion().toQString()}});

    const TXMXMLUnitSet units = model.getUnitSet();
    lines << line("UNITSet", {{"Length", units.getLength().getUnit()}, {"Power", units.getPower().getUnit()},
                              {"Conductivity", units.getConductivity().getUnit()},
                              {"Density", units.getDensity().getUnit()},
                              {"SpecificHeat", units.getSpecificHeat().getUnit()}});

    const TXMXMLMaterialSet materials = model.getMaterialSet();
    for (const TXMXMLMaterial& m : materials.getMaterials()) {
        lines << line("Material", {{"Name", m.getName()}, {"hasK", m.hasK()}, {"k", m.getK()},
                                   {"hasKxyz", m.hasKxyz()}, {"kx", m.getKx()}, {"ky", m.getKy()}, {"kz", m.getKz()},
                                   {"density", m.getDensity()}, {"specificheat", m.getSpecificHeat()},
                                   {"emissivity", m.getEmissivity()}});
    }
    for (const TXMXMLMaterialInclude& include : materials.getIncludes())
        lines << line("MaterialInclude", {{"File", include.getFile()}});

    for (const LegacyXMLSimplificationModel& grid : model.getSimplificationOptions().getModels()) {
        lines << line("SimplificationModel",
                      {{"ObjectName", grid.getObjectName()}, {"NX", grid.getNX()}, {"NY", grid.getNY()}});
    }

    for (const TXMXMLGeom& geom : model.getGeomSet().getGeoms()) {
        lines << line("Geom", {{"ObjectName", geom.getObjectName()}, {"Name", geom.getName()}, {"Type", geom.getType()},
                               {"MatName", geom.getMatName()}, {"dz", geom.getDz()}, {"Power", geom.getPower()},
                               {"ThetaJB", geom.getThetaJB()}, {"ThetaJC", geom.getThetaJC()}});
        for (const TXMXMLGeomNode& node : geom.getNodes())
            lines << line(" node", {{"x", node.getX()}, {"y", node.getY()}, {"z", node.getZ()}});
    }

    for (const TXMXMLLayoutInclude& include : model.getLayoutSet().getIncludes()) {
        lines << line("LayoutInclude", {{"File", include.getFile()}, {"MetalMat", include.getMetalMat()},
                                        {"DielectricMat", include.getDielectricMat()},
                                        {"ObjectName", include.getObjectName()}});
    }

    for (const TXMXMLPower2DSource& s : model.getPower2DSourceSet().getPower2DSources()) {
        lines << line("Power2DSource", {{"PowerMapFile", s.getPowerMapFile()}, {"xll", s.getXll()}, {"yll", s.getYll()},
                                        {"dx", s.getDx()}, {"dy", s.getDy()}, {"Rotation", s.getRotation()},
                                        {"PowerScale", s.getPowerScale()}, {"GeomScale", s.getGeomScale()},
                                        {"Flip", s.getFlip()}, {"Normal", s.getNormal()}, {"Name", s.getName()},
                                        {"ObjectName", s.getObjectName()}, {"Power", s.getPower()}});
    }

    for (const TXMXMLTerminalGroup& group : model.getTerminalSet().getTerminalGroups()) {
        lines << line("TerminalGroup", {{"ConnectionType", group.getConnectionType()},
                                        {"TerminalType", qint32(group.getTerminalType())}, {"Name", group.getName()}});
        for (const TXMXMLTerminal& t : group.getTerminals()) {
            lines << line(" Terminal", {{"Normal", t.getNormal()}, {"NX", t.getNX()}, {"NY", t.getNY()},
                                        {"Name", t.getName()}, {"ObjectName", t.getObjectName()}});
        }
    }

    for (const TXMXMLSolderBall& ball : model.getSolderBallSet().getSolderBalls())
        lines << describeBall("SolderBall", ball);
    for (const TXMXMLSolderBump& bump : model.getSolderBumpSet().getSolderBumps())
        lines << describeBall("SolderBump", bump);
    return lines;
}

} // namespace Tarvex
