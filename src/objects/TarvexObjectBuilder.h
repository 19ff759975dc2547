#pragma once

#include "host/ProgressBaseObject.h"
#include "interchange/TarvexTXMXMLDocument.h"
#include "objects/TarvexObject.h"

#include <QObject>

#include <memory>
#include <vector>

namespace Tarvex {

/// Turns one interchange XML file into the object model: parts with their geometry,
/// materials and power sources, nested by containment into a tree of `TarvexObject` nodes.
class TarvexObjectBuilder : public QObject, public Log::ProgressBaseObject
{
    Q_OBJECT

public:
    /// A builder reporting to `progress` (may be null).
    explicit TarvexObjectBuilder(Tools::ToolProgress* progress, QObject* parent = nullptr);
    ~TarvexObjectBuilder() override;

    /// Reads the file at `path` and builds its parts; false after reporting
    /// "Failed to read file : " and the path when the file cannot be read.
    bool readFile(const QString& path);
    /// Nests the parts read so far into the object tree.
    void buildTree();
    /// Moves the top-level objects out to the caller.
    std::vector<std::unique_ptr<TarvexObject>> takeObjects();

    Tools::ToolProgress* getProgress() const override { return m_progress; }

private:
    Tools::ToolProgress* m_progress;
    std::vector<std::unique_ptr<TarvexObject>> m_objects;
    // Parsed documents stay alive for the builder's life: parts keep elements of them.
    std::vector<TarvexTXMXMLDocument> m_documents;
};

} // namespace Tarvex
