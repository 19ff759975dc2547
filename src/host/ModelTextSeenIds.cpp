#include "ModelTextSeenIds.h"

#include <algorithm>

namespace EntityModel {

bool ModelTextSeenIds::insert(quint64 id)
{
    if (id < DenseLimit) {
        if (id >= m_dense.size())
            m_dense.resize(std::max<std::size_t>(std::size_t(id) + 1, m_dense.size() * 2));
        const bool fresh = !m_dense[std::size_t(id)];
        m_dense[std::size_t(id)] = true;
        return fresh;
    }
    return m_sparse.insert(id).second;
}

} // namespace EntityModel
