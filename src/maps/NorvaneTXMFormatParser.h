#pragma once

#include <tarvex/host/ProgressBaseObject.h>
#include <tarvex/maps/NorvaneTXMFormatParserNode.h>

#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Tarvex {

/// Reads a text-format map file into a tree of nodes: keyword lines, numeric data lines
/// hanging under the keyword before them, and blocks closed by end lines ("END_LAYER" or
/// "END LAYER" closes "LAYER", "START_LAYER" or "BEGIN_LAYER"). It knows no keywords.
class NorvaneTXMFormatParser : public QObject, public Log::ProgressBaseObject
{
    Q_OBJECT

public:
    /// A parser of the file at `fileName` reporting to `progress` (may be null).
    NorvaneTXMFormatParser(std::string fileName, Tools::ToolProgress* progress, QObject* parent = nullptr);
    ~NorvaneTXMFormatParser() override;

    /// Lines longer than this many bytes are refused while they are read. The longest real
    /// lines are density or power rows of the largest grids (a few MB); the limit keeps a
    /// file without line ends from being gathered into memory whole.
    static constexpr qint64 MaxLineBytes = qint64(32) << 20;

    /// Called with each keyword node as soon as its line is read; returning false stops the
    /// parse (the check reports why). Lets a reader bound what it accepts before the tree grows.
    using KeywordCheck = std::function<bool(const NorvaneTXMFormatParserNode&)>;

    /// Sets the check called for each keyword line (none by default).
    void setKeywordCheck(KeywordCheck check) { m_keywordCheck = std::move(check); }

    /// Called with the keyword node a data line hangs under, as soon as the line is added
    /// to it; returning false stops the parse (the check reports why). Lets a reader refuse
    /// a declared size on its first data line, before the lines it promises are read.
    using DataCheck = std::function<bool(const NorvaneTXMFormatParserNode& keyword)>;

    /// Sets the check called for each data line under a keyword (none by default).
    void setDataCheck(DataCheck check) { m_dataCheck = std::move(check); }

    /// Reads the whole file into a new tree. False when the file cannot be opened (no
    /// message), a line is longer than MaxLineBytes ("Line %1 is longer than %2 bytes"), the
    /// keyword or data check refuses a line, or an end line closes nothing open ("Invalid end tag");
    /// the tree read so far stays.
    bool parseFile();
    /// What a reader says of `path` after `parseFile` returned false: that the file was not
    /// read when it opened (its content was at fault and was reported), or that it could not
    /// be opened.
    QString unreadFileMessage(const QString& path) const;
    /// The root of the tree; its children are the top-level nodes.
    const std::unique_ptr<NorvaneTXMFormatParserNode>& getRootNode() const { return m_root; }
    /// The sink given at construction (may be null).
    Tools::ToolProgress* getProgress() const override { return m_progress; }

private:
    bool parseLine(const char* begin, const char* end);
    bool closeBlock(const std::string& name);
    void reportLongLine(qint64 lineNumber);

    std::string m_fileName;
    std::unique_ptr<NorvaneTXMFormatParserNode> m_root;
    Tools::ToolProgress* m_progress;
    KeywordCheck m_keywordCheck;
    DataCheck m_dataCheck;
    bool m_opened = false;
    // The words of the line being read, kept between lines to save allocations.
    std::vector<std::string_view> m_words;
};

} // namespace Tarvex
