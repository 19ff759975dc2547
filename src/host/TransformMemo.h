#pragma once

#include <tarvex/host/Transform.h>

#include <optional>

namespace Geometry {

/// Remembers what a computation gave for the last transform it was asked with, for runs of
/// questions about one frame (the solder joints of one component). A transform is the same
/// one only when its bits are (`Transform::isIdentical`), so the answer is the computation's own.
template <typename Value>
class TransformMemo
{
public:
    /// `make(transform)`, made anew unless `transform` is the last one asked with.
    template <typename Make>
    const Value& get(const Transform& transform, const Make& make)
    {
        if (!m_value || !m_transform.isIdentical(transform)) {
            m_value.reset();
            m_value.emplace(make(transform));
            m_transform = transform;
        }
        return *m_value;
    }

private:
    Transform m_transform;
    std::optional<Value> m_value;
};

} // namespace Geometry
