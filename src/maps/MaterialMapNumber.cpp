#include <tarvex/maps/MaterialMapNumber.h>

#include <charconv>
#include <cmath>

namespace Tarvex {

namespace {

// from_chars takes no plus sign; one before a digit or a point is dropped.
void skipPlus(const char*& first, const char* last)
{
    if (last - first > 1 && *first == '+' && first[1] != '-' && first[1] != '+')
        ++first;
}

} // namespace

bool MaterialMapNumber::toDouble(const char* text, size_t size, double& value)
{
    const char* first = text;
    const char* last = text + size;
    skipPlus(first, last);
    double read = 0.0;
    const std::from_chars_result result = std::from_chars(first, last, read, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != last || !std::isfinite(read))
        return false;
    value = read;
    return true;
}

bool MaterialMapNumber::toInt(const std::string& text, int& value)
{
    const char* first = text.data();
    const char* last = text.data() + text.size();
    skipPlus(first, last);
    int read = 0;
    const std::from_chars_result result = std::from_chars(first, last, read);
    if (result.ec != std::errc() || result.ptr != last)
        return false;
    value = read;
    return true;
}

} // namespace Tarvex
