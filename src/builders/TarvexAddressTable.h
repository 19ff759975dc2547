#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace Tarvex {

/// A table from addresses (of nodes, parts or entities; never null) to values, for the
/// hundreds of thousands of nodes of a large board: the entries stand in one array, found by
/// open addressing, so that an entry costs no allocation of its own and a look-up touches
/// one place of memory in the common case. Entries are never removed.
template <typename Value>
class TarvexAddressTable
{
public:
    /// Makes room for `count` entries, so that a table filled to that size never grows.
    void reserve(std::size_t count)
    {
        if (count > limit())
            rehash(capacityFor(count));
    }

    /// The value of `key`, or null when it has none.
    Value* find(const void* key)
    {
        if (places.empty())
            return nullptr;
        for (std::size_t at = home(key);; at = (at + 1) & mask()) {
            if (places[at].key == key)
                return &places[at].value;
            if (!places[at].key)
                return nullptr;
        }
    }

    /// Same as the other `find`, for reading.
    const Value* find(const void* key) const { return const_cast<TarvexAddressTable*>(this)->find(key); }

    /// The value of `key`, made as `Value()` first when missing; the flag is true when it was made.
    std::pair<Value*, bool> insert(const void* key)
    {
        if (entries + 1 > limit())
            rehash(capacityFor(entries + 1));
        std::size_t at = home(key);
        for (; places[at].key; at = (at + 1) & mask()) {
            if (places[at].key == key)
                return {&places[at].value, false};
        }
        places[at].key = key;
        ++entries;
        return {&places[at].value, true};
    }

    /// The number of entries.
    std::size_t size() const { return entries; }

private:
    struct Place
    {
        const void* key = nullptr;
        Value value = Value();
    };

    std::size_t mask() const { return places.size() - 1; }
    // Filled to at most three quarters: beyond that the runs of linear probing grow long.
    std::size_t limit() const { return places.size() - places.size() / 4; }

    static std::size_t capacityFor(std::size_t count)
    {
        std::size_t capacity = 16;
        while (capacity - capacity / 4 < count)
            capacity *= 2;
        return capacity;
    }

    // Fibonacci hashing: the product's high bits mix every bit of the address, also the low
    // ones that alignment leaves at zero.
    std::size_t home(const void* key) const
    {
        const std::uint64_t product = std::uint64_t(reinterpret_cast<std::uintptr_t>(key)) * 0x9E3779B97F4A7C15ull;
        return std::size_t(product >> 32) & mask();
    }

    void rehash(std::size_t capacity)
    {
        std::vector<Place> old(capacity);
        old.swap(places);
        for (Place& place : old) {
            if (!place.key)
                continue;
            std::size_t at = home(place.key);
            while (places[at].key)
                at = (at + 1) & mask();
            places[at] = std::move(place);
        }
    }

    std::vector<Place> places;
    std::size_t entries = 0;
};

} // namespace Tarvex
