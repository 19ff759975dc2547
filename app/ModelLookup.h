#pragma once

#include "host/Entity.h"

#include <QString>

/// The first entity below `root` (depth first, in list order) called `name`, of `type` when
/// a type is given; failing that the first whose reference designator is `name`; null when
/// there is none.
EntityModel::Entity* findEntityByName(EntityModel::Entity* root, const QString& name,
                                      const EntityModel::TypeRef& type = EntityModel::TypeRef());

/// The name a person finds `entity` by: its name, or its reference designator when it has
/// no name (imported boards and components).
QString lookupNameOf(const EntityModel::Entity& entity);

#include "host/Model.h"

#include <memory>

/// For the commands that apply a FILE to one entity of a saved model: checks that `file`
/// and `modelPath` can be read, loads the model and finds the entity called `name`. On any
/// failure it reports it and returns null; otherwise `*entity` is the entity found.
std::unique_ptr<EntityModel::Model> loadModelWithEntity(const QString& file, const QString& modelPath,
                                                        const QString& name, EntityModel::Entity** entity);
