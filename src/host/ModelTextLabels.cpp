#include "ModelTextLabels.h"

#include <QString>

#include <cstring>

namespace EntityModel {

TypeRef ModelTextLabels::find(const char* text, std::size_t size)
{
    const quint64 hash = hashOf(text, size);
    size_t slot = hash & (m_slots.size() - 1);
    for (; m_slots[slot].used; slot = (slot + 1) & (m_slots.size() - 1)) {
        const Slot& entry = m_slots[slot];
        if (entry.hash == hash && entry.bytes.size() == size && std::memcmp(entry.bytes.data(), text, size) == 0)
            return entry.label;
    }
    const TypeRef made(QString::fromUtf8(text, int(size)));
    m_slots[slot] = Slot{true, hash, std::string(text, size), made};
    if (++m_count * 2 > m_slots.size())
        grow();
    return made;
}

// Eight bytes a step, then mixed down so that the low bits, which pick the slot, depend
// on every byte.
quint64 ModelTextLabels::hashOf(const char* text, std::size_t size)
{
    quint64 hash = 14695981039346656037ull ^ size;
    for (; size >= 8; text += 8, size -= 8) {
        quint64 word;
        std::memcpy(&word, text, 8);
        hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
        hash ^= hash >> 29;
    }
    quint64 tail = 0;
    std::memcpy(&tail, text, size);
    hash = (hash ^ tail) * 0x9E3779B97F4A7C15ull;
    hash ^= hash >> 32;
    hash *= 0xD6E8FEB86659FD93ull;
    return hash ^ (hash >> 32);
}

void ModelTextLabels::grow()
{
    std::vector<Slot> old(m_slots.size() * 2);
    old.swap(m_slots);
    for (Slot& entry : old) {
        if (!entry.used)
            continue;
        size_t slot = entry.hash & (m_slots.size() - 1);
        while (m_slots[slot].used)
            slot = (slot + 1) & (m_slots.size() - 1);
        m_slots[slot] = std::move(entry);
    }
}

} // namespace EntityModel
