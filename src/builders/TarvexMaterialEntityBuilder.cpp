#include <tarvex/builders/TarvexMaterialEntityBuilder.h>

#include <tarvex/builders/TarvexEntityBuildState.h>
#include <tarvex/host/EntityEditor.h>
#include <tarvex/host/EntityFetcher.h>
#include <tarvex/objects/TarvexMaterialCMX.h>
#include <tarvex/objects/TarvexMaterialMap.h>
#include <tarvex/objects/TarvexMaterialSimple.h>

namespace Tarvex {

using namespace EntityModel;

Entity* TarvexMaterialEntityBuilder::materialEntityFor(const TarvexMaterial& material, Entity* modelEntity,
                                                       TarvexEntityBuildState* sharedState,
                                                       Tools::ToolProgress* progress)
{
    // Once found, a material object's entity is known without a builder or a look-up by name.
    if (Entity* known = sharedState ? sharedState->getMaterialEntity(&material) : nullptr)
        return known;
    TarvexMaterialEntityBuilder builder(modelEntity, sharedState, progress);
    material.accept(builder);
    Entity* result = builder.getResult();
    if (result && sharedState)
        sharedState->setMaterialEntity(&material, result);
    return result;
}

TarvexMaterialEntityBuilder::TarvexMaterialEntityBuilder(Entity* modelEntity, TarvexEntityBuildState* sharedState,
                                                         Tools::ToolProgress* progress)
    : root(modelEntity ? EntityEditor::getRootEntity(modelEntity) : nullptr),
      sharedState(sharedState),
      progress(progress)
{
}

TarvexMaterialEntityBuilder::~TarvexMaterialEntityBuilder() = default;

void TarvexMaterialEntityBuilder::visitMaterialSimple(const TarvexMaterialSimple& material)
{
    obtainAndPopulate(material);
}

void TarvexMaterialEntityBuilder::visitMaterialCMX(const TarvexMaterialCMX& material)
{
    obtainAndPopulate(material);
}

void TarvexMaterialEntityBuilder::visitMaterialMap(const TarvexMaterialMap&)
{
    result = nullptr;
    fatalError(tr("TarvexMaterialMap is not supported in TarvexMaterialEntityBuilder"));
}

void TarvexMaterialEntityBuilder::obtainAndPopulate(const TarvexMaterial& material)
{
    const QString name = material.getName();
    // Written once per import: the properties come from the file's one definition.
    result = sharedState ? sharedState->getMaterialEntity(name) : nullptr;
    if (result)
        return;
    // A material of an earlier import (or made by hand) is taken over and brought up to the
    // file, never duplicated.
    result = EntityFetcher::findMaterial(root, name);
    if (!result && root)
        result = EntityEditor::createEntity(Material_t, root, Materials_t, nullptr, 0, name);
    if (!result)
        return;
    material.populateEntity(result);
    if (sharedState)
        sharedState->setMaterialEntity(name, result);
}

} // namespace Tarvex
