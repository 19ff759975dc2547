#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace Tarvex {

/// The words of one line of a text-format map file. It reads like a vector of strings, but
/// keeps the words as one block of text and the end of each, so that a data line of
/// thousands of numbers costs little more than its text instead of a string per number.
class NorvaneTXMFormatParserValues
{
public:
    using value_type = std::string;
    using size_type = std::size_t;

    /// Walks the words in order, giving each as a string.
    class const_iterator
    {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = std::string;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string;

        const_iterator(const NorvaneTXMFormatParserValues* values, size_t index) : m_values(values), m_index(index) {}
        std::string operator*() const { return (*m_values)[m_index]; }
        const_iterator& operator++()
        {
            ++m_index;
            return *this;
        }
        const_iterator operator++(int)
        {
            const const_iterator before = *this;
            ++m_index;
            return before;
        }
        bool operator==(const const_iterator& other) const { return m_index == other.m_index; }
        bool operator!=(const const_iterator& other) const { return m_index != other.m_index; }

    private:
        const NorvaneTXMFormatParserValues* m_values;
        size_t m_index;
    };
    using iterator = const_iterator;

    /// No words.
    NorvaneTXMFormatParserValues() = default;

    /// Number of words.
    size_t size() const { return m_long ? m_longEnds.size() : m_shortEnds.size(); }
    /// True when there is no word.
    bool empty() const { return size() == 0; }
    /// The word at `index` (no range check).
    std::string operator[](size_t index) const { return std::string(view(index)); }
    /// The word at `index` without a copy, valid while the words are not changed.
    std::string_view view(size_t index) const { return std::string_view(m_text).substr(wordStart(index), wordEnd(index) - wordStart(index)); }
    /// The first word (there must be one).
    std::string front() const { return (*this)[0]; }
    /// The last word (there must be one).
    std::string back() const { return (*this)[size() - 1]; }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, size()); }

    /// Replaces the words by the `count` words at `words`, in exactly the memory they need.
    void assign(const std::string_view* words, size_t count);
    /// Removes every word.
    void clear();

    friend bool operator==(const NorvaneTXMFormatParserValues& a, const NorvaneTXMFormatParserValues& b);
    friend bool operator==(const NorvaneTXMFormatParserValues& a, const std::vector<std::string>& b);
    friend bool operator==(const std::vector<std::string>& a, const NorvaneTXMFormatParserValues& b) { return b == a; }
    friend bool operator!=(const NorvaneTXMFormatParserValues& a, const NorvaneTXMFormatParserValues& b) { return !(a == b); }
    friend bool operator!=(const NorvaneTXMFormatParserValues& a, const std::vector<std::string>& b) { return !(a == b); }
    friend bool operator!=(const std::vector<std::string>& a, const NorvaneTXMFormatParserValues& b) { return !(b == a); }

private:
    size_t wordStart(size_t index) const { return index == 0 ? 0 : wordEnd(index - 1); }
    size_t wordEnd(size_t index) const { return m_long ? m_longEnds[index] : m_shortEnds[index]; }

    std::string m_text;
    // Where each word ends in the text: two bytes each while the text is short (the usual
    // line), four once it is not.
    std::vector<std::uint16_t> m_shortEnds;
    std::vector<std::uint32_t> m_longEnds;
    bool m_long = false;
};

} // namespace Tarvex
