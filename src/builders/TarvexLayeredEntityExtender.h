#pragma once

#include <tarvex/builders/TarvexEntityBuilderBase.h>

#include <vector>

namespace Tarvex {

class TarvexBasicPart;

/// Extends an existing board with the board of a file: instead of a second layered model,
/// each powered cell (or a powered board given as one block) becomes a thin heat source
/// "HeatSource <full name>" on the board, got or created by name.
class TarvexLayeredEntityExtender : public TarvexEntityBuilderBase
{
    Q_OBJECT

public:
    /// Adds the heat sources of `part` (the file's board) to `board`, placed relative to
    /// `placement` (the host frame of the file's board); returns them in order.
    static std::vector<EntityModel::Entity*> extendLayered(const TarvexPart& part, EntityModel::Entity* board,
                                                           const Geometry::Transform& placement,
                                                           TarvexEntityBuildState* sharedState,
                                                           Tools::ToolProgress* progress);

    /// An extender adding to `board`, placed relative to `placement`.
    TarvexLayeredEntityExtender(EntityModel::Entity* board, const Geometry::Transform& placement,
                                TarvexEntityBuildState* sharedState, Tools::ToolProgress* progress);
    ~TarvexLayeredEntityExtender() override;

    /// The heat sources added so far, in order.
    const std::vector<EntityModel::Entity*>& getHeatSources() const { return heatSources; }

    /// False: the cells are handled with their layered part.
    bool visitChildren(const TarvexPart& part) override;
    /// A heat source for every powered cell of every layer.
    bool visitLayeredPart(const TarvexLayeredPart& part) override;
    /// A heat source for a powered part of its own (cells come with their layered part).
    bool visitBasicPart(const TarvexBasicPart& part) override;
    /// Nothing: layers are handled with their layered part.
    bool visitLayer(const TarvexLayeredPartLayer& layer) override;

private:
    void addHeatSource(const TarvexBasicPart& part);

    std::vector<EntityModel::Entity*> heatSources;
};

} // namespace Tarvex
