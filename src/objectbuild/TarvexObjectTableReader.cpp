#include <tarvex/objectbuild/TarvexObjectTableReader.h>

#include <tarvex/host/FilePaths.h>
#include <tarvex/interchange/TXMXMLMaterialSet.h>
#include <tarvex/interchange/TXMXMLPower2DSourceSet.h>
#include <tarvex/model3d/TarvexMaterialImporter.h>
#include <tarvex/objectbuild/TarvexFileUnits.h>
#include <tarvex/objects/TarvexMaterialCMX.h>
#include <tarvex/objects/TarvexMaterialSimple.h>
#include <tarvex/objects/TarvexPowerSourceLegacyPowerMap.h>
#include <tarvex/objects/TarvexPowerSourcePowerMap.h>

#include <QCoreApplication>
#include <QFileInfo>

#include <optional>

namespace Tarvex {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("Tarvex::TarvexObjectBuilder", text); }

// Sources carry power-map files from this version on; older files name line-format maps.
const TXMFileVersion& powerMapVersion()
{
    static const TXMFileVersion version{2024, 1, 2};
    return version;
}

// The flips a source may name: none, about x or about y; nullopt for anything else.
std::optional<Geometry::Vec2> flipAxis(const QString& flip)
{
    const QString text = flip.toLower();
    if (text.isEmpty())
        return Geometry::Vec2(0.0, 0.0);
    if (text == QLatin1String("x"))
        return Geometry::Vec2(1.0, 0.0);
    if (text == QLatin1String("y"))
        return Geometry::Vec2(0.0, 1.0);
    return std::nullopt;
}

// What reading an included library says goes to the import's sink under the library's
// name; an unreadable library only costs its materials, so its errors come as warnings,
// and its steps leave the import's progress alone.
class LibraryMessages : public Tools::ToolProgress
{
public:
    LibraryMessages(Tools::ToolProgress* target, const QString& prefix) : m_target(target), m_prefix(prefix) {}

    void reset() override {}
    void setTotalSteps(quint64) override {}
    void setStep(quint64) override {}
    void post(Kind kind, const QString& text) override
    {
        if (m_target)
            m_target->post(kind == Kind::FatalError ? Kind::Warning : kind, m_prefix + text);
    }

private:
    Tools::ToolProgress* m_target;
    QString m_prefix;
};

} // namespace

TarvexObjectTableReader::TarvexObjectTableReader(const QDir& directory, const TXMFileVersion& version,
                                                 const TarvexFileUnits& units, const Log::ProgressBaseObject& reporter)
    : m_directory(directory), m_version(version), m_units(units), m_reporter(reporter)
{
}

TarvexMaterialTable TarvexObjectTableReader::readMaterials(const TXMXMLMaterialSet& materialSet) const
{
    TarvexMaterialTable table;
    for (const TXMXMLMaterial& element : materialSet.getMaterials()) {
        static const QStringList numbers{QStringLiteral("k"), QStringLiteral("kx"), QStringLiteral("ky"),
                                         QStringLiteral("kz"), QStringLiteral("density"),
                                         QStringLiteral("specificheat"), QStringLiteral("emissivity")};
        m_units.warnNotFinite(element, numbers);
        const double density = m_units.density(element.getDensity());
        const double specificHeat = m_units.specificHeat(element.getSpecificHeat());
        const double emissivity = element.getEmissivity();
        if (element.hasKxyz()) {
            const Geometry::Vec3 k(m_units.conductivity(element.getKx()), m_units.conductivity(element.getKy()),
                                   m_units.conductivity(element.getKz()));
            table.insert(std::make_shared<TarvexMaterialSimple>(element.getName(), density, specificHeat, k, emissivity));
        } else {
            const double k = element.hasK() ? m_units.conductivity(element.getK()) : 0.0;
            table.insert(std::make_shared<TarvexMaterialSimple>(element.getName(), density, specificHeat, k, emissivity));
        }
    }
    for (const TXMXMLMaterialInclude& include : materialSet.getIncludes())
        readLibrary(include.getFile(), table);
    return table;
}

void TarvexObjectTableReader::readLibrary(const QString& file, TarvexMaterialTable& table) const
{
    const QString fileName = FileSystem::fileNameOf(file);
    if (fileName.isEmpty()) {
        m_reporter.warning(tr("A material library include names no file; it is left out"));
        return;
    }
    const QString path = m_directory.filePath(fileName);
    if (!QFileInfo(path).isFile()) {
        m_reporter.warning(fileName + QStringLiteral(" : ") + tr("Material library %1 does not exist").arg(path));
        return;
    }
    LibraryMessages messages(m_reporter.getProgress(), fileName + QStringLiteral(" : "));
    Tarvex3D::TarvexMaterialImporter importer(&messages);
    for (const Tarvex3D::Tarvex3DMaterial& material : importer.readMaterials(path))
        table.insert(std::make_shared<TarvexMaterialCMX>(material));
}

TarvexPowerSourceTable TarvexObjectTableReader::readPowerSources(const TXMXMLPower2DSourceSet& sourceSet) const
{
    TarvexPowerSourceTable table;
    for (TXMXMLPower2DSource element : sourceSet.getPower2DSources()) {
        QString mapFile = element.getPowerMapFile();
        if (!mapFile.isEmpty()) {
            const QString fileName = FileSystem::fileNameOf(mapFile);
            mapFile = m_directory.filePath(fileName);
            element.setPowerMapFile(mapFile);
            if (!QFileInfo(mapFile).isFile()) {
                m_reporter.warning(fileName + QStringLiteral(" : ") + tr("Power Map File %1 does not exist").arg(mapFile));
                continue;
            }
        } else {
            element.setPowerMapFile(QString());
        }

        static const QStringList numbers{QStringLiteral("xll"), QStringLiteral("yll"), QStringLiteral("dx"),
                                         QStringLiteral("dy"), QStringLiteral("Power"), QStringLiteral("PowerScale"),
                                         QStringLiteral("Rotation"), QStringLiteral("GeomScale")};
        m_units.warnNotFinite(element, numbers);
        TarvexPowerSource::Common common;
        common.name = element.getName();
        common.objectName = element.getObjectName();
        common.xll = m_units.length(element.getXll());
        common.yll = m_units.length(element.getYll());
        common.dx = m_units.length(element.getDx());
        common.dy = m_units.length(element.getDy());
        const QString normal = element.getNormal().toLower();
        if (normal == QLatin1String("z-")) {
            common.normal = Geometry::Vec3(0.0, 0.0, -1.0);
        } else {
            common.normal = Geometry::Vec3(0.0, 0.0, 1.0);
            if (normal != QLatin1String("z+"))
                m_reporter.warning(tr("Unsupported normal for heat source :%1").arg(common.name));
        }
        std::optional<Geometry::Vec2> flip = flipAxis(element.getFlip());
        if (!flip) {
            m_reporter.warning(tr("Unsupported normal for heat source :%1").arg(common.name));
            flip = Geometry::Vec2(0.0, 0.0);
        }
        const double power = m_units.power(element.getPower());
        const double powerScale = element.getPowerScale();
        common.rotation = element.getRotation();
        common.geomScale = element.getGeomScale();

        if (m_version >= powerMapVersion())
            table.insert(std::make_shared<TarvexPowerSourcePowerMap>(common, flip->x != 0.0, flip->y != 0.0, powerScale,
                                                                     power, mapFile));
        else
            table.insert(std::make_shared<TarvexPowerSourceLegacyPowerMap>(common, *flip, powerScale, power, mapFile));
    }
    return table;
}

} // namespace Tarvex
