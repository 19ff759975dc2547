#pragma once

#include "host/Entity.h"

#include <QString>

/// The first entity below `root` (depth first, in list order) called `name`, of `type` when
/// a type is given; null when there is none.
EntityModel::Entity* findEntityByName(EntityModel::Entity* root, const QString& name,
                                      const EntityModel::TypeRef& type = EntityModel::TypeRef());
