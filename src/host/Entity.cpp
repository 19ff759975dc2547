#include <tarvex/host/Entity.h>

#include <tarvex/host/Model.h>
#include <tarvex/host/TypeRef.h>

namespace EntityModel {

Entity::Entity(Model* model, quint64 id, const TypeRef& type)
    : CompositeAttribute(Kind::Entity, type), m_model(model), m_id(id)
{
}

Entity::~Entity()
{
    if (m_model)
        m_model->forget(this);
}

QString Entity::getName() const
{
    const Attribute* name = child(Name_t.getLabel());
    if (name && name->getKind() == Kind::Value)
        return static_cast<const ValueAttribute*>(name)->getValue().toString();
    return QString();
}

} // namespace EntityModel
