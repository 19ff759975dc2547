#include <tarvex/maps/NorvaneTXMFormatParser.h>

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <string_view>

namespace Tarvex {

namespace {

// Reading size of the file: lines are cut from these blocks without copying each line.
constexpr qint64 ChunkBytes = qint64(1) << 20;

// The C classification of blanks, looked up once per byte value.
const std::array<bool, 256>& blankTable()
{
    static const std::array<bool, 256> table = [] {
        std::array<bool, 256> blanks{};
        for (int c = 0; c < 256; ++c)
            blanks[size_t(c)] = std::isspace(c) != 0;
        return blanks;
    }();
    return table;
}

bool isAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// The words of [begin, end), as views into it.
void tokens(const char* begin, const char* end, std::vector<std::string_view>& words)
{
    const std::array<bool, 256>& blank = blankTable();
    auto isBlank = [&blank](char c) { return blank[static_cast<unsigned char>(c)]; };
    words.clear();
    for (const char* at = begin; at < end;) {
        while (at < end && isBlank(*at))
            ++at;
        const char* word = at;
        while (at < end && !isBlank(*at))
            ++at;
        if (at > word)
            words.emplace_back(word, size_t(at - word));
    }
}

// "Power Map" is one keyword; a TAB, an underscore in the first word or anything but
// letters keeps the words apart.
bool joinsWords(const std::vector<std::string_view>& words, bool lineHasTab)
{
    if (words.size() < 2 || lineHasTab || words.front().find('_') != std::string_view::npos)
        return false;
    return std::all_of(words.begin(), words.end(),
                       [](std::string_view word) { return std::all_of(word.begin(), word.end(), isAlpha); });
}

std::string joined(const std::vector<std::string_view>& words)
{
    std::string text(words.front());
    for (size_t i = 1; i < words.size(); ++i) {
        text += '_';
        text += words[i];
    }
    return text;
}

// The words [first, end) as node values.
NorvaneTXMFormatParserValues valuesOf(const std::vector<std::string_view>& words, size_t first)
{
    NorvaneTXMFormatParserValues values;
    if (first < words.size())
        values.assign(words.data() + first, words.size() - first);
    return values;
}

} // namespace

NorvaneTXMFormatParser::NorvaneTXMFormatParser(std::string fileName, Tools::ToolProgress* progress, QObject* parent)
    : QObject(parent), m_fileName(std::move(fileName)), m_progress(progress)
{
}

NorvaneTXMFormatParser::~NorvaneTXMFormatParser() = default;

bool NorvaneTXMFormatParser::parseFile()
{
    m_root = std::make_unique<NorvaneTXMFormatParserNode>();
    const QString path = QString::fromStdString(m_fileName);
    QFile file(path);
    // Folders and devices are not map files; some devices never end.
    m_opened = QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly);
    if (!m_opened)
        return false;

    const std::array<bool, 256>& blank = blankTable();
    auto isBlank = [&blank](char c) { return blank[static_cast<unsigned char>(c)]; };
    QByteArray pending;
    qint64 lineNumber = 0;
    bool atEnd = false;
    while (!atEnd) {
        const QByteArray chunk = file.read(ChunkBytes);
        atEnd = chunk.isEmpty();
        pending += chunk;
        const char* data = pending.constData();
        const char* const limit = data + pending.size();
        const char* lineStart = data;
        while (true) {
            const char* lineEnd = static_cast<const char*>(std::memchr(lineStart, '\n', size_t(limit - lineStart)));
            if (!lineEnd) {
                // An unfinished line is refused as soon as it is too long, before more is read.
                if (limit - lineStart > MaxLineBytes) {
                    reportLongLine(lineNumber + 1);
                    return false;
                }
                if (!atEnd)
                    break; // the rest of this line comes with the next block
                lineEnd = limit;
            }
            ++lineNumber;
            if (lineEnd - lineStart > MaxLineBytes) {
                reportLongLine(lineNumber);
                return false;
            }
            const char* begin = lineStart;
            const char* end = lineEnd;
            lineStart = lineEnd == limit ? limit : lineEnd + 1;
            while (begin < end && isBlank(*begin))
                ++begin;
            while (end > begin && isBlank(end[-1]))
                --end;
            if (begin < end && !parseLine(begin, end))
                return false;
            if (lineStart == limit)
                break;
        }
        pending.remove(0, int(lineStart - data));
    }
    return true;
}

void NorvaneTXMFormatParser::reportLongLine(qint64 lineNumber)
{
    fatalError(tr("Line %1 is longer than %2 bytes").arg(lineNumber).arg(MaxLineBytes));
}

bool NorvaneTXMFormatParser::parseLine(const char* begin, const char* end)
{
    std::vector<std::unique_ptr<NorvaneTXMFormatParserNode>>& open = m_root->children;
    const size_t length = size_t(end - begin);
    const bool hasTab = std::memchr(begin, '\t', length) != nullptr;
    std::vector<std::string_view>& words = m_words;
    if (length > 3 && (std::memcmp(begin, "END_", 4) == 0 || std::memcmp(begin, "END ", 4) == 0)) {
        tokens(begin + 4, end, words);
        const std::string name = words.empty() ? std::string()
                                 : joinsWords(words, hasTab) ? joined(words)
                                                              : std::string(words.front());
        if (!closeBlock(name)) {
            fatalError(tr("Invalid end tag"));
            return false;
        }
        return true;
    }
    tokens(begin, end, words);
    if (joinsWords(words, hasTab)) {
        open.push_back(std::make_unique<NorvaneTXMFormatParserNode>(joined(words)));
    } else if (std::any_of(words.front().begin(), words.front().end(), isAlpha)) {
        auto node = std::make_unique<NorvaneTXMFormatParserNode>(std::string(words.front()));
        node->values = valuesOf(words, 1);
        open.push_back(std::move(node));
    } else {
        auto node = std::make_unique<NorvaneTXMFormatParserNode>("__data");
        node->values = valuesOf(words, 0);
        if (open.empty()) {
            m_root->children.push_back(std::move(node));
            return true;
        }
        open.back()->children.push_back(std::move(node));
        return !m_dataCheck || m_dataCheck(*open.back());
    }
    return !m_keywordCheck || m_keywordCheck(*open.back());
}

bool NorvaneTXMFormatParser::closeBlock(const std::string& name)
{
    std::vector<std::unique_ptr<NorvaneTXMFormatParserNode>>& open = m_root->children;
    for (size_t i = open.size(); i-- > 0;) {
        const std::string& candidate = open[i]->name;
        if (candidate != name && candidate != "START_" + name && candidate != "BEGIN_" + name)
            continue;
        auto& content = open[i]->children;
        for (size_t j = i + 1; j < open.size(); ++j)
            content.push_back(std::move(open[j]));
        open.resize(i + 1);
        return true;
    }
    return false;
}

QString NorvaneTXMFormatParser::unreadFileMessage(const QString& path) const
{
    return m_opened ? tr("The file %1 was not read.").arg(path) : tr("Failed to open file - %1").arg(path);
}

} // namespace Tarvex
