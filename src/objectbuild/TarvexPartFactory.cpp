#include <tarvex/objectbuild/TarvexPartFactory.h>

#include <tarvex/host/FilePaths.h>
#include <tarvex/interchange/TXMXMLModel.h>
#include <tarvex/interchange/TXMXMLTerminalGroup.h>
#include <tarvex/objects/TarvexBasic2RPart.h>
#include <tarvex/objects/TarvexBasicPart.h>
#include <tarvex/objects/TarvexCompositeGeometryObject.h>
#include <tarvex/objectbuild/TarvexFileUnits.h>
#include <tarvex/objects/TarvexLayeredPart.h>
#include <tarvex/objects/TarvexLayeredPartLayerCell.h>
#include <tarvex/objects/TarvexMaterialMap.h>
#include <tarvex/objects/TarvexPartClass.h>
#include <tarvex/objects/TarvexSolderBall.h>
#include <tarvex/objects/TarvexSolderBump.h>

#include <QCoreApplication>
#include <QFileInfo>

#include <optional>

namespace Tarvex {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("Tarvex::TarvexObjectBuilder", text); }

// What a solder ball and a solder bump are made of, read alike.
struct SolderJointValues
{
    QString name;
    double d1 = 0.0;
    double d2 = 0.0;
    double dmax = 0.0;
    double height = 0.0;
    Geometry::Vec3 position;
    std::shared_ptr<TarvexMaterial> material;
};

SolderJointValues readSolderJoint(const TXMXMLSolderJoint& element, const TarvexFileUnits& units,
                                  const TarvexMaterialTable& materials, const Log::ProgressBaseObject& reporter,
                                  const char* noMaterial, const char* badPosition)
{
    SolderJointValues values;
    values.name = element.getName();
    static const QStringList numbers{QStringLiteral("d1"), QStringLiteral("d2"), QStringLiteral("dmax"),
                                     QStringLiteral("ht")};
    const double read[] = {element.getD1(), element.getD2(), element.getDMax(), element.getHeight()};
    // A text that is not a finite number reads as the getters' 0: only numbers read as 0 are
    // looked at again, which on a board is almost none.
    QStringList suspects;
    for (int i = 0; i < numbers.size(); ++i) {
        if (read[i] == 0.0)
            suspects.append(numbers[i]);
    }
    units.warnNotFinite(element, suspects);
    const QString materialName = element.getMatName();
    if (!materialName.isEmpty())
        values.material = materials.find(materialName);
    if (!values.material)
        reporter.warning(tr(noMaterial).arg(values.name));
    values.d1 = units.length(read[0]);
    values.d2 = units.length(read[1]);
    values.dmax = units.length(read[2]);
    values.height = units.length(read[3]);
    if (const std::optional<Geometry::Vec3> position = element.getPositionValue())
        values.position = Geometry::Vec3(units.length(position->x), units.length(position->y), units.length(position->z));
    else
        reporter.warning(tr(badPosition).arg(values.name));
    return values;
}

} // namespace

TarvexPartFactory::TarvexPartFactory(const TXMXMLModel& model, const TXMFileVersion& version, const QDir& directory,
                                     const TarvexFileUnits& units, const TarvexMaterialTable& materials,
                                     const TarvexPowerSourceTable& powerSources,
                                     const Log::ProgressBaseObject& reporter, std::function<void()> advance)
    : m_olderLayout(version < TXMFileVersion::layeredFormat()),
      m_directory(directory),
      m_units(units),
      m_materials(materials),
      m_powerSources(powerSources),
      m_reporter(reporter),
      m_advance(std::move(advance))
{
    // Parts keep records of their terminals, not the elements, so that the document can go
    // as soon as the parts are made.
    for (const TXMXMLTerminalGroup& element : model.getTerminalSet().getTerminalGroups()) {
        const TarvexTerminalGroup group(element.getName(), element.getConnectionType(), element.getTerminalType());
        for (const TXMXMLTerminal& terminal : element.getTerminals()) {
            const QString objectName = terminal.getObjectName();
            m_terminals[objectName].append(TarvexTerminal(terminal.getName(), objectName, terminal.getNormal(),
                                                          terminal.getNX(), terminal.getNY(),
                                                          terminal.getSourcePosition(), group));
        }
    }
    for (const TXMXMLLayoutInclude& include : model.getLayoutSet().getIncludes()) {
        if (!m_layouts.contains(include.getObjectName()))
            m_layouts.insert(include.getObjectName(), include);
    }
    if (m_olderLayout) {
        for (const LegacyXMLSimplificationModel& simplification : model.getSimplificationOptions().getModels()) {
            if (!m_simplifications.contains(simplification.getObjectName()))
                m_simplifications.insert(simplification.getObjectName(), simplification);
        }
    }
}

