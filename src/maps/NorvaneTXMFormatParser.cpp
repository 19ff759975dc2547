#include "maps/NorvaneTXMFormatParser.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cctype>

namespace Tarvex {

namespace {

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool isAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

std::string trimmed(const std::string& line)
{
    const auto first = std::find_if_not(line.begin(), line.end(), isSpace);
    const auto last = std::find_if_not(line.rbegin(), line.rend(), isSpace).base();
    return first < last ? std::string(first, last) : std::string();
}

std::vector<std::string> tokens(const std::string& text)
{
    std::vector<std::string> result;
    auto at = text.begin();
    while (true) {
        at = std::find_if_not(at, text.end(), isSpace);
        if (at == text.end())
            return result;
        const auto end = std::find_if(at, text.end(), isSpace);
        result.emplace_back(at, end);
        at = end;
    }
}

// "Power Map" is one keyword; a TAB, an underscore in the first word or anything but
// letters keeps the words apart.
void joinWords(std::vector<std::string>& words, const std::string& line)
{
    if (words.empty() || words.front().find('_') != std::string::npos || line.find('\t') != std::string::npos)
        return;
    for (const std::string& word : words) {
        if (!std::all_of(word.begin(), word.end(), isAlpha))
            return;
    }
    std::string joined = words.front();
    for (size_t i = 1; i < words.size(); ++i)
        joined += '_' + words[i];
    words.assign(1, joined);
}

bool isEndLine(const std::string& line)
{
    return line.size() > 3 && (line.compare(0, 4, "END_") == 0 || line.compare(0, 4, "END ") == 0);
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
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return false;

    std::vector<std::unique_ptr<NorvaneTXMFormatParserNode>>& open = m_root->children;
    while (!file.atEnd()) {
        const std::string line = trimmed(file.readLine().toStdString());
        if (line.empty())
            continue;
        if (isEndLine(line)) {
            std::vector<std::string> words = tokens(line.substr(4));
            joinWords(words, line);
            if (!closeBlock(words.empty() ? std::string() : words.front())) {
                fatalError(tr("Invalid end tag"));
                return false;
            }
            continue;
        }
        std::vector<std::string> words = tokens(line);
        joinWords(words, line);
        if (std::any_of(words.front().begin(), words.front().end(), isAlpha)) {
            auto node = std::make_unique<NorvaneTXMFormatParserNode>(words.front());
            node->values.assign(words.begin() + 1, words.end());
            open.push_back(std::move(node));
        } else {
            auto node = std::make_unique<NorvaneTXMFormatParserNode>("__data");
            node->values = std::move(words);
            (open.empty() ? *m_root : *open.back()).children.push_back(std::move(node));
        }
    }
    return true;
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

} // namespace Tarvex
