#pragma once

#include "host/EntityFetcher.h"
#include "host/GeometryBuilder.h"
#include "host/Model.h"
#include "host/ModelFile.h"
#include "import/TarvexImporter.h"
#include "support/RecordingProgress.h"
#include "support/TempDir.h"

#include <memory>
#include <vector>

namespace ImportTest {

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
