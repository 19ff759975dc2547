#include "ExitPath.h"

#include <vector>

void keepUntilExit(std::unique_ptr<EntityModel::Model> model)
{
    // Held by plain pointers, so that the end of the process frees the list, not the models.
    static std::vector<EntityModel::Model*> kept;
    kept.push_back(model.release());
}
