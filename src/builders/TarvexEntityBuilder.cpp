#include "builders/TarvexEntityBuilder.h"

namespace Tarvex {

TarvexBuiltEntities buildEntities(const std::vector<std::unique_ptr<TarvexObject>>& objects,
                                  EntityModel::Entity* rootEntity, TarvexReuseMap& existing,
                                  Tools::ToolProgress* progress)
{
    (void)existing;
    (void)progress;
    TarvexBuiltEntities built;
    if (!rootEntity || objects.empty())
        return built;
    // The part builders that turn objects into entities plug in here.
    return built;
}

} // namespace Tarvex
