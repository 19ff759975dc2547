#pragma once

#include <tarvex/host/AttributePath.h>

#include <QList>

namespace EntityModel {

/// The host's knowledge of its types: where entities of a type are kept inside an owner,
/// which entity types exist, and which choices an attribute may hold.
class TypeCatalogue
{
public:
    /// The entity-list attribute of an owner of `ownerType` that holds children of
    /// `childType` ("Components" for components, "Obstructions" for obstructions,
    /// "Materials" for materials ..., "Objects" for anything else).
    static AttributePath listFor(const TypeRef& ownerType, const TypeRef& childType);
    /// True when `type` is a type of entity the host makes (`PCB_t`, `Terminal_t`...), false
    /// for attribute labels, choice values and unknown labels.
    static bool isEntityType(const TypeRef& type);
    /// The choices an attribute labelled `attribute` may hold, for the attributes whose
    /// choices the host fixes (a terminal's side, whether it conducts, how a group is
    /// exported); empty for any other attribute.
    static QList<TypeRef> choicesFor(const TypeRef& attribute);
};

} // namespace EntityModel
