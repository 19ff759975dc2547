#include <tarvex/host/XMLDOMPlainScan.h>

#include <QChar>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace InterProcess {

namespace {

bool isBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Bytes that both parsers take as they are in text and in attribute values alike: printable
// ASCII and the three blanks, less what starts or ends markup, a reference or a quoted value.
// Runs of them, most of a file, are stepped over without decoding.
constexpr std::array<bool, 256> passThroughBytes = [] {
    std::array<bool, 256> table{};
    for (int c = 0x20; c < 0x7F; ++c)
        table[size_t(c)] = true;
    for (const unsigned char c : {'<', '&', ']', '"', '\''})
        table[c] = false;
    for (const unsigned char c : {'\t', '\n', '\r'})
        table[c] = true;
    return table;
}();

// What each byte may be in a name: its first character, a later one, or neither. Names are
// ASCII words here; a table answers for every byte of every tag and attribute name.
enum NameByte : unsigned char { NotInName = 0, InName = 1, StartsName = 3 };

constexpr std::array<unsigned char, 256> nameBytes = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 'A'; c <= 'Z'; ++c)
        table[size_t(c)] = StartsName;
    for (int c = 'a'; c <= 'z'; ++c)
        table[size_t(c)] = StartsName;
    table['_'] = StartsName;
    for (int c = '0'; c <= '9'; ++c)
        table[size_t(c)] = InName;
    for (const unsigned char c : {'.', '-', ':'})
        table[c] = InName;
    return table;
}();

bool isNameStart(unsigned char c) { return nameBytes[c] == StartsName; }

bool isNameChar(unsigned char c) { return nameBytes[c] != NotInName; }

// A character both parsers take as it is, in text that is not dropped as blank.
bool isPlainCharacter(uint code, bool inText)
{
    if (code < 0x20)
        return code == '\t' || code == '\n' || code == '\r';
    // Qt's decoder drops a byte-order mark wherever it stands.
    if (code == 0x7F || code == 0xFEFF || QChar::isNonCharacter(code) || QChar::isSurrogate(code))
        return false;
    // Qt drops text made of blanks only, and counts these among the blanks.
    return !(inText && code >= 0x80 && QChar::isSpace(code));
}

// One linear pass over the bytes; each step consumes a construct or refuses.
class Scanner
{
public:
    Scanner(const QByteArray& bytes, int maximumDepth)
        : m_data(reinterpret_cast<const unsigned char*>(bytes.constData())), m_size(size_t(bytes.size())),
          m_maximumDepth(size_t(maximumDepth))
    {
    }

    bool run()
    {
        if (startsWith("\xEF\xBB\xBF"))
            m_at += 3;
        if (startsWith("<?xml") && !declaration())
            return false;
        while (m_at < m_size) {
            const unsigned char c = m_data[m_at];
            if (c == '<') {
                if (!markup())
                    return false;
            } else if (m_open.empty()) {
                if (!isBlank(c))
                    return false;
                ++m_at;
            } else if (passThroughBytes[c]) {
                skipPassThrough();
            } else if (!character(true)) {
                return false;
            }
        }
        return m_rootSeen && m_open.empty();
    }

private:
    struct Name
    {
        size_t offset;
        size_t size;
    };

    bool startsWith(const char* literal) const
    {
        const size_t size = std::strlen(literal);
        return m_size - m_at >= size && std::memcmp(m_data + m_at, literal, size) == 0;
    }

    bool sameName(const Name& a, const Name& b) const
    {
        return a.size == b.size && std::memcmp(m_data + a.offset, m_data + b.offset, a.size) == 0;
    }

    void skipPassThrough()
    {
        while (m_at < m_size && passThroughBytes[m_data[m_at]])
            ++m_at;
    }

    size_t skipBlanks()
    {
        const size_t from = m_at;
        while (m_at < m_size && isBlank(m_data[m_at]))
            ++m_at;
        return m_at - from;
    }

    bool name(Name* result)
    {
        if (m_at >= m_size || !isNameStart(m_data[m_at]))
            return false;
        const size_t from = m_at;
        int colons = 0;
        while (m_at < m_size && isNameChar(m_data[m_at]))
            colons += m_data[m_at++] == ':';
        *result = Name{from, m_at - from};
        return colons == 0 || (colons == 1 && m_data[m_at - 1] != ':');
    }

    // One character of content: a UTF-8 sequence checked strictly, or one of the five
    // named references (and, outside text, a character reference).
    bool character(bool inText)
    {
        const unsigned char c = m_data[m_at];
        if (c == '&')
            return reference(inText);
        if (inText && c == ']' && startsWith("]]>"))
            return false;
        uint code = 0;
        if (!decode(&code))
            return false;
        return isPlainCharacter(code, inText);
    }

