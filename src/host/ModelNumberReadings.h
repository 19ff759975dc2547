#pragma once

#include <QtGlobal>

#include <charconv>
#include <cstddef>
#include <cstring>
#include <system_error>
#include <vector>

namespace EntityModel {

// The doubles of the short number texts read last. A saved board repeats a few values (the
// sizes of its thousands of alike joints) far more than any other, and reading a number
// anew costs more than finding its text here.
class ModelNumberReadings
{
public:
    ModelNumberReadings() : m_slots(SlotCount) {}

    // std::from_chars over the text, answered from memory for a text read before.
    std::errc read(const char* text, size_t size, double& value)
    {
        if (size > sizeof(Slot::text))
            return std::from_chars(text, text + size, value).ec;
        char key[sizeof(Slot::text)] = {};
        std::memcpy(key, text, size);
        quint64 words[2];
        std::memcpy(words, key, sizeof words);
        Slot& slot = m_slots[((words[0] * 0x9E3779B97F4A7C15ull) ^ (words[1] * 0xC2B2AE3D27D4EB4Full) ^ size) >>
                             (64 - SlotBits)];
        // A filled slot is never empty: every number has at least one character.
        if (slot.size == size && std::memcmp(slot.text, key, sizeof key) == 0) {
            value = slot.value;
            return std::errc();
        }
        const std::errc read = std::from_chars(text, text + size, value).ec;
        if (read == std::errc()) {
            std::memcpy(slot.text, key, sizeof key);
            slot.size = quint8(size);
            slot.value = value;
        }
        return read;
    }

private:
    static constexpr int SlotBits = 8;
    static constexpr size_t SlotCount = size_t(1) << SlotBits;
    struct Slot
    {
        char text[16] = {};
        double value = 0;
        quint8 size = 0;
    };
    std::vector<Slot> m_slots;
};

} // namespace EntityModel
