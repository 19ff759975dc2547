// Feeds arbitrary bytes to the 3D document reader and everything that reads the document
// afterwards: material tables, descriptions, objects, operations. Nothing may crash or
// hang; a failed read gives a null model with exactly one message, a good one none.
#include "FuzzInput.h"
#include "FuzzTarget.h"

#include "support/RecordingProgress.h"
#include <tarvex/model3d/Tarvex3DDomModel.h>
#include <tarvex/model3d/TarvexMaterialImporter.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

int fuzzOne(const uint8_t* data, size_t size)
{
    Fuzz::FuzzInput input(data, size);
    if (!input.isUsable())
        return 0;

    Tools::RecordingProgress progress;
    const Tarvex3D::Tarvex3DDomModel model = Tarvex3D::Tarvex3DDomModel::fromData(input.device(), &progress);
    const int fatalErrors = progress.texts(Tools::ToolProgress::Kind::FatalError).size();
    if (model.isNull() != (fatalErrors == 1) || fatalErrors > 1 || progress.entries().size() != size_t(fatalErrors))
        std::abort();
    if (model.isNull())
        return 0;

    Tarvex3D::TarvexMaterialImporter importer(&progress);
    for (const Tarvex3D::Tarvex3DMaterial& material : importer.generateMaterials(model)) {
        for (const Tarvex3D::Tarvex3DCurveProperties* curve :
             {&material.getThermalConductivity(), &material.getSpecificHeat(), &material.getCTE()}) {
            if (curve->isCurveOrPointValue() && !curve->getCurveData().empty())
                (void)curve->getValue(curve->getCurveData().front().first + 1.0);
        }
    }
    (void)model.getStructuralDataDescriptions({QStringLiteral("Elasticity"), QStringLiteral("CTE")});
    (void)model.getObjectMap();
    (void)model.getOperationIDMap();
    (void)model.getStructure();
    // Warnings about questionable tables are fine; a read document never turns fatal.
    if (!progress.texts(Tools::ToolProgress::Kind::FatalError).isEmpty())
        std::abort();
    return 0;
}
