#pragma once

#include <QtGlobal>

#include <unordered_set>
#include <vector>

namespace EntityModel {

// The entity ids read so far from a saved model. Ids are handed out one above the last, so a
// model's ids are dense: a bitmap holds them for a bit each, where a hash set took a node per
// entity. Ids far beyond the model's size (a hand-edited file) go to the set.
class ModelTextSeenIds
{
public:
    // False when `id` was seen before.
    bool insert(quint64 id);

private:
    static constexpr quint64 DenseLimit = quint64(1) << 26; // 8 MiB of bits at most
    std::vector<bool> m_dense;
    std::unordered_set<quint64> m_sparse;
};

} // namespace EntityModel
