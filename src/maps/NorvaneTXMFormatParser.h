#pragma once

#include "host/ProgressBaseObject.h"
#include "maps/NorvaneTXMFormatParserNode.h"

#include <QObject>

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

    /// Reads the whole file into a new tree. False when the file cannot be opened (no
    /// message) or an end line closes nothing open ("Invalid end tag"; the tree read so far
    /// stays).
    bool parseFile();
    /// The root of the tree; its children are the top-level nodes.
    const std::unique_ptr<NorvaneTXMFormatParserNode>& getRootNode() const { return m_root; }
    /// The sink given at construction (may be null).
    Tools::ToolProgress* getProgress() const override { return m_progress; }

private:
    bool parseLine(const char* begin, const char* end);
    bool closeBlock(const std::string& name);

    std::string m_fileName;
    std::unique_ptr<NorvaneTXMFormatParserNode> m_root;
    Tools::ToolProgress* m_progress;
    // The words of the line being read, kept between lines to save allocations.
    std::vector<std::string_view> m_words;
};

} // namespace Tarvex
