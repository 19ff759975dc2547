#include <tarvex/exchange3d/TarvexRefFace.h>

#include <charconv>
#include <sstream>

namespace Tarvex3D {

namespace {

bool toInt(const std::string& token, int* value)
{
    const char* end = token.data() + token.size();
    const auto [stop, error] = std::from_chars(token.data(), end, *value);
    return error == std::errc() && stop == end;
}

} // namespace

bool TarvexRefFace::parse(const std::string& text)
{
    *this = TarvexRefFace();
    std::istringstream stream(text);
    std::vector<std::string> tokens;
    for (std::string token; stream >> token;)
        tokens.push_back(token);

    size_t at = 0;
    const auto next = [&](std::string* token) {
        if (at >= tokens.size())
            return false;
        *token = tokens[at++];
        return true;
    };
    // A count is trusted only as far as the tokens that follow can hold it.
    const auto count = [&](size_t perItem, int* n) {
        std::string token;
        return next(&token) && toInt(token, n) && *n >= 0 && size_t(*n) * perItem <= tokens.size() - at;
    };

    TarvexRefFace read;
    std::string token;
    int faces = 0;
    int operations = 0;
    if (!next(&token) || token != "S" || !next(&read.m_objectId) || !next(&token) || token != "F" || !count(2, &faces))
        return false;
    for (int i = 0; i < faces; ++i) {
        int face = 0;
        next(&token); // the number before each face is not used
        if (!next(&token) || !toInt(token, &face))
            return false;
        read.m_faces.push_back(face);
    }
    if (!count(1, &operations))
        return false;
    for (int i = 0; i < operations; ++i) {
        next(&token);
        read.m_operationIds.push_back(token);
    }
    if (!next(&token) || token != "I" || !next(&token) || !toInt(token, &read.m_flag))
        return false;
    *this = std::move(read);
    return true;
}

} // namespace Tarvex3D
