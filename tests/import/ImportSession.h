#pragma once

#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/GeometryBuilder.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/ModelFile.h>
#include <tarvex/import/TarvexImporter.h>
#include "support/RecordingProgress.h"
#include "support/TempDir.h"

#include <memory>
#include <vector>

namespace ImportTest {

/// One block: x 2..4 mm, y 3..6 mm, z 1.6..2.6 mm, so its footprint centre is (3, 4.5) mm
/// and its bottom 1.6 mm.
inline const char* const OneBlock =
    "<Geom ObjectName=\"C1\" Name=\"C1\" Type=\"Block\" MatName=\"FR4\" dz=\"1\"><node x=\"2\" y=\"3\" z=\"1.6\"/>"
    "<node x=\"4\" y=\"3\" z=\"1.6\"/><node x=\"4\" y=\"6\" z=\"1.6\"/><node x=\"2\" y=\"6\" z=\"1.6\"/></Geom>";

/// An interchange file in mm with material FR4 and `geoms`.
inline QByteArray interchangeFile(const QString& geoms)
{
    return ("<TARVEX_INTERCHANGE_MODEL SchemaVersion=\"2025.1.0\"><UNITSet><Length Unit=\"mm\"/></UNITSet>"
            "<MaterialSet><Material Name=\"FR4\" k=\"0.3\" density=\"1900\" specificheat=\"1150\"/></MaterialSet>"
            "<GEOMSet>" + geoms + "</GEOMSet></TARVEX_INTERCHANGE_MODEL>")
        .toUtf8();
}

/// A new host model with an importer building below its chassis, the sink it reports to,
/// and a temporary folder for the files it reads.
struct ImportSession
{
    std::unique_ptr<EntityModel::Model> model = EntityModel::Model::createDefault();
    EntityModel::Entity* chassis = EntityModel::EntityFetcher::getChassis(model->getRoot());
    Tools::RecordingProgress progress;
    Geometry::GeometryBuilder geometry;
    Tarvex::TarvexImporter importer{chassis, &progress, &geometry};
    TestSupport::TempDir dir;

    /// The model as it would be saved.
    QByteArray json() const { return EntityModel::ModelFile::toJson(*model); }
    /// The plain messages posted so far.
    QStringList messages() const { return progress.texts(Tools::ToolProgress::Kind::Message); }

    /// The host bound of `entities` together.
    Geometry::Bound boundOf(const std::vector<EntityModel::Entity*>& entities)
    {
        Geometry::Bound bound;
        for (EntityModel::Entity* entity : entities) {
            if (const Geometry::Part* part = geometry.refreshPart(entity))
                bound.unite(part->getBound());
        }
        return bound;
    }
};

} // namespace ImportTest
