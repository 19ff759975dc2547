#pragma once

#include <QtGlobal>

#include <charconv>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <string_view>
#include <vector>

namespace EntityModel {

// The shortest texts of the doubles met last, by their bits. A board repeats a few values
// (the sizes of its thousands of alike joints) far more than any other, and finding the
// shortest form that reads back is the costliest step of writing a number.
class ModelNumberTexts
{
public:
    ModelNumberTexts() : m_slots(SlotCount) {}

    std::string_view text(double value)
    {
        quint64 bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        Slot& slot = m_slots[(bits * 0x9E3779B97F4A7C15ull) >> (64 - SlotBits)];
        // A filled slot is never empty: every number has at least one character.
        if (slot.size == 0 || slot.bits != bits) {
            const std::to_chars_result end = std::to_chars(std::begin(slot.text), std::end(slot.text), value);
            slot.bits = bits;
            slot.size = quint8(end.ptr - slot.text);
        }
        return {slot.text, slot.size};
    }

private:
    static constexpr int SlotBits = 8;
    static constexpr size_t SlotCount = size_t(1) << SlotBits;
    struct Slot
    {
        quint64 bits = 0;
        quint8 size = 0;
        char text[32]; // the longest shortest form is 24 characters
    };
    std::vector<Slot> m_slots;
};

} // namespace EntityModel
