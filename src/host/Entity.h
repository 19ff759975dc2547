#pragma once

#include <tarvex/host/CompositeAttribute.h>

namespace EntityModel {

class Model;

/// One object of the host model: a typed composite with a model-wide id. Entities are
/// owned by an entity list of another entity, by their model while detached, or by the
/// undo history while deleted.
class Entity : public CompositeAttribute
{
public:
    ~Entity() override;

    /// The id, unique in the model and kept when the model is saved and loaded.
    quint64 getId() const { return m_id; }
    /// The model this entity was made in.
    Model* getModel() const { return m_model; }
    /// False once the entity has been deleted (it may still come back through undo).
    bool isAlive() const { return m_alive; }
    /// The value of `Name_t`, or an empty string.
    QString getName() const;
    /// Entities are never copied.
    std::unique_ptr<Attribute> clone() const override { return nullptr; }

private:
    friend class Model;
    friend class SlotMover; // marks deleted entities and brings them back
    Entity(Model* model, quint64 id, const TypeRef& type);
    Model* m_model;
    quint64 m_id;
    bool m_alive = true;
};

} // namespace EntityModel
