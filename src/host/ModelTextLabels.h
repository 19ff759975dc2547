#pragma once

#include <tarvex/host/TypeRef.h>

#include <QtGlobal>

#include <cstddef>
#include <string>
#include <vector>

namespace EntityModel {

// The labels met so far in a saved model, found again by their UTF-8 bytes without a string
// made for the search: a model has millions of attributes and a few hundred labels, which so
// share their text. Open addressing, at most half full.
class ModelTextLabels
{
public:
    // The label whose UTF-8 bytes are `text`, made the first time they are met.
    TypeRef find(const char* text, std::size_t size);

private:
    struct Slot
    {
        bool used = false;
        quint64 hash = 0;
        std::string bytes;
        TypeRef label;
    };

    static quint64 hashOf(const char* text, std::size_t size);
    void grow();

    std::vector<Slot> m_slots = std::vector<Slot>(512);
    std::size_t m_count = 0;
};

} // namespace EntityModel
