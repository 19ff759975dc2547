#include <tarvex/objectbuild/TarvexObjectBuilder.h>

#include <tarvex/interchange/TXMXMLModel.h>
#include <tarvex/interchange/TarvexTXMXMLParser.h>
#include <tarvex/objectbuild/TarvexFileUnits.h>
#include <tarvex/objectbuild/TarvexObjectNesting.h>
#include <tarvex/objectbuild/TarvexObjectTableReader.h>
#include <tarvex/objectbuild/TarvexPartFactory.h>
#include <tarvex/objects/TarvexPartClass.h>

#include <QDir>
#include <QFileInfo>

#include <map>
#include <stdexcept>

namespace Tarvex {

namespace {

} // namespace

TarvexObjectBuilder::TarvexObjectBuilder(Tools::ToolProgress* progress, QObject* parent)
    : QObject(parent), progress(progress)
{
}

TarvexObjectBuilder::~TarvexObjectBuilder() = default;

bool TarvexObjectBuilder::readFile(const QString& path)
{
    const QFileInfo file(path);
    // The parsed document lives only while the parts are made: they keep plain values of
    // it, so its tree is gone before entities are built.
    TarvexTXMXMLParser parser(progress);
    const TarvexTXMXMLDocument document = parser.readFile(file.absoluteFilePath());
    if (!document) {
        fatalError(tr("Failed to read file : ") + path);
        return false;
    }
    const TXMXMLModel model = document.getModel();
    version = model.getSchemaVersion();
    build(model, file.absoluteDir());
    return true;
}

void TarvexObjectBuilder::advanceProgress()
{
    ++step;
    if (progress)
        progress->setStep(step);
}

void TarvexObjectBuilder::build(const TXMXMLModel& model, const QDir& directory)
{
    const TarvexFileUnits units(model.getUnitSet(), *this);
    const TarvexObjectTableReader tables(directory, version, units, *this);
    const TarvexMaterialTable materials = tables.readMaterials(model.getMaterialSet());
    const TarvexPowerSourceTable powerSources = tables.readPowerSources(model.getPower2DSourceSet());

    // Boards have hundreds of thousands of joints: they are counted and then walked in the
    // tree, not gathered in lists.
    const TXMXMLSolderBallSet balls = model.getSolderBallSet();
    const TXMXMLSolderBumpSet bumps = model.getSolderBumpSet();
    const int ballCount = balls.countSolderBalls();
    const int bumpCount = bumps.countSolderBumps();
    const QList<TXMXMLGeom> geoms = model.getGeomSet().getGeoms();
    step = 0;
    if (progress)
        progress->setTotalSteps(quint64(geoms.size()) + quint64(ballCount) + quint64(bumpCount));

    std::map<QString, QList<TXMXMLGeom>> geomGroups;
    std::map<QString, std::map<QString, QList<TXMXMLGeom>>> heatSinkGroups;
    for (const TXMXMLGeom& geom : geoms) {
        // Without three nodes there is no outline to extrude, hence no solid to place.
        if (geom.getNodes().size() < 3) {
            warning(tr("Geom %1 has fewer than three nodes and is left out").arg(geom.getName()));
            continue;
        }
        if (geom.getType() == TXMXMLGeom::heatSinkType())
            heatSinkGroups[geom.getObjectName()][geom.getName()].append(geom);
        else
            geomGroups[geom.getObjectName()].append(geom);
    }

    // A source goes onto the part of its object; one whose object the file does not have
    // would be lost without a word.
    for (const auto& source : powerSources.getPowerSources()) {
        if (!geomGroups.count(source->getObjectName()) && !heatSinkGroups.count(source->getObjectName()))
            warning(tr("No part %1 for heat source %2; it is left out")
                        .arg(source->getObjectName(), source->getName()));
    }

    const TarvexPartFactory factory(model, version, directory, units, materials, powerSources, *this,
                                    [this] { advanceProgress(); });
    for (const auto& group : geomGroups) {
        std::unique_ptr<TarvexPart> part = buildPart(factory, group.second, group.first);
        if (!part)
            continue;
        if (classifyPart(*part) == BoardPart)
            objects.push_back(std::make_unique<TarvexObject>(std::move(part)));
        else if (part->getType() == QLatin1String("Package"))
            packages.push_back(std::make_unique<TarvexCompositeGeometryObject>(std::move(part)));
        else
            parts.push_back(std::move(part));
    }
    for (const auto& byObject : heatSinkGroups) {
        for (const auto& group : byObject.second) {
            if (std::unique_ptr<TarvexPart> part = buildPart(factory, group.second, group.first))
                parts.push_back(std::move(part));
        }
    }
    parts.reserve(parts.size() + size_t(ballCount) + size_t(bumpCount));
    balls.forEachSolderBall([&](const TXMXMLSolderBall& ball) { parts.push_back(factory.buildSolderBall(ball)); });
    bumps.forEachSolderBump([&](const TXMXMLSolderBump& bump) { parts.push_back(factory.buildSolderBump(bump)); });
}

std::unique_ptr<TarvexPart> TarvexObjectBuilder::buildPart(const TarvexPartFactory& factory,
                                                          const QList<TXMXMLGeom>& group, const QString& name)
{
    // A bent outline ends the reading of the file; the message says whose it is.
    try {
        std::unique_ptr<TarvexPart> part = factory.buildGroup(group);
        if (part)
            part->updateGeometry();
        return part;
    } catch (const std::runtime_error& error) {
        fatalError(tr("The nodes of %1 do not lie in one plane (%2)").arg(name, QString::fromStdString(error.what())));
        throw;
    }
}

void TarvexObjectBuilder::buildTree()
{
    TarvexObjectNesting nesting(objects, std::move(packages), std::move(parts));
    packages.clear();
    parts.clear();
    nesting.nest(false);
    if (version > TXMFileVersion::layeredFormat())
        nesting.buildTree();
    nesting.finish(packages, parts);

    // Older files nest only into boards and packages; what no board contains would be lost
    // with the builder, so it stays in the model at the top.
    for (std::unique_ptr<TarvexCompositeGeometryObject>& package : packages)
        objects.push_back(std::make_unique<TarvexObject>(std::move(package)));
    for (std::unique_ptr<TarvexPart>& part : parts)
        objects.push_back(std::make_unique<TarvexObject>(std::move(part)));
    packages.clear();
    parts.clear();
}

std::vector<std::unique_ptr<TarvexObject>> TarvexObjectBuilder::takeObjects() { return std::move(objects); }

} // namespace Tarvex
