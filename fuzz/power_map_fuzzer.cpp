// Feeds arbitrary bytes to the text-format power map reader through a temporary file, and
// applies what it reads to an entity of a fresh model. Malformed files must end in a fatal
// error with the model untouched, never in a crash or a hang.
#include "FuzzInput.h"
#include "FuzzTarget.h"

#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/host/Model.h>
#include <tarvex/host/ModelFile.h>
#include "support/RecordingProgress.h"
#include <tarvex/maps/TarvexPowerMapImporter.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

int fuzzOne(const uint8_t* data, size_t size)
{
    const Fuzz::FuzzInput input(data, size);
    if (!input.isUsable())
        return 0;
    const QString path = input.writeFile(QStringLiteral("power-map.txt"));

    std::unique_ptr<EntityModel::Model> model = EntityModel::Model::createDefault();
    EntityModel::Entity* die =
        EntityModel::EntityEditor::createEntity(EntityModel::Heat_Source_t, EntityModel::EntityFetcher::getChassis(model->getRoot()),
                                                EntityModel::AttributePath(EntityModel::Objects_t), nullptr, 0, "Die");
    model->getUndoStack().clear();
    const QByteArray before = EntityModel::ModelFile::toJson(*model);

    Tools::RecordingProgress progress;
    Tarvex::TarvexPowerMapImporter importer(&progress);
    const bool applied = importer.importPowerMap(die, path);
    const bool failed = !progress.texts(Tools::ToolProgress::Kind::FatalError).isEmpty();
    // Success and failure must agree with the messages, and a failure must change nothing.
    if (applied == failed || (!applied && EntityModel::ModelFile::toJson(*model) != before))
        std::abort();
    return 0;
}
