#pragma once

#include <tarvex/builders/TarvexEntityBuilder.h>

#include <memory>
#include <vector>

namespace Tarvex {

/// What an extension put on a board.
struct TarvexBoardExtension
{
    /// The entities built directly on the board (components and the board's heat sources),
    /// in the order of the file.
    std::vector<EntityModel::Entity*> built;
    /// How many components of the board the file redefined, and so replaced.
    int replaced = 0;
};

/// Extends the board entity `board` in place with every top-level object of a file: the
/// components are built onto the board (a component the file redefines replaces the board's
/// one of that reference designator) and the file's board adds its powered cells as heat
/// sources. Positions are taken relative to the file's board, whose low corner lands on the
/// board's origin. A null board does nothing.
TarvexBoardExtension extendBoard(const std::vector<std::unique_ptr<TarvexObject>>& objects, EntityModel::Entity* board,
                                 TarvexEntityBuildState* sharedState, Tools::ToolProgress* progress);

/// The walk of a board extension: as the entity builder's, except that the file's board adds
/// heat sources to the existing board instead of becoming a layered entity, and top-level
/// parts are placed relative to the file's board.
class TarvexEntityExtender : public TarvexEntityBuilder
{
    Q_OBJECT

public:
    /// An extender building onto `board`, with `boardFrame` the host frame of the file's board.
    TarvexEntityExtender(EntityModel::Entity* board, const Geometry::Transform& boardFrame,
                         TarvexEntityBuildState* sharedState, Tools::ToolProgress* progress);
    ~TarvexEntityExtender() override;

    /// The heat sources added to the board, in order.
    const std::vector<EntityModel::Entity*>& getHeatSources() const { return heatSources; }

protected:
    void build(const TarvexObject& node, EntityModel::Entity* target, const Geometry::Transform& frame) override;

private:
    Geometry::Transform boardFrame;
    std::vector<EntityModel::Entity*> heatSources;
};

} // namespace Tarvex