std::unique_ptr<TarvexPart> TarvexPartFactory::buildGroup(const QList<TXMXMLGeom>& group) const
{
    if (group.isEmpty())
        return nullptr;
    const TXMXMLGeom& first = group.first();
    if (m_olderLayout && m_simplifications.contains(first.getObjectName()))
        return makeLayeredPart(group);
    if (group.size() == 1 && first.getType() == QLatin1String("TwoResistor")) {
        static const QStringList numbers{QStringLiteral("ThetaJC"), QStringLiteral("ThetaJB")};
        m_units.warnNotFinite(first, numbers);
        TarvexBasicPart basic = makeBasicPart(first, true);
        return std::make_unique<TarvexBasic2RPart>(std::move(basic), first.getThetaJC(), first.getThetaJB());
    }
    if (group.size() == 1 && m_olderLayout)
        return std::make_unique<TarvexBasicPart>(makeBasicPart(first, true));
    if (first.getType() != TXMXMLGeom::heatSinkType())
        return makeLayeredPart(group);
    return makeHeatSink(group);
}

TarvexBasicPart TarvexPartFactory::makeBasicPart(const TXMXMLGeom& geom, bool checkMaterial) const
{
    std::shared_ptr<TarvexMaterial> material;
    if (const std::optional<QString> materialName = geom.getMatName())
        material = m_materials.find(*materialName);
    if (!material && checkMaterial)
        m_reporter.warning(tr("No material found for Geom : %1").arg(geom.getName()));

    static const QStringList geomNumbers{QStringLiteral("dz"), QStringLiteral("Power")};
    static const QStringList nodeNumbers{QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")};
    m_units.warnNotFinite(geom, geomNumbers);
    std::vector<Geometry::Vec3> nodes;
    const QList<TXMXMLGeomNode> elements = geom.getNodes();
    nodes.reserve(size_t(elements.size()));
    for (int i = 0; i < elements.size(); ++i) {
        const TXMXMLGeomNode& node = elements[i];
        // A node has no name of its own: it is named by its Geom and its place there.
        m_units.warnNotFinite(node, nodeNumbers, [&]() {
            return QStringLiteral("%1 %2 %3 %4").arg(geom.getTagName(), geom.getName(), node.getTagName()).arg(i + 1);
        });
        nodes.emplace_back(m_units.length(node.getX()), m_units.length(node.getY()), m_units.length(node.getZ()));
    }

    TarvexBasicPart part(geom.getName(), geom.getObjectName(), geom.getType(), m_units.power(geom.getPower()),
                         std::move(nodes), m_units.length(geom.getDz()), m_terminals.value(geom.getName()),
                         std::move(material), m_powerSources.find(geom.getObjectName()));
    m_advance();
    return part;
}

std::unique_ptr<TarvexPart> TarvexPartFactory::makeCell(const TXMXMLGeom& geom) const
{
    TarvexBasicPart basic = makeBasicPart(geom, m_olderLayout);
    if (m_olderLayout)
        return std::make_unique<TarvexLayeredPartLayerCell>(std::move(basic));

    std::shared_ptr<TarvexMaterial> material = basic.getMaterial();
    const auto layout = m_layouts.constFind(geom.getName());
    if (layout != m_layouts.constEnd())
        material = layoutMaterial(geom, *layout);
    if (!material)
        m_reporter.warning(tr("No material found for Geom : %1").arg(geom.getName()));
    return std::make_unique<TarvexLayeredPartLayerCell>(std::move(basic), std::move(material));
}

// The cell's material when its Geom has a layout: the map of metal and dielectric, or the one
// of them the file defines.
std::shared_ptr<TarvexMaterial> TarvexPartFactory::layoutMaterial(const TXMXMLGeom& geom,
                                                                  const TXMXMLLayoutInclude& include) const
{
    // An include without a file gives the pair of materials alone.
    const QString path =
        include.getFile().isEmpty() ? QString() : m_directory.filePath(FileSystem::fileNameOf(include.getFile()));
    if (!path.isEmpty() && !QFileInfo::exists(path))
        m_reporter.warning(tr("No material layout file found for Geom : %1 - %2").arg(geom.getName(), include.getFile()));
    std::shared_ptr<TarvexMaterial> metal = m_materials.find(include.getMetalMat());
    std::shared_ptr<TarvexMaterial> dielectric = m_materials.find(include.getDielectricMat());
    if (!metal)
        return dielectric;
    if (!dielectric)
        return metal;
    return std::make_shared<TarvexMaterialMap>(geom.getName(), std::move(metal), std::move(dielectric), path);
}

std::unique_ptr<TarvexPart> TarvexPartFactory::makeLayeredPart(const QList<TXMXMLGeom>& group) const
{
    std::unique_ptr<TarvexLayeredPart> layered;
    for (const TXMXMLGeom& geom : group) {
        std::unique_ptr<TarvexPart> cell = makeCell(geom);
        if (!cell)
            continue;
        if (!layered) {
            layered = std::make_unique<TarvexLayeredPart>(m_powerSources.find(geom.getObjectName()));
            const auto simplification = m_simplifications.constFind(geom.getObjectName());
            if (simplification != m_simplifications.constEnd())
                layered->setSimplificationGrid(TarvexLayeredPart::SimplificationGrid(simplification->getNX(),
                                                                                    simplification->getNY()));
            layered->addCell(std::move(cell), false);
        } else if (cell->getObjectName() == layered->getObjectName()) {
            layered->addCell(std::move(cell), m_olderLayout);
        }
        m_advance();
    }
    return layered;
}

std::unique_ptr<TarvexPart> TarvexPartFactory::makeHeatSink(const QList<TXMXMLGeom>& group) const
{
    auto composite =
        std::make_unique<TarvexCompositeGeometryObject>(std::make_unique<TarvexBasicPart>(makeBasicPart(group.first(), true)));
    for (int i = 1; i < group.size(); ++i)
        composite->addChild(std::make_unique<TarvexBasicPart>(makeBasicPart(group[i], true)));
    composite->setGeometryDirty();
    return composite;
}

std::unique_ptr<TarvexPart> TarvexPartFactory::buildSolderBall(const TXMXMLSolderBall& element) const
{
    SolderJointValues v = readSolderJoint(element, m_units, m_materials, m_reporter, "No material found for Solderball : %1",
                                          "Invalid position for Solderball : %1");
    m_advance();
    return std::make_unique<TarvexSolderBall>(v.name, v.d1, v.d2, v.dmax, v.height, v.position, std::move(v.material));
}

std::unique_ptr<TarvexPart> TarvexPartFactory::buildSolderBump(const TXMXMLSolderBump& element) const
{
    SolderJointValues v = readSolderJoint(element, m_units, m_materials, m_reporter, "No material found for SolderBump : %1",
                                          "Invalid position for SolderBump : %1");
    m_advance();
    return std::make_unique<TarvexSolderBump>(v.name, v.d1, v.d2, v.dmax, v.height, v.position, std::move(v.material));
}

} // namespace Tarvex
