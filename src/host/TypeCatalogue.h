#pragma once

#include "host/AttributePath.h"

namespace EntityModel {

/// The host's knowledge of where entities of a type are kept inside an owner.
class TypeCatalogue
{
public:
    /// The entity-list attribute of an owner of `ownerType` that holds children of
    /// `childType` ("Components" for components, "Obstructions" for obstructions,
    /// "Materials" for materials ..., "Objects" for anything else).
    static AttributePath listFor(const TypeRef& ownerType, const TypeRef& childType);
};

} // namespace EntityModel
