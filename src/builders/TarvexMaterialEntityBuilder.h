#pragma once

#include <tarvex/host/Entity.h>
#include <tarvex/host/ProgressBaseObject.h>
#include <tarvex/objects/TarvexMaterialVisitorConst.h>

#include <QObject>

namespace Tarvex {

class TarvexEntityBuildState;
class TarvexMaterial;

/// Turns a material of the object model into a `Material_t` entity of the model's material
/// list (the root entity's `Materials_t`). An entity of the same name is reused and written
/// again, so that importing a file twice, or updating from it, leaves one entity per name.
class TarvexMaterialEntityBuilder : public QObject, public Log::ProgressBaseObject, public TarvexMaterialVisitorConst
{
    Q_OBJECT

public:
    /// The material entity for `material` in the model that `modelEntity` belongs to; null
    /// when none is made (a material map, or a model that holds no material list).
    static EntityModel::Entity* materialEntityFor(const TarvexMaterial& material, EntityModel::Entity* modelEntity,
                                                  TarvexEntityBuildState* sharedState, Tools::ToolProgress* progress);

    /// A builder writing into the material list of `modelEntity`'s model.
    TarvexMaterialEntityBuilder(EntityModel::Entity* modelEntity, TarvexEntityBuildState* sharedState,
                                Tools::ToolProgress* progress);
    ~TarvexMaterialEntityBuilder() override;

    /// The entity the last visit produced, or null.
    EntityModel::Entity* getResult() const { return result; }
    /// The sink given at construction.
    Tools::ToolProgress* getProgress() const override { return progress; }

    /// Writes the material's constant properties.
    void visitMaterialSimple(const TarvexMaterialSimple& material) override;
    /// Copies the library material with its curves.
    void visitMaterialCMX(const TarvexMaterialCMX& material) override;
    /// A fatal error: a map is written per layer, never as one entity.
    void visitMaterialMap(const TarvexMaterialMap& material) override;

private:
    void obtainAndPopulate(const TarvexMaterial& material);

    EntityModel::Entity* root;
    TarvexEntityBuildState* sharedState;
    Tools::ToolProgress* progress;
    EntityModel::Entity* result = nullptr;
};

} // namespace Tarvex
