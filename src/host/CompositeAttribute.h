#pragma once

#include "host/Attribute.h"
#include "host/AttributePath.h"

#include <map>

namespace EntityModel {

/// An attribute that holds named attributes, kept sorted by label.
class CompositeAttribute : public Attribute
{
public:
    /// An empty composite stored under `label`.
    explicit CompositeAttribute(const TypeRef& label);
    ~CompositeAttribute() override;

    /// The attribute at `path` below this one, or null.
    Attribute* findAttribute(const AttributePath& path) const;
    /// The direct child called `label`, or null.
    Attribute* child(const QString& label) const;
    /// The direct children, in label order.
    std::vector<Attribute*> children() const;
    /// Stores `attribute` under its own label, replacing (and returning) what was there.
    std::unique_ptr<Attribute> put(std::unique_ptr<Attribute> attribute);
    /// Removes and returns the child called `label` (null when absent).
    std::unique_ptr<Attribute> take(const QString& label);

    /// Appends to `out` the entities held below this attribute, in attribute order, each
    /// before its own children. `recursive` descends into the entities found;
    /// `throughComposites` also looks inside nested composites.
    void getOwnedChildEntities(std::vector<Entity*>& out, bool recursive, bool throughComposites) const;
    /// Static form used by callers that hold an entity.
    static void getOwnedChildEntities(const CompositeAttribute* owner, std::vector<Entity*>& out,
                                      bool recursive, bool throughComposites);
    /// The entities of `type` owned directly or through nested composites (not recursive).
    std::vector<Entity*> getOwnedChildEntitiesOfType(const TypeRef& type) const;

    /// An empty composite of the same label; null when it holds anything.
    std::unique_ptr<Attribute> clone() const override;

protected:
    CompositeAttribute(Kind kind, const TypeRef& type);

private:
    std::map<QString, std::unique_ptr<Attribute>> m_children;
};

} // namespace EntityModel
