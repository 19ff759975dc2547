#include "Utf8Check.h"

#include <QtGlobal>

#include <cstring>

namespace EntityModel {

size_t firstInvalidUtf8(const char* text, size_t size)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (i < size) {
        // Runs of ASCII, eight bytes at a time.
        quint64 word = 0;
        for (; i + 8 <= size; i += 8) {
            std::memcpy(&word, bytes + i, 8);
            if (word & 0x8080808080808080ull)
                break;
        }
        if (i == size)
            break;
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        // The length of the sequence and the range its second byte must lie in.
        size_t length = 4;
        unsigned char low = 0x80;
        unsigned char high = 0xbf;
        if (lead >= 0xc2 && lead <= 0xdf) {
            length = 2;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            length = 3;
            low = lead == 0xe0 ? 0xa0 : 0x80;
            high = lead == 0xed ? 0x9f : 0xbf;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            low = lead == 0xf0 ? 0x90 : 0x80;
            high = lead == 0xf4 ? 0x8f : 0xbf;
        } else {
            return i;
        }
        if (size - i < length || bytes[i + 1] < low || bytes[i + 1] > high)
            return i;
        for (size_t k = 2; k < length; ++k) {
            if ((bytes[i + k] & 0xc0) != 0x80)
                return i;
        }
        i += length;
    }
    return size;
}

} // namespace EntityModel
