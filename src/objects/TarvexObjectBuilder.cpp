#include "objects/TarvexObjectBuilder.h"

#include "interchange/TarvexTXMXMLParser.h"

#include <QFileInfo>

namespace Tarvex {

TarvexObjectBuilder::TarvexObjectBuilder(Tools::ToolProgress* progress, QObject* parent)
    : QObject(parent), m_progress(progress)
{
}

TarvexObjectBuilder::~TarvexObjectBuilder() = default;

bool TarvexObjectBuilder::readFile(const QString& path)
{
    TarvexTXMXMLParser parser(m_progress);
    const TarvexTXMXMLDocument document = parser.readFile(QFileInfo(path).absoluteFilePath());
    if (!document) {
        fatalError(tr("Failed to read file : ") + path);
        return false;
    }
    m_documents.push_back(document);
    return true;
}

void TarvexObjectBuilder::buildTree()
{
    // Parts and their nesting are built from the documents read; until the part readers
    // exist a file yields no objects.
}

std::vector<std::unique_ptr<TarvexObject>> TarvexObjectBuilder::takeObjects() { return std::move(m_objects); }

} // namespace Tarvex
