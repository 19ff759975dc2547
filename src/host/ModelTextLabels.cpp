#include "ModelTextLabels.h"

#include <QString>

#include <cstring>

namespace EntityModel {

namespace {

// True when `text` holds exactly `bytes`. Labels are mostly short: up to 16 bytes they are
// compared as two words, overlapping, inline, where a library call cost more than comparing.
bool sameBytes(const std::string& bytes, const char* text, std::size_t size)
{
    if (bytes.size() != size)
        return false;
    if (size > 16)
        return std::memcmp(bytes.data(), text, size) == 0;
    if (size < 8) {
        for (std::size_t i = 0; i < size; ++i) {
            if (bytes[i] != text[i])
                return false;
        }
        return true;
    }
    quint64 mine[2];
    quint64 theirs[2];
    std::memcpy(&mine[0], bytes.data(), 8);
    std::memcpy(&mine[1], bytes.data() + size - 8, 8);
    std::memcpy(&theirs[0], text, 8);
    std::memcpy(&theirs[1], text + size - 8, 8);
    return mine[0] == theirs[0] && mine[1] == theirs[1];
}

} // namespace

const TypeRef& ModelTextLabels::find(const char* text, std::size_t size)
{
    return *m_entries[place(text, size)].label;
}

const TypeRef& ModelTextLabels::findNext(Run& run, const char* text, std::size_t size)
{
    Entry& last = m_entries[run.last];
    const Entry& guess = m_entries[last.next];
    if (last.next != 0 && sameBytes(guess.bytes, text, size)) {
        run.last = last.next;
        return *guess.label;
    }
    const std::size_t found = place(text, size); // may move the entries: `last` is found again
    m_entries[run.last].next = found;
    run.last = found;
    return *m_entries[found].label;
}

std::size_t ModelTextLabels::place(const char* text, std::size_t size)
{
    const quint64 hash = hashOf(text, size);
    const std::size_t mask = m_slots.size() - 1;
    std::size_t slot = hash & mask;
    for (; m_slots[slot] != 0; slot = (slot + 1) & mask) {
        const Entry& entry = m_entries[m_slots[slot]];
        if (entry.hash == hash && sameBytes(entry.bytes, text, size))
            return m_slots[slot];
    }
    const std::size_t made = m_entries.size();
    m_labels.emplace_back(QString::fromUtf8(text, int(size)));
    m_entries.push_back(Entry{hash, std::string(text, size), &m_labels.back()});
    m_slots[slot] = made;
    if (made * 2 > m_slots.size())
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
    m_slots.assign(m_slots.size() * 2, 0);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t index = 1; index < m_entries.size(); ++index) {
        std::size_t slot = m_entries[index].hash & mask;
        while (m_slots[slot] != 0)
            slot = (slot + 1) & mask;
        m_slots[slot] = index;
    }
}

} // namespace EntityModel
