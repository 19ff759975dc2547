#include <tarvex/builders/TarvexLayeredEntityExtender.h>

#include <tarvex/builders/TarvexEntityBuildState.h>
#include <tarvex/builders/TarvexPowerEntityBuilder.h>
#include <tarvex/objects/TarvexBasicPart.h>
#include <tarvex/objects/TarvexLayeredPart.h>

namespace Tarvex {

using namespace EntityModel;
using Geometry::Transform;

std::vector<Entity*> TarvexLayeredEntityExtender::extendLayered(const TarvexPart& part, Entity* board,
                                                                const Transform& placement,
                                                                TarvexEntityBuildState* sharedState,
                                                                Tools::ToolProgress* progress)
{
    TarvexLayeredEntityExtender extender(board, placement, sharedState, progress);
    part.accept(extender);
    return extender.getHeatSources();
}

TarvexLayeredEntityExtender::TarvexLayeredEntityExtender(Entity* board, const Transform& placement,
                                                         TarvexEntityBuildState* sharedState,
                                                         Tools::ToolProgress* progress)
    : TarvexEntityBuilderBase(board, placement, sharedState, progress)
{
}

TarvexLayeredEntityExtender::~TarvexLayeredEntityExtender() = default;

bool TarvexLayeredEntityExtender::visitChildren(const TarvexPart&) { return false; }

bool TarvexLayeredEntityExtender::visitLayeredPart(const TarvexLayeredPart& part)
{
    for (const auto& layer : part.getLayers()) {
        if (!layer)
            continue;
        for (const auto& cell : layer->getCells()) {
            if (const auto* block = dynamic_cast<const TarvexBasicPart*>(cell.get()))
                addHeatSource(*block);
        }
    }
    return true;
}

bool TarvexLayeredEntityExtender::visitBasicPart(const TarvexBasicPart& part)
{
    if (!part.getParent())
        addHeatSource(part);
    return true;
}

bool TarvexLayeredEntityExtender::visitLayer(const TarvexLayeredPartLayer&) { return true; }

void TarvexLayeredEntityExtender::addHeatSource(const TarvexBasicPart& part)
{
    TarvexEntityBuildState* state = getSharedState();
    if (part.getPower() == 0.0 || !state)
        return;
    Entity* source = state->getOrCreate(Name_t, QStringLiteral("HeatSource ") + displayName(part, true),
                                        Heat_Source_t, getParentEntity(), Heat_Sources_t)
                         .entity;
    if (!source)
        return;
    TarvexPowerEntityBuilder::placeThinSource(source, hostFrameOf(part), getPlacement());
    TarvexPowerEntityBuilder::writeConstantPower(source, part.getPower());
    heatSources.push_back(source);
}

} // namespace Tarvex
