#include <tarvex/maps/NorvaneTXMFormatParserValues.h>

#include <cstring>
#include <limits>

namespace Tarvex {

namespace {

constexpr size_t ShortTextLimit = std::numeric_limits<std::uint16_t>::max();

} // namespace

void NorvaneTXMFormatParserValues::assign(const std::string_view* words, size_t count)
{
    size_t bytes = 0;
    for (size_t i = 0; i < count; ++i)
        bytes += words[i].size();
    clear();
    // Sized once and filled in place: a data line can hold thousands of words. The ends take
    // two bytes each while the text is short enough (the usual line), four when not; a line is
    // read whole into memory first, and Qt holds no block of 4 GiB.
    m_text.resize(bytes);
    m_long = bytes > ShortTextLimit;
    if (m_long)
        m_longEnds.resize(count);
    else
        m_shortEnds.resize(count);
    char* text = m_text.data();
    size_t end = 0;
    for (size_t i = 0; i < count; ++i) {
        std::memcpy(text + end, words[i].data(), words[i].size());
        end += words[i].size();
        if (m_long)
            m_longEnds[i] = std::uint32_t(end);
        else
            m_shortEnds[i] = std::uint16_t(end);
    }
}

void NorvaneTXMFormatParserValues::clear()
{
    m_text.clear();
    m_shortEnds.clear();
    m_longEnds.clear();
    m_long = false;
}

bool operator==(const NorvaneTXMFormatParserValues& a, const NorvaneTXMFormatParserValues& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a.view(i) != b.view(i))
            return false;
    }
    return true;
}

bool operator==(const NorvaneTXMFormatParserValues& a, const std::vector<std::string>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a.view(i) != b[i])
            return false;
    }
    return true;
}

} // namespace Tarvex