    bool decode(uint* code)
    {
        const unsigned char c = m_data[m_at];
        if (c < 0x80) {
            *code = c;
            ++m_at;
            return true;
        }
        int length = 0;
        uint minimum = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            minimum = 0x80;
            *code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            minimum = 0x800;
            *code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            minimum = 0x10000;
            *code = c & 0x07;
        } else {
            return false;
        }
        if (m_size - m_at < size_t(length))
            return false;
        for (int k = 1; k < length; ++k) {
            const unsigned char next = m_data[m_at + size_t(k)];
            if ((next & 0xC0) != 0x80)
                return false;
            *code = (*code << 6) | (next & 0x3F);
        }
        m_at += size_t(length);
        return *code >= minimum && *code <= 0x10FFFF;
    }

    bool reference(bool inText)
    {
        for (const char* named : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"}) {
            if (startsWith(named)) {
                m_at += std::strlen(named);
                return true;
            }
        }
        // Qt drops a text that a character reference makes blank; pugixml keeps it.
        if (inText || !startsWith("&#"))
            return false;
        m_at += 2;
        const bool hex = m_at < m_size && m_data[m_at] == 'x';
        m_at += hex ? 1 : 0;
        uint code = 0;
        size_t digits = 0;
        for (; m_at < m_size && m_data[m_at] != ';'; ++m_at, ++digits) {
            const unsigned char c = m_data[m_at];
            int value = -1;
            if (c >= '0' && c <= '9')
                value = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                value = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                value = c - 'A' + 10;
            if (value < 0 || digits >= 6)
                return false;
            code = code * (hex ? 16 : 10) + uint(value);
        }
        if (m_at >= m_size || digits == 0 || code > 0x10FFFF)
            return false;
        ++m_at;
        return isPlainCharacter(code, false);
    }

    // Content up to `end`, each character checked; the position moves past `end`.
    bool until(const char* end, bool inText)
    {
        const size_t size = std::strlen(end);
        while (m_at < m_size) {
            if (startsWith(end)) {
                m_at += size;
                return true;
            }
            uint code = 0;
            if (!decode(&code) || !isPlainCharacter(code, inText))
                return false;
        }
        return false;
    }

    bool markup()
    {
        if (startsWith("</"))
            return endTag();
        if (startsWith("<!--")) {
            // "--" may only close a comment.
            m_at += 4;
            if (!until("--", false))
                return false;
            return m_at < m_size && m_data[m_at++] == '>';
        }
        if (startsWith("<![CDATA[")) {
            m_at += 9;
            return !m_open.empty() && until("]]>", true);
        }
        if (startsWith("<!") || startsWith("<?"))
            return false;
        return startTag();
    }

    bool endTag()
    {
        m_at += 2;
        Name closing{};
        if (m_open.empty() || !name(&closing) || !sameName(closing, m_open.back()))
            return false;
        skipBlanks();
        if (m_at >= m_size || m_data[m_at] != '>')
            return false;
        ++m_at;
        m_open.pop_back();
        return true;
    }

    bool startTag()
    {
        ++m_at;
        Name element{};
        if ((m_rootSeen && m_open.empty()) || !name(&element))
            return false;
        m_rootSeen = true;
        m_attributes.clear();
        for (;;) {
            const size_t blanks = skipBlanks();
            if (m_at >= m_size)
                return false;
            if (m_data[m_at] == '>') {
                ++m_at;
                m_open.push_back(element);
                return m_open.size() <= m_maximumDepth;
            }
            if (startsWith("/>")) {
                m_at += 2;
                return true;
            }
            if (blanks == 0 || !attribute())
                return false;
        }
    }

    bool attribute()
    {
        Name key{};
        if (!name(&key))
            return false;
        for (const Name& seen : m_attributes) {
            if (sameName(seen, key))
                return false;
        }
        m_attributes.push_back(key);
        skipBlanks();
        if (m_at >= m_size || m_data[m_at] != '=')
            return false;
        ++m_at;
        skipBlanks();
        if (m_at >= m_size || (m_data[m_at] != '"' && m_data[m_at] != '\''))
            return false;
        const unsigned char quote = m_data[m_at++];
        while (m_at < m_size && m_data[m_at] != quote) {
            if (passThroughBytes[m_data[m_at]])
                skipPassThrough();
            else if (m_data[m_at] == '<' || !character(false))
                return false;
        }
        if (m_at >= m_size)
            return false;
        ++m_at;
        return true;
    }

    // The declaration in its usual form: version 1.x, UTF-8 if an encoding is named,
    // standalone yes or no.
    bool declaration()
    {
        m_at += 5;
        bool first = true;
        for (const char* key : {"version", "encoding", "standalone"}) {
            const size_t before = m_at;
            if (skipBlanks() == 0 || !startsWith(key)) {
                if (first)
                    return false;
                m_at = before;
                continue;
            }
            m_at += std::strlen(key);
            skipBlanks();
            if (m_at >= m_size || m_data[m_at] != '=')
                return false;
            ++m_at;
            skipBlanks();
            if (m_at >= m_size || (m_data[m_at] != '"' && m_data[m_at] != '\''))
                return false;
            const unsigned char quote = m_data[m_at++];
            const size_t from = m_at;
            while (m_at < m_size && m_data[m_at] != quote)
                ++m_at;
            if (m_at >= m_size)
                return false;
            const QByteArray value(reinterpret_cast<const char*>(m_data + from), int(m_at - from));
            ++m_at;
            if (first && !(value.startsWith("1.") && value.size() > 2 &&
                           std::all_of(value.begin() + 2, value.end(), [](char c) { return c >= '0' && c <= '9'; })))
                return false;
            if (key[0] == 'e' && value.toLower() != "utf-8")
                return false;
            if (key[0] == 's' && value != "yes" && value != "no")
                return false;
            first = false;
        }
        skipBlanks();
        if (!startsWith("?>"))
            return false;
        m_at += 2;
        return true;
    }

    const unsigned char* m_data;
    size_t m_size;
    size_t m_maximumDepth;
    size_t m_at = 0;
    bool m_rootSeen = false;
    std::vector<Name> m_open;
    std::vector<Name> m_attributes;
};

} // namespace

bool XMLDOMPlainScan::isPlain(const QByteArray& bytes, int maximumDepth)
{
    return Scanner(bytes, maximumDepth).run();
}

} // namespace InterProcess
